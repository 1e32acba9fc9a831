#pragma once
// How setting values are turned into text and back where the stores
// themselves do not decide it: the integer decoding of registry values and
// the apostrophe wrapping of INI strings.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tblf {

// Registry value types by number, so that this file needs no <windows.h>.
enum : std::uint32_t {
  kRegNone = 0,
  kRegSz = 1,
  kRegExpandSz = 2,
  kRegBinary = 3,
  kRegDword = 4,
  kRegDwordBigEndian = 5,
  kRegLink = 6,
  kRegMultiSz = 7,
  kRegQword = 11,
};

// A numeric setting string: an optional "+" or "-" followed by nothing but
// decimal digits. A lone sign (and the empty text) gives 0. A value from
// INT_MIN to 4294967295 is taken as its 32 bits, so "4294967295" is -1 and
// "2147483648" is INT_MIN, the same as a REG_DWORD holding that number;
// anything further out gives nothing, like text that is no number.
std::optional<int> ParseSettingInteger(std::wstring_view text);

// The integer a registry value stands for, from its type and raw data:
//   REG_DWORD, REG_QWORD, REG_BINARY of at least 4 bytes: the first four
//     bytes little-endian (a REG_QWORD gives its low half);
//   REG_DWORD_BIG_ENDIAN of at least 4 bytes: the first four bytes big-endian,
//     as the type says;
//   REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ: the UTF-16LE text up to its first
//     NUL (the first string of a multi-string) through ParseSettingInteger;
//   anything else, and the binary types shorter than 4 bytes: the default.
int DecodeRegistryInteger(std::uint32_t type, const unsigned char* data, std::size_t size,
                          int defaultValue);

// The text stored in the INI file for a string setting. The profile reader
// strips one pair of enclosing quotes, so a value that begins with a double
// quote or an apostrophe is wrapped in apostrophes; so is a value that begins
// or ends with a blank or a tab, which the reader would trim away. Every
// other value is stored unchanged.
std::wstring IniStoredString(std::wstring_view value);

}  // namespace tblf
