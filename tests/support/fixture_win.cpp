#include "tests/support/fixture_win.h"

#include "tests/support/desktop_io_win.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace tblf::test {
namespace {

constexpr UINT kMessageHang = WM_APP + 0;
constexpr UINT kMessageExit = WM_APP + 1;

std::wstring Utf8ToWide(const std::string& s) {
  std::wstring out(s.size(), L'\0');
  out.resize(MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), out.data(),
                                 static_cast<int>(out.size())));
  return out;
}

}  // namespace

std::wstring FixtureLongText(size_t length) {
  static const wchar_t kAlphabet[] = L"0123456789abcdefghijklmnopqrstuvwxyz";
  std::wstring text(length, L'0');
  for (size_t i = 0; i < length; ++i) text[i] = kAlphabet[i % 36];
  return text;
}

std::wstring ExecutableFolder() {
  std::vector<wchar_t> path(MAX_PATH * 4);
  const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
  std::wstring folder(path.data(), n);
  const size_t slash = folder.find_last_of(L"\\/");
  return slash == std::wstring::npos ? L".\\" : folder.substr(0, slash + 1);
}

bool SignalWineProcess(const std::wstring& marker, const wchar_t* signal) {
  // The marker goes through the environment, so that the shell's own command
  // line does not match it; the Windows command line of a Wine process is
  // its /proc command line. A Unix program started this way has no exit
  // status to wait for, so the shell leaves the number of matches in a file.
  const std::wstring result = L"Z:\\tmp\\tblf_signal_" + marker;
  DeleteFileW(result.c_str());
  SetEnvironmentVariableW(L"TBLF_SIGNAL_MARKER", marker.c_str());
  std::wstring command = std::wstring(L"/bin/sh -c \"n=0; for d in /proc/[0-9]*; do ") +
                         L"case $(tr '\\0' ' ' < $d/cmdline) in *$TBLF_SIGNAL_MARKER*) kill -" + signal +
                         L" ${d#/proc/} && n=$((n+1));; esac; done 2>/dev/null; " +
                         L"echo $n > /tmp/tblf_signal_$TBLF_SIGNAL_MARKER.tmp; " +
                         L"mv /tmp/tblf_signal_$TBLF_SIGNAL_MARKER.tmp /tmp/tblf_signal_$TBLF_SIGNAL_MARKER\"";
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  const BOOL started = CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi);
  SetEnvironmentVariableW(L"TBLF_SIGNAL_MARKER", nullptr);
  if (!started) return false;
  if (pi.hThread) CloseHandle(pi.hThread);
  if (pi.hProcess) CloseHandle(pi.hProcess);
  std::string matches;
  for (const ULONGLONG deadline = GetTickCount64() + 10000; GetTickCount64() < deadline; Sleep(20)) {
    matches = FileBytes(result);
    if (!matches.empty()) break;
  }
  DeleteFileW(result.c_str());
  return matches == "1\n";
}

FixtureProcess::~FixtureProcess() { Kill(); }

