# The version values of every program, generated from the one place where
# they are set (project VERSION and TBLF_SPECIAL_BUILD in CMakeLists.txt):
#   <build>/generated/tblf_version.h  read by resources/version.rc and tests;
#   <build>/version.txt               the version in the release zips' names.
# The build date (PrivateBuild) is the day of configuration, in UTC;
# SOURCE_DATE_EPOCH fixes it for a reproducible build.

string(TIMESTAMP TBLF_BUILD_DATE "%Y/%m/%d" UTC)
set(TBLF_COPYRIGHT "Copyright (C) 2026 Quillmark")
set(TBLF_GENERATED_DIR ${CMAKE_BINARY_DIR}/generated)
configure_file(${CMAKE_SOURCE_DIR}/resources/tblf_version.h.in ${TBLF_GENERATED_DIR}/tblf_version.h @ONLY)
include_directories(${TBLF_GENERATED_DIR})

if(TBLF_SPECIAL_BUILD STREQUAL "")
  set(TBLF_PACKAGE_VERSION ${PROJECT_VERSION})
else()
  set(TBLF_PACKAGE_VERSION ${PROJECT_VERSION}-${TBLF_SPECIAL_BUILD})
endif()
file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/version.txt CONTENT "${TBLF_PACKAGE_VERSION}\n")

# windres reports no header dependencies: name the generated one.
set_source_files_properties(${CMAKE_SOURCE_DIR}/resources/version.rc PROPERTIES
  OBJECT_DEPENDS ${TBLF_GENERATED_DIR}/tblf_version.h)
