#include "remote/property_report.h"

#include <gtest/gtest.h>

#include <string>

namespace tblf {
namespace {

struct DecodeCase {
  const char* what;
  ControlKind kind;
  std::uint32_t style;
  const wchar_t* expected;
};

TEST(PropertyReport, StylesDecodeGreedilyInTableOrderWithTheRestInHex) {
  const DecodeCase cases[] = {
      {"report list view", ControlKind::ListView, 0x50010009,
       L"WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SHOWSELALWAYS"},
      {"list mode is one name", ControlKind::ListView, 0x00000003, L"LVS_LIST"},
      {"drop-down list combo box: two names", ControlKind::ComboBox, 0x00000003, L"CBS_SIMPLE | CBS_DROPDOWN"},
      {"combo box bit 0x1000 stays as hex", ControlKind::ComboBox, 0x50201042,
       L"WS_CHILD | WS_VISIBLE | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL | 00001000"},
      {"tree view", ControlKind::TreeView, 0x50000007, L"WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT"},
      {"list box", ControlKind::ListBox, 0x00010041,
       L"WS_TABSTOP | LBS_NOTIFY | LBS_HASSTRINGS"},
      {"style 0 names nothing", ControlKind::TreeView, 0x00000000, L""},
  };
  for (const DecodeCase& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(DecodeStyle(c.style, {kWindowStyleNames, StyleNamesOfKind(c.kind)}), c.expected);
  }
  EXPECT_EQ(DecodeStyle(0x00000202, {kExtendedStyleNames}), L"WS_EX_CLIENTEDGE | 00000002");
  EXPECT_EQ(DecodeStyle(0x00000800, {kExtendedStyleNames}), L"00000800");
}

ControlFacts ListViewFacts() {
  ControlFacts facts;
  facts.isWindow = true;
  facts.caption = L"";
  facts.style = 0x50011009;
  facts.exStyle = 0x00000200;
  facts.procedure = 0x7FF612340000;
  facts.instance = 0x400000;
  facts.handle = 0x20046;
  facts.parent = 0x1003A;
  facts.controlId = 100;
  facts.userData = 0;
  facts.screen = {24, 50, 204, 270};
  facts.client = {0, 0, 176, 216};
  facts.processId = 0x1C4;
  facts.processOpened = true;
  return facts;
}

TEST(PropertyReport, EnglishReportOfAnOwnerDataListViewInA64BitBuild) {
  EXPECT_EQ(BuildPropertyReport(ControlKind::ListView, ListViewFacts(), false, 64),
            L"Control         : ListView\r\n"
            L"Class name      : SysListView32\r\n"
            L"Caption         : \"\"\r\n"
            L"Style           : 50011009\r\n"
            L"          (WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SHOWSELALWAYS | LVS_OWNERDATA)\r\n"
            L"Extended Style  : 00000200\r\n"
            L"          (WS_EX_CLIENTEDGE)\r\n"
            L"Procedure       : 00007FF612340000\r\n"
            L"Instance        : 0000000000400000\r\n"
            L"Window Handle   : 0000000000020046\r\n"
            L"Parent Window   : 000000000001003A\r\n"
            L"Control ID      : 0000000000000064\r\n"
            L"UserData        : 0000000000000000\r\n"
            L"Position(Screen): (24,50)-(204,270)\r\n"
            L"Position(Client): (0,0)-(176,216)\r\n"
            L"\r\nListView Control with LVS_OWNERDRAWFIXED/LVS_OWNERDATA gives incorrect string.\r\n"
            L"\r\nProcess ID      : 000001C4 (64bit)\r\n");
}

TEST(PropertyReport, JapaneseReportWithoutCaptionOrProcessInA32BitBuild) {
  ControlFacts facts = ListViewFacts();
  facts.caption.reset();
  facts.style = 0;
  facts.exStyle = 0;
  facts.procedure = 0xFFFFFFFF81234567;  // only the low half exists in a 32-bit build
  facts.screen = {-8, -8, 1928, 1048};
  facts.processOpened = false;
  EXPECT_EQ(BuildPropertyReport(ControlKind::ListBox, facts, true, 32),
            L"種別　　　　　　：リストボックス\r\n"
            L"クラス名　　　　：ListBox\r\n"
            L"キャプション　　：取得不可（応答なし）\r\n"
            L"スタイル　　　　：00000000\r\n"
            L"拡張スタイル　　：00000000\r\n"
            L"プロシージャ　　：81234567\r\n"
            L"インスタンス　　：00400000\r\n"
            L"ハンドル　　　　：00020046\r\n"
            L"親ウィンドウ　　：0001003A\r\n"
            L"コントロールID　：00000064\r\n"
            L"ユーザデータ　　：00000000\r\n"
            L"スクリーン座標　：(-8,-8)-(1928,1048)\r\n"
            L"クライアント座標：(0,0)-(176,216)\r\n"
            L"\r\nプロセスID  　　：000001C4"
            L"\r\nプロセス情報の取得に失敗しました。\r\n");
}

TEST(PropertyReport, CaptionAndOtherKindsInEnglish) {
  ControlFacts facts = ListViewFacts();
  facts.caption = L"a \"quoted\" caption";
  facts.style = 0x50000000;
  const std::wstring tree = BuildPropertyReport(ControlKind::TreeView, facts, false, 64);
  EXPECT_EQ(tree.substr(0, tree.find(L"Style")),
            L"Control         : TreeView\r\nClass name      : SysTreeView32\r\n"
            L"Caption         : \"a \"quoted\" caption\"\r\n");
  facts.caption.reset();
  const std::wstring combo = BuildPropertyReport(ControlKind::ComboBox, facts, false, 64);
  EXPECT_EQ(combo.substr(0, combo.find(L"Style")),
            L"Control         : Combobox\r\nClass name      : ComboBox\r\nCaption         : [error]\r\n");
}

struct WarningCase {
  ControlKind kind;
  std::uint32_t style;
  const wchar_t* warning;  // nullptr: none
};

TEST(PropertyReport, OwnerDrawWarningsFollowTheClientPositionWhereTheirConditionHolds) {
  const wchar_t* lv = L"\r\nListView Control with LVS_OWNERDRAWFIXED/LVS_OWNERDATA gives incorrect string.\r\n";
  const wchar_t* cb = L"\r\nOwner-drawn Combobox without CBS_HASSTRINGS gives incorrect string.\r\n";
  const wchar_t* lb = L"\r\nOwner-drawn Listbox without LBS_HASSTRINGS gives incorrect string.\r\n";
  const WarningCase cases[] = {
      {ControlKind::ListView, 0x0400, lv},  {ControlKind::ListView, 0x1000, lv},
      {ControlKind::ListView, 0x0030, nullptr}, {ControlKind::ComboBox, 0x0010, cb},
      {ControlKind::ComboBox, 0x0020, cb},  {ControlKind::ComboBox, 0x0210, nullptr},
      {ControlKind::ComboBox, 0x1400, nullptr}, {ControlKind::ListBox, 0x0010, lb},
      {ControlKind::ListBox, 0x0020, lb},   {ControlKind::ListBox, 0x0070, nullptr},
      {ControlKind::TreeView, 0x1430, nullptr},
  };
  for (const WarningCase& c : cases) {
    SCOPED_TRACE(::testing::Message() << "kind " << static_cast<int>(c.kind) << " style " << std::hex << c.style);
    ControlFacts facts = ListViewFacts();
    facts.style = c.style;
    const std::wstring report = BuildPropertyReport(c.kind, facts, false, 64);
    const std::wstring client = L"Position(Client): (0,0)-(176,216)\r\n";
    const std::wstring afterClient = report.substr(report.find(client) + client.size());
    EXPECT_EQ(afterClient, (c.warning ? std::wstring(c.warning) : L"") + L"\r\nProcess ID      : 000001C4 (64bit)\r\n");
  }
}

TEST(PropertyReport, ADestroyedControlOrTheFileListIsUnknownAndNothingElse) {
  ControlFacts gone = ListViewFacts();
  gone.isWindow = false;
  EXPECT_EQ(BuildPropertyReport(ControlKind::ListView, gone, false), L"Control         : Unknown\r\n");
  EXPECT_EQ(BuildPropertyReport(ControlKind::TreeView, gone, true), L"種別　　　　　　：不明\r\n");
  EXPECT_EQ(BuildPropertyReport(ControlKind::FileList, ListViewFacts(), false), L"Control         : Unknown\r\n");
  const std::wstring other = BuildPropertyReport(static_cast<ControlKind>(9), ListViewFacts(), false);
  EXPECT_EQ(other.substr(0, other.find(L"Caption")), L"Control         : Unknown*\r\nClass name      : \r\n");
}

TEST(PropertyReport, DialogTitleNamesTheHandleAtThePointerWidth) {
  EXPECT_EQ(PropertyDialogTitle(0x20046, false, 64), L"Window Handle : 0000000000020046 - Property");
  EXPECT_EQ(PropertyDialogTitle(0x20046, true, 32), L"ウィンドウハンドル 00020046 - プロパティ");
}

}  // namespace
}  // namespace tblf
