// tblfcli.exe as a user scripts it: started as its own process against the
// fixture, its standard output, standard error, exit status, files and the
// clipboard compared with what the command line promises.

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "help/version.h"
#include "help/version_win.h"
#include "remote/control_reader_win.h"
#include "remote/discovery.h"
#include "remote/timed_send_win.h"
#include "tests/support/cli_run_win.h"
#include "tests/support/desktop_io_win.h"
#include "tests/support/fixture_suite_win.h"
#include "tests/support/fixture_win.h"

namespace tblf {
namespace {

using test::ClipboardText;
using test::CliRun;
using test::ExecutableFolder;
using test::FileBytes;
using test::FixtureProcess;
using test::RunCli;
using test::StoredValue;
using test::TempFolder;
using test::Utf16;
using test::Utf8;
using test::Wide;

std::wstring Hex(HWND window) {
  wchar_t buffer[40];
  std::swprintf(buffer, 40, L"%llX", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(window)));
  return buffer;
}

std::vector<std::wstring> Split(const std::wstring& text, const std::wstring& separator) {
  std::vector<std::wstring> parts;
  size_t from = 0;
  for (size_t at; (at = text.find(separator, from)) != std::wstring::npos; from = at + separator.size()) {
    parts.push_back(text.substr(from, at - from));
  }
  parts.push_back(text.substr(from));
  return parts;
}

class TblfcliWine : public test::FixtureSuite<TblfcliWine> {
 protected:
  std::wstring H(const wchar_t* name) {
    HWND window = fixture_->Handle(name);
    EXPECT_NE(window, nullptr) << "the fixture reported no " << Utf8(name);
    return Hex(window);
  }
};

// ---------------------------------------------------------------------------
// The command line itself.

TEST(TblfcliUsage, BadCommandLinesExitTwoWithTheReasonAndWriteNothing) {
  struct Case {
    const wchar_t* arguments;
    const char* reason;
  };
  const Case cases[] = {
      {L"", "no command"},
      {L"frobnicate", "unknown command frobnicate"},
      {L"list --all", "unknown option --all"},
      {L"export", "export needs a HANDLE, a selector (--program, --window, --kind) or --at X,Y"},
      {L"export 10 --program a.exe", "a HANDLE and the selectors exclude each other"},
      {L"export --kind tree", "--kind takes listview, treeview, listbox, combobox, edit, static, statusbar or tab, not tree"},
      {L"export --kind listview --nth 0", "--nth takes 1 to 9999, not 0"},
      {L"export --window x --wait soon", "--wait takes 0 to 3600 seconds, not soon"},
      {L"list --program", "--program needs a program name"},
      {L"export zz", "not a handle: zz"},
      {L"export 10 --format xml", "unknown format xml"},
      {L"export 10 --format", "--format needs a value"},
      {L"export 10 --encoding 12", "--encoding takes 0 to 11, not 12"},
      {L"export 10 --encoding 0007", "--encoding takes 0 to 11, not 0007"},
      {L"export 10 --newline crcr", "--newline takes crlf, lf or cr, not crcr"},
      {L"export 10 --out x.csv --clipboard", "--out and --clipboard exclude each other"},
      {L"export 10 --read-mode fast", "--read-mode takes auto, in-process or messages, not fast"},
      {L"export 10 --with checked,colour", "--with takes checked, selected or focused, not colour"},
      {L"props 10 11", "unknown option 11"},
      {L"select", "select needs --regex, --match or --substring"},
      {L"select --column 0 --match a", "select needs a HANDLE, a selector (--program, --window, --kind) or --at X,Y"},
      {L"props --at 1,2,3", "--at takes X,Y (screen pixels), not 1,2,3"},
      {L"export 10 --at 1,2", "--at excludes a HANDLE and the selectors"},
      {L"select 10 --column 0 --regex a --match b", "--regex, --match and --substring exclude each other"},
      {L"select 10 --column 0 --regex a --regex b", "--regex takes one pattern"},
      {L"select 10 --match a", "select needs --column N"},
      {L"select 10 --match a --column 4294967296", "--column takes a column number [0-], not 4294967296"},
      {L"select 10 --column 0 --match \"\"", "Please specify a string to search for."},
      {L"files", "files needs a FOLDER"},
      {L"files a b", "unknown option b"},
      {L"files . --order 15", "--order takes 0 to 14, not 15"},
      {L"files . --folders sideways", "--folders takes mixed, after or before, not sideways"},
      {L"files . --template", "--template needs a value"},
      {L"env now", "unknown option now"},
      {L"update-check --proxy 127.0.0.1", "--proxy needs HOST:PORT, not 127.0.0.1"},
      {L"update-check --proxy :8080", "--proxy needs HOST:PORT, not :8080"},
      {L"update-check --timeout 3601", "--timeout needs a number of seconds from 0 to 3600, not 3601"},
      {L"update-check --timeout", "--timeout needs a number of seconds"},
      {L"update-check --build 100000", "--build needs a build number from 0 to 99999, not 100000"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Utf8(c.arguments));
    const CliRun run = RunCli(c.arguments);
    EXPECT_EQ(run.exitCode, 2u);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, std::string("tblfcli: ") + c.reason + "\nTry 'tblfcli --help'.\n");
  }
}

