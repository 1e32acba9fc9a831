// The readers against the fixture, a real program of another process, the
// remote call under them, a 32-bit target, one that stops answering or ends,
// what the property report gathers from a window, and reading inside the
// target with the hook DLL: the same bytes as reading by messages for every
// kind, the ways back to messages, a target that dies or hangs during the
// read, and nothing left behind. The piecewise read of a text the control points at is the native fake
// target's test (remote_text_test.cpp).
#include "remote/control_reader_win.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <cstddef>
#include <functional>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "remote/inproc_reader_win.h"
#include "remote/item_layouts.h"
#include "remote/property_report_win.h"
#include "remote/remote_call_win.h"
#include "remote/timed_send_win.h"
#include "base/text.h"
#include "tests/support/fixture_suite_win.h"
#include "tests/support/fixture_win.h"
#include "tests/support/recording_host_win.h"

namespace tblf {
namespace {

using test::FixtureLongText;
using test::FixtureProcess;
using test::JobFor;
using test::RecordingHost;

const wchar_t* const kZeroPointer = sizeof(void*) == 8 ? L"0x0000000000000000" : L"0x00000000";

class Readers : public test::FixtureSuite<Readers> {
 protected:
  void SetUp() override {
    FixtureSuite::SetUp();
    g_japaneseUi = false;
  }
  static WindowId Id(const wchar_t* name) { return FromHwnd(fixture_->Handle(name)); }

