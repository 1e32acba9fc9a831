#pragma once
// The settings store: four operations addressed by section and key. Where the
// value lives (registry under HKEY_CURRENT_USER, or .\TBLIFT.INI) is the
// store's business. Section and key names come from settings_table.h.
//
// The Windows build implements these in settings/; native tests link an
// in-memory store (tests/support/memory_settings.h).

#include <cstdint>
#include <optional>
#include <string>

namespace tblf {

int ReadSettingInt(const wchar_t* section, const wchar_t* key, int defaultValue);
// A new string owned by the caller; nothing only when memory runs out.
std::optional<std::wstring> ReadSettingString(const wchar_t* section, const wchar_t* key,
                                              const wchar_t* defaultValue);
// `owner` (an HWND as a number) is only the parent of the failure message.
bool WriteSettingInt(const wchar_t* section, const wchar_t* key, int value, std::uintptr_t owner);
bool WriteSettingString(const wchar_t* section, const wchar_t* key, const wchar_t* value,
                        std::uintptr_t owner);

}  // namespace tblf