TEST(TblfcliUsage, HelpNamesEveryOptionAndTheExitStatuses) {
  const CliRun run = RunCli(L"--help");
  EXPECT_EQ(run.exitCode, 0u);
  EXPECT_EQ(run.err, "");
  for (const char* word : {"tblfcli list [--listviews-only]", "tblfcli export HANDLE", "--format csv|tsv|html|c|space",
                           "--columns", "--rows", "--tree-shift", "--tree-graph", "--progress", "--quote-when-needed",
                           "--double-quotes", "--encoding 0-11", "--newline crlf|lf|cr", "--out FILE", "--clipboard",
                           "Exit status: 0 success, 1", "2 usage error", "130 an export stopped by Ctrl+C", "TBLF_LANG"}) {
    EXPECT_NE(run.out.find(word), std::string::npos) << word;
  }
}

TEST(TblfcliUsage, VersionPrintsTheVersionStringOfItsOwnResource) {
  const std::optional<VersionResource> resource = ReadVersionResource(ExecutableFolder() + L"tblfcli.exe");
  ASSERT_TRUE(resource);
  const CliRun run = RunCli(L"--version");
  EXPECT_EQ(run.exitCode, 0u);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.out, Utf8(ComputeVersionValues(*resource, false, kBuildWidth).versionString + L"\n"));
}

TEST(TblfcliUsage, AStaleHandleExitsTwoWithTheInvalidItemText) {
  HWND window = CreateWindowExW(0, L"LISTBOX", L"", 0, 0, 0, 10, 10, HWND_MESSAGE, nullptr, nullptr, nullptr);
  ASSERT_NE(window, nullptr);
  const std::wstring handle = Hex(window);
  DestroyWindow(window);
  ASSERT_FALSE(IsWindow(window));

  // The handle as given, kind suffix and all.
  const CliRun run = RunCli(L"export " + handle + L"(ListBox)");
  EXPECT_EQ(run.exitCode, 2u);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(Wide(run.err), L"tblfcli: " + handle + L"(ListBox): the control no longer exists; run `tblfcli list`\n");
}

// ---------------------------------------------------------------------------
// list

TEST_F(TblfcliWine, ListPrintsTheHeaderAndOneSixFieldLinePerCandidate) {
  const CliRun run = RunCli(L"list");
  EXPECT_EQ(run.exitCode, 0u);
  EXPECT_EQ(run.err, "");
  std::vector<std::wstring> lines = Split(Wide(run.out), L"\r\n");
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines.back(), L"") << "the last line ends with CR LF";
  lines.pop_back();
  EXPECT_EQ(lines[0], L"Handle\tProgram\tOwner Window\tCount\tFirst Item\tNote");
  std::map<std::wstring, std::vector<std::wstring>> byLabel;
  for (size_t i = 1; i < lines.size(); ++i) {
    std::vector<std::wstring> fields = Split(lines[i], L"\t");
    EXPECT_EQ(fields.size(), 6u) << Utf8(lines[i]);
    byLabel[fields[0]] = fields;
  }
  // The fields in their order; what discovery finds is its own test (discovery_test.cpp).
  const std::wstring label = HandleLabel(FromHwnd(fixture_->Handle(L"trio.listview")), ControlKind::ListView, true);
  EXPECT_EQ(byLabel[label], (std::vector<std::wstring>{label, L"tblf_fixture.exe", L"Tabulift fixture: trio",
                                                       L"3 x 2", L"a", L""}));
}

// Which controls discovery keeps without the option is its own test
// (discovery_test.cpp); here the option reaches it.
TEST_F(TblfcliWine, ListViewsOnlyDropsTheOtherKindsAndTheSuffix) {
  const CliRun run = RunCli(L"list --listviews-only", L"ja");
  EXPECT_EQ(run.exitCode, 0u);
  const std::wstring out = Wide(run.out);
  EXPECT_EQ(out.rfind(L"ハンドル番号\tプログラム名\t所有ウィンドウタイトル\t行列数\t最上段の項目名\t備考\r\n", 0), 0u);
  const HWND listView = fixture_->Handle(L"trio.listview"), treeView = fixture_->Handle(L"trio.treeview");
  EXPECT_NE(out.find(L"\r\n" + HandleLabel(FromHwnd(listView), ControlKind::ListView, false) + L"\t"), std::wstring::npos);
  EXPECT_EQ(out.find(HandleLabel(FromHwnd(treeView), ControlKind::TreeView, false)), std::wstring::npos);
}

