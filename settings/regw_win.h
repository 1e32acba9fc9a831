#pragma once
// REGW: one open registry key, closed at the latest by the destructor.
// Misuse (an operation on a key that is not open, a second open, a second
// close, a key left open at destruction) is caught and shown in a guard
// message box (caption "Registory Class") in the language of
// g_regwJapaneseUi; the operation then gives its failure result.

#include <windows.h>

#include <memory>

namespace tblf {

// HKEY_CURRENT_USER\<kSettingsKeyPath> holds one subkey per settings section.
constexpr const wchar_t* kSettingsKeyPath = L"Software\\QuillmarkHive\\TBLIFT\\CurrentVersion";

class REGW {
 public:
  // Open flags.
  static constexpr int kCreate = 1;    // create the key when it cannot be opened
  static constexpr int kReadOnly = 2;  // KEY_READ instead of KEY_ALL_ACCESS

  REGW() = default;
  ~REGW();
  REGW(const REGW&) = delete;
  REGW& operator=(const REGW&) = delete;

  // Opens `path` below the predefined `root`.
  bool OpenKey(HKEY root, const wchar_t* path, int flags);
  // Opens the section's subkey of the settings key under HKEY_CURRENT_USER;
  // a null section opens the settings key itself.
  bool OpenSubKey(const wchar_t* section, int flags);
  bool CloseKey();

  // The byte size of the value, or -1 when it cannot be queried.
  long ValueExistW(const wchar_t* name);
  // The value as a 32-bit signed integer (see DecodeRegistryInteger).
  int ReadIntegerW(const wchar_t* name, int defaultValue);
  // A new NUL-terminated copy of a string value (REG_SZ, REG_EXPAND_SZ, the
  // first string of REG_MULTI_SZ) and its length in characters including the
  // NUL; nothing when the value is missing, has size 0 or holds no text.
  std::unique_ptr<wchar_t[]> RegReadStringW(const wchar_t* name, DWORD* lengthWithNul = nullptr);
  // REG_SZ with the NUL in the data size; a REG_EXPAND_SZ value stays one.
  bool WriteStringW(const wchar_t* name, const wchar_t* text);
  // REG_DWORD.
  bool WriteIntegerW(const wchar_t* name, int value);

  // The held key (null when closed), for callers that store other value
  // types directly (the file list histories).
  HKEY key() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

}  // namespace tblf
