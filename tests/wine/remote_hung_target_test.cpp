// A target that stops answering: every reader call returns within the timed
// send's limit and gives no text or an empty cell, never an abort, and the
// reader says the target is lost.
#include "remote/control_reader_win.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "remote/timed_send_win.h"
#include "base/text.h"
#include "tests/support/fixture_win.h"

namespace tblf {
namespace {

// Far above the 5 s of one timed send, far below "forever": a correctness
// bound, not a speed figure.
constexpr ULONGLONG kBoundMs = 12000;

TEST(HungTarget, EveryCallReturnsWithinTheLimitAndGivesNoText) {
  g_japaneseUi = false;
  test::FixtureProcess fixture;
  ASSERT_TRUE(fixture.Start());
  const WindowId report = FromHwnd(fixture.Handle(L"report"));
  const WindowId tree = FromHwnd(fixture.Handle(L"tree"));
  const WindowId listbox = FromHwnd(fixture.Handle(L"listbox"));
  const WindowId combobox = FromHwnd(fixture.Handle(L"combobox"));
  Win32ControlReader reader;
  TreeItemId rootA = 0;
  ASSERT_EQ(reader.GetTreeViewItemText(tree, 0, nullptr, &rootA), L"Root A");
  // A control that answers "no such item" gives no text and is not lost.
  EXPECT_FALSE(reader.GetListBoxItemText(listbox, 99).has_value());
  EXPECT_FALSE(reader.TargetLost());
  ASSERT_TRUE(fixture.Hang());

  struct Call {
    const char* name;
    std::function<void()> run;
  };
  const Call calls[] = {
      {"count", [&] { EXPECT_FALSE(reader.CountItems(report, ControlKind::ListView).has_value()); }},
      {"header", [&] { EXPECT_FALSE(reader.GetListViewColumnText(report, 0).has_value()); }},
      {"cell", [&] { EXPECT_EQ(reader.GetListViewCellText(0, report, 0), L""); }},
      {"state cell", [&] { EXPECT_EQ(reader.GetListViewCellText(kColumnState, report, 0), L""); }},
      {"row number", [&] { EXPECT_EQ(reader.GetListViewCellText(kColumnRowNumber, report, 4), L"4"); }},
      {"set state", [&] { reader.SetListViewItemState(report, 0, 0); }},
      {"tree item", [&] { EXPECT_EQ(reader.GetTreeViewItemText(tree, 1, nullptr, nullptr), L"(error)"); }},
      {"tree sibling", [&] { EXPECT_FALSE(reader.TreeAncestorHasNextSibling(tree, 0, rootA)); }},
      {"list box", [&] { EXPECT_FALSE(reader.GetListBoxItemText(listbox, 0).has_value()); }},
      {"combo box", [&] { EXPECT_FALSE(reader.GetComboBoxItemText(combobox, 0).has_value()); }},
  };
  for (const Call& call : calls) {
    SCOPED_TRACE(call.name);
    const ULONGLONG start = GetTickCount64();
    call.run();
    const ULONGLONG elapsed = GetTickCount64() - start;
    EXPECT_LT(elapsed, kBoundMs);
    std::printf("hung target, %s: %llu ms\n", call.name, static_cast<unsigned long long>(elapsed));
    EXPECT_TRUE(reader.TargetLost());
  }
}

TEST(HungTarget, AnEndedTargetGivesNoText) {
  test::FixtureProcess fixture;
  ASSERT_TRUE(fixture.Start());
  const WindowId report = FromHwnd(fixture.Handle(L"report"));
  const WindowId tree = FromHwnd(fixture.Handle(L"tree"));
  Win32ControlReader reader;
  ASSERT_EQ(reader.GetListViewCellText(0, report, 0), L"alpha");
  ASSERT_EQ(reader.GetTreeViewItemText(tree, 1, nullptr, nullptr), L"A1");
  ASSERT_TRUE(fixture.Exit());
  EXPECT_FALSE(reader.GetTreeViewItemText(tree, 2, nullptr, nullptr).has_value());
  EXPECT_FALSE(reader.GetListViewCellText(0, report, 0).has_value());
  EXPECT_TRUE(reader.TargetLost());
  EXPECT_FALSE(reader.GetListViewColumnText(report, 0).has_value());
  EXPECT_FALSE(reader.CountItems(report, ControlKind::ListView).has_value());
}

}  // namespace
}  // namespace tblf
