#include "settings/settings_store_win.h"

#include <climits>
#include <cstdlib>
#include <string>

#include "settings/regw_win.h"
#include "settings/setting_values.h"
#include "settings/settings.h"
#include "settings/storage_mode.h"
#include "base/message_box_win.h"
#include "base/text.h"

namespace tblf {

namespace {

constexpr BiText kIniWriteFailed{
    L"設定ファイル %s のセクション[%s]内のキー %s に書き込みを行うことができませんでした。"
    L"設定情報の一部または全部が失われます。",
    L"An error occurred in WritePrivateProfileString (section=%s, key=%s)"};
constexpr BiText kRegistryWriteFailed{
    L"レジストリキー %s 内の値 %s に書き込みを行うことができませんでした。設定情報の一部または全部が失われます。",
    L"An error occurred in Reg.WriteInteger (key=%s, value=%s)"};
constexpr BiText kRegistryOpenFailed{
    L"レジストリキー %s を開けないため、値 %s に書き込みを行うことができませんでした。"
    L"設定情報の一部または全部が失われます。",
    L"An error occurred in Reg.OpenSubKey (key=%s, value=%s)"};

void ShowWriteFailure(std::uintptr_t owner, const wchar_t* text) {
  ShowMessageBox(reinterpret_cast<HWND>(owner), text, L"Tabulift", MB_ICONERROR);
}

// wsprintfW never writes more than 1024 characters, the size of the buffer.
void ShowIniWriteFailure(std::uintptr_t owner, const wchar_t* section, const wchar_t* key) {
  wchar_t text[1024];
  if (g_japaneseUi) {
    wsprintfW(text, kIniWriteFailed.ja, kIniFilePath, section, key);
  } else {
    wsprintfW(text, kIniWriteFailed.en, section, key);
  }
  ShowWriteFailure(owner, text);
}

void ShowRegistryFailure(std::uintptr_t owner, const BiText& format, const wchar_t* section,
                         const wchar_t* key) {
  wchar_t text[1024];
  wsprintfW(text, format.get(), section, key);
  ShowWriteFailure(owner, text);
}

// A new INI file is started as UTF-16 with its byte order mark: the profile
// functions then keep every character, where a file they create themselves
// is in the ANSI code page and loses what that cannot represent. An existing
// file is never touched.
void StartUnicodeIniFile() {
  HANDLE file = CreateFileW(kIniFilePath, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  static const BYTE kBom[2] = {0xFF, 0xFE};
  DWORD written = 0;
  const bool ok = WriteFile(file, kBom, sizeof(kBom), &written, nullptr) && written == sizeof(kBom);
  CloseHandle(file);
  if (!ok) DeleteFileW(kIniFilePath);
}

bool WriteIniText(const wchar_t* section, const wchar_t* key, const wchar_t* text, std::uintptr_t owner) {
  StartUnicodeIniFile();
  if (WritePrivateProfileStringW(section, key, text, kIniFilePath)) return true;
  ShowIniWriteFailure(owner, section, key);
  return false;
}

std::wstring CopyOf(const wchar_t* text) { return text != nullptr ? std::wstring(text) : std::wstring(); }

// The INI value, read into a buffer that doubles while the text may have
// been cut (a result of n - 1 characters).
std::optional<std::wstring> ReadIniString(const wchar_t* section, const wchar_t* key, const wchar_t* defaultValue) {
  DWORD n = 1024;
  for (;;) {
    auto* buffer = static_cast<wchar_t*>(std::calloc(n, sizeof(wchar_t)));
    if (buffer == nullptr) return CopyOf(defaultValue);
    const DWORD length = GetPrivateProfileStringW(section, key, defaultValue, buffer, n, kIniFilePath);
    if (length != n - 1) {
      std::wstring text(buffer, length < n ? length : n - 1);
      std::free(buffer);
      return text;
    }
    std::free(buffer);
    if (n > DWORD(INT_MAX) / 2) return CopyOf(defaultValue);
    n *= 2;
  }
}

}  // namespace

void SelectStorageMode(const wchar_t* commandLineArguments) {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) {
      path.clear();
      break;
    }
    if (n < path.size()) {
      path.resize(n);
      break;
    }
    path.resize(path.size() * 2);
  }
  SetIniMode(IniModeSelected(path, commandLineArguments != nullptr ? commandLineArguments : L""));
}

int ReadSettingInt(const wchar_t* section, const wchar_t* key, int defaultValue) {
  int result = static_cast<int>(GetPrivateProfileIntW(section, key, defaultValue, kIniFilePath));
  if (!IsIniMode()) {
    REGW reg;
    if (reg.OpenSubKey(section, REGW::kReadOnly)) {
      result = reg.ReadIntegerW(key, result);
      reg.CloseKey();
    }
  }
  return result;
}

std::optional<std::wstring> ReadSettingString(const wchar_t* section, const wchar_t* key,
                                              const wchar_t* defaultValue) {
  if (!IsIniMode()) {
    REGW reg;
    if (reg.OpenSubKey(section, REGW::kReadOnly)) {
      std::unique_ptr<wchar_t[]> text = reg.RegReadStringW(key);
      reg.CloseKey();
      if (text) return std::wstring(text.get());
    }
  }
  return ReadIniString(section, key, defaultValue != nullptr ? defaultValue : L"");
}

bool WriteSettingInt(const wchar_t* section, const wchar_t* key, int value, std::uintptr_t owner) {
  if (IsIniMode()) {
    wchar_t text[16];
    wsprintfW(text, L"%d", value);
    return WriteIniText(section, key, text, owner);
  }
  REGW reg;
  if (!reg.OpenSubKey(section, REGW::kCreate)) {
    ShowRegistryFailure(owner, kRegistryOpenFailed, section, key);
    return false;
  }
  const bool ok = reg.WriteIntegerW(key, value);
  if (!ok) ShowRegistryFailure(owner, kRegistryWriteFailed, section, key);
  reg.CloseKey();
  return ok;
}

bool WriteSettingString(const wchar_t* section, const wchar_t* key, const wchar_t* value, std::uintptr_t owner) {
  if (value == nullptr) value = L"";
  if (IsIniMode()) {
    const std::wstring stored = IniStoredString(value);
    return WriteIniText(section, key, stored.c_str(), owner);
  }
  REGW reg;
  if (!reg.OpenSubKey(section, REGW::kCreate)) {
    ShowRegistryFailure(owner, kRegistryOpenFailed, section, key);
    return false;
  }
  const bool ok = reg.WriteStringW(key, value);
  if (!ok) ShowRegistryFailure(owner, kRegistryWriteFailed, section, key);
  reg.CloseKey();
  return ok;
}

}  // namespace tblf
