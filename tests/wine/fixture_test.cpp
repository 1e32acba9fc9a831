// The fixture itself: it starts, reports its windows, hangs and exits on request.
#include "tests/support/fixture_win.h"

#include <gtest/gtest.h>

#include <commctrl.h>

namespace tblf::test {
namespace {

std::wstring ClassOf(HWND hwnd) {
  wchar_t name[100] = {};
  GetClassNameW(hwnd, name, 100);
  return name;
}

TEST(Fixture, DefaultSetReportsEveryNamedWindow) {
  FixtureProcess fixture;
  ASSERT_TRUE(fixture.Start()) << std::string(fixture.Error().begin(), fixture.Error().end());
  struct Expected {
    const wchar_t* name;
    const wchar_t* cls;
  };
  const Expected expected[] = {
      {L"trio.listview", L"SysListView32"}, {L"trio.treeview", L"SysTreeView32"},
      {L"trio.listbox", L"ListBox"},        {L"report", L"SysListView32"},
      {L"icon", L"SysListView32"},          {L"ownerdata", L"SysListView32"},
      {L"singlesel", L"SysListView32"},     {L"emptylistview", L"SysListView32"},
      {L"tree", L"SysTreeView32"},          {L"emptytree", L"SysTreeView32"},
      {L"listbox", L"ListBox"},             {L"ownerlistbox", L"ListBox"},
      {L"combobox", L"ComboBox"},           {L"emptylistbox", L"ListBox"},
      {L"emptycombobox", L"ComboBox"},      {L"ownlistview", L"SysListView32"},
  };
  for (const Expected& e : expected) {
    HWND hwnd = fixture.Handle(e.name);
    ASSERT_TRUE(IsWindow(hwnd)) << "no window " << std::string(e.name, e.name + wcslen(e.name));
    EXPECT_EQ(ClassOf(hwnd), e.cls);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    EXPECT_EQ(pid, fixture.ProcessId());
  }
  EXPECT_EQ(GetParent(fixture.Handle(L"trio.listview")), fixture.Handle(L"trio"));
  EXPECT_EQ(SendMessageW(fixture.Handle(L"report"), LVM_GETITEMCOUNT, 0, 0), 3);
  EXPECT_EQ(SendMessageW(fixture.Handle(L"tree"), TVM_GETCOUNT, 0, 0), 9);
  EXPECT_EQ(SendMessageW(fixture.Handle(L"listbox"), LB_GETCOUNT, 0, 0), 5);
  EXPECT_EQ(SendMessageW(fixture.Handle(L"combobox"), CB_GETCOUNT, 0, 0), 4);
  EXPECT_EQ(SendMessageW(fixture.Handle(L"ownlistview"), LVM_GETITEMCOUNT, 0, 0), 6);
  EXPECT_EQ(SendMessageW(fixture.Handle(L"emptylistview"), LVM_GETITEMCOUNT, 0, 0), 0);
  EXPECT_TRUE(fixture.Exit());
}

TEST(Fixture, BigControlsHaveTheAskedSize) {
  FixtureProcess fixture;
  ASSERT_TRUE(fixture.Start(L"--big-listview 200x3 --big-tree 35"));
  EXPECT_EQ(SendMessageW(fixture.Handle(L"big"), LVM_GETITEMCOUNT, 0, 0), 200);
  EXPECT_EQ(SendMessageW(fixture.Handle(L"bigtree"), TVM_GETCOUNT, 0, 0), 35);
}

TEST(Fixture, DataFileDecidesTheControls) {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::wstring path = std::wstring(temp) + L"tblf_fixture_data.txt";
  FILE* f = _wfopen(path.c_str(), L"wb");
  ASSERT_NE(f, nullptr);
  fputs("# two controls\nwindow w1 Data window\nlistview lv report\ncolumn A\ncolumn B\n"
        "item x\\ty\nitem z\ntreeview tv\nnode 0 r\nnode 1 c\nlistbox lb\nentry \xE6\x97\xA5\n", f);
  fclose(f);
  FixtureProcess fixture;
  ASSERT_TRUE(fixture.Start(L"--data \"" + path + L"\""));
  EXPECT_EQ(SendMessageW(fixture.Handle(L"lv"), LVM_GETITEMCOUNT, 0, 0), 2);
  EXPECT_EQ(SendMessageW(fixture.Handle(L"tv"), TVM_GETCOUNT, 0, 0), 2);
  EXPECT_EQ(SendMessageW(fixture.Handle(L"lb"), LB_GETCOUNT, 0, 0), 1);
  EXPECT_EQ(fixture.Handle(L"report"), nullptr);
  DeleteFileW(path.c_str());
}

TEST(Fixture, BadDataFileEndsTheFixtureWithAnError) {
  FixtureProcess fixture;
  EXPECT_FALSE(fixture.Start(L"--data C:\\no\\such\\file.txt"));
  EXPECT_NE(fixture.Error().find(L"exit code 1"), std::wstring::npos);
}

TEST(Fixture, HangStopsAnsweringAndKillEndsIt) {
  FixtureProcess fixture;
  ASSERT_TRUE(fixture.Start());
  HWND report = fixture.Handle(L"report");
  DWORD_PTR count = 0;
  ASSERT_NE(SendMessageTimeoutW(report, LVM_GETITEMCOUNT, 0, 0, SMTO_ABORTIFHUNG, 2000, &count), 0);
  ASSERT_TRUE(fixture.Hang());
  EXPECT_EQ(SendMessageTimeoutW(report, LVM_GETITEMCOUNT, 0, 0, SMTO_ABORTIFHUNG, 500, &count), 0);
  HANDLE process = fixture.Process();
  fixture.Kill();
  EXPECT_EQ(fixture.Process(), nullptr);
  (void)process;
}

}  // namespace
}  // namespace tblf::test
