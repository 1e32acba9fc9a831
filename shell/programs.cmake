# tblfcli: Tabulift from the command line. One file per verb in shell/cli/.
file(GLOB TBLF_CLI_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/shell/cli/*.cpp)
tblf_add_program(tblfcli CONSOLE SOURCES ${TBLF_CLI_SOURCES}
                 RESOURCES ${CMAKE_SOURCE_DIR}/resources/version.rc)

# tabulift: the Tabulift window.
tblf_add_program(tabulift GUI SOURCES ${CMAKE_SOURCE_DIR}/shell/tabulift_main.cpp
                 RESOURCES ${CMAKE_SOURCE_DIR}/resources/tabulift.rc ${CMAKE_SOURCE_DIR}/resources/version.rc)
# windres reports no dependencies: the files that tabulift.rc includes are named here.
file(GLOB TBLF_RC_PARTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/resources/*.rc ${CMAKE_SOURCE_DIR}/resources/icons/*.ico
     ${CMAKE_SOURCE_DIR}/resources/*.h ${CMAKE_SOURCE_DIR}/resources/*.manifest)
set_source_files_properties(${CMAKE_SOURCE_DIR}/resources/tabulift.rc PROPERTIES OBJECT_DEPENDS "${TBLF_RC_PARTS}")