  Win32ControlReader reader;
};

// --- counts ---------------------------------------------------------------------

TEST_F(Readers, CountItemsSendsEachKindsCountMessage) {
  struct Case {
    const wchar_t* name;
    ControlKind kind;
    long count;
  };
  const Case cases[] = {
      {L"report", ControlKind::ListView, 3},      {L"emptylistview", ControlKind::ListView, 0},
      {L"ownerdata", ControlKind::ListView, 5},   {L"tree", ControlKind::TreeView, 9},
      {L"emptytree", ControlKind::TreeView, 0},   {L"listbox", ControlKind::ListBox, 5},
      {L"emptylistbox", ControlKind::ListBox, 0}, {L"combobox", ControlKind::ComboBox, 4},
      {L"emptycombobox", ControlKind::ComboBox, 0},
  };
  for (const Case& c : cases) {
    const std::optional<long> count = reader.CountItems(Id(c.name), c.kind);
    ASSERT_TRUE(count.has_value()) << c.name;
    EXPECT_EQ(*count, c.count) << c.name;
  }
  EXPECT_FALSE(reader.CountItems(Id(L"report"), ControlKind::FileList).has_value());
  EXPECT_FALSE(reader.CountItems(0x12345678, ControlKind::ListView).has_value()) << "no such window";
}

// --- list view columns ----------------------------------------------------------

TEST_F(Readers, ColumnHeadersIncludingAnEmptyTitle) {
  EXPECT_EQ(reader.CountListViewColumns(Id(L"report")), 4);
  const wchar_t* const titles[] = {L"Name", L"", L"Size", L"日本語の列"};
  for (int c = 0; c < 4; ++c) {
    const std::optional<std::wstring> text = reader.GetListViewColumnText(Id(L"report"), c);
    ASSERT_TRUE(text.has_value()) << "column " << c << ": an empty title is still a text";
    EXPECT_EQ(*text, titles[c]);
  }
  EXPECT_FALSE(reader.GetListViewColumnText(Id(L"report"), 4).has_value());
}

// --- list view cells --------------------------------------------------------------

TEST_F(Readers, CellTextsAndPseudoColumnsOfAReportList) {
  struct Case {
    int item, column;
    std::wstring text;
  };
  const Case cases[] = {
      {0, 0, L"alpha"},
      {0, 3, L"日本語のテキスト"},
      {1, 0, FixtureLongText(2047)},  // 3000 characters arrive as 2047
      {1, 1, L""},
      {1, 3, L"ｶﾀｶﾅ"},
      {2, 2, L"30"},
      {3, 0, L""},  // past the end
      {0, 9, L""},  // no such column
      {2, kColumnRowNumber, L"2"},
      {0, kColumnIcon, L"3"},
      {2, kColumnIcon, L"7"},
      {0, kColumnLParam, FormatPointerValue(0x1234, PointerWidth::Bits64)},
      {2, kColumnLParam, sizeof(void*) == 8 ? L"0xFFFFFFFFFFFFFFFF" : L"0xFFFFFFFF"},
      {1, kColumnState, L"0x00000204"},
      // Past the end: the zero-filled structure comes back untouched.
      {3, kColumnRowNumber, L"3"},
      {3, kColumnIcon, L"0"},
      {3, kColumnLParam, kZeroPointer},
      {3, kColumnState, L"0x00000000"},
  };
  for (const Case& c : cases) {
    const std::optional<std::wstring> text = reader.GetListViewCellText(c.column, Id(L"report"), c.item);
    ASSERT_TRUE(text.has_value()) << c.item << "/" << c.column;
    EXPECT_EQ(*text, c.text) << c.item << "/" << c.column;
  }
}

// Pseudo column headers and row numbers touch no process.
TEST_F(Readers, NoProcessAccessGivesNoTextButThePseudoHeadersAndTheRowNumber) {
  const WindowId bogus = 0x7FFF0000;  // no such window: its process cannot be opened
  EXPECT_EQ(reader.GetListViewColumnText(bogus, kColumnRowNumber), L"#");
  EXPECT_EQ(reader.GetListViewColumnText(bogus, kColumnIcon), L"Icon");
  EXPECT_EQ(reader.GetListViewColumnText(bogus, kColumnLParam), L"lParam");
  EXPECT_EQ(reader.GetListViewColumnText(bogus, kColumnState), L"State");
  EXPECT_FALSE(reader.GetListViewColumnText(Id(L"report"), -1).has_value());
  EXPECT_FALSE(reader.GetListViewColumnText(Id(L"report"), -6).has_value());
  EXPECT_EQ(reader.GetListViewCellText(kColumnRowNumber, bogus, 41), L"41");
  EXPECT_FALSE(reader.GetListViewCellText(0, bogus, 0).has_value());
  EXPECT_FALSE(reader.GetListViewCellText(kColumnState, bogus, 0).has_value());
  EXPECT_FALSE(reader.GetListViewColumnText(bogus, 0).has_value());
  EXPECT_EQ(reader.CountListViewColumns(bogus), 0);
  EXPECT_FALSE(reader.GetTreeViewItemText(bogus, 0, nullptr, nullptr).has_value());
  EXPECT_FALSE(reader.SetListViewItemState(bogus, 0, kLvisSelected));
}

TEST_F(Readers, SetItemStateTouchesOnlyTheSelectedBit) {
  const WindowId report = Id(L"report");
  ASSERT_EQ(reader.GetListViewCellText(kColumnState, report, 1), L"0x00000204");
  EXPECT_TRUE(reader.SetListViewItemState(report, 1, kLvisSelected));
  EXPECT_EQ(reader.GetListViewCellText(kColumnState, report, 1), L"0x00000206");
  EXPECT_FALSE(reader.SetListViewItemState(report, 3, kLvisSelected)) << "no item 3";
  reader.SetListViewItemState(report, 1, 0);
  EXPECT_EQ(reader.GetListViewCellText(kColumnState, report, 1), L"0x00000204");

  ASSERT_EQ(reader.GetListViewCellText(kColumnState, report, 0), L"0x00000003");
  reader.SetListViewItemState(report, 0, 0);
  EXPECT_EQ(reader.GetListViewCellText(kColumnState, report, 0), L"0x00000001") << "focus stays";
  reader.SetListViewItemState(report, -1, kLvisSelected);  // every item
  EXPECT_EQ(reader.GetListViewCellText(kColumnState, report, 0), L"0x00000003");
  EXPECT_EQ(reader.GetListViewCellText(kColumnState, report, 2), L"0x00000002");
  reader.SetListViewItemState(report, -1, 0);
  EXPECT_EQ(reader.GetListViewCellText(kColumnState, report, 1), L"0x00000204");
  reader.SetListViewItemState(report, 0, kLvisSelected);  // back to the start
}

// --- tree views ------------------------------------------------------------------

TEST_F(Readers, TreeInPreOrderWithSeveralRootsAndCollapsedBranches) {
  const std::pair<std::wstring, int> expected[] = {
      {L"Root A", 0}, {L"A1", 1}, {L"A1a", 2}, {L"A2", 1}, {L"A2a", 2}, {L"A2b", 2},
      {FixtureLongText(1023), 0},  // 1500 characters arrive as 1023
      {L"B1", 1},     {L"Root C", 0},
  };
  for (int i = 0; i < 9; ++i) {
    int depth = -1;
    TreeItemId item = 0;
    const std::optional<std::wstring> text = reader.GetTreeViewItemText(Id(L"tree"), i, &depth, &item);
    ASSERT_TRUE(text.has_value()) << i;
    EXPECT_EQ(*text, expected[i].first) << i;
    EXPECT_EQ(depth, expected[i].second) << i;
    EXPECT_NE(item, 0u) << i;
  }
}

TEST_F(Readers, TreePastTheEndGivesTheErrorTextAndNoHandle) {
  int depth = -1;
  TreeItemId item = 99;
  EXPECT_EQ(reader.GetTreeViewItemText(Id(L"tree"), 9, &depth, &item), L"(error)");
  EXPECT_EQ(item, 0u);
  EXPECT_EQ(depth, 0);
  EXPECT_EQ(reader.GetTreeViewItemText(Id(L"emptytree"), 0, nullptr, &item), L"(error)");
  EXPECT_EQ(item, 0u);
}

TEST_F(Readers, TreeAncestorSiblings) {
  TreeItemId a1a = 0, a2b = 0, rootC = 0, b1 = 0;
  reader.GetTreeViewItemText(Id(L"tree"), 2, nullptr, &a1a);
  reader.GetTreeViewItemText(Id(L"tree"), 5, nullptr, &a2b);
  reader.GetTreeViewItemText(Id(L"tree"), 7, nullptr, &b1);
  reader.GetTreeViewItemText(Id(L"tree"), 8, nullptr, &rootC);
  const WindowId tree = Id(L"tree");
  EXPECT_FALSE(reader.TreeAncestorHasNextSibling(tree, 0, a1a)) << "A1a is A1's only child";
  EXPECT_TRUE(reader.TreeAncestorHasNextSibling(tree, 1, a1a)) << "A1 has A2 after it";
  EXPECT_TRUE(reader.TreeAncestorHasNextSibling(tree, 2, a1a)) << "Root A has a next root";
  EXPECT_FALSE(reader.TreeAncestorHasNextSibling(tree, 3, a1a)) << "above the depth";
  EXPECT_FALSE(reader.TreeAncestorHasNextSibling(tree, 1, a2b)) << "A2 is the last child";
  EXPECT_TRUE(reader.TreeAncestorHasNextSibling(tree, 1, b1));
  EXPECT_FALSE(reader.TreeAncestorHasNextSibling(tree, 0, rootC));
  EXPECT_FALSE(reader.TreeAncestorHasNextSibling(tree, 1, rootC));
}

TEST_F(Readers, TreeContinuationKeepsControlsApart) {
  EXPECT_EQ(reader.GetTreeViewItemText(Id(L"tree"), 0, nullptr, nullptr), L"Root A");
  EXPECT_EQ(reader.GetTreeViewItemText(Id(L"trio.treeview"), 1, nullptr, nullptr), L"t-child");
  EXPECT_EQ(reader.GetTreeViewItemText(Id(L"tree"), 1, nullptr, nullptr), L"A1");
}

// --- list boxes and combo boxes --------------------------------------------------

TEST_F(Readers, ListBoxAndComboBoxTexts) {
  const std::tuple<bool, int, std::optional<std::wstring>> cases[] = {  // combo box?, index, text
      {false, 0, L"first"},
      {false, 1, L""},  // not "(error)": the control's zero overwrites the placeholder
      {false, 2, FixtureLongText(2047)},
      {false, 3, L"日本語の項目"},
      {false, 5, std::nullopt},  // past the end
      {false, -1, std::nullopt},
      {true, 0, L"one"},
      {true, 1, L""},
      {true, 2, FixtureLongText(2047)},
      {true, 3, L"四"},
      {true, 4, std::nullopt},
  };
  for (const auto& [combo, index, expected] : cases) {
    const std::optional<std::wstring> text = combo ? reader.GetComboBoxItemText(Id(L"combobox"), index)
                                                   : reader.GetListBoxItemText(Id(L"listbox"), index);
    EXPECT_EQ(text, expected) << (combo ? "combo " : "list ") << index;
  }
}

TEST_F(Readers, OwnerDrawnListBoxWithoutStringsGivesWhateverArrives) {
  const std::optional<std::wstring> text = reader.GetListBoxItemText(Id(L"ownerlistbox"), 0);
  ASSERT_TRUE(text.has_value());
  EXPECT_LE(text->size(), 7u);
  std::printf("owner-drawn list box without strings, item 0: %u characters, first 0x%04X\n",
              static_cast<unsigned>(text->size()), text->empty() ? 0u : static_cast<unsigned>((*text)[0]));
}

// A list view that answers LVM_GETITEMW by pointing pszText at its own text
// instead of copying it (an owner-data list view whose parent does so is the
// engine's golden, engine_test.cpp).
TEST_F(Readers, TextsAreReadFromWhereTheControlPoints) {
  const std::pair<std::wstring, const char*> cases[] = {  // items 0 to 6, then item 0 again
      {FixtureLongText(2047), "a text of 3000 of the control's own, cut to 2047"},
      {L"", "the control's own empty text"},
      {L"", "a pointer at a no-access page"},
      {L"copied text", "copied into our block as usual"},
      {L"edge!!", "readable up to an unreadable page, no terminating zero"},
      {L"", "a pointer at memory that is not there"},
      {L"", "an item the control rejects"},
      {FixtureLongText(2047), "reading goes on after the unreadable ones"},
  };
  Win32ControlReader own;
  for (int i = 0; i < 8; ++i) {
    EXPECT_EQ(own.GetListViewCellText(0, Id(L"ownlistview"), i % 7), cases[i].first) << cases[i].second;
  }
}

// --- the remote call: owners that give back what they took -----------------------

TEST_F(Readers, AFailedAllocationLeavesAnEmptyBlock) {
  // Without PROCESS_VM_OPERATION nothing can be allocated in the target.
  ProcessHandle readOnly(OpenProcess(PROCESS_VM_READ | PROCESS_QUERY_INFORMATION, FALSE, fixture_->ProcessId()));
  ASSERT_TRUE(readOnly);
  RemoteBlock block(readOnly, 4096);
  EXPECT_FALSE(block);
  EXPECT_EQ(block.address(), 0u);
  EXPECT_FALSE(block.Write(std::vector<unsigned char>(8, 1)));
  std::vector<unsigned char> bytes(3, 7);
  EXPECT_FALSE(block.Read(&bytes));
  EXPECT_TRUE(bytes.empty());

  ProcessHandle full(OpenWindowProcess(fixture_->Handle(L"report")));
  ASSERT_TRUE(full);
  RemoteBlock good(full, 64);
  ASSERT_TRUE(good);
  EXPECT_FALSE(good.Write(std::vector<unsigned char>(65, 1))) << "never past the block";
  ASSERT_TRUE(good.Read(&bytes));
  EXPECT_EQ(bytes, std::vector<unsigned char>(64, 0)) << "a fresh block is zero-filled";
  EXPECT_FALSE(RemoteBlock(full, 0));
}

TEST_F(Readers, RemoteCallsLeaveNothingBehindInEitherProcess) {
  auto readMany = [&] {
    for (int i = 0; i < 100; ++i) {
      reader.GetListViewCellText(i % 4, Id(L"report"), i % 3);
      reader.GetListViewCellText(kColumnState, Id(L"report"), 0);
      reader.GetListViewColumnText(Id(L"report"), 0);
      reader.GetTreeViewItemText(Id(L"tree"), i % 9, nullptr, nullptr);
    }
  };
  readMany();  // settle first-use allocations
  const SIZE_T memoryBefore = fixture_->CommittedBytes();
  readMany();
  readMany();
  // 800 remote calls of up to two 4 KB blocks: a leak would show megabytes.
  EXPECT_LT(fixture_->CommittedBytes(), memoryBefore + 512 * 1024);
  EXPECT_GT(memoryBefore, 0u) << "the walk sees the target's memory";
  std::printf("target committed private bytes %llu -> %llu\n", static_cast<unsigned long long>(memoryBefore),
              static_cast<unsigned long long>(fixture_->CommittedBytes()));
}

// --- a 32-bit target of a 64-bit reader: the structures go in the 32-bit layout;
// needs the i686 fixture and a Wine that runs 32-bit programs.

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

// --- targets that stop answering or end ----------------------------------------
// Every call returns within the timed send's limit and gives no text or an
// empty cell, never an abort, and the reader says the target is lost.

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

// --- the property report's facts ----------------------------------------------
// From a window of this process, and from a target that stops answering.

class OwnListBox : public ::testing::Test {
 protected:
  void SetUp() override {
    parent_ = CreateWindowExW(0, L"STATIC", L"parent", WS_OVERLAPPED, 10, 20, 300, 200, nullptr, nullptr, nullptr,
                              nullptr);
    ASSERT_NE(parent_, nullptr);
    box_ = CreateWindowExW(WS_EX_CLIENTEDGE, L"LISTBOX", L"", WS_CHILD | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, 5, 6, 100, 80, parent_,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(1234)), nullptr, nullptr);
    ASSERT_NE(box_, nullptr);
  }
  void TearDown() override { DestroyWindow(parent_); }

