// The file list's Win32 layer in this process: the output engine's kind-4
// run through the real walk (current directory and hint line as before,
// the folder error question), paths past MAX_PATH, and ComboboxQueue with
// the registry and a real combo box. Then tblfcli files on a real folder tree
// that the test makes: byte-exact rows for the default template, the walk
// options, a root that does not exist, and the command line's own errors.
// Last the file list dialog of tabulift.exe, driven through its window: the
// folder history across an OK, a missing folder, and one file list output
// from the File List row to the clipboard.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "filelist/combobox_queue_win.h"
#include "filelist/file_list_win.h"
#include "output/encoded_writer_win.h"
#include "output/engine_host_win.h"
#include "remote/control_reader_win.h"
#include "resources/resource.h"
#include "settings/regw_win.h"
#include "settings/storage_mode.h"
#include "base/message_box_win.h"
#include "tests/support/cli_run_win.h"
#include "tests/support/desktop_io_win.h"
#include "tests/support/fixture_win.h"
#include "tests/support/gui_driver_win.h"

namespace tblf {
namespace {

using test::CliRun;
using test::FileBytes;
using test::Narrow;
using test::RunCli;
using test::StoredInt;
using test::StoredString;
using test::TabuliftApp;
using test::TempFolder;
using test::Utf8;
using test::Wide;

std::wstring CurrentDirectory() {
  std::wstring path(32768, L'\0');
  path.resize(GetCurrentDirectoryW(static_cast<DWORD>(path.size()), path.data()));
  return path;
}

// Deletes a folder with everything in it, paths past MAX_PATH too.
void RemoveTree(const std::wstring& folder) {
  const std::wstring path = L"\\\\?\\" + folder;
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((path + L"\\*").c_str(), &found);
  for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileW(search, &found)) {
    const std::wstring name = found.cFileName;
    if (name == L"." || name == L"..") continue;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      RemoveTree(folder + L"\\" + name);
    } else {
      DeleteFileW((path + L"\\" + name).c_str());
    }
  }
  if (search != INVALID_HANDLE_VALUE) FindClose(search);
  RemoveDirectoryW(path.c_str());
}

struct Message {
  HWND owner;
  std::wstring text;
  std::wstring caption;
  UINT type;
};