TEST_F(TblfcliWine, TextControlsExportByKindAndAreListedOnlyWhenAskedFor) {
  // The kind word is also the fixture's name of the control.
  const std::pair<const wchar_t*, std::string> cases[] = {
      {L"edit", "first line\r\n\r\nthird \"line\"\r\n\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\xE3\x81\xAE\xE8\xA1\x8C\r\n"},
      {L"static", "Total: 3 items\r\n"},
      {L"statusbar", "Ready\r\n\r\n3 \xE9\xA0\x85\xE7\x9B\xAE\r\n"},
      {L"tab", "General\r\nDetails\r\n\xE8\xA9\xB3\xE7\xB4\xB0\r\n"},
  };
  const CliRun plain = RunCli(L"list --program tblf_fixture");
  const CliRun texts = RunCli(L"list --program tblf_fixture --text-controls");
  ASSERT_EQ(texts.exitCode, 0u) << texts.err;
  for (const auto& [kind, tsv] : cases) {
    SCOPED_TRACE(Utf8(kind));
    const CliRun run = RunCli(std::wstring(L"export --window \"fixture: texts\" --kind ") + kind + L" --format tsv");
    EXPECT_EQ(run.exitCode, 0u) << run.err;
    EXPECT_EQ(run.out, tsv);
    const std::string label = Utf8(HandleLabel(FromHwnd(fixture_->Handle(kind)), FindKindOfWord(kind)->kind, true));
    EXPECT_EQ(plain.out.find(label), std::string::npos);
    EXPECT_NE(texts.out.find(label), std::string::npos);
  }
  for (const wchar_t* textless : {L"emptystatic", L"framestatic"}) {
    const std::wstring label = HandleLabel(FromHwnd(fixture_->Handle(textless)), ControlKind::Static, true);
    EXPECT_EQ(texts.out.find(Utf8(label)), std::string::npos) << "a static that shows no text: " << Utf8(textless);
  }
}

TEST_F(TblfcliWine, AtPicksTheControlUnderThePointOrExitsTwo) {
  struct Case {
    const wchar_t* control;  // the fixture's control; its window is raised
    bool window;             // the point is on its top-level window instead
    POINT offset;            // from the top left corner; {-1, -1}: the centre
    const wchar_t* command;  // the point follows
    unsigned exitCode;
    std::string out;         // what standard output starts with
    std::string err;         // ending in a space: the point follows
  };
  const Case cases[] = {
      {L"static", false, {-1, -1}, L"export --format tsv --at ", 0, "Total: 3 items\r\n", ""},
      {L"static", false, {-1, -1}, L"props --at ", 0, "", ""},
      {L"static", false, {-1, -1}, L"select --column 0 --match x --at ", 2, "",
       "tblfcli: select works on a list view only\nTry 'tblfcli --help'.\n"},
      // The header of a list view gives the list view.
      {L"report", false, {12, 8}, L"export --format tsv --at ", 0, "Name\t\tSize\t", ""},
      // The caption of the fixture's window holds no control.
      {L"static", true, {60, 8}, L"export --at ", 2, "", "tblfcli: no control to export at the screen point "},
  };
  for (const Case& c : cases) {
    HWND control = fixture_->Handle(c.control), root = GetAncestor(control, GA_ROOT);
    SetWindowPos(root, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    RECT r{};
    GetWindowRect(c.window ? root : control, &r);
    const POINT at = c.offset.x < 0 ? POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}
                                    : POINT{r.left + c.offset.x, r.top + c.offset.y};
    const std::wstring point = std::to_wstring(at.x) + L"," + std::to_wstring(at.y);
    SCOPED_TRACE(Utf8(c.command + point));
    const CliRun run = RunCli(c.command + point);
    SetWindowPos(root, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ASSERT_TRUE(run.ended);
    EXPECT_EQ(run.exitCode, c.exitCode);
    EXPECT_EQ(run.out.compare(0, c.out.size(), c.out), 0) << run.out;
    EXPECT_EQ(run.err, c.err.empty() || c.err.back() != ' ' ? c.err : c.err + Utf8(point) + "\n");
    if (c.command[0] == L'p') EXPECT_NE(Wide(run.out).find(Hex(control)), std::wstring::npos) << run.out;
  }
  // Off every screen, in Japanese.
  const CliRun run = RunCli(L"export --at -5,-5", L"ja");
  EXPECT_EQ(run.exitCode, 2u);
  EXPECT_EQ(Wide(run.err), L"tblfcli: 画面上の点 -5,-5 には出力できるコントロールがありません\n");
}

// ---------------------------------------------------------------------------
// export to standard output (UTF-8 unless told otherwise)

// One case per export option: the format words are told apart by their first
// line (the whole texts belong to the writer's tests); the encoding (its byte
// order mark on standard output too), newline, quoting, selection and tree
// options by the whole output (the output starts with it).
TEST_F(TblfcliWine, EachExportOptionReachesTheOutput) {
  const std::tuple<const wchar_t*, const wchar_t*, std::string> cases[] = {
      {L"trio.listview", L"--format csv", "\"Name\",\"Value\"\r\n\"a\",\"1\"\r\n"},
      // Empty selections mean the whole table, as in the window.
      {L"trio.listview", L"--format tsv --newline lf --columns \"\" --rows \"\" --read-mode in-process",
       "Name\tValue\na\t1\nb\t2\nc\t3\n"},
      {L"trio.listview", L"--format html", "<html><head></head>\r\n<body><table>\r\n<tr><td>Name</td>"},
      {L"trio.listview", L"--format c --newline cr", "{{\"Name\",\"Value\"},\r{\"a\",\"1\"},\r"},
      {L"trio.listview", L"--format space", "Name Value\r\na    1    \r\n"},
      {L"trio.listview", L"--format json", "{\"columns\":[\"Name\",\"Value\"],\"rows\":[\r\n"},
      {L"trio.listview", L"--format markdown", "| Name | Value |\r\n| --- | --- |\r\n"},
      {L"report", L"--format csv --quote-when-needed --double-quotes --columns 0,2 --rows 0,2",
       "Name,Size\r\nalpha,10\r\ngamma,30\r\n"},
      {L"trio.listbox", L"--format tsv --encoding 5", "\xFE\xFF" + Utf16(L"lb-one\r\nlb-two\r\n", true)},
      {L"tree", L"--format tsv --tree-shift --tree-graph", "Root A\r\n| |-\tA1\r\n| | \t+-\tA1a\r\n"},
  };
  for (const auto& [control, options, expected] : cases) {
    SCOPED_TRACE(Utf8(options));
    const CliRun run = RunCli(L"export " + H(control) + L" " + options);
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out.substr(0, expected.size()), expected);
  }
}