  HWND parent_ = nullptr;
  HWND box_ = nullptr;
};

TEST_F(OwnListBox, CaptionsAreCutTo2047Characters) {
  const std::pair<size_t, size_t> lengths[] = {{0, 0}, {2046, 2046}, {2047, 2047}, {2048, 2047}, {3000, 2047}};
  for (const auto& [given, read] : lengths) {
    SCOPED_TRACE(given);
    const std::wstring caption = test::FixtureLongText(given);
    ASSERT_TRUE(SetWindowTextW(box_, caption.c_str()));
    EXPECT_EQ(ReadControlCaption(box_), caption.substr(0, read));
  }
}

TEST_F(OwnListBox, FactsComeFromTheWindowAndItsProcess) {
  SetWindowLongPtrW(box_, GWLP_USERDATA, 0x5A5A);
  const ControlFacts facts = GatherControlFacts(box_, ControlKind::ListBox);
  EXPECT_TRUE(facts.isWindow);
  EXPECT_EQ(facts.caption, L"");
  EXPECT_EQ(facts.style & (WS_CHILD | LBS_NOTIFY), static_cast<DWORD>(WS_CHILD | LBS_NOTIFY));
  EXPECT_EQ(facts.exStyle & WS_EX_CLIENTEDGE, static_cast<DWORD>(WS_EX_CLIENTEDGE));
  EXPECT_EQ(facts.handle, FromHwnd(box_));
  EXPECT_EQ(facts.parent, FromHwnd(parent_));
  EXPECT_EQ(facts.controlId, 1234u);
  EXPECT_EQ(facts.userData, 0x5A5Au);
  EXPECT_EQ(facts.instance, static_cast<std::uint64_t>(GetWindowLongPtrW(box_, GWLP_HINSTANCE)));
  EXPECT_NE(facts.procedure, 0u);
  EXPECT_EQ(facts.client.left, 0);
  EXPECT_EQ(facts.screen.right - facts.screen.left, 100);
  EXPECT_EQ(facts.screen.bottom - facts.screen.top, 80);
  EXPECT_EQ(facts.processId, GetCurrentProcessId());
  EXPECT_TRUE(facts.processOpened);
}

TEST(PropertyReportWine, AHungTargetCostsOneTimedSendAndGivesTheCaptionErrorLine) {
  test::FixtureProcess fixture;
  ASSERT_TRUE(fixture.Start());
  HWND report = fixture.Handle(L"report");
  ASSERT_TRUE(fixture.Hang());
  const ULONGLONG start = GetTickCount64();
  const ControlFacts facts = GatherControlFacts(report, ControlKind::ListView);
  const ULONGLONG elapsed = GetTickCount64() - start;
  std::printf("property facts of a hung list view: %llu ms\n", static_cast<unsigned long long>(elapsed));
  EXPECT_LT(elapsed, 12000u) << "far above one timed send of 5 s";
  EXPECT_FALSE(facts.caption.has_value());
  EXPECT_NE(facts.style & LVS_REPORT, 0u) << "the window manager still answers";
  EXPECT_EQ(facts.processId, fixture.ProcessId());
  const std::wstring text = BuildPropertyReport(ControlKind::ListView, facts, false);
  EXPECT_NE(text.find(L"\r\nCaption         : [error]\r\nStyle           : "), std::wstring::npos);
}

// --- reading inside the target -----------------------------------------------

std::wstring Export(const OutputJob& job, ControlReader& reader, RecordingHost* host = nullptr) {
  RecordingHost own;
  RecordingHost& h = host != nullptr ? *host : own;
  RunOutputJob(job, reader, h);
  return h.file;
}

// The handles open in `process`, found by copying each possible value (Wine
// has no handle count).
int OpenHandles(HANDLE process) {
  int open = 0;
  for (std::uintptr_t value = 4; value < 0x4000; value += 4) {
    HANDLE copy = nullptr;
    if (DuplicateHandle(process, reinterpret_cast<HANDLE>(value), GetCurrentProcess(), &copy, 0, FALSE,
                        DUPLICATE_SAME_ACCESS)) {
      ++open;
      CloseHandle(copy);
    }
  }
  return open;
}

class InProcessWine : public test::FixtureSuite<InProcessWine> {};

TEST_F(InProcessWine, EveryKindGivesTheSameBytesAsMessages) {
  struct Case {
    const char* situation;
    const wchar_t* control;
    ControlKind kind;
    RecordFormat format;
    const wchar_t* columns;
    const wchar_t* rows;
    bool shift, graph;
    bool inProcess;  // read inside the target, or by messages for a reason
  };
  const Case cases[] = {
      {"report, every column", L"report", ControlKind::ListView, RecordFormat::Csv, nullptr, nullptr, false, false, true},
      {"report, pseudo columns", L"report", ControlKind::ListView, RecordFormat::Space, L"# 0 i l s 3", nullptr, false,
       false, true},
      {"report, rows backwards and past the end", L"report", ControlKind::ListView, RecordFormat::Tsv, L"1 0 9",
       L"5,2-0", false, false, true},
      {"owner-data pointing at its own texts", L"ownerdata", ControlKind::ListView, RecordFormat::Json, nullptr,
       nullptr, false, false, true},
      {"pszText at unreadable and missing memory", L"ownlistview", ControlKind::ListView, RecordFormat::Csv, nullptr,
       nullptr, false, false, true},
      {"icon mode", L"icon", ControlKind::ListView, RecordFormat::Markdown, nullptr, nullptr, false, false, true},
      {"tree, plain", L"tree", ControlKind::TreeView, RecordFormat::Tsv, nullptr, nullptr, false, false, true},
      {"tree, shift and graph", L"tree", ControlKind::TreeView, RecordFormat::Html, nullptr, nullptr, true, true, true},
      {"list box", L"listbox", ControlKind::ListBox, RecordFormat::Csv, nullptr, nullptr, false, false, true},
      {"combo box", L"combobox", ControlKind::ComboBox, RecordFormat::CArray, nullptr, nullptr, false, false, true},
      {"owner-drawn list box without strings", L"ownerlistbox", ControlKind::ListBox, RecordFormat::Csv, nullptr,
       nullptr, false, false, false},
  };
  for (const Case& c : cases) {
    OutputJob job = JobFor(fixture_->Handle(c.control), c.kind, c.format);
    if (c.columns) job.columnSelection = c.columns;
    if (c.rows) job.rowSelection = c.rows;
    job.treeLevelShift = c.shift;
    job.treeGraph = c.graph;
    InProcessControlReader messages(ReadMode::Messages);
    InProcessControlReader inside(ReadMode::Auto);
    const std::wstring expected = Export(job, messages);
    EXPECT_FALSE(expected.empty()) << c.situation;
    EXPECT_EQ(Export(job, inside), expected) << c.situation;
    EXPECT_EQ(inside.InProcessReads() > 0, c.inProcess) << c.situation;
    EXPECT_EQ(messages.InProcessReads(), 0u) << c.situation;
  }
  EXPECT_EQ(InProcessHooksSet(), 0);
}

TEST(InProcessOwnWindow, TheToolsOwnListViewIsReadByMessages) {
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&icc);
  HWND top = CreateWindowW(L"STATIC", L"own", WS_OVERLAPPEDWINDOW, 0, 0, 200, 200, nullptr, nullptr, nullptr, nullptr);
  HWND list = CreateWindowW(WC_LISTVIEWW, L"", WS_CHILD | LVS_REPORT, 0, 0, 150, 150, top, nullptr, nullptr, nullptr);
  LVCOLUMNW column{};
  column.mask = LVCF_TEXT;
  column.pszText = const_cast<wchar_t*>(L"Own");
  SendMessageW(list, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
  LVITEMW item{};
  item.mask = LVIF_TEXT;
  item.pszText = const_cast<wchar_t*>(L"mine");
  SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));

  InProcessControlReader inside(ReadMode::Auto);
  EXPECT_EQ(Export(JobFor(list, ControlKind::ListView, RecordFormat::Csv), inside), L"\"Own\"\r\n\"mine\"\r\n");
  EXPECT_EQ(inside.InProcessReads(), 0u);
  EXPECT_EQ(inside.Failure(), nullptr) << "auto falls back silently";

  InProcessControlReader only(ReadMode::InProcess);
  Export(JobFor(list, ControlKind::ListView, RecordFormat::Csv), only);
  ASSERT_NE(only.Failure(), nullptr) << "in-process only says why instead";
  EXPECT_EQ(std::wstring(only.Failure()->en), L"the window belongs to Tabulift itself.");
  const BiText* why = nullptr;
  EXPECT_FALSE(InProcessControlReader::Probe(FromHwnd(list), &why));
  EXPECT_EQ(why, only.Failure());
  DestroyWindow(top);
}

