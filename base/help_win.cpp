#include "base/help_win.h"

#include <shellapi.h>

#include <string>

#include "base/help_topics.h"
#include "base/message_box_win.h"
#include "base/process_basics_win.h"
#include "base/text.h"

namespace tblf {

namespace {

using HtmlHelpWFn = HWND(WINAPI*)(HWND, const wchar_t*, UINT, DWORD_PTR);

constexpr UINT kHhDisplayTopic = 0;  // HH_DISPLAY_TOPIC
constexpr WORD kHtmlHelpWOrdinal = 15;

enum class RuntimeState { NotLoaded, Loaded, Failed };
RuntimeState g_runtimeState = RuntimeState::NotLoaded;
HtmlHelpWFn g_htmlHelpW = nullptr;

const BiText kCannotOpenHelp{L"hh.exeでヘルプファイルを開けません", L"Cannot open TBLIFT.CHM"};

// The file registered for the HTML Help control, expanded; empty when none is.
std::string RegisteredRuntimePath() {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CLASSES_ROOT, "CLSID\\{ADB880A6-D8FF-11CF-9377-00AA003B7A11}\\InprocServer32", 0,
                    KEY_READ, &key) != ERROR_SUCCESS) {
    return {};
  }
  char value[MAX_PATH + 1] = {};
  DWORD type = 0;
  DWORD size = MAX_PATH;
  const LONG rc = RegQueryValueExA(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
  RegCloseKey(key);
  if (rc != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return {};
  value[MAX_PATH] = '\0';
  if (type == REG_EXPAND_SZ) {
    char expanded[MAX_PATH + 1] = {};
    const DWORD n = ExpandEnvironmentStringsA(value, expanded, MAX_PATH);
    if (n == 0 || n > MAX_PATH) return {};
    return expanded;
  }
  return value;
}

// HtmlHelpW, loaded on first use; null once loading has failed.
HtmlHelpWFn HtmlHelpFunction() {
  if (g_runtimeState == RuntimeState::NotLoaded) {
    g_runtimeState = RuntimeState::Failed;
    HMODULE runtime = nullptr;
    const std::string registered = RegisteredRuntimePath();
    if (!registered.empty()) runtime = LoadLibraryA(registered.c_str());
    if (runtime == nullptr) runtime = LoadSystemLibrary("hhctrl.ocx");
    if (runtime != nullptr) {
      g_htmlHelpW = reinterpret_cast<HtmlHelpWFn>(
          reinterpret_cast<void*>(GetProcAddress(runtime, MAKEINTRESOURCEA(kHtmlHelpWOrdinal))));
      // The runtime stays loaded for the life of the process.
      if (g_htmlHelpW != nullptr) g_runtimeState = RuntimeState::Loaded;
    }
  }
  return g_runtimeState == RuntimeState::Loaded ? g_htmlHelpW : nullptr;
}

constexpr wchar_t kHelpFile[] = L".\\TBLIFT.CHM";

}  // namespace

bool OpenHelpTopic(HWND owner, const wchar_t* topic) {
  // A missing help file is left alone before any runtime is asked: some
  // viewers report it in a window of their own, and help stays silent.
  if (GetFileAttributesW(kHelpFile) == INVALID_FILE_ATTRIBUTES) return false;
  HtmlHelpWFn htmlHelp = HtmlHelpFunction();
  if (htmlHelp == nullptr) return false;
  std::wstring path = kHelpFile;
  if (topic != nullptr) path += std::wstring(L"::/_RESOURCE/") + topic;
  return htmlHelp(owner, path.c_str(), kHhDisplayTopic, 0) != nullptr;
}

bool OpenCommandLineHelp() {
  const std::wstring parameters = std::wstring(L"TBLIFT.CHM::/_RESOURCE/") + kHelpCommandLine;
  const auto result = reinterpret_cast<INT_PTR>(
      ShellExecuteW(nullptr, L"open", L"hh.exe", parameters.c_str(), L".", SW_SHOWNORMAL));
  if (result > 32) return true;
  ShowMessageBox(nullptr, kCannotOpenHelp.get(), L"Tabulift", MB_ICONERROR);
  return false;
}

}  // namespace tblf