TEST_F(TblfcliWine, ListViewExtrasInBothReadModes) {
  // The check-box list: shown as Two, Zero (One is 0 wide); rows 0 and 2
  // checked, row 1 selected, row 3 focused.
  const struct {
    const wchar_t* options;
    const char* tsv;
  } cases[] = {
      {L"--with checked,selected --with focused",
       "Zero\tOne\tTwo\tChecked\tSelected\tFocused\r\nr0c0\tr0c1\tr0c2\t1\t0\t0\r\nr1c0\tr1c1\tr1c2\t0\t1\t0\r\n"
       "r2c0\tr2c1\tr2c2\t1\t0\t0\r\nr3c0\tr3c1\tr3c2\t0\t0\t1\r\n"},
      {L"--selected-only", "Zero\tOne\tTwo\r\nr1c0\tr1c1\tr1c2\r\n"},
      {L"--as-shown", "Two\tZero\r\nr0c2\tr0c0\r\nr1c2\tr1c0\r\nr2c2\tr2c0\r\nr3c2\tr3c0\r\n"},
      {L"--as-shown --columns 0 --rows 3-0 --selected-only --with checked", "Two\tChecked\r\nr1c2\t0\r\n"},
  };
  for (const auto& c : cases) {
    for (const wchar_t* mode : {L"messages", L"in-process"}) {
      SCOPED_TRACE(Utf8(std::wstring(c.options) + L" " + mode));
      const CliRun run = RunCli(L"export " + H(L"checklist") + L" --format tsv --read-mode " + mode + L" " + c.options);
      ASSERT_TRUE(run.ended);
      EXPECT_EQ(run.exitCode, 0u) << run.err;
      EXPECT_EQ(run.out, c.tsv);
    }
  }
  const CliRun tree = RunCli(L"export " + H(L"tree") + L" --as-shown");
  EXPECT_EQ(tree.exitCode, 2u);
  EXPECT_EQ(tree.err, "tblfcli: --with, --selected-only and --as-shown apply to list views only\nTry 'tblfcli --help'.\n");
}

TEST_F(TblfcliWine, AWindowThatIsNoListExitsTwoNamingItsClass) {
  const CliRun run = RunCli(L"export " + H(L"trio"));
  EXPECT_EQ(run.exitCode, 2u);
  EXPECT_EQ(run.out, "");
  EXPECT_NE(run.err.find("tblfcli: the window is no list view, tree view, combo box or list box (class \""),
            std::string::npos)
      << run.err;
}

// The writer's message names the file, as on a command line (a failed write,
// such as JIS where Wine lacks its code page, takes the same way).
TEST_F(TblfcliWine, AFileThatCannotBeCreatedExitsOneAndLeavesNoFile) {
  const std::wstring file = TempFolder() + L"no such folder\\out.csv";
  const CliRun run = RunCli(L"export " + H(L"trio.listview") + L" --out \"" + file + L"\"");
  EXPECT_EQ(run.exitCode, 1u);
  EXPECT_EQ(Wide(run.err).rfind(L"tblfcli: cannot write to " + file + L": ", 0), 0u) << run.err;
  EXPECT_EQ(GetFileAttributesW(file.c_str()), INVALID_FILE_ATTRIBUTES);
}

// ---------------------------------------------------------------------------
// stored settings

TEST_F(TblfcliWine, OptionsNotGivenTakeTheStoredSettingsAndGivenOnesAreNeverStored) {
  StoredValue format(L"MainDialog", L"format", 1);  // TSV
  StoredValue newline(L"File", L"RetCode", 1);      // LF
  StoredValue encoding(L"File", L"CharCode", 8);    // UTF-8
  StoredValue quotes(L"Data", L"dquot_sdata", 1);   // quote when needed

  CliRun run = RunCli(L"export " + H(L"trio.listview"));
  EXPECT_EQ(run.exitCode, 0u);
  EXPECT_EQ(run.out, "Name\tValue\na\t1\nb\t2\nc\t3\n");

  run = RunCli(L"export " + H(L"trio.listview") + L" --format csv");
  EXPECT_EQ(run.out, "Name,Value\na,1\nb,2\nc,3\n") << "the stored CSV option applies";

  const std::wstring file = TempFolder() + L"stored.txt";
  run = RunCli(L"export " + H(L"trio.listbox") + L" --out \"" + file + L"\"");
  EXPECT_EQ(run.exitCode, 0u);
  EXPECT_EQ(FileBytes(file), "lb-one\nlb-two\n");
  run = RunCli(L"export " + H(L"trio.listbox") + L" --out \"" + file + L"\" --encoding 4 --newline cr --format c");
  EXPECT_EQ(FileBytes(file), Utf16(L"{{\"lb-one\"},\r{\"lb-two\"}\r};", false));
  DeleteFileW(file.c_str());

  EXPECT_EQ(format.Now(), 1u);
  EXPECT_EQ(newline.Now(), 1u);
  EXPECT_EQ(encoding.Now(), 8u);
}

