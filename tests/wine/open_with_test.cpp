// The "Open" destination of tabulift.exe: the choice dialog, the temporary
// file handed to a command line or an association, the history, and the
// deletion of the temporary files when the program ends.

#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "resources/resource.h"
#include "tests/support/desktop_io_win.h"
#include "tests/support/fixture_suite_win.h"
#include "tests/support/gui_driver_win.h"

namespace tblf {
namespace {

using test::Narrow;
using test::ExecutableFolder;
using test::FileBytes;
using test::StoredString;
using test::TabuliftApp;

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool WaitFile(const std::wstring& path) {
  for (int i = 0; i < 300 && !Exists(path); ++i) Sleep(50);
  Sleep(200);  // the copy may still be writing
  return Exists(path);
}

std::wstring CopyCommand(const std::wstring& out) { return L"cmd /c copy \"%s\" \"" + out + L"\""; }

class OpenWith : public test::FixtureSuite<OpenWith> {
 protected:
  // TMP of the program: a folder of this test's own, empty.
  void SetUp() override {
    test::FixtureSuite<OpenWith>::SetUp();
    tmp_ = ExecutableFolder() + L"open_with_tmp";
    CreateDirectoryW(tmp_.c_str(), nullptr);
    for (const std::wstring& name : TemporaryFiles()) DeleteFileW((tmp_ + L"\\" + name).c_str());
    SetEnvironmentVariableW(L"TMP", tmp_.c_str());
  }
  void TearDown() override { SetEnvironmentVariableW(L"TMP", nullptr); }

