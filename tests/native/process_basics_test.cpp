#include "base/process_basics.h"

#include <gtest/gtest.h>

namespace tblf {
namespace {

class UiLanguageGuard {
 public:
  explicit UiLanguageGuard(bool japanese) : saved_(g_japaneseUi) { SetUiLanguage(japanese); }
  ~UiLanguageGuard() { SetUiLanguage(saved_); }

 private:
  bool saved_;
};

// The codes that share a text and the ones without a text of their own; the
// texts themselves are the table's.
TEST(ShellExecuteErrorText, CodesThatShareATextOrHaveNone) {
  UiLanguageGuard english(false);
  const std::pair<unsigned, const wchar_t*> cases[] = {
      {0, L"There was not enough memory to complete the operation."},
      {8, L"There was not enough memory to complete the operation."},
      {30, L"DDE error."},
      {12, L"RC=12"},
      {1, L"RC=1"},
      {42, L"No error."},
  };
  for (const auto& [code, text] : cases) EXPECT_EQ(ShellExecuteErrorText(code), text) << "code " << code;
  SetUiLanguage(true);
  EXPECT_EQ(ShellExecuteErrorText(8), L"メモリが不足しています。");
}

TEST(ExeFolderFromPath, DriveRootKeepsItsBackslash) {
  struct Case {
    const wchar_t* path;
    const wchar_t* folder;  // null: nothing happens
  };
  const Case cases[] = {
      {L"C:\\tblift.exe", L"C:\\"},
      {L"C:\\Tools\\tblift.exe", L"C:\\Tools"},
      {L"C:\\a\\tblift.exe", L"C:\\a\\"},      // a backslash at index 4 is kept
      {L"C:\\ab\\tblift.exe", L"C:\\ab"},      // index 5 is cut
      {L"\\\\srv\\share\\x.exe", L"\\\\srv\\share"},
      {L"tblift.exe", nullptr},
      {L"", nullptr},
  };
  for (const auto& c : cases) {
    const auto folder = ExeFolderFromPath(c.path);
    if (c.folder == nullptr) {
      EXPECT_FALSE(folder.has_value()) << "path " << testing::PrintToString(std::wstring(c.path));
    } else {
      ASSERT_TRUE(folder.has_value());
      EXPECT_EQ(*folder, c.folder);
    }
  }
}

TEST(JapaneseFromLanguage, EnvironmentValueWinsOverSystemLanguage) {
  constexpr unsigned short kJapanese = 0x0411, kEnglish = 0x0409;
  struct Case {
    const wchar_t* env;
    unsigned short system;
    bool japanese;
  };
  const Case cases[] = {
      {L"ja", kEnglish, true},   {L"JA", kEnglish, true},  {L"jA", kEnglish, true},
      {L"EN", kJapanese, false}, {L"jap", kEnglish, false}, {L"j", kJapanese, false},
      {nullptr, kJapanese, true}, {nullptr, kEnglish, false}, {L"", kJapanese, true},
      {L"", kEnglish, false},
      // Only the low 10 bits (the primary language) count.
      {nullptr, 0x0C11, true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(JapaneseFromLanguage(c.env, c.system), c.japanese)
        << (c.env ? testing::PrintToString(std::wstring(c.env)) : "unset") << " system " << c.system;
  }
}

TEST(WindowsVersionNumber, NtUsesMajorAndMinor) {
  EXPECT_EQ(WindowsVersionNumber(2, 6, 1, 7601), 601);
  EXPECT_EQ(WindowsVersionNumber(2, 10, 0, 19045), 1000);
  EXPECT_EQ(WindowsVersionNumber(1, 4, 10, 0x040A0000 | 2222), 410);
  EXPECT_EQ(WindowsVersionNumber(1, 4, 0, 950), 400);
}

TEST(ReadErrorText, FollowsTheUiLanguage) {
  UiLanguageGuard english(false);
  EXPECT_STREQ(ReadErrorText(), L"Read error. Please push [Refresh] button.");
  SetUiLanguage(true);
  EXPECT_EQ(std::wstring(ReadErrorText()).rfind(L"アプリケーションからの応答がありません。", 0), 0u);
}

}  // namespace
}  // namespace tblf