// ---------------------------------------------------------------------------
// the clipboard

// --newline does not reach the clipboard: it always gets CR LF.
TEST_F(TblfcliWine, ClipboardGetsCrLfText) {
  const CliRun run = RunCli(L"export " + H(L"trio.listview") + L" --clipboard --format tsv --newline lf");
  EXPECT_EQ(run.exitCode, 0u);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(ClipboardText(), L"Name\tValue\r\na\t1\r\nb\t2\r\nc\t3\r\n");
}

// ---------------------------------------------------------------------------
// props

// "%p" as the report prints it in this build.
std::wstring Pointer(UINT_PTR value) {
  wchar_t buffer[40];
  std::swprintf(buffer, 40, L"%0*llX", static_cast<int>(sizeof(void*) * 2), static_cast<unsigned long long>(value));
  return buffer;
}

// The report's lines are the property report's tests; here the command finds
// the window and prints its report.
TEST_F(TblfcliWine, PropsPrintsTheReportOfTheWindow) {
  HWND window = fixture_->Handle(L"trio.listview");
  const CliRun run = RunCli(L"props " + Hex(window));
  EXPECT_EQ(run.exitCode, 0u);
  EXPECT_EQ(run.err, "");
  const std::wstring report = Wide(run.out);
  EXPECT_EQ(report.rfind(L"Control         : ListView\r\nClass name      : SysListView32\r\n", 0), 0u) << run.out;
  EXPECT_NE(report.find(L"Window Handle   : " + Pointer(reinterpret_cast<UINT_PTR>(window)) + L"\r\n"),
            std::wstring::npos);
}

// ---------------------------------------------------------------------------
// select

// A fixture of its own: the runs change the selection of its list views.
class TblfcliSelect : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::wstring data = TempFolder() + L"select.txt";
    const std::string lines =
        "window sel Tabulift fixture: select\n"
        "listview multi report\ncolumn Name\ncolumn Kind\n"
        "item apple\tfruit\nitem Apricot\tfruit\nitem banana\tfruit\nitem carrot\tvegetable\nitem grape fruit\tfruit\n"
        "listview hard report\ncolumn Text\nitem x\nitem " + std::string(40, 'a') + "\nitem x\n"
        "listview single report singlesel\ncolumn Name\nitem x\nitem y\n"
        "treeview tree\nnode 0 x\n";
    ASSERT_TRUE(test::PutFileBytes(data, lines));
    ASSERT_TRUE(fixture_.Start(L"--data \"" + data + L"\"")) << Utf8(fixture_.Error());
    DeleteFileW(data.c_str());
  }

  // The selected bit of every item, read from the control: "10010".
  std::string Selected(const wchar_t* name) {
    HWND list = fixture_.Handle(name);
    std::string bits;
    for (LRESULT i = 0, n = SendMessageW(list, LVM_GETITEMCOUNT, 0, 0); i < n; ++i) {
      bits += SendMessageW(list, LVM_GETITEMSTATE, i, LVIS_SELECTED) ? '1' : '0';
    }
    return bits;
  }

  CliRun Select(const wchar_t* name, const std::wstring& options, const wchar_t* language = L"en") {
    return RunCli(L"select " + Hex(fixture_.Handle(name)) + L" " + options, language);
  }

  FixtureProcess fixture_;
};

struct SelectCase {
  const char* what;
  const wchar_t* options;
  const char* selected;  // afterwards, items 0 to 4
  std::wstring out;
};

TEST_F(TblfcliSelect, RunsOneAfterAnotherChangeTheSelectionAndPrintTheirSummary) {
  const SelectCase cases[] = {
      {"regex, whole text", L"--column 0 --regex \"a.*\"", "10000", L"1 item(s) selected.\r\n"},
      {"regex ignoring case", L"--column 0 --regex \"a.*\" --ignore-case", "11000", L"2 item(s) selected.\r\n"},
      {"match strings, deselect", L"--column 1 --match vegetable --match fruit --deselect", "00000",
       L"5 item(s) canceled.\r\nvegetable : 1 item(s) canceled.\r\nfruit : 4 item(s) canceled.\r\n"},
      {"substrings", L"--column 0 --substring ap --ignore-case", "11001",
       L"3 item(s) selected.\r\nap : 3 item(s) selected.\r\n"},
  };
  for (const SelectCase& c : cases) {
    SCOPED_TRACE(c.what);
    const CliRun run = Select(L"multi", c.options);
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(Wide(run.out), c.out);
    EXPECT_EQ(Selected(L"multi"), c.selected);
  }
}

