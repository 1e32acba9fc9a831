# tblf_shots: drives tabulift.exe against the fixture as a user would, for
# the screenshots and the demo (tools/screenshots, tools/demo).
tblf_add_program(tblf_shots CONSOLE SOURCES ${CMAKE_SOURCE_DIR}/tools/shots/shots_main.cpp LIBS tblf_test_support)
