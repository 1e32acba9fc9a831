#include "filelist/combobox_queue_win.h"

#include <vector>

#include "settings/regw_win.h"
#include "settings/storage_mode.h"
#include "base/message_box_win.h"

namespace tblf {

bool ComboboxQueue::Attach(const wchar_t* valueName, HWND combo, const wchar_t* iniEntry) {
  if (GetWindowLongPtrW(combo, GWL_STYLE) & CBS_SORT) {
    // The history's order is its meaning; a sorting box would hide it.
    ShowMessageBox(nullptr, L"Warning: Combobox Control has CBS_SORT style!", L"ComboboxQueue", MB_ICONERROR);
  }
  subkey_ = std::wstring(kSettingsKeyPath) + L"\\FileList";
  valueName_ = valueName;
  combo_ = combo;
  iniMode_ = IsIniMode();
  history_ = HistoryList();
  if (iniMode_) {
    SendMessageW(combo_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(iniEntry));
    return true;
  }
  REGW key;
  if (!key.OpenKey(HKEY_CURRENT_USER, subkey_.c_str(), REGW::kReadOnly)) return true;
  bool ok = true;
  DWORD type = 0, size = 0;
  if (RegQueryValueExW(key.key(), valueName_.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
      type == REG_MULTI_SZ && size > 0) {
    std::vector<wchar_t> data(size / sizeof(wchar_t) + 1, L'\0');
    DWORD got = static_cast<DWORD>(data.size() * sizeof(wchar_t));
    if (RegQueryValueExW(key.key(), valueName_.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()),
                         &got) == ERROR_SUCCESS) {
      history_.Assign(DecodeMultiString(std::wstring_view(data.data(), got / sizeof(wchar_t)),
                                        HistoryList::kCapacity));
    } else {
      ok = false;
    }
  }
  key.CloseKey();
  for (const std::wstring& entry : history_.Entries()) {
    SendMessageW(combo_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
  }
  return ok;
}

bool ComboboxQueue::Add(const std::wstring& text) {
  if (combo_ == nullptr || iniMode_) return true;
  const bool stored = history_.Add(text) ? Store() : true;
  Refill();
  return stored;
}

bool ComboboxQueue::Store() {
  REGW key;
  if (!key.OpenKey(HKEY_CURRENT_USER, subkey_.c_str(), REGW::kCreate)) return false;
  const std::wstring data = EncodeMultiString(history_.Entries());
  const bool ok = RegSetValueExW(key.key(), valueName_.c_str(), 0, REG_MULTI_SZ,
                                 reinterpret_cast<const BYTE*>(data.data()),
                                 static_cast<DWORD>(data.size() * sizeof(wchar_t))) == ERROR_SUCCESS;
  key.CloseKey();
  return ok;
}

void ComboboxQueue::Refill() {
  SendMessageW(combo_, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
  const LRESULT count = SendMessageW(combo_, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) SendMessageW(combo_, CB_DELETESTRING, 0, 0);
  for (const std::wstring& entry : history_.Entries()) {
    SendMessageW(combo_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
  }
  SendMessageW(combo_, CB_SETCURSEL, 0, 0);
}

void ComboboxQueue::Release() {
  history_ = HistoryList();
  subkey_.clear();
  valueName_.clear();
  combo_ = nullptr;
}

}  // namespace tblf
