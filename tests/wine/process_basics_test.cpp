#include "base/process_basics_win.h"

#include <gtest/gtest.h>

#include <string>

#include "base/process_basics.h"

namespace tblf {
namespace {

bool SelectWith(const wchar_t* value) {
  SetEnvironmentVariableW(L"TBLF_LANG", value);
  SelectUiLanguage();
  return g_japaneseUi;
}

// The values themselves are JapaneseFromLanguage's test (native); here the
// variable is read, a long one too, and both flags follow.
TEST(SelectUiLanguage, FollowsTblfLang) {
  EXPECT_TRUE(SelectWith(L"ja"));
  EXPECT_TRUE(g_regwJapaneseUi);
  EXPECT_FALSE(SelectWith(L"EN"));
  EXPECT_FALSE(g_regwJapaneseUi);
  EXPECT_FALSE(SelectWith(std::wstring(300, L'x').c_str()));
}

TEST(LoadSystemLibrary, LoadsAndRestoresTheCurrentDirectory) {
  wchar_t temp[MAX_PATH] = {};
  ASSERT_GT(GetTempPathW(MAX_PATH, temp), 0u);
  ASSERT_TRUE(SetCurrentDirectoryW(temp));
  wchar_t before[MAX_PATH] = {}, after[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, before);
  HMODULE user32 = LoadSystemLibrary("user32.dll");
  EXPECT_NE(user32, nullptr);
  GetCurrentDirectoryW(MAX_PATH, after);
  EXPECT_STREQ(before, after);
  EXPECT_EQ(LoadSystemLibrary("no-such-library-tblf.dll"), nullptr);
  GetCurrentDirectoryW(MAX_PATH, after);
  EXPECT_STREQ(before, after);
}

TEST(SetCurrentDirectoryToExeFolder, MakesTheExeFolderCurrent) {
  wchar_t exe[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, exe, MAX_PATH);
  std::wstring folder(exe);
  folder.resize(folder.rfind(L'\\'));
  SetCurrentDirectoryW(L"C:\\");
  SetCurrentDirectoryToExeFolder();
  wchar_t now[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, now);
  EXPECT_EQ(lstrcmpiW(now, folder.c_str()), 0) << "now " << testing::PrintToString(std::wstring(now));
}

}  // namespace
}  // namespace tblf
