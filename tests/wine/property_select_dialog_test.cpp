// The property dialog and the list view multi-selection helper of
// tabulift.exe, opened from the main list's context menu commands against the
// fixture's list views: what they show, what the helper selects, how it
// reports, and what it stores when closed.

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "remote/property_report_win.h"
#include "remote/timed_send_win.h"
#include "resources/resource.h"
#include "tests/support/fixture_suite_win.h"
#include "tests/support/gui_driver_win.h"

namespace tblf {
namespace {

using test::Narrow;
using test::WaitUntil;
using test::StoredInt;
using test::TabuliftApp;

constexpr wchar_t kHelperTitle[] = L"ListView Multi Selection Helper (Pilot ver.)";
constexpr wchar_t kHelperCaption[] = L"ListView Multiple Select Helper";

// Which items of a list view are selected, read straight from the control.
std::vector<bool> Selected(HWND listView) {
  std::vector<bool> selected;
  const LRESULT count = SendMessageW(listView, LVM_GETITEMCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    selected.push_back(SendMessageW(listView, LVM_GETITEMSTATE, i, LVIS_SELECTED) == LVIS_SELECTED);
  }
  return selected;
}

class PropertySelectDialogs : public test::FixtureSuite<PropertySelectDialogs> {
 protected:
  // Starts the program, selects the row of `name` and sends the menu command.
  void Open(TabuliftApp& app, const wchar_t* name, int command) {
    ASSERT_TRUE(app.Start(L"en")) << Narrow(app.Error());
    ASSERT_TRUE(app.SelectMainListRow(fixture_->Handle(name))) << app.DescribeWindows();
    app.Command(command);
  }
  // Types the condition and the column into the helper and presses OK.
  static void RunHelper(TabuliftApp& app, HWND helper, int mode, const std::wstring& condition) {
    app.ClickIn(helper, mode);
    app.TypeTextIn(helper, IDC_SELECT_COLUMN, L"0");
    app.TypeTextIn(helper, IDC_SELECT_CONDITION, condition);
    app.ClickIn(helper, IDOK);
  }
};

TEST_F(PropertySelectDialogs, ThePropertyDialogShowsTheReportWithTheHandleInItsTitle) {
  HWND listView = fixture_->Handle(L"trio.listview");
  TabuliftApp app;
  Open(app, L"trio.listview", IDM_PROPERTY);
  HWND dialog = app.WaitWindow(PropertyDialogTitle(FromHwnd(listView), false));
  ASSERT_NE(dialog, nullptr) << app.DescribeWindows();
  EXPECT_EQ(app.TextOf(GetDlgItem(dialog, IDC_PROPERTY_REPORT)),
            BuildPropertyReport(ControlKind::ListView, GatherControlFacts(listView, ControlKind::ListView), false));
  app.Answer(dialog, IDCANCEL);
  EXPECT_FALSE(IsWindowVisible(dialog));
  EXPECT_EQ(app.Close(), 0u);
}

// A pattern too complex to finish stops with its own text: the native MultiSelect test.
TEST_F(PropertySelectDialogs, ARegexSelectsTheWholeMatchesAndABadOneIsRefused) {
  HWND listView = fixture_->Handle(L"report");
  TabuliftApp app;
  Open(app, L"report", IDM_MULTI_SELECT);
  HWND helper = app.WaitWindow(kHelperTitle);
  ASSERT_NE(helper, nullptr) << app.DescribeWindows();

  RunHelper(app, helper, IDC_SELECT_REGEX, L"(");
  auto box = app.WaitMessageBox();
  ASSERT_TRUE(box) << app.DescribeWindows();
  EXPECT_EQ(box->caption, kHelperCaption);
  EXPECT_EQ(box->text, L"Please correct the regular expression.");
  app.Answer(box->window);

  // "alpha" and "gamma" end in "a"; the long text (cut at 2047 characters) does not.
  RunHelper(app, helper, IDC_SELECT_REGEX, L".*a");
  box = app.WaitMessageBox();
  ASSERT_TRUE(box) << app.DescribeWindows();
  EXPECT_EQ(box->text, L"2 item(s) selected.");
  app.Answer(box->window);
  EXPECT_EQ(Selected(listView), (std::vector<bool>{true, false, true}));
  EXPECT_TRUE(IsWindowVisible(helper)) << "the helper stays open";
  app.Answer(helper, IDCANCEL);
  EXPECT_EQ(StoredInt(L"MulSelLv", L"Radio"), 0u);
  EXPECT_EQ(app.Close(), 0u);
}

TEST_F(PropertySelectDialogs, SubstringsDeselectAndTheMessageDialogCountsEachLine) {
  HWND listView = fixture_->Handle(L"report");
  TabuliftApp app;
  Open(app, L"report", IDM_MULTI_SELECT);
  HWND helper = app.WaitWindow(kHelperTitle);
  ASSERT_NE(helper, nullptr) << app.DescribeWindows();
  app.ClickIn(helper, IDC_SELECT_DESELECT);
  RunHelper(app, helper, IDC_SELECT_SUBSTRING, L"ph\r\ngam\r\n\r\nzzz\r\n");
  HWND result = nullptr;
  ASSERT_TRUE(WaitUntil([&] {
    result = app.WaitWindow(kHelperCaption, 100);
    return result && GetDlgItem(result, IDC_MESSAGE_TEXT);
  })) << app.DescribeWindows();
  EXPECT_EQ(app.TextOf(GetDlgItem(result, IDC_MESSAGE_LINE)), L"2 item(s) canceled.");
  EXPECT_EQ(app.TextOf(GetDlgItem(result, IDC_MESSAGE_TEXT)),
            L"ph : 1 item(s) canceled.\r\ngam : 1 item(s) canceled.\r\nzzz : 0 item(s) canceled.\r\n");
  app.Answer(result, IDCANCEL);
  EXPECT_EQ(Selected(listView), (std::vector<bool>{false, false, false}));

  app.TypeTextIn(helper, IDC_SELECT_COLUMN, L"3");
  app.Answer(helper, IDCANCEL);
  EXPECT_EQ(StoredInt(L"MulSelLv", L"Radio"), 2u);
  EXPECT_EQ(StoredInt(L"MulSelLv", L"SelCancel"), 1u);
  EXPECT_EQ(StoredInt(L"MulSelLv", L"CaseI"), 0u);
  EXPECT_EQ(StoredInt(L"MulSelLv", L"Column"), 3u);
  EXPECT_EQ(app.Close(), 0u);
}

// Holding Esc stops a regular expression run; the queued Esc keystrokes must
// neither dismiss the summary nor close the helper afterwards.
TEST(PropertySelectDialogsEscape, EscStopsARegexRunAndTheSummaryAndTheHelperStay) {
  test::FixtureProcess big;
  ASSERT_TRUE(big.Start(L"--big-listview 20000x1")) << Narrow(big.Error());
  HWND listView = big.Handle(L"big");
  TabuliftApp app;
  ASSERT_TRUE(app.Start(L"en")) << Narrow(app.Error());
  ASSERT_TRUE(app.SelectMainListRow(listView)) << app.DescribeWindows();
  app.Command(IDM_MULTI_SELECT);
  HWND helper = app.WaitWindow(kHelperTitle);
  ASSERT_NE(helper, nullptr) << app.DescribeWindows();
  SetForegroundWindow(helper);
  app.ClickIn(helper, IDC_SELECT_REGEX);
  app.TypeTextIn(helper, IDC_SELECT_CONDITION, L"r\\d+c0");
  app.ClickIn(helper, IDOK);
  ASSERT_TRUE(WaitUntil([&] { return SendMessageW(listView, LVM_GETITEMSTATE, 20, LVIS_SELECTED) != 0; }));

  keybd_event(VK_ESCAPE, 0, 0, 0);
  Sleep(300);
  keybd_event(VK_ESCAPE, 0, KEYEVENTF_KEYUP, 0);
  const auto box = app.WaitMessageBox();
  ASSERT_TRUE(box) << app.DescribeWindows();
  EXPECT_NE(box->text.find(L"item(s) selected.\n(Aborted)"), std::wstring::npos) << Narrow(box->text);
  EXPECT_EQ(SendMessageW(listView, LVM_GETITEMSTATE, 19999, LVIS_SELECTED), 0) << "the run stopped early";
  Sleep(500);
  EXPECT_TRUE(IsWindowVisible(box->window)) << "the summary waits for its answer";
  app.Answer(box->window);
  Sleep(300);
  EXPECT_TRUE(IsWindowVisible(helper)) << "the helper stays open";
  app.Answer(helper, IDCANCEL);
  EXPECT_EQ(app.Close(), 0u);
}

}  // namespace
}  // namespace tblf
