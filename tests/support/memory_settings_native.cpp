#include "tests/support/memory_settings.h"

#include <cwctype>

#include "settings/settings.h"

namespace tblf {
namespace {

// Section and key names are case-insensitive, as in both real stores.
std::wstring Fold(const std::wstring& section, const std::wstring& key) {
  std::wstring out = section + L'\x1F' + key;
  for (auto& c : out) c = static_cast<wchar_t>(std::towlower(c));
  return out;
}

struct Store {
  std::map<std::wstring, std::wstring> values;
};

Store& TheStore() {
  static Store store;
  return store;
}

bool ParseInt(const std::wstring& text, int& value) {
  if (text.empty()) return false;
  std::size_t i = (text[0] == L'+' || text[0] == L'-') ? 1 : 0;
  long long v = 0;
  for (std::size_t j = i; j < text.size(); ++j) {
    if (text[j] < L'0' || text[j] > L'9') return false;
    v = v * 10 + (text[j] - L'0');
    if (v > 0xFFFFFFFFLL) return false;
  }
  value = static_cast<int>(text[0] == L'-' ? -v : v);
  return true;
}
}  // namespace

int ReadSettingInt(const wchar_t* section, const wchar_t* key, int defaultValue) {
  auto& store = TheStore();
  auto it = store.values.find(Fold(section, key));
  int value = defaultValue;
  if (it != store.values.end() && ParseInt(it->second, value)) return value;
  return defaultValue;
}

std::optional<std::wstring> ReadSettingString(const wchar_t* section, const wchar_t* key,
                                              const wchar_t* defaultValue) {
  auto& store = TheStore();
  auto it = store.values.find(Fold(section, key));
  if (it != store.values.end()) return it->second;
  return std::wstring(defaultValue ? defaultValue : L"");
}

bool WriteSettingInt(const wchar_t* section, const wchar_t* key, int value, std::uintptr_t) {
  auto& store = TheStore();
  store.values[Fold(section, key)] = std::to_wstring(value);
  return true;
}

bool WriteSettingString(const wchar_t* section, const wchar_t* key, const wchar_t* value, std::uintptr_t) {
  auto& store = TheStore();
  store.values[Fold(section, key)] = value ? value : L"";
  return true;
}

namespace testing {
void MemorySettings::Reset() { TheStore() = Store{}; }
void MemorySettings::SetInt(const std::wstring& section, const std::wstring& key, int value) {
  TheStore().values[Fold(section, key)] = std::to_wstring(value);
}
}  // namespace testing

}  // namespace tblf
