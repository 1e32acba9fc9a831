// The version values as the build sets them, read back from the built
// programs; and help that stays silent without its file.

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

}  // namespace
}  // namespace tblf
