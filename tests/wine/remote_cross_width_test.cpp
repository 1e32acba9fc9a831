// A 64-bit reader and a 32-bit target: the structures go in the 32-bit
// layout. Needs the i686 fixture and a Wine that runs 32-bit programs.
#include "remote/control_reader_win.h"

#include <gtest/gtest.h>

#include <string>

#include "remote/item_layouts.h"
#include "remote/remote_call_win.h"
#include "remote/timed_send_win.h"
#include "tests/support/fixture_win.h"

namespace tblf {
namespace {

using test::FixtureLongText;

TEST(CrossWidth, A32BitFixtureReadsThroughThe32BitLayouts) {
  if (sizeof(void*) == 4) GTEST_SKIP() << "a 32-bit build only meets 32-bit targets";
  const wchar_t* const kFixture32 = L"..\\..\\win32\\bin\\tblf_fixture.exe";
  if (GetFileAttributesW((test::ExecutableFolder() + kFixture32).c_str()) == INVALID_FILE_ATTRIBUTES)
    GTEST_SKIP() << "the i686 fixture is not built (build/win32/bin/tblf_fixture.exe)";
  test::FixtureProcess fixture;
  if (!fixture.Start(L"", kFixture32)) {
    const std::wstring& e = fixture.Error();
    GTEST_SKIP() << "the i686 fixture cannot run here (32-bit Wine missing?): " << std::string(e.begin(), e.end());
  }
  {
    ProcessHandle process(OpenWindowProcess(fixture.Handle(L"report")));
    ASSERT_TRUE(process);
    ASSERT_EQ(TargetPointerWidth(process), PointerWidth::Bits32);
  }
  Win32ControlReader reader;
  const WindowId report = FromHwnd(fixture.Handle(L"report"));
  EXPECT_EQ(reader.CountListViewColumns(report), 4);
  EXPECT_EQ(reader.GetListViewColumnText(report, 3), L"日本語の列");
  EXPECT_EQ(reader.GetListViewCellText(0, report, 0), L"alpha");
  EXPECT_EQ(reader.GetListViewCellText(0, report, 1), FixtureLongText(2047));
  EXPECT_EQ(reader.GetListViewCellText(kColumnLParam, report, 0), L"0x00001234");
  EXPECT_EQ(reader.GetListViewCellText(kColumnLParam, report, 2), L"0xFFFFFFFF");
  EXPECT_EQ(reader.GetListViewCellText(kColumnLParam, report, 3), L"0x00000000");
  EXPECT_EQ(reader.GetListViewCellText(kColumnIcon, report, 0), L"3");
  EXPECT_EQ(reader.GetListViewCellText(kColumnState, report, 1), L"0x00000204");
  const WindowId tree = FromHwnd(fixture.Handle(L"tree"));
  int depth = -1;
  EXPECT_EQ(reader.GetTreeViewItemText(tree, 4, &depth, nullptr), L"A2a");
  EXPECT_EQ(depth, 2);
  EXPECT_EQ(reader.GetListViewCellText(0, FromHwnd(fixture.Handle(L"ownlistview")), 0), FixtureLongText(2047));
  EXPECT_EQ(reader.GetListViewCellText(0, FromHwnd(fixture.Handle(L"ownerdata")), 3), L"odr3c0");
}

}  // namespace
}  // namespace tblf