bool FixtureProcess::Start(const std::wstring& arguments, const wchar_t* exeName) {
  Kill();
  handles_.clear();
  error_.clear();
  wchar_t tempDir[MAX_PATH];
  GetTempPathW(MAX_PATH, tempDir);
  static LONG counter = 0;
  const std::wstring handlesPath = std::wstring(tempDir) + L"tblf_fixture_" +
                                   std::to_wstring(GetCurrentProcessId()) + L"_" +
                                   std::to_wstring(InterlockedIncrement(&counter)) + L".txt";
  DeleteFileW(handlesPath.c_str());
  marker_ = handlesPath.substr(handlesPath.find_last_of(L'\\') + 1);
  const std::wstring exe = ExecutableFolder() + exeName;
  std::wstring command = L"\"" + exe + L"\" --handles \"" + handlesPath + L"\"";
  if (!arguments.empty()) command += L" " + arguments;

  STARTUPINFOW si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi = {};
  if (!CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
    error_ = L"CreateProcessW failed for " + exe + L": error " + std::to_wstring(GetLastError());
    return false;
  }
  CloseHandle(pi.hThread);
  process_ = pi.hProcess;
  processId_ = pi.dwProcessId;

  const ULONGLONG deadline = GetTickCount64() + 30000;
  while (GetTickCount64() < deadline) {
    // The file may be seen before the fixture has written all of it: a file
    // that does not read whole yet is read again on the next round.
    if (GetFileAttributesW(handlesPath.c_str()) != INVALID_FILE_ATTRIBUTES && ReadHandles(handlesPath)) {
      DeleteFileW(handlesPath.c_str());
      return true;
    }
    if (WaitForSingleObject(process_, 50) == WAIT_OBJECT_0) {
      DWORD code = 0;
      GetExitCodeProcess(process_, &code);
      error_ = L"the fixture ended before reporting its handles, exit code " + std::to_wstring(code);
      Kill();
      return false;
    }
  }
  error_ = GetFileAttributesW(handlesPath.c_str()) != INVALID_FILE_ATTRIBUTES
               ? L"unreadable handles file " + handlesPath
               : L"the fixture did not report its handles within 30 s";
  DeleteFileW(handlesPath.c_str());
  Kill();
  return false;
}

bool FixtureProcess::ReadHandles(const std::wstring& path) {
  FILE* f = _wfopen(path.c_str(), L"rb");
  if (f == nullptr) return false;
  char line[512];
  bool complete = false;
  while (fgets(line, sizeof line, f) != nullptr) {
    std::string text(line);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    if (text == "end") {
      complete = true;
      break;
    }
    const size_t eq = text.find('=');
    if (eq == std::string::npos) continue;
    const unsigned long long value = std::strtoull(text.c_str() + eq + 1, nullptr, 0);
    handles_[Utf8ToWide(text.substr(0, eq))] = reinterpret_cast<HWND>(static_cast<UINT_PTR>(value));
  }
  fclose(f);
  return complete;
}

HWND FixtureProcess::Handle(const std::wstring& name) const {
  const auto found = handles_.find(name);
  return found == handles_.end() ? nullptr : found->second;
}

SIZE_T FixtureProcess::CommittedBytes() const {
  SIZE_T total = 0;
  MEMORY_BASIC_INFORMATION info{};
  for (const char* at = nullptr; VirtualQueryEx(process_, at, &info, sizeof info) == sizeof info;) {
    if (info.State == MEM_COMMIT && info.Type == MEM_PRIVATE) total += info.RegionSize;
    const char* next = static_cast<const char*>(info.BaseAddress) + info.RegionSize;
    if (next <= at) break;
    at = next;
  }
  return total;
}

bool FixtureProcess::Hang() {
  HWND control = Handle(L"control");
  if (control == nullptr || !PostMessageW(control, kMessageHang, 0, 0)) return false;
  const ULONGLONG deadline = GetTickCount64() + 5000;
  while (GetTickCount64() < deadline) {
    DWORD_PTR ignored = 0;
    if (SendMessageTimeoutW(control, WM_NULL, 0, 0, SMTO_BLOCK, 200, &ignored) == 0) return true;
    Sleep(50);
  }
  return false;
}

bool FixtureProcess::Exit(DWORD waitMs) {
  if (process_ == nullptr) return true;
  HWND control = Handle(L"control");
  if (control != nullptr) PostMessageW(control, kMessageExit, 0, 0);
  const bool ended = WaitForSingleObject(process_, waitMs) == WAIT_OBJECT_0;
  if (ended) {
    CloseHandle(process_);
    process_ = nullptr;
  }
  return ended;
}

void FixtureProcess::Kill() {
  if (process_ == nullptr) return;
  TerminateProcess(process_, 9);
  WaitForSingleObject(process_, 5000);
  CloseHandle(process_);
  process_ = nullptr;
}

}  // namespace tblf::test