// A big list view read inside the target that dies or hangs after 100 rows:
// the run ends soon, by messages from there on, and no hook stays set.
TEST(InProcessTarget, ATargetThatEndsOrHangsDuringTheReadEndsTheRunSoon) {
  for (bool hang : {false, true}) {
    test::FixtureProcess fixture;
    ASSERT_TRUE(fixture.Start(L"--big-listview 50000x4"));
    RecordingHost host;
    DWORD stoppedAt = 0;
    host.onRow = [&](int row) {
      if (row != 100) return;
      if (hang) {
        // The fixture's only thread stops answering for good.
        PostMessageW(fixture.Handle(L"control"), WM_APP, 0, 0);
      } else {
        fixture.Kill();
      }
      stoppedAt = GetTickCount();
    };
    InProcessControlReader inside(ReadMode::Auto);
    Export(JobFor(fixture.Handle(L"big"), ControlKind::ListView, RecordFormat::Csv), inside, &host);
    const DWORD spent = GetTickCount() - stoppedAt;
    EXPECT_GE(inside.InProcessReads(), 100u) << (hang ? "hang" : "kill");
    EXPECT_LT(spent, 8000u) << (hang ? "hang" : "kill") << ": the run ended " << spent << " ms after";
    EXPECT_EQ(InProcessHooksSet(), 0) << (hang ? "hang" : "kill");
    fixture.Kill();
  }
}

