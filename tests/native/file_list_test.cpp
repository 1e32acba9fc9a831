// The file list without a file system: the template renderer row by row, the
// ordering of one folder, the walk over an in-memory folder tree, and the
// history list with its stored form.

#include <gtest/gtest.h>

#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "filelist/folder_walk.h"
#include "filelist/history_list.h"
#include "filelist/ordering.h"
#include "filelist/template_renderer.h"
#include "filelist/token_reference.h"

namespace tblf {
namespace {

// The FILETIME of a UTC date and time (days from the civil date, inverse of
// the breakdown).
std::uint64_t FileTimeOf(int y, int m, int d, int h = 0, int mi = 0, int s = 0, int ms = 0) {
  y -= m <= 2;
  const long long era = y / 400;
  const long long yoe = y - era * 400;
  const long long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  const long long daysFrom1601 = era * 146097 + doe - 306 - 1600LL / 400 * 146097;
  const long long msTotal = ((daysFrom1601 * 24 + h) * 60 + mi) * 60000LL + s * 1000LL + ms;
  return static_cast<std::uint64_t>(msTotal) * 10000;
}

FileEntry File(const std::wstring& name, std::uint64_t size = 0, std::uint32_t attributes = kAttrArchive) {
  FileEntry e;
  e.name = name;
  e.size = size;
  e.attributes = attributes;
  return e;
}

FileEntry Folder(const std::wstring& name) { return File(name, 0, kAttrDirectory); }

std::wstring Text(RecordWriter& writer) {
  std::wstring all;
  for (const std::wstring& chunk : writer.Chunks()) all += chunk;
  return all;
}

// ---------------------------------------------------------------------------
// The renderer, one row at a time.

struct RowCase {
  const char* what;
  std::wstring templateText;
  RecordFormat format;
  bool quoteWhenNeeded;
  FileEntry entry;
  std::wstring expected;  // the row, newline CR LF
};

std::wstring RenderOne(const std::wstring& templateText, RecordFormat format, bool quoteWhenNeeded,
                       const FileEntry& entry, const FolderLevel& level, bool notLast = true, bool japanese = false) {
  RecordWriter writer;
  writer.BeginDocument(format, NewlineKind::CrLf, quoteWhenNeeded, false);
  TemplateRenderer renderer(templateText, japanese);
  FileRow row{level, entry, notLast, {}};
  row.times[0] = BreakDownFileTime(entry.lastWriteTime);
  row.times[1] = BreakDownFileTime(entry.creationTime);
  row.times[2] = BreakDownFileTime(entry.lastAccessTime);
  EXPECT_TRUE(renderer.RenderRow(row, writer, nullptr));
  return Text(writer);
}

FolderLevel DocsLevel() {
  FolderLevel level;
  level.folderPath = L"C:\\data\\docs";
  level.relativePath = L"docs";
  level.shortRelativePath = L"DOCS~1";
  level.prefixes.graph = L"";
  level.prefixes.commaGraph = L"";
  level.prefixes.comma = L",";
  return level;
}

FileEntry Timed(const std::wstring& name, std::uint64_t write, std::uint64_t creation = 0, std::uint64_t access = 0) {
  FileEntry e = File(name);
  e.lastWriteTime = write;
  e.creationTime = creation;
  e.lastAccessTime = access;
  return e;
}

TEST(FileListTemplate, RowsForTheEdgeCasesOfTheLanguage) {
  const auto csv = RecordFormat::Csv;
  const auto tsv = RecordFormat::Tsv;
  FileEntry report = File(L"report.txt", 1234);
  report.lastWriteTime = FileTimeOf(2016, 9, 18, 3, 5, 7);
  const std::uint64_t jan5 = FileTimeOf(2005, 1, 5, 9, 7, 3, 4);
  const RowCase cases[] = {
      {"empty template: the row start and end only", L"", csv, false, File(L"a.txt"), L"\r\n"},
      {"trailing comma: a trailing separator", L"{%f},", csv, false, File(L"a.txt"), L"\"a.txt\",\r\n"},
      {"{%,} keeps a comma inside the field, quoted when needed", L"x{%,}y,z", csv, true, File(L"a"),
       L"\"x,y\",z\r\n"},
      {"{%{} then %f} is the token's text", L"{%{}%f}", tsv, false, File(L"a"), L"{%f}\r\n"},
      {"unknown and capitalised tokens come out as typed", L"{%x}{%F}{%tq}{%", tsv, false, File(L"a"),
       L"{%x}{%F}{%tq}{%\r\n"},
      {"an unknown token before a known one", L"{%x{%f}", tsv, false, File(L"a"), L"{%xa\r\n"},
      {"1023 bytes", L"{%s},{%ks},{%ms}", tsv, false, File(L"a", 1023), L"1023\t0\t0\r\n"},
      {"1048576 bytes", L"{%ks},{%ms}", tsv, false, File(L"a", 1048576), L"1024\t1\r\n"},
      {"sizes past 32 bits", L"{%s}", tsv, false, File(L"a", 0x123456789ULL), L"4886718345\r\n"},
      {"January 5th 09:07:03.004, last write", L"{%t4y}|{%t2y}|{%t0m}|{%tmm}|{%tm}|{%t0d}|{%tdd}|{%td}",
       tsv, false, Timed(L"a", jan5), L"2005|05|01| 1|1|05| 5|5\r\n"},
      {"January 5th 09:07:03.004, the clock", L"{%t0h}|{%thh}|{%th}|{%t0n}|{%tn}|{%t0s}|{%ts}|{%tms}", tsv,
       false, Timed(L"a", jan5), L"09| 9|9|07|7|03|3|004\r\n"},
      {"creation and access times are their own", L"{%t4y} {%tc4y} {%ta4y} {%tcms} {%tadd}", tsv, false,
       Timed(L"a", jan5, FileTimeOf(1999, 12, 31, 23, 59, 59, 999), FileTimeOf(2024, 2, 29)),
       L"2005 1999 2024 999 29\r\n"},
      {"February's names", L"{%tem} {%tsem}", tsv, false, Timed(L"a", FileTimeOf(2020, 2, 1)),
       L"Febrary Feb.\r\n"},
      {"May's names", L"{%tem} {%tsem}", tsv, false, Timed(L"a", FileTimeOf(2020, 5, 31)), L"May May\r\n"},
      {"no attribute among the nine: empty, not even quotes", L"{%a}", csv, false, File(L"a", 0, 0x80),
       L"\r\n"},
      {"all nine in their order", L"{%a}", tsv, false, File(L"a", 0, 0x5937), L"ACDEHORST\r\n"},
      {"extension and base of a name with two periods", L"{%e}|{%bf}", tsv, false, File(L"a.b.c"),
       L".c|a.b\r\n"},
      {"a name whose only period leads is all extension", L"{%e}|{%bf}", tsv, false, File(L".profile"),
       L".profile|\r\n"},
      {"a name without period has no extension", L"{%e}|{%bf}", tsv, false, File(L"Makefile"),
       L"|Makefile\r\n"},
      {"paths below the root", L"{%p}|{%pf}|{%cp}|{%cf}|{%scp}|{%scf}", tsv, false, File(L"report.txt"),
       L"C:\\data\\docs|C:\\data\\docs\\report.txt|docs|docs\\report.txt|DOCS~1|DOCS~1\\report.txt\r\n"},
      {"short names fall back to the long ones", L"{%sf}|{%sp}|{%spf}", tsv, false, File(L"long name.txt"),
       L"long name.txt|C:\\data\\docs|C:\\data\\docs\\long name.txt\r\n"},
      {"the default template", kDefaultFileListTemplate, csv, false, report,
       L"\"docs\\report.txt\",\"1234\",\"2016/ 9/18  3:05:07\",\"A\"\r\n"},
      {"C array rows never end as the last", L"{%f}", RecordFormat::CArray, false, File(L"a"),
       L"{{\"a\"},\r\n"},
  };
  for (const RowCase& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(RenderOne(c.templateText, c.format, c.quoteWhenNeeded, c.entry, DocsLevel()), c.expected);
  }
}

TEST(FileListTemplate, EntriesOfTheRootFolderHaveNoTreeAndNoRelativePath) {
  FolderLevel root;
  root.folderPath = L"C:\\";
  const FileEntry z = File(L"z.txt");
  EXPECT_EQ(RenderOne(L"{%cp},{%cf}", RecordFormat::Csv, false, z, root), L",\"z.txt\"\r\n");
  EXPECT_EQ(RenderOne(L"{%g}{%cg}{%c}{%f}|{%pf}", RecordFormat::Tsv, false, z, root), L"z.txt|C:\\z.txt\r\n");
}

TEST(FileListTemplate, TreeTokensWriteTheirPrefixesAroundTheCells) {
  // An entry at depth 4, last in its folder; its parent is not last, its grandparent is.
  LevelPrefixes depth2{L",", L"", L""};
  const LevelPrefixes depth3 = ChildPrefixes(depth2, false, L",", true, false);
  FolderLevel level;
  level.prefixes = ChildPrefixes(depth3, true, L",", true, false);
  const FileEntry x = File(L"x.txt");
  EXPECT_EQ(RenderOne(L"{%g}{%f}", RecordFormat::Csv, false, x, level, false), L"\"  | +-x.txt\"\r\n");
  EXPECT_EQ(RenderOne(L"pre{%cg}{%f}", RecordFormat::Csv, false, x, level, false),
            L"\"pre\"\"  \",\"| \",\"+-x.txt\"\r\n");
  EXPECT_EQ(RenderOne(L"pre{%c}{%f}", RecordFormat::Csv, false, x, level, false), L"\"pre\",,,\"x.txt\"\r\n");
  // The prefixes of TSV carry no quotes.
  FolderLevel tsv;
  tsv.prefixes = ChildPrefixes(ChildPrefixes(depth2, false, L"\t", false, true), true, L"\t", false, true);
  EXPECT_EQ(RenderOne(L"{%cg}{%f}", RecordFormat::Tsv, false, x, tsv, true, true),
            L"\u3000\t\u2502\t\u251Cx.txt\r\n");
}

TEST(FileListTemplate, AnAbortEndsTheRowAfterTheElementAtHand) {
  RecordWriter writer;
  writer.BeginDocument(RecordFormat::Tsv, NewlineKind::CrLf, false, false);
  TemplateRenderer renderer(L"{%f},{%s}", false);
  const FolderLevel level;
  const FileEntry a = File(L"a", 7);
  int checks = 0;
  EXPECT_FALSE(renderer.RenderRow({level, a, true, {}}, writer, [&] { return ++checks == 2; }));
  EXPECT_EQ(checks, 2);
  EXPECT_EQ(writer.RowCount(), 0);
}

TEST(FileListTemplate, BreakDownMatchesTheCalendar) {
  struct Case {
    int y, m, d, h, mi, s, ms;
  };
  for (const Case& c : {Case{1601, 1, 1, 0, 0, 0, 0}, Case{1900, 2, 28, 23, 59, 59, 999},
                        Case{2000, 2, 29, 12, 0, 0, 1}, Case{2100, 3, 1, 0, 0, 0, 0}, Case{30827, 12, 31, 1, 2, 3, 4}}) {
    const BrokenDownTime t = BreakDownFileTime(FileTimeOf(c.y, c.m, c.d, c.h, c.mi, c.s, c.ms));
    EXPECT_EQ((std::vector<int>{t.year, t.month, t.day, t.hour, t.minute, t.second, t.milliseconds}),
              (std::vector<int>{c.y, c.m, c.d, c.h, c.mi, c.s, c.ms}));
  }
}

// ---------------------------------------------------------------------------
// Ordering of one folder.

std::wstring Names(const std::vector<FileEntry>& entries) {
  std::wstring names;
  for (const FileEntry& e : entries) names += (names.empty() ? L"" : L" ") + e.name;
  return names;
}

TEST(FileListOrder, KeysAndFolderPositions) {
  auto sized = [](const wchar_t* name, std::uint64_t size) { return File(name, size); };
  FileEntry dirB = Folder(L"B");
  FileEntry dirY = Folder(L"y");
  const std::vector<FileEntry> mixed = {sized(L"c.txt", 5), dirY, sized(L"a.TXT", 5), sized(L"Makefile", 9),
                                        dirB, sized(L"b.log", 1)};
  struct Case {
    const char* what;
    int key;
    FolderPosition position;
    const wchar_t* expected;
  };
  const Case cases[] = {
      {"none keeps the enumeration order, whatever the position", 0, FolderPosition::BeforeFiles,
       L"c.txt y a.TXT Makefile B b.log"},
      {"names ascending, without case", 1, FolderPosition::Mixed, L"a.TXT B b.log c.txt Makefile y"},
      {"names descending", 2, FolderPosition::Mixed, L"y Makefile c.txt b.log B a.TXT"},
      {"equal sizes under Size Desc: names descending", 4, FolderPosition::Mixed,
       L"Makefile c.txt a.TXT b.log y B"},
      {"a name without extension comes first under Ext Asc", 5, FolderPosition::Mixed,
       L"B Makefile y b.log a.TXT c.txt"},
      {"Ext Desc is the exact reverse", 6, FolderPosition::Mixed, L"c.txt a.TXT b.log y Makefile B"},
      {"folders after the files", 1, FolderPosition::AfterFiles, L"a.TXT b.log c.txt Makefile B y"},
      {"folders before the files, names descending", 2, FolderPosition::BeforeFiles,
       L"y B Makefile c.txt b.log a.TXT"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<FileEntry> entries = mixed;
    SortEntries(entries, c.key, c.position, CompareNamesWithoutCase);
    EXPECT_EQ(Names(entries), c.expected);
  }
}

TEST(FileListOrder, TimesAndAttributesCompareRawWithNamesBreakingTies) {
  std::vector<FileEntry> entries = {Timed(L"b", 20, 1, 300), Timed(L"a", 20, 3, 100), Timed(L"c", 10, 2, 200)};
  entries[0].attributes = kAttrHidden;
  const struct {
    int key;
    const wchar_t* expected;
  } cases[] = {{7, L"c a b"}, {8, L"b a c"}, {9, L"a c b"}, {12, L"a c b"}, {13, L"b a c"}, {14, L"c a b"}};
  for (const auto& c : cases) {
    std::vector<FileEntry> sorted = entries;
    SortEntries(sorted, c.key, FolderPosition::Mixed, CompareNamesWithoutCase);
    EXPECT_EQ(Names(sorted), c.expected) << "key " << c.key;
  }
}

// ---------------------------------------------------------------------------
// The walk over an in-memory folder tree.

class MemoryFolders : public FolderAccess {
 public:
  std::map<std::wstring, std::vector<FileEntry>> folders;  // full path -> entries, "." and ".." included
  std::map<std::wstring, std::wstring> links;              // full path -> the folder it leads to
  std::wstring current = L"C:\\start";

  void Add(const std::wstring& path, std::vector<FileEntry> entries) {
    entries.insert(entries.begin(), {Folder(L"."), Folder(L"..")});
    folders[path] = std::move(entries);
  }
  std::wstring Target(const std::wstring& path) const {
    auto link = links.find(path);
    return link == links.end() ? path : link->second;
  }
  std::optional<std::wstring> FullPath(const std::wstring& path) override {
    if (path.size() > 1 && path[1] == L':') return path;
    return current + L"\\" + path;
  }
  std::optional<FolderId> Identify(const std::wstring& path) override {
    auto found = folders.find(Target(path));
    if (found == folders.end()) return std::nullopt;
    return FolderId{1, static_cast<std::uint64_t>(std::distance(folders.begin(), found)), true};
  }
  std::vector<FileEntry> Enumerate(const std::wstring& path) override {
    auto found = folders.find(Target(path));
    return found == folders.end() ? std::vector<FileEntry>() : found->second;
  }
  std::optional<std::wstring> ShortPath(const std::wstring&) override { return std::nullopt; }
  std::uint64_t ToLocalTime(std::uint64_t utc) override { return utc + 9ULL * 36000000000ULL; }
  int CompareNames(const std::wstring& a, const std::wstring& b) override { return CompareNamesWithoutCase(a, b); }
};

class RecordingUi : public WalkUi {
 public:
  bool shift = false;
  std::vector<FolderErrorAnswer> answers;  // one per question, in order
  std::vector<std::wstring> questions;
  std::vector<std::wstring> hints;
  std::wstring hint = L"ready";
  int abortAfterChecks = -1;
  int checks = 0;

  bool ShiftDown() override { return shift; }
  FolderErrorAnswer FolderError(const std::wstring& name, const std::wstring&) override {
    questions.push_back(name);
    return questions.size() <= answers.size() ? answers[questions.size() - 1] : FolderErrorAnswer::Skip;
  }
  void SaveHint() override { saved_ = hint; }
  void ShowHint(const std::wstring& text) override {
    hint = text;
    hints.push_back(text);
  }
  void RestoreHint() override { hint = saved_; }
  void LetPaintThrough() override {}
  bool AbortRequested() override { return ++checks == abortAfterChecks; }

 private:
  std::wstring saved_;
};

// The tree of the examples: the root holds folder A and file z.txt; A holds
// folder B and file y.txt; B holds x.txt. Enumerated in no useful order.
MemoryFolders ExampleTree() {
  MemoryFolders fs;
  fs.Add(L"C:\\root", {File(L"z.txt"), Folder(L"A")});
  fs.Add(L"C:\\root\\A", {File(L"y.txt"), Folder(L"B")});
  fs.Add(L"C:\\root\\A\\B", {File(L"x.txt")});
  return fs;
}

FileListOptions Options(const std::wstring& templateText, int key = 1) {
  FileListOptions options;
  options.rootFolder = L"C:\\root";
  options.templateText = templateText;
  options.orderKey = static_cast<unsigned char>(key);
  return options;
}

std::wstring Walk(MemoryFolders& fs, RecordingUi& ui, const FileListOptions& options, bool japanese = false,
                  RecordFormat format = RecordFormat::Tsv, bool* result = nullptr) {
  RecordWriter writer;
  writer.BeginDocument(format, NewlineKind::Lf, false, false);
  const bool ok = WalkFileList(fs, ui, writer, options, japanese);
  if (result) *result = ok;
  writer.WriteFooter();
  return Text(writer);
}

TEST(FileListWalk, TheTreeExampleInBothLanguages) {
  struct Case {
    bool japanese;
    RecordFormat format;
    const wchar_t* templateText;
    const wchar_t* expected;
  };
  const Case cases[] = {
      {false, RecordFormat::Tsv, L"{%g}{%f}", L"A\n|-B\n| +-x.txt\n+-y.txt\nz.txt\n"},
      {true, RecordFormat::Tsv, L"{%g}{%f}", L"A\n\u251CB\n\u2502\u2514x.txt\n\u2514y.txt\nz.txt\n"},
      {false, RecordFormat::Csv, L"{%cg}{%f}", L"\"A\"\n\"|-B\"\n\"| \",\"+-x.txt\"\n\"+-y.txt\"\n\"z.txt\"\n"},
      {false, RecordFormat::Tsv, L"{%c}{%cf}", L"A\n\tA\\B\n\t\tA\\B\\x.txt\n\tA\\y.txt\nz.txt\n"},
  };
  for (const Case& c : cases) {
    MemoryFolders fs = ExampleTree();
    RecordingUi ui;
    bool ok = false;
    EXPECT_EQ(Walk(fs, ui, Options(c.templateText), c.japanese, c.format, &ok), c.expected);
    EXPECT_TRUE(ok);
    EXPECT_EQ(ui.hint, L"ready");
    EXPECT_EQ(ui.hints, (std::vector<std::wstring>{L"", L"A", L"A\\B", L"A", L""}));
  }
}

TEST(FileListWalk, SubfoldersFoldersOnlyAndFolderPositions) {
  struct Case {
    const char* what;
    bool subfolders, foldersOnly;
    int key;
    FolderPosition position;
    const wchar_t* expected;
  };
  const Case cases[] = {
      {"without subfolders: the root's own entries", false, false, 1, FolderPosition::Mixed, L"A\nz.txt\n"},
      {"folders only: the folder tree", true, true, 1, FolderPosition::Mixed, L"A\nA\\B\n"},
      {"folders after files, each followed by its contents", true, false, 1, FolderPosition::AfterFiles,
       L"z.txt\nA\nA\\y.txt\nA\\B\nA\\B\\x.txt\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    MemoryFolders fs = ExampleTree();
    RecordingUi ui;
    FileListOptions options = Options(L"{%cf}", c.key);
    options.includeSubfolders = c.subfolders;
    options.foldersOnly = c.foldersOnly;
    options.folderPosition = c.position;
    EXPECT_EQ(Walk(fs, ui, options), c.expected);
  }
}

TEST(FileListWalk, FolderErrorsAskOrStaySilent) {
  struct Case {
    const char* what;
    bool shift;
    std::vector<FolderErrorAnswer> answers;
    bool result;
    std::vector<std::wstring> questions;
    const wchar_t* expected;
  };
  using A = FolderErrorAnswer;
  const Case cases[] = {
      {"OK skips the folder", false, {A::Skip, A::Skip}, true, {L"gone1", L"gone2"}, L"gone1\ngone2\nok\nok\\f\n"},
      {"Shift+OK silences the rest of the run", false, {A::SkipAndSilence}, true, {L"gone1"},
       L"gone1\ngone2\nok\nok\\f\n"},
      {"Shift at the start silences every error", true, {}, true, {}, L"gone1\ngone2\nok\nok\\f\n"},
      {"Cancel ends the run", false, {A::Skip, A::Cancel}, false, {L"gone1", L"gone2"}, L"gone1\ngone2\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    MemoryFolders fs;
    // Two folders that are listed but cannot be entered.
    fs.Add(L"C:\\root", {Folder(L"gone1"), Folder(L"gone2"), Folder(L"ok")});
    fs.Add(L"C:\\root\\ok", {File(L"f")});
    RecordingUi ui;
    ui.shift = c.shift;
    ui.answers = c.answers;
    bool ok = !c.result;
    EXPECT_EQ(Walk(fs, ui, Options(L"{%cf}"), false, RecordFormat::Tsv, &ok), c.expected);
    EXPECT_EQ(ok, c.result);
    EXPECT_EQ(ui.questions, c.questions);
  }
}

TEST(FileListWalk, AMissingRootAsksWithItsPathAndGivesNoRows) {
  for (FolderErrorAnswer answer : {FolderErrorAnswer::Skip, FolderErrorAnswer::Cancel}) {
    MemoryFolders fs;
    RecordingUi ui;
    ui.answers = {answer};
    bool ok = false;
    FileListOptions options = Options(L"{%f}");
    options.rootFolder = L"C:\\nowhere";
    EXPECT_EQ(Walk(fs, ui, options, false, RecordFormat::Tsv, &ok), L"");
    EXPECT_EQ(ok, answer == FolderErrorAnswer::Skip);
    EXPECT_EQ(ui.questions, std::vector<std::wstring>{L"C:\\nowhere"});
  }
}

TEST(FileListWalk, AnAbortDeepDownRestoresTheHint) {
  MemoryFolders fs = ExampleTree();
  RecordingUi ui;
  ui.abortAfterChecks = 5;  // the comma after B's name: its row stays unfinished
  bool ok = true;
  EXPECT_EQ(Walk(fs, ui, Options(L"{%f},{%s}"), false, RecordFormat::Tsv, &ok), L"A\t0\nB\t");
  EXPECT_FALSE(ok);
  EXPECT_EQ(ui.hint, L"ready");
}

TEST(FileListWalk, LinksAreListedAndAFolderOnThePathIsNeverEnteredAgain) {
  // root: "back" is a link to root, "side" a link to folder B, "up" a folder
  // the system does not mark as a link that leads to root all the same.
  auto tree = [] {
    MemoryFolders fs;
    FileEntry back = Folder(L"back"), side = Folder(L"side");
    back.attributes |= kAttrReparsePoint;
    side.attributes |= kAttrReparsePoint;
    fs.Add(L"C:\\root", {Folder(L"A"), Folder(L"B"), back, side});
    fs.Add(L"C:\\root\\A", {Folder(L"up")});
    fs.Add(L"C:\\root\\B", {File(L"b.txt")});
    fs.links = {{L"C:\\root\\back", L"C:\\root"}, {L"C:\\root\\side", L"C:\\root\\B"},
                {L"C:\\root\\A\\up", L"C:\\root"}};
    return fs;
  };
  const struct {
    bool follow;
    const wchar_t* expected;
  } cases[] = {
      {false, L"A\nA\\up\nB\nB\\b.txt\nback\nside\n"},
      {true, L"A\nA\\up\nB\nB\\b.txt\nback\nside\nside\\b.txt\n"},
  };
  for (const auto& c : cases) {
    MemoryFolders fs = tree();
    RecordingUi ui;
    FileListOptions options = Options(L"{%cf}");
    options.followLinks = c.follow;
    bool ok = false;
    EXPECT_EQ(Walk(fs, ui, options, false, RecordFormat::Tsv, &ok), c.expected) << c.follow;
    EXPECT_TRUE(ok);
    EXPECT_TRUE(ui.questions.empty());
  }
}

TEST(FileListWalk, LocalTimeConvertsBeforeTheBreakdown) {
  MemoryFolders fs;
  fs.Add(L"C:\\root", {Timed(L"a", FileTimeOf(2016, 9, 18, 20, 0, 0))});
  RecordingUi ui;
  FileListOptions options = Options(L"{%t0d} {%t0h}");
  EXPECT_EQ(Walk(fs, ui, options), L"18 20\n");
  options.localTime = true;
  EXPECT_EQ(Walk(fs, ui, options), L"19 05\n");
}

// ---------------------------------------------------------------------------
// The history of a combo box.

TEST(FileListHistory, AddMovesUpKeepsSixteenAndTellsWhenToStore) {
  HistoryList history;
  EXPECT_TRUE(history.Add(L"a"));
  EXPECT_FALSE(history.Add(L"a"));  // already first: nothing to store
  EXPECT_TRUE(history.Add(L"A"));   // letter case makes another entry
  EXPECT_TRUE(history.Add(L"b"));
  EXPECT_TRUE(history.Add(L"a"));
  EXPECT_EQ(history.Entries(), (std::vector<std::wstring>{L"a", L"b", L"A"}));
  EXPECT_FALSE(history.Add(L""));
  for (int i = 0; i < 14; ++i) history.Add(std::to_wstring(i));
  EXPECT_EQ(history.Entries().size(), 16u);
  EXPECT_EQ(history.Entries().back(), L"b");
  history.Add(L"17th");
  EXPECT_EQ(history.Entries().size(), 16u);
  EXPECT_EQ(history.Entries().front(), L"17th");
  EXPECT_EQ(history.Entries().back(), L"a");
}

TEST(FileListHistory, StoredForm) {
  using V = std::vector<std::wstring>;
  EXPECT_EQ(EncodeMultiString({}), std::wstring(1, L'\0'));
  EXPECT_EQ(EncodeMultiString({L"C:\\x", L"."}), std::wstring(L"C:\\x\0.\0\0", 8));
  const struct {
    const char* what;
    std::wstring data;
    V expected;
  } cases[] = {
      {"two entries", std::wstring(L"a\0b\0\0", 5), V{L"a", L"b"}},
      {"a single zero", std::wstring(1, L'\0'), V{}},
      {"nothing at all", L"", V{}},
      {"the last string without its zero", std::wstring(L"a\0bc", 4), V{L"a", L"bc"}},
      {"an empty string ends the list", std::wstring(L"a\0\0b\0\0", 6), V{L"a"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(DecodeMultiString(c.data, 16), c.expected);
  }
  std::wstring seventeen;
  for (int i = 0; i < 17; ++i) seventeen += std::to_wstring(i) + L'\0';
  EXPECT_EQ(DecodeMultiString(seventeen, 16).size(), 16u);
}

// ---------------------------------------------------------------------------
// The token reference of the dialog.

TEST(FileListTokenReference, ListsOnlyTokensTheRendererKnowsWithColonsLinedUpPerGroup) {
  for (const bool japanese : {false, true}) {
    SCOPED_TRACE(japanese ? "Japanese" : "English");
    const std::wstring text = FileListTokenReference(japanese);
    EXPECT_NE(text.find(japanese ? L"{%f}   : ファイル名\r\n" : L"{%f}   : Filename\r\n"), std::wstring::npos);
    if (!japanese) {
      EXPECT_NE(text.find(L"\r\n{%t0m} : Month of Last Write Time(2 digit number. Zero padding)\r\n"),
                std::wstring::npos);
    }
    int tokens = 0, groups = 0;
    std::size_t colon = std::wstring::npos;
    for (std::size_t at = 0; at < text.size();) {
      const std::size_t end = text.find(L"\r\n", at);
      ASSERT_NE(end, std::wstring::npos) << "every line ends in CR LF";
      const std::wstring line = text.substr(at, end - at);
      at = end + 2;
      if (line.empty()) break;  // the notes follow
      if (line == L"------") {
        ++groups;
        colon = std::wstring::npos;
        continue;
      }
      const std::wstring token = line.substr(0, line.find(L'}') + 1);
      SCOPED_TRACE(std::string(token.begin(), token.end()));
      ++tokens;
      if (colon == std::wstring::npos) colon = line.find(L": ", token.size());
      EXPECT_EQ(line.find(L": ", token.size()), colon);
      EXPECT_EQ(line.find_first_not_of(L' ', token.size()), colon);
      const std::wstring row = RenderOne(token, RecordFormat::Tsv, false, File(L"a.txt", 5), DocsLevel());
      EXPECT_NE(row, token + L"\r\n") << "a token the renderer would copy as typed";
    }
    EXPECT_EQ(tokens, 10 + 3 + 6 + 3 * 18 + 2);
    EXPECT_EQ(groups, 7);
  }
}

}  // namespace
}  // namespace tblf