// The main dialog as far as the walk sees it: a window with the hint line.
class FileListRun : public ::testing::Test {
 protected:
  void SetUp() override {
    g_japaneseUi = false;
    owner_ = CreateWindowExW(0, L"STATIC", L"owner", WS_OVERLAPPED, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
    hint_ = CreateWindowExW(0, L"STATIC", L"Select a control.", WS_CHILD, 0, 0, 50, 20, owner_,
                            reinterpret_cast<HMENU>(1035), nullptr, nullptr);
    folder_ = TempFolder() + L"walk";
    CreateDirectoryW(folder_.c_str(), nullptr);
    CreateDirectoryW((folder_ + L"\\sub").c_str(), nullptr);
    CloseHandle(CreateFileW((folder_ + L"\\sub\\f.txt").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    SetMessageBoxHook([this](HWND owner, const std::wstring& text, const std::wstring& caption, UINT type) {
      messages_.push_back({owner, text, caption, type});
      return answer_;
    });
  }
  // Nothing stays behind for the next run in this prefix (a later process
  // may get the same id, and so the same temp folder).
  void TearDown() override {
    SetMessageBoxHook(nullptr);
    DestroyWindow(owner_);
    RemoveTree(folder_);
    RemoveTree(TempFolder() + L"long");
  }

  // One kind-4 job to a file; the file's text (UTF-8) is left in `text`.
  bool Run(const FileListOptions& options, std::string& text) {
    const std::wstring file = TempFolder() + L"walk.txt";
    OutputJob job;
    job.kind = ControlKind::FileList;
    job.format = RecordFormat::Tsv;
    job.newline = NewlineKind::Lf;
    job.destination = Destination::File;
    job.fileName = file;
    job.owner = reinterpret_cast<WindowId>(owner_);
    SetEncodingOverride(8);
    Win32ControlReader reader;
    Win32OutputHost host(nullptr, owner_, nullptr);
    host.SetFileListRun([this, &options](RecordWriter& writer, const std::function<bool()>& abortRequested) {
      return RunFileListWalk(owner_, nullptr, writer, options, abortRequested);
    });
    const bool ok = RunOutputJob(job, reader, host);
    SetEncodingOverride(-1);
    text = FileBytes(file);
    DeleteFileW(file.c_str());
    return ok;
  }

  std::wstring Hint() {
    wchar_t text[100] = L"";
    GetWindowTextW(hint_, text, 100);
    return text;
  }

  HWND owner_ = nullptr;
  HWND hint_ = nullptr;
  std::wstring folder_;
  std::vector<Message> messages_;
  int answer_ = IDOK;
};

TEST_F(FileListRun, TheEngineRunsTheWalkAndPutsTheDirectoryAndHintBack) {
  const std::wstring before = CurrentDirectory();
  FileListOptions options;
  options.rootFolder = folder_;
  options.templateText = L"{%cf},{%pf}";
  options.orderKey = 1;
  std::string text;
  EXPECT_TRUE(Run(options, text));
  EXPECT_EQ(text, Utf8(L"sub\t" + folder_ + L"\\sub\nsub\\f.txt\t" + folder_ + L"\\sub\\f.txt\n"));
  EXPECT_TRUE(messages_.empty());
  EXPECT_EQ(CurrentDirectory(), before);
  EXPECT_EQ(Hint(), L"Select a control.");
}

TEST_F(FileListRun, AMissingRootAsksOkCancelOnTheOwner) {
  const std::wstring before = CurrentDirectory();
  FileListOptions options;
  options.rootFolder = folder_ + L"\\missing";
  options.templateText = L"{%f}";
  for (int answer : {IDOK, IDCANCEL}) {
    SCOPED_TRACE(answer);
    messages_.clear();
    answer_ = answer;
    std::string text;
    EXPECT_EQ(Run(options, text), answer == IDOK);
    EXPECT_EQ(text, "");
    ASSERT_EQ(messages_.size(), answer == IDOK ? 1u : 2u);
    EXPECT_EQ(messages_[0].owner, owner_);
    EXPECT_EQ(messages_[0].text, L"Cannot change current folder:\n" + options.rootFolder + L"\n\nShift+OK : Ignored");
    EXPECT_EQ(messages_[0].caption, L"Tabulift");
    EXPECT_EQ(messages_[0].type, static_cast<UINT>(MB_OKCANCEL | MB_ICONEXCLAMATION));
    EXPECT_EQ(CurrentDirectory(), before);
    EXPECT_EQ(Hint(), L"Select a control.");
  }
}

TEST_F(FileListRun, PathsPastMaxPathAreNotCut) {
  // Folders of 60 characters, five deep: the deepest path is well past 260.
  const std::wstring part(60, L'd');
  // Beside the walk folder of the other tests, which a left-over tree would change.
  std::wstring path = TempFolder() + L"long";
  CreateDirectoryW((L"\\\\?\\" + path).c_str(), nullptr);
  std::wstring relative;
  for (int i = 0; i < 5; ++i) {
    path += L"\\" + part;
    relative += (relative.empty() ? L"" : L"\\") + part;
    ASSERT_TRUE(CreateDirectoryW((L"\\\\?\\" + path).c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
  }
  FileListOptions options;
  options.rootFolder = TempFolder() + L"long";
  options.templateText = L"{%cf},{%pf}";
  std::string text;
  EXPECT_TRUE(Run(options, text));
  EXPECT_TRUE(messages_.empty()) << (messages_.empty() ? "" : Utf8(messages_[0].text));
  const std::string last = Utf8(relative + L"\t" + path + L"\n");
  ASSERT_GE(text.size(), last.size());
  EXPECT_EQ(text.substr(text.size() - last.size()), last);
  EXPECT_GT(path.size(), 300u);
}

// ---------------------------------------------------------------------------
// ComboboxQueue

constexpr const wchar_t* kTestValue = L"flist_test_combo";

std::wstring FileListKey() { return std::wstring(kSettingsKeyPath) + L"\\FileList"; }

// The stored value's characters, or "(none)".
std::wstring StoredHistory() {
  std::vector<wchar_t> data(4096);
  DWORD size = static_cast<DWORD>(data.size() * sizeof(wchar_t)), type = 0;
  if (RegGetValueW(HKEY_CURRENT_USER, FileListKey().c_str(), kTestValue, RRF_RT_REG_MULTI_SZ, &type, data.data(),
                   &size) != ERROR_SUCCESS) {
    return L"(none)";
  }
  return std::wstring(data.data(), size / sizeof(wchar_t));
}

std::vector<std::wstring> BoxItems(HWND combo) {
  std::vector<std::wstring> items;
  const LRESULT count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    wchar_t text[256] = L"";
    SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
    items.push_back(text);
  }
  return items;
}

class ComboboxQueueWine : public ::testing::Test {
 protected:
  void SetUp() override {
    parent_ = CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPED, 0, 0, 300, 300, nullptr, nullptr, nullptr, nullptr);
    RegDeleteKeyValueW(HKEY_CURRENT_USER, FileListKey().c_str(), kTestValue);
  }
  void TearDown() override {
    RegDeleteKeyValueW(HKEY_CURRENT_USER, FileListKey().c_str(), kTestValue);
    SetIniMode(false);
    DestroyWindow(parent_);
  }
  HWND NewBox() {
    return CreateWindowExW(0, L"COMBOBOX", L"", WS_CHILD | CBS_DROPDOWN, 0, 0, 200, 200, parent_, nullptr, nullptr,
                           nullptr);
  }
  HWND parent_ = nullptr;
};

TEST_F(ComboboxQueueWine, AValueOfAnotherTypeIsAnEmptyHistory) {
  RegSetKeyValueW(HKEY_CURRENT_USER, FileListKey().c_str(), kTestValue, REG_SZ, L"x", 4);
  ComboboxQueue queue;
  HWND box = NewBox();
  EXPECT_TRUE(queue.Attach(kTestValue, box, L"."));
  EXPECT_TRUE(BoxItems(box).empty());
}

TEST_F(ComboboxQueueWine, IniModeOffersTheOneEntryAndRemembersNothing) {
  RegSetKeyValueW(HKEY_CURRENT_USER, FileListKey().c_str(), kTestValue, REG_MULTI_SZ, L"old\0\0", 10);
  SetIniMode(true);
  ComboboxQueue queue;
  HWND box = NewBox();
  EXPECT_TRUE(queue.Attach(kTestValue, box, L"."));
  EXPECT_EQ(BoxItems(box), std::vector<std::wstring>{L"."});
  EXPECT_TRUE(queue.Add(L"C:\\new"));
  EXPECT_EQ(StoredHistory(), std::wstring(L"old\0\0", 5));
}

// ---------------------------------------------------------------------------
// tblfcli files

// 18 September 2016, 03:05:07 UTC.
constexpr ULONGLONG kExampleTime = 131186415070000000ULL;

void Stamp(const std::wstring& path) {
  HANDLE handle = CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  ASSERT_NE(handle, INVALID_HANDLE_VALUE) << Utf8(path);
  const FILETIME t{static_cast<DWORD>(kExampleTime), static_cast<DWORD>(kExampleTime >> 32)};
  EXPECT_TRUE(SetFileTime(handle, &t, &t, &t));
  CloseHandle(handle);
}

void MakeFile(const std::wstring& path, size_t size) {
  ASSERT_TRUE(test::PutFileBytes(path, std::string(size, 'x'))) << Utf8(path);
}

// The tree of the examples: the root holds folder A and file z.txt; A holds
// folder B and file y.txt; B holds x.txt. Every entry last written at the
// example time; folders stamped after their contents.
class TblfcliFiles : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    root_ = TempFolder() + L"tree";
    const std::wstring& r = root_;
    CreateDirectoryW(r.c_str(), nullptr);
    CreateDirectoryW((r + L"\\A").c_str(), nullptr);
    CreateDirectoryW((r + L"\\A\\B").c_str(), nullptr);
    MakeFile(r + L"\\A\\B\\x.txt", 1234);
    MakeFile(r + L"\\A\\y.txt", 0);
    MakeFile(r + L"\\z.txt", 5);
    for (const wchar_t* path : {L"\\A\\B\\x.txt", L"\\A\\y.txt", L"\\z.txt", L"\\A\\B", L"\\A"}) Stamp(r + path);
  }
  static std::wstring Root() { return L"\"" + root_ + L"\""; }

  inline static std::wstring root_;
};

TEST_F(TblfcliFiles, TheDefaultTemplateRowByRow) {
  const CliRun run = RunCli(L"files " + Root() + L" --order 1 --format csv --newline crlf");
  EXPECT_EQ(run.exitCode, 0u) << run.err;
  EXPECT_EQ(run.out,
            "\"A\",\"0\",\"2016/ 9/18  3:05:07\",\"D\"\r\n"
            "\"A\\B\",\"0\",\"2016/ 9/18  3:05:07\",\"D\"\r\n"
            "\"A\\B\\x.txt\",\"1234\",\"2016/ 9/18  3:05:07\",\"A\"\r\n"
            "\"A\\y.txt\",\"0\",\"2016/ 9/18  3:05:07\",\"A\"\r\n"
            "\"z.txt\",\"5\",\"2016/ 9/18  3:05:07\",\"A\"\r\n");
}

// The walk's rules are the native FileListWalk tests'; here the options reach
// it (--no-subfolders: the relative root and the file below).
TEST_F(TblfcliFiles, FoldersOnlyAndFolderPositions) {
  struct Case {
    const wchar_t* options;
    const char* expected;
  };
  const Case cases[] = {
      {L"--order 1 --folders-only", "A\nA\\B\n"},
      {L"--order 1 --folders after", "z.txt\nA\nA\\y.txt\nA\\B\nA\\B\\x.txt\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Utf8(c.options));
    const CliRun run = RunCli(L"files " + Root() + L" --template {%cf} --format tsv --newline lf " + c.options);
    EXPECT_EQ(run.exitCode, 0u) << run.err;
    EXPECT_EQ(run.out, c.expected);
  }
}

TEST_F(TblfcliFiles, ARelativeRootIsTakenFromTheCurrentDirectory) {
  const CliRun run = RunCli(L"files . --template {%cf}|{%p} --order 1 --no-subfolders --format tsv --newline lf",
                            L"en", nullptr, test::kRunBoundMs, root_ + L"\\A");
  EXPECT_EQ(run.exitCode, 0u) << run.err;
  EXPECT_EQ(Wide(run.out), L"B|" + root_ + L"\\A\ny.txt|" + root_ + L"\\A\n");
}

TEST_F(TblfcliFiles, ARootThatDoesNotExistIsReportedAndEndsWithStatusOne) {
  const std::wstring missing = root_ + L"\\no such folder";
  const CliRun run = RunCli(L"files \"" + missing + L"\" --format tsv");
  EXPECT_EQ(run.exitCode, 1u);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(Wide(run.err), L"tblfcli: Cannot open folder: " + missing +
                               L"\ntblfcli: File not exist, an error occurred or aborted.\n");
}

TEST_F(TblfcliFiles, ToAFileInTheChosenEncoding) {
  const std::wstring file = TempFolder() + L"files.txt";
  const CliRun run = RunCli(L"files " + Root() + L" --template \"{%f},{%s}\" --order 1 --no-subfolders --format c " +
                            L"--encoding 8 --newline lf --out \"" + file + L"\"");
  EXPECT_EQ(run.exitCode, 0u) << run.err;
  // Every file list row ends as one that is followed by another.
  EXPECT_EQ(FileBytes(file), "{{\"A\",\"0\"},\n{\"z.txt\",\"5\"},\n};");
  DeleteFileW(file.c_str());
}


TEST(TblfcliFilesUsage, HelpDocumentsTheOptionsAndTokens) {
  const CliRun run = RunCli(L"files --help");
  EXPECT_EQ(run.exitCode, 0u);
  for (const char* word : {"tblfcli files FOLDER", "--template TEXT", "--order 0-14", "--folders mixed|after|before",
                           "--no-subfolders", "--folders-only", "--local-time", "--out FILE", "t4y", "{%,}"}) {
    EXPECT_NE(run.out.find(word), std::string::npos) << word;
  }
}

// ---------------------------------------------------------------------------
// The file list dialog

constexpr wchar_t kTitle[] = L"Files and Folders List";

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
  EXPECT_EQ(BoxItems(GetDlgItem(dialog, IDC_FL_FOLDER)), (std::vector<std::wstring>{Entry(1), Entry(0)}));
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