  std::vector<std::wstring> TemporaryFiles() const {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((tmp_ + L"\\tblftmp*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do names.push_back(found.cFileName);
    while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
  }

  // Starts an output of trio.listview to "Open"; the choice dialog.
  HWND StartOpen(TabuliftApp& app) {
    app.Pick(IDC_DESTINATION, 2);
    app.Click(IDOK);
    return app.WaitWindow(L"Open with application", 10000);
  }

  // One output through a command line that copies the temporary file to
  // `out`; returns once the copy is there.
  void RunCommand(TabuliftApp& app, const std::wstring& out) {
    DeleteFileW(out.c_str());
    HWND dialog = StartOpen(app);
    ASSERT_NE(dialog, nullptr) << app.DescribeWindows();
    app.ClickIn(dialog, IDC_OPEN_COMMAND);
    app.TypeTextIn(dialog, IDC_COMMAND_LINE, CopyCommand(out));
    app.ClickIn(dialog, IDOK);
    ASSERT_TRUE(WaitFile(out)) << app.DescribeWindows();
    ASSERT_TRUE(app.WaitEnabled(IDC_REFRESH, 20000));
  }

  std::wstring tmp_;
};

TEST_F(OpenWith, ACommandLineGetsTheCsvTemporaryFileAndTheHistoryMovesTheChosenEntryToTheFront) {
  TabuliftApp app;
  ASSERT_TRUE(app.Start(L"en")) << Narrow(app.Error());
  ASSERT_TRUE(app.SelectMainListRow(fixture_->Handle(L"trio.listview")));
  app.Pick(IDC_FORMAT, 1);  // tab-separated, still ".csv"
  // The sample shows the table first, so that the run below starts from an idle window.
  ASSERT_TRUE(app.WaitSampleText(L"Name\tValue\r\na\t1\r\nb\t2\r\nc\t3\r\n")) << Narrow(app.SampleText());

  const std::wstring out[] = {ExecutableFolder() + L"open_with_out1.txt", ExecutableFolder() + L"open_with_out2.txt"};
  for (const std::wstring& o : out) DeleteFileW(o.c_str());
  RunCommand(app, out[0]);
  const std::wstring tsv = L"\xFEFFName\tValue\r\na\t1\r\nb\t2\r\nc\t3\r\n";
  EXPECT_EQ(FileBytes(out[0]), std::string(reinterpret_cast<const char*>(tsv.data()), tsv.size() * 2));
  EXPECT_EQ(TemporaryFiles(), std::vector<std::wstring>{L"tblftmp1.csv"});

  // How the history reorders is the native HistoryWrites test's; here that it is stored.
  RunCommand(app, out[1]);
  EXPECT_EQ(StoredString(L"appOpenDialog", L"cmdline"), CopyCommand(out[1]));
  EXPECT_EQ(StoredString(L"appOpenDialog", L"cmdline0"), CopyCommand(out[1]));
  EXPECT_EQ(StoredString(L"appOpenDialog", L"cmdline1"), CopyCommand(out[0]));
  EXPECT_EQ(test::StoredInt(L"appOpenDialog", L"select"), 0u);

  // Two outputs, two files; one held open at exit is reported, the other goes.
  const std::vector<std::wstring> made = TemporaryFiles();
  ASSERT_EQ(made.size(), 2u);
  const std::wstring held = tmp_ + L"\\" + made[1];
  HANDLE handle = CreateFileW(held.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(handle, INVALID_HANDLE_VALUE);
  PostMessageW(app.frame(), WM_CLOSE, 0, 0);
  const auto box = app.WaitMessageBox();
  ASSERT_TRUE(box);
  EXPECT_EQ(box->caption, L"Temporary Files");
  EXPECT_EQ(box->text, L"Cannot delete files:\r\n\r\n" + held + L"\r\n\r\nPlease delete them.");
  app.Answer(box->window);
  EXPECT_EQ(app.WaitExit(), 0u);
  CloseHandle(handle);
  EXPECT_EQ(TemporaryFiles(), std::vector<std::wstring>{made[1]});
  DeleteFileW(held.c_str());
  for (const std::wstring& o : out) DeleteFileW(o.c_str());
}

TEST_F(OpenWith, CancelStoresNothingAnEmptyCommandLineIsRefusedAndAMissingAssociationIsReported) {
  TabuliftApp app;
  ASSERT_TRUE(app.Start(L"ja")) << Narrow(app.Error());
  ASSERT_TRUE(app.SelectMainListRow(fixture_->Handle(L"trio.listview")));
  app.Pick(IDC_DESTINATION, 2);
  app.Click(IDOK);
  HWND dialog = app.WaitWindow(L"アプリケーションを指定して開く", 10000);
  ASSERT_NE(dialog, nullptr) << app.DescribeWindows();
  // The stored default: the command line radio with NOTEPAD.
  EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_OPEN_COMMAND), BST_CHECKED);
  EXPECT_EQ(app.TextOf(GetDlgItem(dialog, IDC_COMMAND_LINE)), L"NOTEPAD \"%s\"");
  app.TypeTextIn(dialog, IDC_COMMAND_LINE, L"");
  app.ClickIn(dialog, IDOK);
  const auto box = app.WaitMessageBox();
  ASSERT_TRUE(box);
  EXPECT_EQ(box->text, L"コマンドラインを指定してください。");
  app.Answer(box->window);
  ASSERT_TRUE(IsWindowVisible(dialog));
  app.ClickIn(dialog, IDC_OPEN_CSV);
  Sleep(200);
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_COMMAND_LINE)));
  app.ClickIn(dialog, IDCANCEL);
  ASSERT_TRUE(app.WaitEnabled(IDOK));
  EXPECT_EQ(test::StoredInt(L"appOpenDialog", L"select"), std::nullopt);
  EXPECT_EQ(StoredString(L"appOpenDialog", L"cmdline"), std::nullopt);
  EXPECT_TRUE(TemporaryFiles().empty());

  // The CSV association: this Wine has no program for .csv (ShellExecuteW
  // gives 31); the file is written and recorded all the same.
  app.Click(IDOK);
  dialog = app.WaitWindow(L"アプリケーションを指定して開く", 10000);
  ASSERT_NE(dialog, nullptr) << app.DescribeWindows();
  app.ClickIn(dialog, IDC_OPEN_CSV);
  app.ClickIn(dialog, IDOK);
  const auto noAssociation = app.WaitMessageBox();
  ASSERT_TRUE(noAssociation) << app.DescribeWindows();
  EXPECT_EQ(noAssociation->caption, L"Tabulift");
  EXPECT_EQ(noAssociation->text, L"指定された拡張子に関連付けられたプログラムがありません。");
  app.Answer(noAssociation->window);
  EXPECT_EQ(TemporaryFiles(), std::vector<std::wstring>{L"tblftmp1.csv"});
  EXPECT_EQ(test::StoredInt(L"appOpenDialog", L"select"), 1u);
  ASSERT_TRUE(app.WaitEnabled(IDOK));
  EXPECT_EQ(app.Close(), 0u);
  EXPECT_TRUE(TemporaryFiles().empty()) << "deleted at exit";
}

}  // namespace
}  // namespace tblf