TEST_F(TblfcliSelect, AWrongOrTooComplexPatternExitsOneKeepsWhatWasWrittenAndCountsIt) {
  CliRun run = Select(L"multi", L"--column 0 --regex \"(a\"");
  EXPECT_EQ(run.exitCode, 1u);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "tblfcli: Please correct the regular expression.\n");
  EXPECT_EQ(Selected(L"multi"), "00000");

  run = Select(L"hard", L"--column 0 --regex \"x|(a+)+b\"", L"ja");
  ASSERT_TRUE(run.ended);
  std::printf("catastrophic pattern through tblfcli: %llu ms\n", static_cast<unsigned long long>(run.elapsedMs));
  EXPECT_EQ(run.exitCode, 1u);
  EXPECT_EQ(Wide(run.err), L"tblfcli: 正規表現が複雑すぎるため、中断しました。\n");
  EXPECT_EQ(Wide(run.out), L"1個のアイテムを選択しました。\r\n");
  EXPECT_EQ(Selected(L"hard"), "100") << "the first item stays selected; the third is never reached";
}

TEST_F(TblfcliSelect, ASingleSelectionListViewAndOtherKindsAreRefused) {
  CliRun run = Select(L"single", L"--column 0 --match x");
  EXPECT_EQ(run.exitCode, 2u);
  EXPECT_EQ(run.out, "");
  // The handle as `list` prints it, zero-padded, then the refusal.
  const std::wstring tail =
      Hex(fixture_.Handle(L"single")) + L"(ListView): Multiple items may not be selected on this ListView control.\n";
  EXPECT_EQ(run.err.rfind("tblfcli: 0", 0), 0u) << run.err;
  EXPECT_EQ(Wide(run.err).find(tail), Wide(run.err).size() - tail.size()) << run.err;
  EXPECT_EQ(Selected(L"single"), "00");

  run = Select(L"tree", L"--column 0 --match x");
  EXPECT_EQ(run.exitCode, 2u);
  EXPECT_EQ(run.err, "tblfcli: select works on a list view only\nTry 'tblfcli --help'.\n");
}

// ---------------------------------------------------------------------------
// targets that stop answering or go away

// A big list view whose program is killed, hangs or is stopped half-way
// through an export: tblfcli ends within 10 s with exit status 1, the read
// error and the row it stopped after, and the file holds exactly the rows
// before it, whole and correct. Ctrl+C (a SIGINT, as a terminal sends it
// under Wine) stops it after the current row with exit status 130.
TEST(TblfcliTargets, AFaultHalfWayEndsTheExportKeepingTheWholeRowsReadBeforeIt) {
  struct Case {
    const char* name;
    std::function<bool(FixtureProcess& fixture, const std::wstring& outName)> fault;
    DWORD exitCode;
    bool readError;  // else "Aborted."
  } cases[] = {
      {"killed", [](FixtureProcess& f, const std::wstring&) { f.Kill(); return true; }, 1, true},
      {"hung", [](FixtureProcess& f, const std::wstring&) { return f.Hang(); }, 1, true},
      {"stopped", [](FixtureProcess& f, const std::wstring&) { return f.Suspend(); }, 1, true},
      {"Ctrl+C", [](FixtureProcess&, const std::wstring& out) { return test::SignalWineProcess(out, L"INT"); }, 130,
       false},
  };
  const std::wstring folder = TempFolder();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FixtureProcess fixture;
    ASSERT_TRUE(fixture.Start(L"--big-listview 100000x3")) << Utf8(fixture.Error());
    const std::wstring outName = L"fault_" + std::to_wstring(GetCurrentProcessId()) + L"_" + std::to_wstring(&c - cases) + L".tsv";
    const std::wstring out = folder + outName;
    DeleteFileW(out.c_str());
    ULONGLONG faultAt = 0;
    bool faulted = false;
    const CliRun run = RunCli(
        L"export " + Hex(fixture.Handle(L"big")) + L" --format tsv --encoding 8 --newline crlf --out \"" + out + L"\"",
        L"en", [&](HANDLE process) {
          // The fault comes once the first rows are in the file.
          WIN32_FILE_ATTRIBUTE_DATA data{};
          while (WaitForSingleObject(process, 10) == WAIT_TIMEOUT) {
            if (GetFileAttributesExW(out.c_str(), GetFileExInfoStandard, &data) && data.nFileSizeLow > 0) break;
          }
          faultAt = GetTickCount64();
          faulted = c.fault(fixture, outName);
        });
    const ULONGLONG afterFault = GetTickCount64() - faultAt;
    ASSERT_TRUE(faulted);
    ASSERT_TRUE(run.ended);
    EXPECT_LT(afterFault, 10000u);
    std::printf("%s: tblfcli ended %llu ms after the fault\n", c.name, static_cast<unsigned long long>(afterFault));
    EXPECT_EQ(run.exitCode, c.exitCode) << run.err;

    const std::string text = FileBytes(out);
    DeleteFileW(out.c_str());
    ASSERT_GE(text.size(), 2u);
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n") << "a partial last row";
    std::vector<std::wstring> lines = Split(Wide(text.substr(0, text.size() - 2)), L"\r\n");
    ASSERT_GE(lines.size(), 2u);
    EXPECT_LT(lines.size(), 100001u) << "the run was not stopped";
    EXPECT_EQ(lines[0], L"c0\tc1\tc2");
    for (size_t i = 1; i < lines.size(); ++i) {
      const std::wstring r = L"r" + std::to_wstring(i - 1);
      ASSERT_EQ(lines[i], r + L"c0\t" + r + L"c1\t" + r + L"c2") << "line " << i;
    }
    if (c.readError) {
      // One line: the handle, the command line's advice, where the run stopped.
      EXPECT_EQ(run.err, "tblfcli: " + Utf8(HandleLabel(FromHwnd(fixture.Handle(L"big")), ControlKind::ListView, true)) +
                             ": read error: the control no longer answers or no longer exists; run `tblfcli list` "
                             "Stopped after row " + std::to_string(lines.size() - 1) + " of 100000.\n");
    } else {
      EXPECT_EQ(run.err, "tblfcli: Aborted.\n");
    }
  }
}