// A 32-bit target of the 64-bit tool goes through tblfhookhelper32.exe and
// tblfhook32.dll beside the program (copied there from build/win32/bin).
TEST(InProcess32BitTarget, TheHelperReadsTheSameBytes) {
  if (sizeof(void*) == 4) GTEST_SKIP() << "a 32-bit build only meets 32-bit targets";
  const wchar_t* const kFixture32 = L"..\\..\\win32\\bin\\tblf_fixture.exe";
  for (const wchar_t* file : {L"tblfhookhelper32.exe", L"tblfhook32.dll"}) {
    if (GetFileAttributesW((test::ExecutableFolder() + file).c_str()) == INVALID_FILE_ATTRIBUTES)
      GTEST_SKIP() << "the 32-bit hook files are not beside the test (copy them from build/win32/bin)";
  }
  test::FixtureProcess fixture;
  if (!fixture.Start(L"", kFixture32)) GTEST_SKIP() << "the i686 fixture cannot run here (32-bit Wine missing?)";
  for (const auto& [name, kind] : {std::pair{L"report", ControlKind::ListView}, {L"tree", ControlKind::TreeView}}) {
    OutputJob job = JobFor(fixture.Handle(name), kind, RecordFormat::Tsv);
    if (kind == ControlKind::ListView) job.columnSelection = L"# 0 i l s";
    job.treeGraph = true;
    InProcessControlReader messages(ReadMode::Messages);
    InProcessControlReader inside(ReadMode::InProcess);
    EXPECT_EQ(Export(job, inside), Export(job, messages));
    EXPECT_GT(inside.InProcessReads(), 0u);
  }
  EXPECT_EQ(InProcessHooksSet(), 0);
}

