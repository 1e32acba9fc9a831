#include "remote/discovery.h"

#include <gtest/gtest.h>

#include "tests/support/fake_desktop.h"

namespace tblf {
namespace {

using testing::FakeControl;
using testing::FakeDesktop;
using testing::FakeWindows;
using testing::MakeListView;

class DiscoveryTest : public ::testing::Test {
 protected:
  void SetUp() override { g_japaneseUi = false; }
  void TearDown() override { g_japaneseUi = false; }

  WindowId AddControl(FakeControl control, const wchar_t* className, unsigned long style = 0) {
    const WindowId id = desktop.Add(std::move(control));
    windows.classes[id] = className;
    windows.styles[id] = style;
    return id;
  }
  WindowId AddWindow(std::vector<WindowId> children, std::optional<std::wstring> title = L"Trio") {
    const WindowId id = 0x900000 + windows.order.size();
    windows.order.push_back(id);
    windows.windows[id] = {std::move(title), L"trio.exe", std::move(children)};
    return id;
  }
  // A window holding a list view, a tree view and a list box.
  WindowId Trio() {
    FakeControl tree;
    tree.kind = ControlKind::TreeView;
    tree.tree = {{L"t-root", 0}, {L"t-child", 1}};
    FakeControl box;
    box.kind = ControlKind::ListBox;
    box.items = {L"lb-one", L"lb-two"};
    return AddWindow({AddControl(MakeListView({L"Name", L"Value"}, 3), L"SysListView32"),
                      AddControl(tree, L"SysTreeView32"), AddControl(box, L"ListBox")});
  }

  FakeDesktop desktop;
  FakeWindows windows;
};

TEST_F(DiscoveryTest, OptionOffListsOnlyTheListViewWithTheBareLabel) {
  Trio();
  std::vector<Candidate> rows = DiscoverControls(windows, desktop, false, 0);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].label, HandleLabel(rows[0].handle, ControlKind::ListView, false));
  EXPECT_EQ(rows[0].label.find(L'('), std::wstring::npos);
  EXPECT_EQ(rows[0].program, L"trio.exe");
  EXPECT_EQ(rows[0].owner, L"Trio");
  EXPECT_EQ(rows[0].count, L"3 x 2");
  EXPECT_EQ(rows[0].firstItem, L"r0c0");
  EXPECT_EQ(rows[0].note, L"");
}

TEST_F(DiscoveryTest, OptionOnListsThreeRowsWithKindSuffixes) {
  Trio();
  std::vector<Candidate> rows = DiscoverControls(windows, desktop, true, 0);
  ASSERT_EQ(rows.size(), 3u);
  const wchar_t* suffixes[] = {L"(ListView)", L"(TreeView)", L"(ListBox)"};
  const wchar_t* counts[] = {L"3 x 2", L"2", L"2"};
  const wchar_t* firsts[] = {L"r0c0", L"t-root", L"lb-one"};
  for (int i = 0; i < 3; ++i) {
    const std::wstring& label = rows[i].label;
    EXPECT_EQ(label.substr(label.find(L'(')), suffixes[i]);
    EXPECT_EQ(rows[i].count, counts[i]);
    EXPECT_EQ(rows[i].firstItem, firsts[i]);
    EXPECT_EQ(static_cast<int>(rows[i].kind), i == 0 ? 0 : i == 1 ? 1 : 3);
  }
}

TEST_F(DiscoveryTest, EmptyControlsHungControlsAndOtherClassesAreNotListed) {
  FakeControl empty = MakeListView({L"A"}, 0);
  FakeControl hung = MakeListView({L"A"}, 2);
  hung.hung = true;
  FakeControl gone = MakeListView({L"A"}, 2);
  gone.readsBeforeGone = 0;  // the process cannot be opened
  FakeControl dropDown;
  dropDown.kind = ControlKind::ListBox;
  dropDown.items = {L"x"};
  AddWindow({AddControl(empty, L"SysListView32"), AddControl(hung, L"SysListView32"),
             AddControl(gone, L"SysListView32"), AddControl(dropDown, L"ComboLBox"),
             AddControl(dropDown, L"syslistview32")});
  EXPECT_TRUE(DiscoverControls(windows, desktop, true, 0).empty());
}

TEST_F(DiscoveryTest, FrameWindowAndUnreadableTitlesAreSkipped) {
  const WindowId frame = Trio();
  AddWindow({AddControl(MakeListView({L"A"}, 1), L"SysListView32")}, std::nullopt);
  const WindowId untitled = AddWindow({AddControl(MakeListView({L"A"}, 1), L"SysListView32")}, L"");
  std::vector<Candidate> rows = DiscoverControls(windows, desktop, true, frame);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].owner, L"");
  EXPECT_EQ(rows[0].handle, windows.windows[untitled].descendants[0]);
}

