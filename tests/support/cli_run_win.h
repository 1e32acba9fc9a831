#pragma once
// tblfcli.exe started as its own process, as a script starts it: its
// standard output and error go to files, and what it left behind is kept.

#include <windows.h>

#include <functional>
#include <string>

namespace tblf::test {

std::string Utf8(const std::wstring& text);
std::wstring Wide(const std::string& bytes);
// A folder of this test process under the temp folder, with a trailing "\".
std::wstring TempFolder();

// What a run left behind. `ended` is false when it had to be killed.
struct CliRun {
  DWORD exitCode = 0xFFFFFFFF;
  std::string out;
  std::string err;
  bool ended = false;
  ULONGLONG elapsedMs = 0;
};

// A child that goes past this is taken as hung and killed; far above any
// run here, it only keeps a fault from stalling the whole suite.
constexpr DWORD kRunBoundMs = 60000;

// Starts tblfcli.exe with `arguments`, its standard output and error going
// to files, TBLF_LANG set to `language`. `whileRunning` is called once the
// process runs (to kill a fixture under it, say). `workingDirectory` is the
// child's current directory (empty: this process's).
CliRun RunCli(const std::wstring& arguments, const wchar_t* language = L"en",
              const std::function<void(HANDLE process)>& whileRunning = nullptr, DWORD boundMs = kRunBoundMs,
              const std::wstring& workingDirectory = L"");

}  // namespace tblf::test
