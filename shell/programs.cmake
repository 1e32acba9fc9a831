# tblfcli: the command-line exporter (discovery list and one export per run).
tblf_add_program(tblfcli CONSOLE SOURCES ${CMAKE_SOURCE_DIR}/shell/tblfcli_main.cpp)