TEST_F(DiscoveryTest, OwnerDrawNotesInBothLanguages) {
  FakeControl box;
  box.kind = ControlKind::ListBox;
  box.items = {L"x"};
  FakeControl combo = box;
  combo.kind = ControlKind::ComboBox;
  AddWindow({AddControl(MakeListView({L"A"}, 1), L"SysListView32", 0x1000),
             AddControl(MakeListView({L"A"}, 1), L"SysListView32", 0x0400),
             AddControl(box, L"ListBox", 0x0010), AddControl(box, L"ListBox", 0x0050),
             AddControl(combo, L"ComboBox", 0x0020), AddControl(combo, L"ComboBox", 0x0220)});
  for (bool japanese : {false, true}) {
    g_japaneseUi = japanese;
    std::vector<Candidate> rows = DiscoverControls(windows, desktop, true, 0);
    ASSERT_EQ(rows.size(), 6u);
    EXPECT_EQ(rows[0].note, kListViewOwnerDrawNote.get(japanese));
    EXPECT_EQ(rows[1].note, kListViewOwnerDrawNote.get(japanese));
    EXPECT_EQ(rows[2].note, kListBoxOwnerDrawNote.get(japanese));
    EXPECT_EQ(rows[3].note, L"");  // LBS_HASSTRINGS
    EXPECT_EQ(rows[4].note, kComboBoxOwnerDrawNote.get(japanese));
    EXPECT_EQ(rows[5].note, L"");  // CBS_HASSTRINGS
    for (const Candidate& row : rows) EXPECT_EQ(row.overlay, !row.note.empty());
  }
}

TEST_F(DiscoveryTest, IconModeListViewCountsOneColumn) {
  AddWindow({AddControl(MakeListView({}, 4), L"SysListView32")});
  std::vector<Candidate> rows = DiscoverControls(windows, desktop, false, 0);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].count, L"4 x 1");
}

TEST_F(DiscoveryTest, HandleLabelsAndTheirReadBack) {
  struct Case {
    WindowId handle;
    ControlKind kind;
    bool other;
    int digits;
    const wchar_t* label;
  } cases[] = {
      {0x1A2B, ControlKind::ListView, false, 8, L"00001A2B"},
      {0x1A2B, ControlKind::ListView, true, 8, L"00001A2B(ListView)"},
      {0xABCDEF, ControlKind::TreeView, true, 16, L"0000000000ABCDEF(TreeView)"},
      {0x10, ControlKind::ComboBox, true, 8, L"00000010(ComboBox)"},
      {0x10, ControlKind::ListBox, false, 8, L"00000010(ListBox)"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(HandleLabel(c.handle, c.kind, c.other, c.digits), c.label);
    EXPECT_EQ(ParseHandleLabel(c.label), c.handle);
  }
  EXPECT_EQ(ParseHandleLabel(L"0x1f"), 0x1fu);
  EXPECT_EQ(ParseHandleLabel(L"ファイル一覧"), std::nullopt);
  EXPECT_EQ(ParseHandleLabel(L""), std::nullopt);
  EXPECT_EQ(ParseHandleLabel(L"(ListView)"), std::nullopt);
  // More digits than a handle holds is no handle, not a wrapped one.
  EXPECT_EQ(ParseHandleLabel(L"1FFFFFFFFFFFFFFFFF"), std::nullopt);
}

TEST(KindOfClass, PlainAndVersionedClassNames) {
  EXPECT_EQ(KindOfClass(L"SysListView32"), ControlKind::ListView);
  EXPECT_EQ(KindOfClass(L"6.0.2600.2982!SysListView32"), ControlKind::ListView);
  EXPECT_EQ(KindOfClass(L"6.0.2600.2982!SysTreeView32"), ControlKind::TreeView);
  EXPECT_EQ(KindOfClass(L"6.0!Button"), std::nullopt);
  EXPECT_EQ(KindOfClass(L"SysListView32!"), std::nullopt);
}

TEST(PickFromChain, TheFirstWindowOfAKindWithTextPartsGivingTheirListControl) {
  struct Case {
    std::vector<std::wstring> classes;  // the deepest first
    std::optional<std::size_t> picked;
  };
  const Case cases[] = {
      {{L"SysHeader32", L"SysListView32", L"#32770"}, 1},
      {{L"Edit", L"ComboBox", L"ComboBoxEx32", L"#32770"}, 1},
      {{L"Edit", L"SysTreeView32", L"Frame"}, 1},
      {{L"Static", L"#32770"}, 0},
      {{L"Static", L"SysTabControl32", L"#32770"}, 0},
      {{L"Edit", L"#32770", L"SysListView32"}, 0},
      {{L"Button", L"6.0.2600.2982!SysListView32"}, 1},
      {{L"Button", L"#32770"}, std::nullopt},
      {{}, std::nullopt},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_EQ(PickFromChain(cases[i].classes), cases[i].picked) << "case " << i;
  }
}

}  // namespace
}  // namespace tblf
