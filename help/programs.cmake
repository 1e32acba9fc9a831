# TBLIFT.CHM, the help file: compiled from the HTML sources in help/chm/ by
# chmcmd (Debian fp-utils) into bin/, beside the programs that open it.
if(TBLF_WINDOWS)
  find_program(TBLF_CHMCMD chmcmd REQUIRED)
  file(GLOB_RECURSE TBLF_HELP_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/help/chm/*)
  set(TBLF_CHM ${CMAKE_BINARY_DIR}/bin/TBLIFT.CHM)
  add_custom_command(OUTPUT ${TBLF_CHM}
    COMMAND ${CMAKE_COMMAND} -DCHMCMD=${TBLF_CHMCMD} -DSOURCE=${CMAKE_SOURCE_DIR}/help/chm
            -DSTAGE=${CMAKE_BINARY_DIR}/help-chm -DOUTPUT=${TBLF_CHM}
            -P ${CMAKE_SOURCE_DIR}/help/compile_chm.cmake
    DEPENDS ${TBLF_HELP_SOURCES} ${CMAKE_SOURCE_DIR}/help/compile_chm.cmake
    COMMENT "Compiling TBLIFT.CHM"
    VERBATIM)
  add_custom_target(tblf_help ALL DEPENDS ${TBLF_CHM})
endif()
