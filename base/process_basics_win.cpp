#include "base/process_basics_win.h"

#include <string>

#include "base/process_basics.h"

namespace tblf {

namespace {
// RTL_OSVERSIONINFOW, declared here so that no DDK header is needed.
struct RtlOsVersionInfo {
  ULONG size;
  ULONG major;
  ULONG minor;
  ULONG build;
  ULONG platformId;
  WCHAR csdVersion[128];
};
using RtlGetVersionFn = LONG(WINAPI*)(RtlOsVersionInfo*);

const std::string& SystemDirectory() {
  // Fetched once and kept.
  static const std::string dir = [] {
    char buffer[MAX_PATH + 1] = {};
    const UINT n = GetSystemDirectoryA(buffer, MAX_PATH);
    return std::string(buffer, n > MAX_PATH ? 0 : n);
  }();
  return dir;
}
}  // namespace

HMODULE LoadSystemLibrary(const char* dllName) {
  char previous[MAX_PATH + 1] = {};
  const DWORD n = GetCurrentDirectoryA(MAX_PATH, previous);
  const bool havePrevious = n > 0 && n <= MAX_PATH;
  SetCurrentDirectoryA(SystemDirectory().c_str());
  HMODULE module = LoadLibraryA(dllName);
  if (havePrevious) SetCurrentDirectoryA(previous);
  return module;
}

void DetermineWindowsVersion() {
  if (HMODULE ntdll = LoadSystemLibrary("ntdll.dll")) {
    auto rtlGetVersion = reinterpret_cast<RtlGetVersionFn>(
        reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetVersion")));
    if (rtlGetVersion != nullptr) {
      RtlOsVersionInfo info{};
      info.size = sizeof(info);
      if (rtlGetVersion(&info) == 0) {
        g_windowsVersion = WindowsVersionNumber(info.platformId, info.major, info.minor, info.build);
        return;
      }
    }
  }
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof(info);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  if (GetVersionExA(&info)) {
#pragma GCC diagnostic pop
    g_windowsVersion = WindowsVersionNumber(info.dwPlatformId, info.dwMajorVersion,
                                            info.dwMinorVersion, info.dwBuildNumber);
  }
}

void SelectUiLanguage() {
  wchar_t value[160] = {};
  const DWORD n = GetEnvironmentVariableW(L"TBLF_LANG", value, 160);
  // A value too long for the buffer cannot be "JA", so it means English.
  const wchar_t* env = n == 0 ? nullptr : (n < 160 ? value : L"-");
  const bool japanese = JapaneseFromLanguage(env, GetSystemDefaultLangID());
  SetUiLanguage(japanese);
}

void SetCurrentDirectoryToExeFolder() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return;
    if (n < path.size()) {
      path.resize(n);
      break;
    }
    path.resize(path.size() * 2);
  }
  if (auto folder = ExeFolderFromPath(path)) SetCurrentDirectoryW(folder->c_str());
}

}  // namespace tblf
