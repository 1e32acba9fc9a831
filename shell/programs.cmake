# tblfcli: Tabulift from the command line. One file per verb in shell/cli/.
file(GLOB TBLF_CLI_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/shell/cli/*.cpp)
tblf_add_program(tblfcli CONSOLE SOURCES ${TBLF_CLI_SOURCES}
                 RESOURCES ${CMAKE_SOURCE_DIR}/resources/version.rc)
