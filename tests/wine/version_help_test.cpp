// The version values as the build sets them, read back from the built
// programs; help that stays silent without its file; and the process
// basics: the UI language from TBLF_LANG, system libraries and the current
// directory.

#include <windows.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "base/help_topics.h"
#include "base/help_win.h"
#include "help/version.h"
#include "help/version_win.h"
#include "base/process_basics.h"
#include "base/process_basics_win.h"
#include "tblf_version.h"
#include "tests/support/fixture_win.h"

#define TBLF_WIDE2(text) L##text
#define TBLF_WIDE(text) TBLF_WIDE2(text)

namespace tblf {
namespace {

TEST(VersionResource, TblfcliCarriesTheVersionSetInTheBuild) {
  const std::optional<VersionResource> resource = ReadVersionResource(test::ExecutableFolder() + L"tblfcli.exe");
  ASSERT_TRUE(resource);
  EXPECT_EQ(resource->fileVersion, TBLF_WIDE(TBLF_FILE_VERSION));
  EXPECT_EQ(resource->fileDescription, L"Tabulift");
  EXPECT_EQ(resource->specialBuild, TBLF_WIDE(TBLF_SPECIAL_BUILD));
  EXPECT_EQ(resource->privateBuild, TBLF_WIDE(TBLF_BUILD_DATE));
  EXPECT_EQ(resource->legalCopyright, TBLF_WIDE(TBLF_COPYRIGHT));
}

TEST(VersionResource, AProgramWithoutOneGivesNothing) {
  // The test fixture is built without a version resource.
  EXPECT_FALSE(ReadVersionResource(test::ExecutableFolder() + L"tblf_fixture.exe"));
  EXPECT_FALSE(ReadVersionResource(test::ExecutableFolder() + L"no_such_program.exe"));
}

BOOL CALLBACK CollectOwnWindow(HWND window, LPARAM data) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process == GetCurrentProcessId()) reinterpret_cast<std::set<HWND>*>(data)->insert(window);
  return TRUE;
}

// Top-level windows of this process.
std::set<HWND> OwnWindows() {
  std::set<HWND> windows;
  EnumWindows(CollectOwnWindow, reinterpret_cast<LPARAM>(&windows));
  return windows;
}

void PumpFor(DWORD ms) {
  const ULONGLONG end = GetTickCount64() + ms;
  while (GetTickCount64() < end) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    Sleep(20);
  }
}

TEST(HelpTopic, WithoutTheHelpFileNothingOpensAndNothingShows) {
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  const std::wstring empty = std::wstring(temp) + L"tblf_help_" + std::to_wstring(GetCurrentProcessId());
  ASSERT_TRUE(CreateDirectoryW(empty.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
  wchar_t previous[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, previous);
  ASSERT_TRUE(SetCurrentDirectoryW(empty.c_str()));

  const std::set<HWND> before = OwnWindows();
  for (const wchar_t* topic : {kHelpMainWindow, kHelpMultiSelection, static_cast<const wchar_t*>(nullptr)}) {
    EXPECT_FALSE(OpenHelpTopic(nullptr, topic));
  }
  PumpFor(300);
  EXPECT_EQ(OwnWindows(), before);

  SetCurrentDirectoryW(previous);
  RemoveDirectoryW(empty.c_str());
}

// The help file is built into bin/, beside this test.
TEST(HelpTopic, BesideTheHelpFileATopicOpensInAViewerWindow) {
  CoInitialize(nullptr);
  wchar_t previous[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, previous);
  ASSERT_TRUE(SetCurrentDirectoryW(test::ExecutableFolder().c_str()));
  ASSERT_NE(GetFileAttributesW(L"TBLIFT.CHM"), INVALID_FILE_ATTRIBUTES);

  const std::set<HWND> before = OwnWindows();
  EXPECT_TRUE(OpenHelpTopic(nullptr, kHelpSettings));
  PumpFor(300);
  int opened = 0;
  for (HWND window : OwnWindows()) {
    if (before.count(window) == 0) {
      ++opened;
      DestroyWindow(window);
    }
  }
  EXPECT_GT(opened, 0);

  SetCurrentDirectoryW(previous);
  CoUninitialize();
}

// ---------------------------------------------------------------------------
// Process basics

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