TEST(TblfcliTargets, ProgressPrintsRowsOfTheTotalAtMostTenTimesASecond) {
  FixtureProcess fixture;
  ASSERT_TRUE(fixture.Start(L"--big-listview 3000x2")) << Utf8(fixture.Error());
  const std::wstring out = TempFolder() + L"progress.tsv";
  const CliRun run = RunCli(L"export " + Hex(fixture.Handle(L"big")) + L" --format tsv --progress --out \"" + out + L"\"");
  DeleteFileW(out.c_str());
  ASSERT_TRUE(run.ended);
  EXPECT_EQ(run.exitCode, 0u) << run.err;
  // Standard error is a file here: plain lines.
  std::vector<std::wstring> lines = Split(Wide(run.err), L"\n");
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines.back(), L"");
  lines.pop_back();
  EXPECT_EQ(lines.back(), L"rows 3000/3000");
  EXPECT_LE(lines.size(), run.elapsedMs / 100 + 2);
  long last = 0;
  for (const std::wstring& line : lines) {
    long done = 0, total = 0;
    ASSERT_EQ(std::swscanf(line.c_str(), L"rows %ld/%ld", &done, &total), 2) << Utf8(line);
    EXPECT_EQ(total, 3000);
    EXPECT_GT(done, last);
    last = done;
  }
  std::printf("progress: %zu lines in %llu ms\n", lines.size(), static_cast<unsigned long long>(run.elapsedMs));
}

// ---------------------------------------------------------------------------
// selectors: a control by program, window and kind instead of its handle

// The handles in list's lines (the first field after the header).
std::vector<std::wstring> ListedHandles(const std::string& lines) {
  std::vector<std::wstring> handles;
  std::vector<std::wstring> all = Split(Wide(lines), L"\r\n");
  for (size_t i = 1; i < all.size(); ++i) {
    if (!all[i].empty()) handles.push_back(Split(all[i], L"\t")[0]);
  }
  return handles;
}

TEST_F(TblfcliWine, SelectorsExportTheOneControlTheyPick) {
  // Unique: program in another case and without .exe, part of the title, kind.
  CliRun run = RunCli(L"export --program TBLF_FIXTURE --window \"fixture: TRIO\" --kind listview --format tsv");
  ASSERT_TRUE(run.ended);
  EXPECT_EQ(run.exitCode, 0u) << run.err;
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.out, "Name\tValue\r\na\t1\r\nb\t2\r\nc\t3\r\n");

  // --nth 1 of the fixture's tree views is the first that list shows.
  run = RunCli(L"list --program tblf_fixture.exe --kind treeview");
  EXPECT_EQ(run.exitCode, 0u);
  const std::vector<std::wstring> trees = ListedHandles(run.out);
  ASSERT_GE(trees.size(), 2u) << run.out;
  EXPECT_EQ(trees[0].find(L"(TreeView)"), trees[0].size() - 10);
  const CliRun byHandle = RunCli(L"export " + trees[0] + L" --format tsv --tree-graph");
  run = RunCli(L"export --program tblf_fixture.exe --kind treeview --nth 1 --format tsv --tree-graph");
  EXPECT_EQ(run.exitCode, 0u) << run.err;
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.out, byHandle.out);
  EXPECT_FALSE(run.out.empty());
}

