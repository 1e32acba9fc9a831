#include "tests/support/cli_run_win.h"

#include <gtest/gtest.h>

#include "tests/support/desktop_io_win.h"
#include "tests/support/fixture_win.h"

namespace tblf::test {

std::string Utf8(const std::wstring& text) {
  if (text.empty()) return {};
  const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                    nullptr);
  std::string bytes(n, '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), n, nullptr, nullptr);
  return bytes;
}

std::wstring Wide(const std::string& bytes) {
  if (bytes.empty()) return {};
  const int n = MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::wstring text(n, L'\0');
  MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), n);
  return text;
}

std::string Utf16(const std::wstring& text, bool bigEndian) {
  std::string bytes;
  for (wchar_t ch : text) {
    const char low = static_cast<char>(ch & 0xFF), high = static_cast<char>((ch >> 8) & 0xFF);
    bytes += bigEndian ? high : low;
    bytes += bigEndian ? low : high;
  }
  return bytes;
}

std::wstring TempFolder() {
  wchar_t path[MAX_PATH] = L"";
  GetTempPathW(MAX_PATH, path);
  std::wstring folder = std::wstring(path) + L"tblfcli_test_" + std::to_wstring(GetCurrentProcessId()) + L"\\";
  CreateDirectoryW(folder.c_str(), nullptr);
  return folder;
}

CliRun RunCli(const std::wstring& arguments, const wchar_t* language,
              const std::function<void(HANDLE process)>& whileRunning, DWORD boundMs,
              const std::wstring& workingDirectory) {
  static int counter = 0;
  const std::wstring folder = TempFolder();
  const std::wstring outPath = folder + L"out" + std::to_wstring(++counter) + L".txt";
  const std::wstring errPath = folder + L"err" + std::to_wstring(counter) + L".txt";
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE out = CreateFileW(outPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
  HANDLE err = CreateFileW(errPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
  CliRun run;
  if (out == INVALID_HANDLE_VALUE || err == INVALID_HANDLE_VALUE) {
    if (out != INVALID_HANDLE_VALUE) CloseHandle(out);
    if (err != INVALID_HANDLE_VALUE) CloseHandle(err);
    ADD_FAILURE() << "cannot create the output files in the temp folder";
    return run;
  }
  SetEnvironmentVariableW(L"TBLF_LANG", language);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = nullptr;
  startup.hStdOutput = out;
  startup.hStdError = err;
  std::wstring commandLine = L"\"" + ExecutableFolder() + L"tblfcli.exe\" " + arguments;
  PROCESS_INFORMATION process{};
  const ULONGLONG start = GetTickCount64();
  const BOOL started =
      CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                     workingDirectory.empty() ? nullptr : workingDirectory.c_str(), &startup, &process);
  CloseHandle(out);
  CloseHandle(err);
  SetEnvironmentVariableW(L"TBLF_LANG", nullptr);
  if (!started) {
    ADD_FAILURE() << "tblfcli.exe did not start, error " << GetLastError();
    return run;
  }
  if (whileRunning) whileRunning(process.hProcess);
  run.ended = WaitForSingleObject(process.hProcess, boundMs) == WAIT_OBJECT_0;
  run.elapsedMs = GetTickCount64() - start;
  if (!run.ended) TerminateProcess(process.hProcess, 99);
  GetExitCodeProcess(process.hProcess, &run.exitCode);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  run.out = FileBytes(outPath);
  run.err = FileBytes(errPath);
  DeleteFileW(outPath.c_str());
  DeleteFileW(errPath.c_str());
  return run;
}

}  // namespace tblf::test
