// tblfcli files on a real folder tree that the test makes: byte-exact rows
// for the tree example and the default template, the walk options, a root
// that does not exist, and the command line's own errors.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/support/cli_run_win.h"
#include "tests/support/desktop_io_win.h"

namespace tblf {
namespace {

using test::CliRun;
using test::RunCli;
using test::TempFolder;
using test::Utf8;
using test::Wide;

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
  EXPECT_EQ(test::FileBytes(file), "{{\"A\",\"0\"},\n{\"z.txt\",\"5\"},\n};");
  DeleteFileW(file.c_str());
}

TEST(TblfcliFilesUsage, BadCommandLinesExitTwo) {
  struct Case {
    const wchar_t* arguments;
    const char* reason;
  };
  const Case cases[] = {
      {L"files", "files needs a FOLDER"},
      {L"files a b", "unknown option b"},
      {L"files . --order 15", "--order takes 0 to 14, not 15"},
      {L"files . --order x", "--order takes 0 to 14, not x"},
      {L"files . --folders sideways", "--folders takes mixed, after or before, not sideways"},
      {L"files . --template", "--template needs a value"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Utf8(c.arguments));
    const CliRun run = RunCli(c.arguments);
    EXPECT_EQ(run.exitCode, 2u);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, std::string("tblfcli: ") + c.reason + "\nTry 'tblfcli --help'.\n");
  }
}

TEST(TblfcliFilesUsage, HelpDocumentsTheOptionsAndTokens) {
  const CliRun run = RunCli(L"files --help");
  EXPECT_EQ(run.exitCode, 0u);
  for (const char* word : {"tblfcli files FOLDER", "--template TEXT", "--order 0-14", "--folders mixed|after|before",
                           "--no-subfolders", "--folders-only", "--local-time", "--out FILE", "t4y", "{%,}"}) {
    EXPECT_NE(run.out.find(word), std::string::npos) << word;
  }
}

}  // namespace
}  // namespace tblf
