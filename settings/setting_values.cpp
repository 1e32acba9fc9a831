#include "settings/setting_values.h"

namespace tblf {

std::optional<int> ParseSettingInteger(std::wstring_view text) {
  std::size_t i = 0;
  bool negative = false;
  if (!text.empty() && (text[0] == L'+' || text[0] == L'-')) {
    negative = text[0] == L'-';
    i = 1;
  }
  constexpr std::uint64_t kLimit = 0xFFFFFFFFull;
  std::uint64_t magnitude = 0;
  for (; i < text.size(); ++i) {
    const wchar_t c = text[i];
    if (c < L'0' || c > L'9') return std::nullopt;
    magnitude = magnitude * 10 + static_cast<std::uint64_t>(c - L'0');
    if (magnitude > kLimit) return std::nullopt;  // stops before the sum can overflow
  }
  if (negative) {
    if (magnitude > 0x80000000ull) return std::nullopt;
    return static_cast<int>(static_cast<std::uint32_t>(0u - static_cast<std::uint32_t>(magnitude)));
  }
  return static_cast<int>(static_cast<std::uint32_t>(magnitude));
}

namespace {
std::uint32_t LittleEndian32(const unsigned char* p) {
  return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
         std::uint32_t(p[3]) << 24;
}

std::uint32_t BigEndian32(const unsigned char* p) {
  return std::uint32_t(p[3]) | std::uint32_t(p[2]) << 8 | std::uint32_t(p[1]) << 16 |
         std::uint32_t(p[0]) << 24;
}

std::wstring Utf16LeUpToNul(const unsigned char* data, std::size_t size) {
  std::wstring text;
  for (std::size_t i = 0; i + 1 < size; i += 2) {
    const wchar_t unit = static_cast<wchar_t>(data[i] | data[i + 1] << 8);
    if (unit == 0) break;
    text.push_back(unit);
  }
  return text;
}
}  // namespace

int DecodeRegistryInteger(std::uint32_t type, const unsigned char* data, std::size_t size,
                          int defaultValue) {
  if (data == nullptr) size = 0;
  switch (type) {
    case kRegDword:
    case kRegQword:
    case kRegBinary:
      return size >= 4 ? static_cast<int>(LittleEndian32(data)) : defaultValue;
    case kRegDwordBigEndian:
      return size >= 4 ? static_cast<int>(BigEndian32(data)) : defaultValue;
    case kRegSz:
    case kRegExpandSz:
    case kRegMultiSz:
      return ParseSettingInteger(Utf16LeUpToNul(data, size)).value_or(defaultValue);
    default:
      return defaultValue;
  }
}

std::wstring IniStoredString(std::wstring_view value) {
  auto isBlank = [](wchar_t c) { return c == L' ' || c == L'\t'; };
  const bool wrap = !value.empty() && (value.front() == L'"' || value.front() == L'\'' ||
                                       isBlank(value.front()) || isBlank(value.back()));
  if (!wrap) return std::wstring(value);
  std::wstring stored;
  stored.reserve(value.size() + 2);
  stored += L'\'';
  stored += value;
  stored += L'\'';
  return stored;
}

}  // namespace tblf
