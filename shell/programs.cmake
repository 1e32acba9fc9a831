# tblfcli: the command-line exporter (discovery list and one export per run).
# It needs the settings store and the encoded text writer of the Win32 layer;
# until both are in the tree the program is not declared.
file(GLOB _tblf_settings_win CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/settings/*_win.cpp)
if(_tblf_settings_win AND EXISTS ${CMAKE_SOURCE_DIR}/output/encoded_writer_win.cpp)
  tblf_add_program(tblfcli CONSOLE SOURCES ${CMAKE_SOURCE_DIR}/shell/tblfcli_main.cpp)
endif()