TEST_F(InProcessWine, AHundredRunsLeaveNoHookHandleOrMemoryBehind) {
  const OutputJob job = JobFor(fixture_->Handle(L"report"), ControlKind::ListView, RecordFormat::Csv);
  InProcessControlReader inside(ReadMode::Auto);
  const std::wstring first = Export(job, inside);  // the DLL is loaded once
  const int handlesBefore = OpenHandles(fixture_->Process());
  const SIZE_T committedBefore = fixture_->CommittedBytes();
  for (int i = 0; i < 100; ++i) ASSERT_EQ(Export(job, inside), first) << "run " << i;
  const int handlesAfter = OpenHandles(fixture_->Process());
  EXPECT_EQ(inside.InProcessReads(), 101u * 3);
  EXPECT_EQ(InProcessHooksSet(), 0);
  EXPECT_EQ(handlesAfter, handlesBefore) << "the copies of the block and events are closed";

  EXPECT_LE(fixture_->CommittedBytes(), committedBefore + 64 * 1024) << "no block stays mapped";
}

// --- the structure layouts against the SDK ---------------------------------------

// One field's offset in our layout and in the SDK's structure (the bytes the
// encoder writes at the layout's offsets are the native item layout test's).
#define TBLF_FIELD(layout, sdk, field) {#sdk "." #field, static_cast<size_t>(layout.field), offsetof(sdk, field)}

