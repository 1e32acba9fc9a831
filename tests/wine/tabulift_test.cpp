// tabulift.exe as a user meets it: started as its own process next to the
// fixture, driven through its window from here.

#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cwchar>
#include <set>
#include <string>

#include "resources/resource.h"
#include "tests/support/desktop_io_win.h"
#include "tests/support/fixture_suite_win.h"
#include "tests/support/gui_driver_win.h"

namespace tblf {
namespace {

using test::Narrow;
using test::ClipboardText;
using test::ExecutableFolder;
using test::FileBytes;
using test::PutOnClipboard;
using test::TabuliftApp;

const std::wstring kTrioCsv = L"\"Name\",\"Value\"\r\n\"a\",\"1\"\r\n\"b\",\"2\"\r\n\"c\",\"3\"\r\n";

// ---------------------------------------------------------------------------
// Start-up and closing.

TEST(TabuliftStart, AnUnknownOptionIsShownWithItsTextAndEndsTheProgram) {
  for (const wchar_t* language : {L"en", L"ja"}) {
    TabuliftApp app;
    ASSERT_TRUE(app.Launch(language, L"/x")) << Narrow(app.Error());
    const auto box = app.WaitMessageBox();
    ASSERT_TRUE(box);
    EXPECT_EQ(box->caption, test::Lang(language[0] == L'j', L"不明なオプション", L"Unkown Option"));
    EXPECT_EQ(box->text, L"/x");
    app.Answer(box->window);
    EXPECT_EQ(app.WaitExit(), 0u);
  }
}

TEST(TabuliftStart, ClosingSavesThePlacementInTheRegistryOrWithSlashOInTheIniFile) {
  {
    TabuliftApp app;
    ASSERT_TRUE(app.Start(L"en")) << Narrow(app.Error());
    RECT r{};
    GetWindowRect(app.frame(), &r);
    EXPECT_EQ(app.Close(), 0u);
    EXPECT_EQ(test::StoredInt(L"Window", L"wLeft"), static_cast<DWORD>(r.left));
    EXPECT_EQ(test::StoredInt(L"Window", L"wWidth"), static_cast<DWORD>(r.right - r.left));
    EXPECT_EQ(test::StoredInt(L"MainDialog", L"format"), 0u);
  }
  {
    TabuliftApp app;
    ASSERT_TRUE(app.Start(L"en", L"/O")) << Narrow(app.Error());
    test::RemoveStoredSettings();
    EXPECT_EQ(app.Close(), 0u);
    // The INI file is kept in UTF-16.
    const std::string bytes = FileBytes(ExecutableFolder() + L"TBLIFT.INI");
    const std::wstring ini(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / 2);
    EXPECT_NE(ini.find(L"[Window]\r\nwMax=0\r\nwLeft="), std::wstring::npos) << Narrow(ini);
    EXPECT_EQ(test::StoredInt(L"Window", L"wLeft"), std::nullopt) << "INI mode leaves the registry alone";
    DeleteFileW((ExecutableFolder() + L"TBLIFT.INI").c_str());
  }
}

// ---------------------------------------------------------------------------
// The window against the fixture.

class TabuliftWine : public test::FixtureSuite<TabuliftWine> {
 protected:
  HWND H(const wchar_t* name) { return fixture_->Handle(name); }
};

TEST_F(TabuliftWine, TheMainListHoldsTheFixtureAndTheKindRulesShowTheOptions) {
  TabuliftApp app;
  // Start waits for the File List row, which comes last; a missing row shows no options below.
  ASSERT_TRUE(app.Start(L"en")) << Narrow(app.Error());
  const struct {
    const wchar_t* control;  // null: no row selected
    std::set<int> shown;
  } cases[] = {
      {L"trio.listview", {IDC_ONLY_LINES, IDC_LINES, IDC_ONLY_COLUMNS, IDC_COLUMNS, IDC_WITH_CHECKED, IDC_WITH_SELECTED,
                          IDC_WITH_FOCUSED, IDC_SELECTED_ONLY, IDC_AS_SHOWN}},
      {L"trio.treeview", {IDC_TREE_SHIFT, IDC_TREE_GRAPH}},
      {L"trio.listbox", {IDC_NOTICE}},
      {nullptr, {IDC_NOTICE}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.control ? Narrow(c.control) : "no selection");
    ASSERT_TRUE(app.SelectRow(c.control ? app.FindRow(H(c.control)) : -1));
    for (int id : {IDC_ONLY_LINES, IDC_LINES, IDC_ONLY_COLUMNS, IDC_COLUMNS, IDC_TREE_SHIFT, IDC_TREE_GRAPH,
                   IDC_FILELIST_HINT, IDC_NOTICE, IDC_WITH_CHECKED, IDC_AS_SHOWN}) {
      EXPECT_EQ(app.Visible(id), c.shown.count(id) == 1) << id;
    }
  }

  // Enter (button 1) with no row selected.
  app.Click(IDOK);
  const auto box = app.WaitMessageBox();
  ASSERT_TRUE(box);
  EXPECT_EQ(box->caption, L"Tabulift");
  EXPECT_EQ(box->text, L"Please select an item.");
  app.Answer(box->window);
  EXPECT_EQ(app.Close(), 0u);
}

TEST_F(TabuliftWine, TheFinderLetGoOverAControlSelectsItsRowListingItsKindFirst) {
  TabuliftApp app;
  ASSERT_TRUE(app.Start(L"en")) << Narrow(app.Error());
  // The static is listed only with the text controls, which start off.
  EXPECT_EQ(SendMessageW(app.Item(IDC_TEXT_CONTROLS), BM_GETCHECK, 0, 0), BST_UNCHECKED);
  for (const auto& [name, className] : {std::pair{L"trio.listview", L"SysListView32"}, {L"static", L"Static"}}) {
    SCOPED_TRACE(Narrow(name));
    HWND control = H(name), root = GetAncestor(control, GA_ROOT);
    SetWindowPos(root, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    RECT r{};
    GetWindowRect(control, &r);
    const POINT centre{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    app.DragFinder(centre);
    wchar_t shown[80];
    std::swprintf(shown, 80, L"%ls %0*llX", className, static_cast<int>(2 * sizeof(void*)),
                  static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(control)));
    EXPECT_TRUE(test::WaitUntil([&] { return app.Text(IDC_FINDER_TEXT) == shown; })) << Narrow(app.Text(IDC_FINDER_TEXT));
    // Esc cancels the drag: the hint comes back, the release picks nothing.
    PostMessageW(app.Item(IDC_MAIN_LIST), WM_KEYDOWN, VK_ESCAPE, 0);
    app.ReleaseFinder(centre);
    EXPECT_TRUE(test::WaitUntil([&] { return app.Text(IDC_FINDER_TEXT) == L"Drag the crosshair onto a control"; }));
    app.DragFinder(centre);
    app.ReleaseFinder(centre);
    EXPECT_TRUE(test::WaitUntil([&] { return app.SelectedRow() >= 0 && app.SelectedRow() == app.FindRow(control); }));
    SetWindowPos(root, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  EXPECT_EQ(SendMessageW(app.Item(IDC_TEXT_CONTROLS), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(app.Close(), 0u);
  EXPECT_EQ(test::StoredInt(L"MainDialog", L"textc"), 1u);
}

TEST_F(TabuliftWine, OutputToTheClipboardAndToAFileWithTheirMessagesInBothLanguages) {
  for (const wchar_t* language : {L"en", L"ja"}) {
    const bool ja = language[0] == L'j';
    SCOPED_TRACE(Narrow(language));
    TabuliftApp app;
    ASSERT_TRUE(app.Start(language)) << Narrow(app.Error());
    ASSERT_TRUE(app.SelectMainListRow(H(L"trio.listview")));

    PutOnClipboard(L"before");
    app.Pick(IDC_DESTINATION, 1);
    app.Click(IDOK);
    auto box = app.WaitMessageBox();
    ASSERT_TRUE(box);
    EXPECT_EQ(box->text, test::Lang(ja, L"クリップボードへコピーしました。", L"Writing data to Clipboard."));
    EXPECT_EQ(ClipboardText(), kTrioCsv);
    app.Answer(box->window);
    // The focus is back on the main list, not on a check box that a stray Space would toggle.
    const DWORD thread = GetWindowThreadProcessId(app.frame(), nullptr);
    GUITHREADINFO focus{sizeof focus};
    EXPECT_TRUE(test::WaitUntil([&] {
      return GetGUIThreadInfo(thread, &focus) && focus.hwndFocus == app.Item(IDC_MAIN_LIST);
    })) << focus.hwndFocus;

    const std::wstring file = ExecutableFolder() + L"tabulift_test_out.txt";
    DeleteFileW(file.c_str());
    app.Pick(IDC_FORMAT, 1);
    app.Pick(IDC_DESTINATION, 0);
    app.Click(IDOK);
    ASSERT_TRUE(app.FillSaveDialog(file)) << app.DescribeWindows();
    box = app.WaitMessageBox();
    ASSERT_TRUE(box);
    EXPECT_EQ(box->text, test::Lang(ja, L"ファイル出力が完了しました。", L"Writing data to file was completed."));
    app.Answer(box->window);
    // The stored default encoding is UTF-16 with its byte order mark.
    const std::wstring tsv = L"\xFEFFName\tValue\r\na\t1\r\nb\t2\r\nc\t3\r\n";
    EXPECT_EQ(FileBytes(file), std::string(reinterpret_cast<const char*>(tsv.data()), tsv.size() * 2));
    DeleteFileW(file.c_str());
    EXPECT_EQ(app.Text(IDOK), test::Lang(ja, L"出力開始(&O)...", L"&OK...")) << "the button has its caption back";
    EXPECT_EQ(app.Close(), 0u);
  }
}

TEST_F(TabuliftWine, ASelectionThatLeavesNoRowSaysSoUnderTheCompletionMessage) {
  for (const wchar_t* language : {L"en", L"ja"}) {
    const bool ja = language[0] == L'j';
    SCOPED_TRACE(Narrow(language));
    // Without the sample window: no preview runs between the steps.
    test::RemoveStoredSettings();
    test::StoreInt(L"Window", L"sample", 0);
    TabuliftApp app;
    ASSERT_TRUE(app.Start(language, L"", false)) << Narrow(app.Error());
    ASSERT_TRUE(app.SelectMainListRow(H(L"trio.listview")));
    app.SetChecked(IDC_ONLY_LINES, true);
    app.TypeText(IDC_LINES, L"9");
    app.Pick(IDC_DESTINATION, 1);
    app.Click(IDOK);
    const auto box = app.WaitMessageBox();
    ASSERT_TRUE(box) << app.DescribeWindows();
    EXPECT_EQ(box->text, test::Lang(ja, L"クリップボードへコピーしました。\n(選択に一致する行がありません)",
                                    L"Writing data to Clipboard.\n(No row matched the selection.)"));
    EXPECT_EQ(ClipboardText(), L"\"Name\",\"Value\"\r\n");
    app.Answer(box->window);
    EXPECT_EQ(app.Close(), 0u);
  }
}

TEST_F(TabuliftWine, TheListViewExtrasReachTheOutputAndAreKeptForTheNextStart) {
  test::RemoveStoredSettings();
  test::StoreInt(L"Window", L"sample", 0);
  // Ticked at the first start, read back from the settings at the second.
  for (const bool tick : {true, false}) {
    SCOPED_TRACE(tick ? "ticked" : "stored");
    TabuliftApp app;
    ASSERT_TRUE(app.Start(L"ja", L"", false)) << Narrow(app.Error());
    ASSERT_TRUE(app.SelectMainListRow(H(L"checklist")));
    for (int id : {IDC_WITH_CHECKED, IDC_SELECTED_ONLY, IDC_AS_SHOWN}) {
      if (tick) app.SetChecked(id, true);
    }
    app.Pick(IDC_DESTINATION, 1);
    app.Click(IDOK);
    const auto box = app.WaitMessageBox();
    ASSERT_TRUE(box) << app.DescribeWindows();
    EXPECT_EQ(ClipboardText(), L"\"Two\",\"Zero\",\"チェック\"\r\n\"r1c2\",\"r1c0\",\"0\"\r\n");
    app.Answer(box->window);
    EXPECT_EQ(app.Close(), 0u);
  }
  EXPECT_EQ(test::StoredInt(L"MainDialog", L"asshown"), 1u);
}

TEST_F(TabuliftWine, AControlDestroyedSinceTheRefreshGivesTheStaleMessageAndTheButtonsComeBack) {
  test::FixtureProcess doomed;
  ASSERT_TRUE(doomed.Start()) << Narrow(doomed.Error());
  TabuliftApp app;
  ASSERT_TRUE(app.Start(L"en")) << Narrow(app.Error());
  const int row = app.FindRow(doomed.Handle(L"trio.listbox"));
  ASSERT_GE(row, 0);
  doomed.Kill();
  ASSERT_TRUE(app.SelectRow(row));
  app.Pick(IDC_DESTINATION, 1);
  app.Click(IDOK);
  const auto box = app.WaitMessageBox();
  ASSERT_TRUE(box);
  EXPECT_EQ(box->text, L"The specified item is already invalid.\nPlease push [Refresh] button.");
  app.Answer(box->window);
  for (int id : {IDC_REFRESH, IDOK, IDC_EXIT}) EXPECT_TRUE(app.WaitEnabled(id)) << id;
  EXPECT_EQ(app.Close(), 0u);
}

TEST_F(TabuliftWine, TheSampleWindowFollowsTheSelectionAndTheFormat) {
  TabuliftApp app;
  ASSERT_TRUE(app.Start(L"en")) << Narrow(app.Error());
  ASSERT_NE(app.SampleWindow(), nullptr);
  EXPECT_EQ(app.SampleText(), L"Please select an item.");
  ASSERT_TRUE(app.SelectMainListRow(H(L"trio.listview")));
  EXPECT_TRUE(app.WaitSampleText(kTrioCsv)) << Narrow(app.SampleText());
  app.Pick(IDC_FORMAT, 1);
  EXPECT_TRUE(app.WaitSampleText(L"Name\tValue\r\na\t1\r\nb\t2\r\nc\t3\r\n")) << Narrow(app.SampleText());

  // Two requests in quick succession: the second run's text stays.
  ASSERT_TRUE(app.SelectMainListRow(H(L"listbox")));
  ASSERT_TRUE(app.SelectMainListRow(H(L"trio.treeview")));
  EXPECT_TRUE(app.WaitSampleText(L"t-root\r\nt-child\r\n")) << Narrow(app.SampleText());
  EXPECT_EQ(app.Close(), 0u);
}

TEST_F(TabuliftWine, AFileOutputStartedWhileASampleRendersWaitsForIt) {
  TabuliftApp app;
  test::FixtureProcess big;
  ASSERT_TRUE(big.Start(L"--big-listview 400x3")) << Narrow(big.Error());
  ASSERT_TRUE(app.Start(L"en")) << Narrow(app.Error());
  HWND bigList = big.Handle(L"big");
  ASSERT_NE(bigList, nullptr);
  ASSERT_TRUE(app.SelectMainListRow(bigList));
  // The preview of 400 rows takes a while; the clipboard output asked for
  // meanwhile cancels it, waits, and then runs whole.
  ASSERT_TRUE(app.WaitWindow(L"Tabulift - Sample - Writing...", 10000))
      << app.DescribeWindows() << Narrow(app.SampleText().substr(0, 200));
  app.Pick(IDC_DESTINATION, 1);
  app.Click(IDOK);
  const auto box = app.WaitMessageBox(120000);
  ASSERT_TRUE(box) << app.DescribeWindows() << Narrow(app.SampleText().substr(0, 200));
  EXPECT_EQ(box->text, L"Writing data to Clipboard.");
  const std::wstring copied = ClipboardText();
  EXPECT_EQ(std::count(copied.begin(), copied.end(), L'\n'), 401) << "the header and every row";
  app.Answer(box->window);
  EXPECT_EQ(app.Close(), 0u);
}

TEST_F(TabuliftWine, ALongClipboardOutputKeepsTheWindowAnsweringShowsProgressAndCancels) {
  TabuliftApp app;
  test::FixtureProcess big;
  ASSERT_TRUE(big.Start(L"--big-listview 30000x10")) << Narrow(big.Error());
  ASSERT_TRUE(app.Start(L"en")) << Narrow(app.Error());
  ASSERT_TRUE(app.SelectMainListRow(big.Handle(L"big")));
  EXPECT_FALSE(app.Visible(IDC_PROGRESS));
  app.Pick(IDC_DESTINATION, 1);
  app.Click(IDOK);
  HWND bar = app.Item(IDC_PROGRESS);
  auto position = [bar] { return static_cast<long>(SendMessageW(bar, PBM_GETPOS, 0, 0)); };
  ASSERT_TRUE(test::WaitUntil([&] { return position() > 0; })) << app.DescribeWindows();
  EXPECT_TRUE(app.Visible(IDC_PROGRESS));
  EXPECT_EQ(app.Text(IDOK), L"&Cancel");
  EXPECT_FALSE(app.Enabled(IDC_FORMAT)) << "nothing that changes the output while it runs";

  // A posted message is dispatched at once, and the bar keeps moving.
  const long before = position();
  const DWORD posted = GetTickCount();
  PostMessageW(app.Item(IDC_DESTINATION), CB_SETCURSEL, 2, 0);
  ASSERT_TRUE(test::WaitUntil([&] { return app.Picked(IDC_DESTINATION) == 2; }, 100));
  EXPECT_LT(GetTickCount() - posted, 1000u);
  PostMessageW(app.Item(IDC_DESTINATION), CB_SETCURSEL, 1, 0);
  EXPECT_TRUE(test::WaitUntil([&] { return position() > before; }, 40));
  EXPECT_LT(position(), 30000) << "the run is still going";

  const DWORD cancelled = GetTickCount();
  app.Click(IDOK);
  const auto box = app.WaitMessageBox(10000);
  ASSERT_TRUE(box) << app.DescribeWindows();
  EXPECT_LT(GetTickCount() - cancelled, 2000u);
  EXPECT_EQ(box->text, L"Aborted.");
  app.Answer(box->window);
  EXPECT_EQ(app.Text(IDOK), L"&OK...");
  EXPECT_FALSE(app.Visible(IDC_PROGRESS));
  EXPECT_TRUE(app.Enabled(IDC_FORMAT));
  EXPECT_EQ(app.Close(), 0u);
}

}  // namespace
}  // namespace tblf
