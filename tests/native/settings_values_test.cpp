#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "settings/setting_values.h"
#include "settings/storage_mode.h"

namespace tblf {
namespace {

struct PathCase {
  const wchar_t* path;
  bool iniMode;
};

TEST(IniModeFromExePath, EndsInUnderscoreOExeUnderTheExactRule) {
  const PathCase cases[] = {
      {L"C:\\Tools\\TBLIFT_O.EXE", true},
      {L"C:\\Tools\\tblift_O.ExE", true},
      {L"C:\\Tools\\TBLIFT.EXE", false},
      {L"C:\\Tools\\TBLIFT-O.EXE", false},   // the underscore is exact
      {L"C:\\Tools\\TBLIFT_O,EXE", false},   // the dot is exact
      {L"C:\\Tools\\TBLIFT_O.EXE ", false},  // nothing may follow
      {L"C:_o.exe", true},                   // exactly 8
      {L"x_o.exe", false},                   // 7 characters are too short
      {L"", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IniModeFromExePath(c.path), c.iniMode) << ::testing::PrintToString(std::wstring(c.path));
  }
}

TEST(IniModeFromCommandLine, OnlyExactlySlashO) {
  const PathCase cases[] = {
      {L"/o", true}, {L"/O", true}, {L"", false}, {L" /o", false}, {L"/o ", false},
      {L"-o", false}, {L"/o /o", false}, {L"/?", false}, {L"/oo", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IniModeFromCommandLine(c.path), c.iniMode) << ::testing::PrintToString(std::wstring(c.path));
  }
}

TEST(IniModeSelected, EitherSourceIsEnoughAndTheFlagHoldsIt) {
  EXPECT_TRUE(IniModeSelected(L"C:\\a\\tblift_o.exe", L""));
  EXPECT_TRUE(IniModeSelected(L"C:\\a\\tblift.exe", L"/O"));
  EXPECT_FALSE(IniModeSelected(L"C:\\a\\tblift.exe", L"/x"));
  const bool saved = IsIniMode();
  SetIniMode(true);
  EXPECT_TRUE(IsIniMode());
  SetIniMode(false);
  EXPECT_FALSE(IsIniMode());
  SetIniMode(saved);
}

struct IntegerCase {
  const wchar_t* text;
  std::optional<int> value;
};

TEST(ParseSettingInteger, SignDigitsAndTheLoneSign) {
  const IntegerCase cases[] = {
      {L"42", 42},
      {L"+7", 7},
      {L"-7", -7},
      {L"-", 0},
      {L"", 0},
      {L"4x", std::nullopt},
      {L" 4", std::nullopt},
      {L"--4", std::nullopt},
      {L"\x0664", std::nullopt},  // an Arabic-Indic digit is no decimal digit here
      {L"-2147483648", INT_MIN},
      {L"2147483648", INT_MIN},     // the 32 bits, as a REG_DWORD of that number
      {L"4294967295", -1},
      {L"00000000004294967295", -1},
      {L"4294967296", std::nullopt},
      {L"-2147483649", std::nullopt},
      {L"99999999999999999999999999", std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ParseSettingInteger(c.text), c.value) << ::testing::PrintToString(std::wstring(c.text));
  }
}

std::vector<unsigned char> Utf16Le(const wchar_t* text, bool withNul = true) {
  std::vector<unsigned char> data;
  for (const wchar_t* p = text; *p; ++p) {
    data.push_back(static_cast<unsigned char>(*p & 0xFF));
    data.push_back(static_cast<unsigned char>((*p >> 8) & 0xFF));
  }
  if (withNul) data.insert(data.end(), {0, 0});
  return data;
}

struct DecodeCase {
  const char* situation;
  std::uint32_t type;
  std::vector<unsigned char> data;
  int expected;
};

TEST(DecodeRegistryInteger, ByTypeWithDefault99) {
  const DecodeCase cases[] = {
      {"dword little-endian", kRegDword, {0x78, 0x56, 0x34, 0x12}, 0x12345678},
      {"dword all ones", kRegDword, {0xFF, 0xFF, 0xFF, 0xFF}, -1},
      {"dword too short", kRegDword, {0x01, 0x02}, 99},
      {"qword gives its low half", kRegQword, {0x02, 0, 0, 0, 0x01, 0, 0, 0}, 2},
      {"binary longer than 4", kRegBinary, {0x05, 0, 0, 0, 0xAA, 0xBB}, 5},
      {"dword big-endian", kRegDwordBigEndian, {0x00, 0x00, 0x01, 0x02}, 0x0102},
      {"sz 42", kRegSz, Utf16Le(L"42"), 42},
      {"sz 4x", kRegSz, Utf16Le(L"4x"), 99},
      {"sz without its NUL", kRegSz, Utf16Le(L"12", false), 12},
      {"sz of odd size", kRegSz, {'1', 0, '2'}, 1},
      {"multi sz takes the first string", kRegMultiSz, {'8', 0, 0, 0, '9', 0, 0, 0, 0, 0}, 8},
      {"none type", kRegNone, {1, 0, 0, 0}, 99},
      {"unknown type", 0x1234, {1, 0, 0, 0}, 99},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DecodeRegistryInteger(c.type, c.data.data(), c.data.size(), 99), c.expected) << c.situation;
  }
  EXPECT_EQ(DecodeRegistryInteger(kRegDword, nullptr, 4, 99), 99) << "no data";
}

struct WrapCase {
  const wchar_t* value;
  const wchar_t* stored;
};

TEST(IniStoredString, WrapsWhatTheProfileReaderWouldStripOrTrim) {
  const WrapCase cases[] = {
      {L"plain", L"plain"},
      {L"", L""},
      {L"\"quoted\"", L"'\"quoted\"'"},
      {L"'single'", L"''single''"},
      {L"NOTEPAD \"%s\"", L"NOTEPAD \"%s\""},  // a quote later on is kept as it is
      {L" lead", L"' lead'"},
      {L"trail ", L"'trail '"},
      {L"\ttab", L"'\ttab'"},
      {L"in side", L"in side"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IniStoredString(c.value), c.stored) << ::testing::PrintToString(std::wstring(c.value));
  }
}

}  // namespace
}  // namespace tblf
