// The file list dialog of tabulift.exe, driven through its window: the
// folder history across an OK, a missing folder, and one file list output
// from the File List row to the clipboard.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "resources/resource.h"
#include "tests/support/desktop_io_win.h"
#include "tests/support/fixture_win.h"
#include "tests/support/gui_driver_win.h"

namespace tblf {
namespace {

using test::Narrow;
using test::StoredInt;
using test::StoredString;
using test::TabuliftApp;

constexpr wchar_t kTitle[] = L"Files and Folders List";

// The entries of a combo box of the program, in order.
std::vector<std::wstring> ComboEntries(HWND combo) {
  std::vector<std::wstring> entries;
  const LRESULT count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    std::wstring text(static_cast<size_t>(SendMessageW(combo, CB_GETLBTEXTLEN, i, 0)) + 1, L'\0');
    SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text.data()));
    entries.push_back(text.c_str());
  }
  return entries;
}

// A folder of the history, made on first use: OK takes existing folders only.
std::wstring Folder(const std::wstring& name) {
  const std::wstring path = test::ExecutableFolder() + L"file_list_dialog_" + name;
  CreateDirectoryW(path.c_str(), nullptr);
  return path;
}
std::wstring Entry(int i) { return Folder(L"h" + std::to_wstring(100 + i).substr(1)); }

// Through "Output FileList..." with the destination "file", OK in the dialog
// with `folder`, then the save dialog cancelled: the history moves without
// any output.
void OkWithFolder(TabuliftApp& app, const std::wstring& folder) {
  app.Command(IDM_OUTPUT_FILELIST);
  HWND dialog = app.WaitWindow(kTitle);
  ASSERT_NE(dialog, nullptr) << app.DescribeWindows();
  app.TypeTextIn(dialog, IDC_FL_FOLDER, folder);
  app.ClickIn(dialog, IDOK);
  HWND save = app.WaitWindow(L"Save as...");
  ASSERT_NE(save, nullptr) << app.DescribeWindows();
  app.Answer(save, IDCANCEL);
  ASSERT_TRUE(app.WaitEnabled(IDOK));
}

// How the history orders and cuts its entries is the native FileListHistory test's;
// here the stored history reaches the dialog and an OK stores the new order.
TEST(FileListDialog, TheFolderHistoryIsReadAndAnOkMovesItsFolderUp) {
  TabuliftApp app;
  ASSERT_TRUE(app.Start(L"en")) << Narrow(app.Error());
  const std::wstring stored = Entry(0) + L'\0' + Entry(1) + L'\0' + L'\0';
  ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\QuillmarkHive\\TBLIFT\\CurrentVersion\\FileList",
                            L"flist_folder_combo", REG_MULTI_SZ, stored.data(),
                            static_cast<DWORD>(stored.size() * sizeof(wchar_t))),
            ERROR_SUCCESS);
  app.Pick(IDC_DESTINATION, 0);

  OkWithFolder(app, Entry(1));
  app.Command(IDM_OUTPUT_FILELIST);
  HWND dialog = app.WaitWindow(kTitle);
  ASSERT_NE(dialog, nullptr) << app.DescribeWindows();
  EXPECT_EQ(ComboEntries(GetDlgItem(dialog, IDC_FL_FOLDER)), (std::vector<std::wstring>{Entry(1), Entry(0)}));
  EXPECT_EQ(app.TextOf(GetDlgItem(dialog, IDC_FL_FOLDER)), Entry(1)) << "the last folder comes back";

  // A folder that does not exist is named before any save dialog could
  // create a file; the dialog stays for another folder.
  const std::wstring missing = test::ExecutableFolder() + L"file_list_dialog_missing";
  app.TypeTextIn(dialog, IDC_FL_FOLDER, missing);
  app.ClickIn(dialog, IDOK);
  const auto box = app.WaitMessageBox();
  ASSERT_TRUE(box) << app.DescribeWindows();
  EXPECT_EQ(box->text, L"Folder not found:\n" + missing);
  app.Answer(box->window);
  EXPECT_EQ(FindWindowW(L"#32770", L"Save as..."), nullptr);
  EXPECT_TRUE(IsWindowVisible(dialog));
  app.ClickIn(dialog, IDCANCEL);
  ASSERT_TRUE(app.WaitEnabled(IDOK));
  EXPECT_EQ(app.Close(), 0u);
}

TEST(FileListDialog, TheFileListRowWritesTheTreeToTheClipboard) {
  // root: folder A (folder B with x.txt, file y.txt) and file z.txt.
  const std::wstring root = test::ExecutableFolder() + L"file_list_dialog_tree";
  for (const wchar_t* folder : {L"", L"\\A", L"\\A\\B"}) CreateDirectoryW((root + folder).c_str(), nullptr);
  for (const wchar_t* file : {L"\\A\\B\\x.txt", L"\\A\\y.txt", L"\\z.txt"}) test::PutFileBytes(root + file, "x");

  TabuliftApp app;
  ASSERT_TRUE(app.Start(L"en")) << Narrow(app.Error());
  ASSERT_TRUE(app.SelectRow(app.RowCount() - 1));
  app.Pick(IDC_FORMAT, 1);       // TAB-separated
  app.Pick(IDC_DESTINATION, 1);  // clipboard
  test::PutOnClipboard(L"before");
  app.Click(IDOK);
  HWND dialog = app.WaitWindow(kTitle);
  ASSERT_NE(dialog, nullptr) << app.DescribeWindows();
  app.TypeTextIn(dialog, IDC_FL_FOLDER, root);
  app.TypeTextIn(dialog, IDC_FL_TEMPLATE, L"{%g}{%f},{%cp}");
  app.PickIn(dialog, IDC_FL_ORDER, 1);  // FileName Asc
  app.ClickIn(dialog, IDOK);
  const auto box = app.WaitMessageBox();
  ASSERT_TRUE(box) << app.DescribeWindows();
  EXPECT_EQ(box->text, L"Writing data to Clipboard.");
  app.Answer(box->window);
  EXPECT_EQ(test::ClipboardText(), L"A\t\r\n|-B\tA\r\n| +-x.txt\tA\\B\r\n+-y.txt\tA\r\nz.txt\t\r\n");
  EXPECT_EQ(StoredString(L"FileList", L"info"), L"{%g}{%f},{%cp}");
  EXPECT_EQ(StoredInt(L"FileList", L"FilesOrder"), 1u);
  EXPECT_EQ(app.Close(), 0u);
}

}  // namespace
}  // namespace tblf
