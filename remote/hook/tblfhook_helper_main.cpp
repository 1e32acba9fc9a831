// tblfhookhelper32.exe: sets the 32-bit hook DLL on a thread of a 32-bit
// program for the 64-bit Tabulift, which cannot set a 32-bit DLL itself.
//
//   tblfhookhelper32.exe THREAD-ID
//
// Loads tblfhook32.dll from its own folder (full path), sets its
// WH_GETMESSAGE hook on THREAD-ID, writes "ok\n" (or "no\n") to standard
// output and then waits until standard input ends: Tabulift closes it when
// the run is over, or ends, and the hook is removed with this program. The
// shared block, the events and the message are Tabulift's own business, so
// this program never touches the target.

#include <windows.h>

#include <cwchar>
#include <string>

namespace {

void Say(const char* word) {
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), word, 3, &written, nullptr);
  FlushFileBuffers(GetStdHandle(STD_OUTPUT_HANDLE));
}

std::wstring OwnFolder() {
  wchar_t path[MAX_PATH * 2] = L"";
  const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH * 2);
  if (n == 0 || n >= MAX_PATH * 2) return std::wstring();
  std::wstring p(path, n);
  const std::size_t slash = p.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring() : p.substr(0, slash + 1);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) return 2;
  wchar_t* end = nullptr;
  const unsigned long thread = std::wcstoul(argv[1], &end, 10);
  if (end == argv[1] || *end != L'\0' || thread == 0) return 2;
  const std::wstring folder = OwnFolder();
  if (folder.empty()) {
    Say("no\n");
    return 1;
  }
  const std::wstring dll = folder + L"tblfhook32.dll";
  HMODULE module = LoadLibraryExW(dll.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  const auto proc =
      module ? reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(module, "TblfGetMessageHook"))) : nullptr;
  HHOOK hook = proc ? SetWindowsHookExW(WH_GETMESSAGE, proc, module, static_cast<DWORD>(thread)) : nullptr;
  if (hook == nullptr) {
    Say("no\n");
    return 1;
  }
  Say("ok\n");
  char c = 0;
  DWORD got = 0;
  while (ReadFile(GetStdHandle(STD_INPUT_HANDLE), &c, 1, &got, nullptr) && got > 0) {
  }
  UnhookWindowsHookEx(hook);
  FreeLibrary(module);
  return 0;
}