TEST_F(TblfcliWine, SelectorsThatPickNoneOrSeveralExitTwoAndExportNothing) {
  CliRun run = RunCli(L"export --program no_such_program --kind listbox --format tsv");
  ASSERT_TRUE(run.ended);
  EXPECT_EQ(run.exitCode, 2u);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "tblfcli: no control matches --program \"no_such_program\" --kind listbox\n");
  run = RunCli(L"export --program tblf_fixture --kind listview --nth 9999", L"ja");
  EXPECT_EQ(run.exitCode, 2u);
  EXPECT_EQ(Wide(run.err),
            L"tblfcli: 一致するコントロールがありません: --program \"tblf_fixture\" --kind listview --nth 9999\n");

  // Both tree views of the fixture match: listed on standard error as list
  // prints them, nothing exported.
  run = RunCli(L"export --program tblf_fixture --kind treeview --format tsv");
  EXPECT_EQ(run.exitCode, 2u);
  EXPECT_EQ(run.out, "");
  const std::string first = "tblfcli: more than one control matches (choose one with --nth): "
                            "--program \"tblf_fixture\" --kind treeview\n";
  ASSERT_EQ(run.err.compare(0, first.size(), first), 0) << run.err;
  const std::vector<std::wstring> listed = ListedHandles(run.err.substr(first.size()));
  const std::vector<std::wstring> expected = {
      HandleLabel(FromHwnd(fixture_->Handle(L"trio.treeview")), ControlKind::TreeView, true),
      HandleLabel(FromHwnd(fixture_->Handle(L"tree")), ControlKind::TreeView, true)};
  for (const std::wstring& label : expected) {
    EXPECT_NE(std::find(listed.begin(), listed.end(), label), listed.end()) << Utf8(label) << "\n" << run.err;
  }
  EXPECT_EQ(Split(Wide(run.err), L"\r\n")[0].find(L"Handle\tProgram\tOwner Window"), first.size());

  // The same selectors with list: the matches on standard output, exit 0.
  run = RunCli(L"list --program tblf_fixture --kind treeview");
  EXPECT_EQ(run.exitCode, 0u);
  EXPECT_EQ(ListedHandles(run.out), listed);
}

TEST_F(TblfcliWine, ListJsonHasOneObjectPerListedCandidate) {
  const CliRun run = RunCli(L"list --json --program tblf_fixture.exe");
  ASSERT_TRUE(run.ended);
  EXPECT_EQ(run.exitCode, 0u);
  EXPECT_EQ(run.err, "");
  const std::wstring json = Wide(run.out);
  const CliRun lines = RunCli(L"list --program tblf_fixture.exe");
  EXPECT_EQ(static_cast<size_t>(std::count(json.begin(), json.end(), L'{')), ListedHandles(lines.out).size());
  // The handle without the kind suffix, padded as list pads it; kinds other
  // than list views have no columns; an owner-drawn one carries its note.
  const auto object = [&](const wchar_t* name, const std::wstring& rest) {
    return L"{\"handle\":\"" + HandleLabel(FromHwnd(fixture_->Handle(name)), ControlKind::ListView, false) +
           L"\",\"kind\":\"" + rest;
  };
  wchar_t pid[16];
  std::swprintf(pid, 16, L"%lu", fixture_->ProcessId());
  const std::wstring expected[] = {
      object(L"trio.listview",
             L"listview\",\"program\":\"tblf_fixture.exe\",\"processId\":" + std::wstring(pid) +
                 L",\"window\":\"Tabulift fixture: trio\",\"count\":3,\"columns\":2,\"firstItem\":\"a\",\"note\":\"\"}"),
      object(L"trio.listbox",
             L"listbox\",\"program\":\"tblf_fixture.exe\",\"processId\":" + std::wstring(pid) +
                 L",\"window\":\"Tabulift fixture: trio\",\"count\":2,\"columns\":null,\"firstItem\":\"lb-one\",\"note\":\"\"}"),
  };
  for (const std::wstring& e : expected) EXPECT_NE(json.find(e), std::wstring::npos) << Utf8(e) << "\n" << run.out;
  EXPECT_NE(json.find(L"\"note\":\"ListView Control with LVS_OWNERDRAWFIXED/LVS_OWNERDATA gives incorrect string.\"}"),
            std::wstring::npos);
}

// --wait looks again until the program is there: the fixture starts 1.5 s
// after tblfcli, with a window of its own title.
TEST(TblfcliSelectors, WaitFindsAControlWhoseProgramStartsLater) {
  const std::wstring title = L"Scripting wait " + std::to_wstring(GetCurrentProcessId());
  const std::wstring data = TempFolder() + L"wait.txt";
  ASSERT_TRUE(test::PutFileBytes(
      data, "window waiting " + Utf8(title) + "\nlistbox late\nentry late one\nentry late two\n"));
  FixtureProcess fixture;
  bool started = false;
  const CliRun run = RunCli(L"export --window \"" + title + L"\" --kind listbox --wait 30 --format tsv", L"en",
                            [&](HANDLE) {
                              Sleep(1500);
                              started = fixture.Start(L"--data \"" + data + L"\"");
                            });
  DeleteFileW(data.c_str());
  ASSERT_TRUE(started) << Utf8(fixture.Error());
  ASSERT_TRUE(run.ended);
  EXPECT_EQ(run.exitCode, 0u) << run.err;
  EXPECT_EQ(run.out, "late one\r\nlate two\r\n");
  EXPECT_GE(run.elapsedMs, 1500u);
}

TEST(TblfcliSelectors, WaitForAProgramThatNeverAppearsEndsAfterTheTimeWithNoMatch) {
  const CliRun run = RunCli(L"export --program never_there.exe --wait 2");
  ASSERT_TRUE(run.ended);
  EXPECT_EQ(run.exitCode, 2u);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "tblfcli: no control matches --program \"never_there.exe\"\n");
  EXPECT_GE(run.elapsedMs, 2000u);
  std::printf("--wait 2 for a program that never appears: exit 2 after %llu ms\n",
              static_cast<unsigned long long>(run.elapsedMs));
}

}  // namespace
}  // namespace tblf
