# The hook DLL that reads a control inside the program that owns it
# (remote/inproc_reader_win.cpp sets it): tblfhook64.dll in the x86_64 build,
# tblfhook32.dll in the i686 build, beside the programs. It is built from its
# own source and the few portable pieces it shares with the message readers,
# so both ways cut texts by the same code.
if(TBLF_WINDOWS)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(TBLF_HOOK_DLL tblfhook64)
  else()
    set(TBLF_HOOK_DLL tblfhook32)
  endif()
  add_library(${TBLF_HOOK_DLL} SHARED
    ${CMAKE_SOURCE_DIR}/remote/hook/tblfhook_dll.cpp
    ${CMAKE_SOURCE_DIR}/remote/remote_text.cpp
    ${CMAKE_SOURCE_DIR}/remote/item_layouts.cpp)
  target_include_directories(${TBLF_HOOK_DLL} PRIVATE ${CMAKE_SOURCE_DIR})
  target_link_libraries(${TBLF_HOOK_DLL} PRIVATE user32 kernel32)
  set_target_properties(${TBLF_HOOK_DLL} PROPERTIES PREFIX "" OUTPUT_NAME ${TBLF_HOOK_DLL})
  # The i686 export keeps its plain name (no @12), as GetProcAddress asks for it.
  target_link_options(${TBLF_HOOK_DLL} PRIVATE -Wl,--kill-at)
  # Every program that may read in-process finds the DLL beside it.
  foreach(program IN ITEMS tabulift tblfcli)
    if(TARGET ${program})
      add_dependencies(${program} ${TBLF_HOOK_DLL})
    endif()
  endforeach()
endif()

# For 32-bit targets of the 64-bit Tabulift: a 32-bit program that sets
# tblfhook32.dll's hook on the target's thread and removes it when Tabulift
# closes its input (the x64 package carries both from this build).
if(TBLF_WINDOWS AND CMAKE_SIZEOF_VOID_P EQUAL 4)
  add_executable(tblfhookhelper32 ${CMAKE_SOURCE_DIR}/remote/hook/tblfhook_helper_main.cpp)
  target_link_options(tblfhookhelper32 PRIVATE -municode -mconsole)
  add_dependencies(tblfhookhelper32 tblfhook32)
endif()
