#include "settings/regw_win.h"

#include <string>
#include <vector>

#include "settings/setting_values.h"
#include "base/message_box_win.h"
#include "base/process_basics.h"

namespace tblf {

namespace {

struct Guard {
  const wchar_t* jaFirst;
  const wchar_t* en;
};

constexpr Guard kGuardDestructor{L"レジストリを自動クローズしました。", L"An error has occurred in REGW::~REGW()."};
constexpr Guard kGuardOpenKey{L"レジストリキーを多重オープンしようとしたので保護しました(REGW::OpenKey())。",
                              L"An error has occurred in REGW::OpenKey()."};
constexpr Guard kGuardOpenSubKey{L"レジストリキーを多重オープンしようとしたので保護しました(REGW::OpenSubKey)。",
                                 L"An error has occurred in REGW::OpenSubKey()."};
constexpr Guard kGuardCloseKey{L"レジストリを多重クローズしようとしたので保護しました(REGW::CloseKey)。",
                               L"An error has occurred in REGW::CloseKey()."};
constexpr Guard kGuardValueExist{L"開かれていないキーを対象に ValueExistW が行われようとしたので保護します。",
                                 L"An error has occurred in ValueExistW."};
constexpr Guard kGuardReadInteger{L"開かれていないキーを対象に ReadIntegerW が行われようとしたので保護します。",
                                  L"An error has occurred in ReadIntegerW."};
constexpr Guard kGuardReadString{L"開かれていないキーを対象に (new)RegReadStringW が行われようとしたので保護します。",
                                 L"An error has occurred in (new)ReadString."};
constexpr Guard kGuardWriteString{L"開かれていないキーを対象に WriteStringW が行われようとしたので保護します。",
                                  L"An error has occurred in WriteStringW."};
constexpr Guard kGuardWriteInteger{L"開かれていないキーを対象に WriteIntegerW が行われようとしたので保護します。",
                                   L"An error has occurred in WriteIntegerW."};

constexpr const wchar_t* kGuardCommonJa =
    L"このメッセージが表示されたら、現在編集している/していたダイアログの名前を、"
    L"メッセージの内容と共に正確に作者まで報告して下さい。";

void ShowGuard(const Guard& guard) {
  // The Japanese form is the first sentence, a line feed and the request to
  // report; the wrapper follows its own copy of the UI flag.
  std::wstring text = g_regwJapaneseUi ? std::wstring(guard.jaFirst) + L"\n" + kGuardCommonJa : guard.en;
  ShowMessageBox(nullptr, text.c_str(), L"Registory Class", MB_ICONEXCLAMATION);
}

REGSAM AccessFor(int flags) { return (flags & REGW::kReadOnly) ? KEY_READ : KEY_ALL_ACCESS; }

}  // namespace

REGW::~REGW() {
  if (key_ != nullptr) {
    RegCloseKey(key_);
    key_ = nullptr;
    ShowGuard(kGuardDestructor);
  }
}

bool REGW::OpenKey(HKEY root, const wchar_t* path, int flags) {
  if (key_ != nullptr) {
    ShowGuard(kGuardOpenKey);
    RegCloseKey(key_);
    key_ = nullptr;
  }
  const REGSAM access = AccessFor(flags);
  HKEY key = nullptr;
  LONG rc = RegOpenKeyExW(root, path, 0, access, &key);
  if (rc != ERROR_SUCCESS && (flags & kCreate)) {
    rc = RegCreateKeyExW(root, path, 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr, &key, nullptr);
  }
  if (rc != ERROR_SUCCESS) return false;
  key_ = key;
  return true;
}

bool REGW::OpenSubKey(const wchar_t* section, int flags) {
  if (key_ != nullptr) {
    ShowGuard(kGuardOpenSubKey);
    RegCloseKey(key_);
    key_ = nullptr;
  }
  std::wstring path = kSettingsKeyPath;
  if (section != nullptr) {
    if (path.empty() || path.back() != L'\\') path += L'\\';
    path += section;
  }
  // The guard has run already; OpenKey finds no key held.
  return OpenKey(HKEY_CURRENT_USER, path.c_str(), flags);
}

bool REGW::CloseKey() {
  if (key_ == nullptr) {
    ShowGuard(kGuardCloseKey);
    return false;
  }
  const LONG rc = RegCloseKey(key_);
  key_ = nullptr;
  return rc == ERROR_SUCCESS;
}

long REGW::ValueExistW(const wchar_t* name) {
  if (key_ == nullptr) {
    ShowGuard(kGuardValueExist);
    return -1;
  }
  DWORD size = 0;
  if (RegQueryValueExW(key_, name, nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS) return -1;
  return static_cast<long>(size);
}

int REGW::ReadIntegerW(const wchar_t* name, int defaultValue) {
  if (key_ == nullptr) {
    ShowGuard(kGuardReadInteger);
    return defaultValue;
  }
  DWORD type = 0, size = 0;
  if (RegQueryValueExW(key_, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return defaultValue;
  // One zero byte more than the data, so a string without its NUL still ends.
  std::vector<unsigned char> data(static_cast<std::size_t>(size) + 1, 0);
  DWORD got = size;
  if (RegQueryValueExW(key_, name, nullptr, &type, data.data(), &got) != ERROR_SUCCESS) return defaultValue;
  return DecodeRegistryInteger(type, data.data(), got, defaultValue);
}

std::unique_ptr<wchar_t[]> REGW::RegReadStringW(const wchar_t* name, DWORD* lengthWithNul) {
  if (key_ == nullptr) {
    ShowGuard(kGuardReadString);
    return nullptr;
  }
  const long size = ValueExistW(name);
  if (size < 1) return nullptr;
  DWORD type = 0;
  if (RegQueryValueExW(key_, name, nullptr, &type, nullptr, nullptr) != ERROR_SUCCESS) return nullptr;
  // A number or binary data under a string setting's name is not its text.
  if (type != REG_SZ && type != REG_EXPAND_SZ && type != REG_MULTI_SZ) return nullptr;
  const std::size_t chars = static_cast<std::size_t>(size) / 2;
  std::unique_ptr<wchar_t[]> text(new (std::nothrow) wchar_t[chars + 1]());
  if (!text) return nullptr;
  DWORD got = static_cast<DWORD>(chars * 2);
  if (RegQueryValueExW(key_, name, nullptr, nullptr, reinterpret_cast<BYTE*>(text.get()), &got) !=
      ERROR_SUCCESS) {
    return nullptr;
  }
  text[chars] = L'\0';
  if (lengthWithNul != nullptr) *lengthWithNul = static_cast<DWORD>(lstrlenW(text.get())) + 1;
  return text;
}

bool REGW::WriteStringW(const wchar_t* name, const wchar_t* text) {
  if (key_ == nullptr) {
    ShowGuard(kGuardWriteString);
    return false;
  }
  if (text == nullptr) text = L"";
  DWORD type = REG_SZ;
  DWORD existing = 0;
  if (RegQueryValueExW(key_, name, nullptr, &existing, nullptr, nullptr) == ERROR_SUCCESS &&
      existing == REG_EXPAND_SZ) {
    type = REG_EXPAND_SZ;
  }
  const DWORD bytes = (static_cast<DWORD>(lstrlenW(text)) + 1) * sizeof(wchar_t);
  return RegSetValueExW(key_, name, 0, type, reinterpret_cast<const BYTE*>(text), bytes) == ERROR_SUCCESS;
}

bool REGW::WriteIntegerW(const wchar_t* name, int value) {
  if (key_ == nullptr) {
    ShowGuard(kGuardWriteInteger);
    return false;
  }
  const DWORD data = static_cast<DWORD>(value);
  return RegSetValueExW(key_, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof(data)) ==
         ERROR_SUCCESS;
}

}  // namespace tblf