TEST(ItemLayoutsAgainstTheSdk, OwnWidthMatchesTheHeaders) {
  const PointerWidth width = sizeof(void*) == 8 ? PointerWidth::Bits64 : PointerWidth::Bits32;
  const ListViewItemLayout& li = ListViewItemLayoutFor(width);
  const ListViewColumnLayout& lc = ListViewColumnLayoutFor(width);
  const TreeViewItemLayout& t = TreeViewItemLayoutFor(width);
  const std::tuple<const char*, size_t, size_t> fields[] = {
      TBLF_FIELD(li, LVITEMW, mask), TBLF_FIELD(li, LVITEMW, iItem), TBLF_FIELD(li, LVITEMW, iSubItem),
      TBLF_FIELD(li, LVITEMW, state), TBLF_FIELD(li, LVITEMW, stateMask), TBLF_FIELD(li, LVITEMW, pszText),
      TBLF_FIELD(li, LVITEMW, cchTextMax), TBLF_FIELD(li, LVITEMW, iImage), TBLF_FIELD(li, LVITEMW, lParam),
      TBLF_FIELD(li, LVITEMW, iIndent), TBLF_FIELD(li, LVITEMW, iGroupId), TBLF_FIELD(li, LVITEMW, cColumns),
      TBLF_FIELD(li, LVITEMW, puColumns),
      TBLF_FIELD(lc, LVCOLUMNW, mask), TBLF_FIELD(lc, LVCOLUMNW, fmt), TBLF_FIELD(lc, LVCOLUMNW, cx),
      TBLF_FIELD(lc, LVCOLUMNW, pszText), TBLF_FIELD(lc, LVCOLUMNW, cchTextMax), TBLF_FIELD(lc, LVCOLUMNW, iSubItem),
      TBLF_FIELD(lc, LVCOLUMNW, iImage), TBLF_FIELD(lc, LVCOLUMNW, iOrder),
      TBLF_FIELD(t, TVITEMW, mask), TBLF_FIELD(t, TVITEMW, hItem), TBLF_FIELD(t, TVITEMW, state),
      TBLF_FIELD(t, TVITEMW, stateMask), TBLF_FIELD(t, TVITEMW, pszText), TBLF_FIELD(t, TVITEMW, cchTextMax),
      TBLF_FIELD(t, TVITEMW, iImage), TBLF_FIELD(t, TVITEMW, iSelectedImage), TBLF_FIELD(t, TVITEMW, cChildren),
      TBLF_FIELD(t, TVITEMW, lParam),
      // The Vista fields follow our layouts' ends.
      {"LVITEMW size", li.size, offsetof(LVITEMW, piColFmt)},
      {"LVCOLUMNW size", lc.size, offsetof(LVCOLUMNW, cxMin)},
      {"TVITEMW size", t.size, sizeof(TVITEMW)},
  };
  for (const auto& [name, ours, sdk] : fields) EXPECT_EQ(ours, sdk) << name;
  std::printf("SDK sizes here: LVITEMW %u (%u without the Vista fields), LVCOLUMNW %u (%u), TVITEMW %u\n",
              static_cast<unsigned>(sizeof(LVITEMW)), static_cast<unsigned>(li.size),
              static_cast<unsigned>(sizeof(LVCOLUMNW)), static_cast<unsigned>(lc.size),
              static_cast<unsigned>(sizeof(TVITEMW)));
}

}  // namespace
}  // namespace tblf
