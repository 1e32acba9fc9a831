#include "output/engine.h"

#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <stdexcept>
#include <vector>

#include "output/output_state.h"
#include "tests/support/fake_desktop.h"
#include "tests/support/memory_settings.h"

namespace tblf {
namespace {

using testing::FakeControl;
using testing::FakeDesktop;
using testing::MakeListView;
using testing::MemorySettings;

// A sink that keeps what the record writer streamed; can fail its writes.
class RecordingSink : public TextSink {
 public:
  explicit RecordingSink(std::wstring* text, int failAfter) : text_(text), failAfter_(failAfter) {}
  bool Write(const std::wstring& text, std::wstring& reason) override {
    if (failAfter_ == 0) {
      reason = L"disk full";
      return false;
    }
    if (failAfter_ > 0) --failAfter_;
    text_->append(text);
    return true;
  }

 private:
  std::wstring* text_;
  int failAfter_;
};

// Records every host call.
class RecordingHost : public OutputHost {
 public:
  std::vector<std::wstring> errors;
  std::vector<std::wstring> sampleTexts;
  std::wstring fileText;
  std::wstring clipboard;
  bool fileCreated = false;
  bool failCreate = false;
  int failWritesAfter = -1;
  int busyCalls = 0;
  int abortQuestions = 0;
  bool answerAbort = true;
  ClipboardResult clipboardResult = ClipboardResult::Ok;
  std::function<bool()> escape;      // EscapePressedInFrame
  std::function<void()> onSample;    // after each SetSampleText
  std::function<bool(RecordWriter&)> fileList;
  std::vector<std::pair<long, long>> progress;  // ReportProgress calls
  int cancelAfterReports = -1;                  // CancelRequested turns true after this many

  void ReportProgress(long done, long total) override { progress.emplace_back(done, total); }
  bool CancelRequested() override {
    return cancelAfterReports >= 0 && static_cast<int>(progress.size()) >= cancelAfterReports;
  }
  void ShowError(const std::wstring& text) override { errors.push_back(text); }
  bool AskAbort() override {
    ++abortQuestions;
    return answerAbort;
  }
  bool EscapePressedInFrame() override { return escape && escape(); }
  void SetSampleText(const wchar_t* text) override {
    sampleTexts.emplace_back(text);
    if (onSample) onSample();
  }
  void ShowBusy() override { ++busyCalls; }
  std::unique_ptr<TextSink> CreateOutputFile(const std::wstring&, std::wstring& reason) override {
    if (failCreate) {
      reason = L"Access is denied.";
      return nullptr;
    }
    fileCreated = true;
    return std::make_unique<RecordingSink>(&fileText, failWritesAfter);
  }
  ClipboardResult CopyToClipboard(RecordWriter& writer) override {
    if (clipboardResult != ClipboardResult::Ok) return clipboardResult;
    for (const std::wstring& chunk : writer.Chunks()) clipboard += chunk;
    writer.Chunks().clear();
    return ClipboardResult::Ok;
  }
  bool RunFileList(RecordWriter& writer) override { return fileList ? fileList(writer) : false; }
};

class EngineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    MemorySettings::Reset();
    SetOutputState(OutputState::Idle);
    g_japaneseUi = false;
  }
  void TearDown() override {
    g_japaneseUi = false;
    SetOutputState(OutputState::Idle);
  }

  OutputJob Job(WindowId target, ControlKind kind, RecordFormat format, Destination destination = Destination::Clipboard) {
    OutputJob job;
    job.target = target;
    job.kind = kind;
    job.format = format;
    job.destination = destination;
    job.fileName = L"out.txt";
    job.sampleControl = destination == Destination::Sample ? 0x77 : 0;
    return job;
  }

  // Runs the job to the clipboard and returns the text (empty with a failure).
  std::wstring Clip(const OutputJob& job, bool expectOk = true) {
    host = RecordingHost();
    EXPECT_EQ(RunOutputJob(job, desktop, host), expectOk);
    return host.clipboard;
  }

  FakeDesktop desktop;
  RecordingHost host;
};

FakeControl SmallListView() {
  FakeControl lv;
  lv.kind = ControlKind::ListView;
  lv.headers = {L"Name", L"Value"};
  lv.cells = {{L"a", L"1"}, {L"bb", L"22"}, {L"c", L"333"}};
  return lv;
}

TEST_F(EngineTest, SpaceFormatWritesTheCellsItMeasuredWithinTheBound) {
  struct Case {
    const char* name;
    std::size_t bound;
    int cellReads;
    const wchar_t* expected;
  } cases[] = {
      // Read once: the text that changes after the widths were taken is not seen.
      {"kept", kSpaceKeptBytes, 6, L"Name Value\r\na    1    \r\nbb   22   \r\nc    333  \r\n"},
      // Nothing kept: the rows are read a second time.
      {"beyond the bound", 0, 12, L"Name Value\r\na    1    \r\nbb   22   \r\nc    4444444\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeDesktop changing;
    const WindowId lv = changing.Add(SmallListView());
    changing.onRead = [&](int reads) {
      if (reads == 6) changing.Control(lv).cells[2][1] = L"4444444";
    };
    OutputJob job = Job(lv, ControlKind::ListView, RecordFormat::Space);
    job.spaceKeptBytes = c.bound;
    host = RecordingHost();
    EXPECT_TRUE(RunOutputJob(job, changing, host));
    EXPECT_EQ(host.clipboard, c.expected);
    EXPECT_EQ(changing.cellReads, c.cellReads);
  }
}

TEST_F(EngineTest, ColumnAndRowSelections) {
  const WindowId lv = desktop.Add(SmallListView());
  struct Case {
    const wchar_t* columns;
    const wchar_t* rows;
    const wchar_t* expected;
  } cases[] = {
      {L"1,0", nullptr, L"Value\tName\r\n1\ta\r\n22\tbb\r\n333\tc\r\n"},
      {L"# 1", L"2,0", L"#\tValue\r\n2\t333\r\n0\t1\r\n"},
      {L"0,0", L"1,1", L"Name\tName\r\nbb\tbb\r\nbb\tbb\r\n"},
      {L"1", L"2-0", L"Value\r\n333\r\n22\r\n1\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.columns);
    OutputJob job = Job(lv, ControlKind::ListView, RecordFormat::Tsv);
    job.columnSelection = c.columns;
    if (c.rows) job.rowSelection = c.rows;
    EXPECT_EQ(Clip(job), c.expected);
  }
}

TEST_F(EngineTest, ListViewExtras) {
  // Shown as C, A (B has width 0); rows 1 and 2 selected, 0 and 2 checked, 3 focused.
  FakeControl lv = MakeListView({L"A", L"B", L"C"}, 4);
  lv.columnOrder = {2, 0, 1};
  lv.widths = {100, 0, 100};
  lv.states = {0x2000, 0x1002, 0x2002, 0x1001};
  const WindowId id = desktop.Add(lv);
  FakeControl odd = lv;
  odd.columnOrder = {0, 0, 2};  // no permutation: the control's own order
  const WindowId oddId = desktop.Add(odd);
  struct Case {
    const wchar_t* name;
    ListExtras extras;
    const wchar_t* columns;
    const wchar_t* rows;
    bool japanese;
    const wchar_t* expected;
    RecordFormat format = RecordFormat::Tsv;
    WindowId target = 0;
  } cases[] = {
      {L"with all three", {true, true, true, false, false}, nullptr, nullptr, false,
       L"A\tB\tC\tChecked\tSelected\tFocused\r\nr0c0\tr0c1\tr0c2\t1\t0\t0\r\nr1c0\tr1c1\tr1c2\t0\t1\t0\r\n"
       L"r2c0\tr2c1\tr2c2\t1\t1\t0\r\nr3c0\tr3c1\tr3c2\t0\t0\t1\r\n"},
      {L"selected only after the row selection", {false, false, false, true, false}, L"0", L"3-0,1,3", false,
       L"A\r\nr2c0\r\nr1c0\r\nr1c0\r\n"},
      {L"as shown", {false, false, false, false, true}, nullptr, L"0", false, L"C\tA\r\nr0c2\tr0c0\r\n"},
      {L"as shown counts displayed positions", {false, false, false, false, true}, L"1,#,2", L"0", false,
       L"A\t#\r\nr0c0\t0\r\n"},
      {L"all together in Japanese", {true, false, false, true, true}, L"0", nullptr, true,
       L"C\tチェック\r\nr1c2\t0\r\nr2c2\t1\r\n"},
      {L"space format measures the extra column", {false, true, false, false, false}, L"0", L"1", false,
       L"A    Selected\r\nr1c0 1       \r\n", RecordFormat::Space},
      {L"an order that is no permutation", {false, false, false, false, true}, nullptr, L"0", false,
       L"A\tC\r\nr0c0\tr0c2\r\n", RecordFormat::Tsv, oddId},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    g_japaneseUi = c.japanese;
    OutputJob job = Job(c.target ? c.target : id, ControlKind::ListView, c.format);
    job.extras = c.extras;
    if (c.columns) job.columnSelection = c.columns;
    if (c.rows) job.rowSelection = c.rows;
    EXPECT_EQ(Clip(job), c.expected);
  }
}

TEST_F(EngineTest, IconModeListViewHasNoHeaderRowAndOneCell) {
  FakeControl icons = MakeListView({}, 3);
  const WindowId lv = desktop.Add(icons);
  EXPECT_EQ(Clip(Job(lv, ControlKind::ListView, RecordFormat::Csv)), L"\"r0c0\"\r\n\"r1c0\"\r\n\"r2c0\"\r\n");
  EXPECT_EQ(desktop.headerReads, 0);
}

struct TreeCase {
  const char* name;
  bool shift;
  bool graph;
  bool japanese;
  const wchar_t* expected;
};

// r0 (has a next root) > c0 (last); r1 (last root) > c1 (has next) > g (last), c2 (last)
FakeControl SampleTree() {
  FakeControl tree;
  tree.kind = ControlKind::TreeView;
  tree.tree = {{L"r0", 0}, {L"c0", 1}, {L"r1", 0}, {L"c1", 1}, {L"g", 2}, {L"c2", 1}};
  return tree;
}

TEST_F(EngineTest, TreePrefixWithBothFlagsAndBothLanguages) {
  const WindowId tv = desktop.Add(SampleTree());
  const TreeCase cases[] = {
      {"none", false, false, false, L"r0\r\nc0\r\nr1\r\nc1\r\ng\r\nc2\r\n"},
      {"shift", true, false, false, L"r0\r\n\tc0\r\nr1\r\n\tc1\r\n\t\tg\r\n\tc2\r\n"},
      {"graph en", false, true, false, L"r0\r\n| +-c0\r\nr1\r\n|-c1\r\n| +-g\r\n+-c2\r\n"},
      {"graph ja", false, true, true,
       L"r0\r\n\u2502\u2514c0\r\nr1\r\n\u251Cc1\r\n\u2502\u2514g\r\n\u2514c2\r\n"},
      {"both en", true, true, false, L"r0\r\n| +-\tc0\r\nr1\r\n|-\tc1\r\n| \t+-\tg\r\n+-\tc2\r\n"},
      {"both ja", true, true, true,
       L"r0\r\n\u2502\u2514\tc0\r\nr1\r\n\u251C\tc1\r\n\u2502\t\u2514\tg\r\n\u2514\tc2\r\n"},
  };
  for (const TreeCase& c : cases) {
    SCOPED_TRACE(c.name);
    g_japaneseUi = c.japanese;
    OutputJob job = Job(tv, ControlKind::TreeView, RecordFormat::Tsv);
    job.treeLevelShift = c.shift;
    job.treeGraph = c.graph;
    EXPECT_EQ(Clip(job), c.expected);
  }
}

TEST_F(EngineTest, BothTreeOptionsKeepEveryLevelInItsFieldInEachFormat) {
  FakeControl tree;
  tree.kind = ControlKind::TreeView;
  // A { B { x }, y }, z: B's line must stay in the first field on x's row.
  tree.tree = {{L"A", 0}, {L"B", 1}, {L"x", 2}, {L"y", 1}, {L"z", 0}};
  const WindowId tv = desktop.Add(tree);
  struct Case {
    RecordFormat format;
    bool japanese;
    const wchar_t* expected;
  } cases[] = {
      {RecordFormat::Tsv, true, L"A\r\n\u2502\u251C\tB\r\n\u2502\u2502\t\u2514\tx\r\n\u2502\u2514\ty\r\nz\r\n"},
      // Symbols raw, item texts treated like cells.
      {RecordFormat::Csv, false, L"\"A\"\r\n| |-,\"B\"\r\n| | ,+-,\"x\"\r\n| +-,\"y\"\r\n\"z\"\r\n"},
      {RecordFormat::Html, false,
       L"<html><head></head>\r\n<body><table>\r\n<tr><td>A</td></tr>\r\n<tr><td>| |-</td><td>B</td></tr>\r\n"
       L"<tr><td>| | </td><td>+-</td><td>x</td></tr>\r\n<tr><td>| +-</td><td>y</td></tr>\r\n"
       L"<tr><td>z</td></tr>\r\n</table></body>\r\n</html>\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.format));
    g_japaneseUi = c.japanese;
    OutputJob job = Job(tv, ControlKind::TreeView, c.format);
    job.treeLevelShift = true;
    job.treeGraph = true;
    EXPECT_EQ(Clip(job), c.expected);
  }
}

TEST_F(EngineTest, EveryWayOutOfAReadingLoopEndsTheReadSession) {
  struct Case {
    const char* name;
    ControlKind kind;
    Destination destination;
    std::function<void(FakeControl&, FakeDesktop&, RecordingHost&)> arrange;
    int begun;
  } cases[] = {
      {"list view to the end", ControlKind::ListView, Destination::Clipboard, nullptr, 1},
      {"tree view to the end", ControlKind::TreeView, Destination::Clipboard, nullptr, 1},
      {"count fails", ControlKind::ListView, Destination::File, [](FakeControl& c, FakeDesktop&, RecordingHost&) { c.hung = true; }, 0},
      {"Esc", ControlKind::ListView, Destination::File,
       [](FakeControl&, FakeDesktop&, RecordingHost& h) { h.escape = [] { return true; }; }, 1},
      {"sample cancel", ControlKind::ListView, Destination::Sample,
       [](FakeControl&, FakeDesktop& d, RecordingHost&) {
         d.onRead = [](int) { SetOutputState(OutputState::SampleCancelRequested); };
       },
       1},
      {"exception", ControlKind::TreeView, Destination::File,
       [](FakeControl&, FakeDesktop& d, RecordingHost&) {
         d.onRead = [](int reads) {
           if (reads == 2) throw std::bad_alloc();
         };
       },
       1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetOutputState(OutputState::Idle);
    FakeDesktop reader;
    FakeControl control = c.kind == ControlKind::TreeView ? SampleTree() : SmallListView();
    host = RecordingHost();
    if (c.arrange) c.arrange(control, reader, host);
    const WindowId id = reader.Add(control);
    RunOutputJob(Job(id, c.kind, RecordFormat::Tsv, c.destination), reader, host);
    EXPECT_EQ(reader.sessionsBegun, c.begun);
    EXPECT_EQ(reader.sessionsOpen, 0);
  }
}

// Every reading loop reports its progress after each row and stops at a
// Cancel request with the Esc abort's message; the space-separated format's
// width pass counts as the first half of its reads.
TEST_F(EngineTest, EveryLoopReportsProgressAndStopsAtCancelAfterTheRow) {
  FakeControl listBox;
  listBox.kind = ControlKind::ListBox;
  listBox.items = {L"x", L"y", L"z"};
  const struct {
    const char* name;
    FakeControl control;
    RecordFormat format;
    long total;
  } cases[] = {
      {"list view", SmallListView(), RecordFormat::Tsv, 3},
      {"width pass", SmallListView(), RecordFormat::Space, 6},
      {"tree view", SampleTree(), RecordFormat::Tsv, static_cast<long>(SampleTree().tree.size())},
      {"list box", listBox, RecordFormat::Tsv, 3},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const WindowId id = desktop.Add(c.control);
    host = RecordingHost();
    EXPECT_TRUE(RunOutputJob(Job(id, c.control.kind, c.format), desktop, host));
    ASSERT_EQ(host.progress.size(), static_cast<size_t>(c.total));
    for (long i = 0; i < c.total; ++i) EXPECT_EQ(host.progress[i], std::make_pair(i + 1, c.total));

    host = RecordingHost();
    host.cancelAfterReports = 2;
    EXPECT_FALSE(RunOutputJob(Job(id, c.control.kind, c.format), desktop, host));
    EXPECT_EQ(host.progress.size(), 2u) << "no row read after the request";
    EXPECT_EQ(host.errors, std::vector<std::wstring>{L"Aborted."});
    EXPECT_TRUE(host.clipboard.empty());
  }
}

TEST_F(EngineTest, ListBoxAndComboBoxRowsAndMissingItems) {
  FakeControl lb;
  lb.kind = ControlKind::ListBox;
  lb.items = {L"one", L"two"};
  FakeControl cb = lb;
  cb.kind = ControlKind::ComboBox;
  const WindowId lbId = desktop.Add(lb);
  const WindowId cbId = desktop.Add(cb);
  EXPECT_EQ(Clip(Job(lbId, ControlKind::ListBox, RecordFormat::CArray)), L"{{\"one\"},\r\n{\"two\"}\r\n};");
  EXPECT_EQ(Clip(Job(cbId, ControlKind::ComboBox, RecordFormat::Tsv)), L"one\r\ntwo\r\n");
}

TEST_F(EngineTest, EmptyListBoxToClipboardIsAnEmptyTextAndSuccess) {
  FakeControl lb;
  lb.kind = ControlKind::ListBox;
  const WindowId id = desktop.Add(lb);
  EXPECT_EQ(Clip(Job(id, ControlKind::ListBox, RecordFormat::Tsv)), L"");
  EXPECT_TRUE(host.errors.empty());
  EXPECT_EQ(host.busyCalls, 1);
}

TEST_F(EngineTest, EscDuringHeaderRowAbortsBeforeAnyDataRow) {
  const WindowId lv = desktop.Add(SmallListView());
  host = RecordingHost();
  host.escape = [] { return true; };
  host.answerAbort = true;
  OutputJob job = Job(lv, ControlKind::ListView, RecordFormat::Tsv, Destination::File);
  EXPECT_FALSE(RunOutputJob(job, desktop, host));
  EXPECT_EQ(host.abortQuestions, 1);
  ASSERT_EQ(host.errors.size(), 1u);
  EXPECT_EQ(host.errors[0], L"Aborted.");
  EXPECT_EQ(desktop.cellReads, 0);
  // The header row was ended and kept in the file.
  EXPECT_EQ(host.fileText, L"Name\r\n");
}

TEST_F(EngineTest, EscAnsweredNoContinues) {
  const WindowId lv = desktop.Add(SmallListView());
  host = RecordingHost();
  host.escape = [] { return true; };
  host.answerAbort = false;
  EXPECT_TRUE(RunOutputJob(Job(lv, ControlKind::ListView, RecordFormat::Tsv), desktop, host));
  EXPECT_EQ(host.abortQuestions, 5);  // two header cells, three rows
  EXPECT_EQ(host.clipboard, L"Name\tValue\r\na\t1\r\nbb\t22\r\nc\t333\r\n");
}

TEST_F(EngineTest, EscDuringSampleAbortsWithoutAsking) {
  const WindowId lv = desktop.Add(SmallListView());
  host = RecordingHost();
  host.escape = [] { return true; };
  EXPECT_TRUE(RunOutputJob(Job(lv, ControlKind::ListView, RecordFormat::Tsv, Destination::Sample), desktop, host));
  EXPECT_EQ(host.abortQuestions, 0);
  ASSERT_FALSE(host.sampleTexts.empty());
  EXPECT_EQ(host.sampleTexts.back(), L"Aborted.");
}

TEST_F(EngineTest, SampleCancelDeliversPartialTextSilently) {
  const WindowId lv = desktop.Add(MakeListView({L"A"}, 10));
  desktop.onRead = [](int reads) {
    if (reads == 3) SetOutputState(OutputState::SampleCancelRequested);
  };
  host = RecordingHost();
  EXPECT_TRUE(RunOutputJob(Job(lv, ControlKind::ListView, RecordFormat::Tsv, Destination::Sample), desktop, host));
  EXPECT_TRUE(host.errors.empty());
  ASSERT_EQ(host.sampleTexts.size(), 1u);
  EXPECT_EQ(host.sampleTexts[0], L"A\r\nr0c0\r\nr1c0\r\nr2c0\r\nr3c0\r\n");
}

TEST_F(EngineTest, SampleProgressAtPositions50And350) {
  FakeControl lb;
  lb.kind = ControlKind::ListBox;
  for (int i = 0; i < 400; ++i) lb.items.push_back(L"x");
  const WindowId id = desktop.Add(lb);
  host = RecordingHost();
  EXPECT_TRUE(RunOutputJob(Job(id, ControlKind::ListBox, RecordFormat::Tsv, Destination::Sample), desktop, host));
  ASSERT_EQ(host.sampleTexts.size(), 3u);
  EXPECT_EQ(host.sampleTexts[0].size(), 51u * 3);
  EXPECT_EQ(host.sampleTexts[1].size(), 351u * 3);
  EXPECT_EQ(host.sampleTexts[2].size(), 400u * 3);
}

TEST_F(EngineTest, ClipboardFailureTextPerStep) {
  const WindowId lv = desktop.Add(SmallListView());
  const std::pair<ClipboardResult, const wchar_t*> cases[] = {
      {ClipboardResult::OpenFailed, L"Cannot open the clipboard."},
      {ClipboardResult::AllocFailed, L"Out of memory."},
      {ClipboardResult::LockFailed, L"GlobalLock error."},
      {ClipboardResult::EmptyFailed, L"EmptyClipboard error."},
      {ClipboardResult::SetFailed, L"Clipboard error."},
  };
  for (const auto& [result, text] : cases) {
    host = RecordingHost();
    host.clipboardResult = result;
    EXPECT_FALSE(RunOutputJob(Job(lv, ControlKind::ListView, RecordFormat::Tsv), desktop, host));
    EXPECT_EQ(host.errors, std::vector<std::wstring>{text});
  }
}

// Raises the given exception on the first cell read.
class ThrowingReader : public FakeDesktop {
 public:
  std::function<void()> raise;
  std::optional<std::wstring> GetListViewCellText(int column, WindowId control, int item) override {
    raise();
    return FakeDesktop::GetListViewCellText(column, control, item);
  }
};

TEST_F(EngineTest, ExceptionsEndTheRunWithTheirMessage) {
  struct Case {
    const char* name;
    std::function<void()> raise;
    const wchar_t* message;
  } cases[] = {
      {"bad_alloc", [] { throw std::bad_alloc(); }, L"Out of memory."},
      {"write", [] { throw FileWriteError(L"disk gone"); }, L"Cannot write to file.\r\ndisk gone"},
      {"other", [] { throw std::runtime_error("x"); }, L"An error occurred."},
      {"int", [] { throw 7; }, L"An error occurred."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ThrowingReader reader;
    reader.raise = c.raise;
    const WindowId lv = reader.Add(SmallListView());
    host = RecordingHost();
    EXPECT_FALSE(RunOutputJob(Job(lv, ControlKind::ListView, RecordFormat::Tsv), reader, host));
    ASSERT_EQ(host.errors.size(), 1u);
    EXPECT_EQ(host.errors[0], c.message);
    EXPECT_EQ(host.busyCalls, 0);  // no delivery
  }
  // The sample destination shows it in its text control.
  ThrowingReader reader;
  reader.raise = [] { throw std::bad_alloc(); };
  const WindowId lv = reader.Add(SmallListView());
  host = RecordingHost();
  g_japaneseUi = true;
  EXPECT_FALSE(RunOutputJob(Job(lv, ControlKind::ListView, RecordFormat::Tsv, Destination::Sample), reader, host));
  EXPECT_TRUE(host.errors.empty());
  ASSERT_EQ(host.sampleTexts.size(), 1u);
  EXPECT_EQ(host.sampleTexts[0], L"作業に必要なメモリを確保できませんでした。");
}

TEST_F(EngineTest, FileCreationFailureShowsTheReasonAndReadsNothing) {
  const WindowId lv = desktop.Add(SmallListView());
  host = RecordingHost();
  host.failCreate = true;
  EXPECT_FALSE(RunOutputJob(Job(lv, ControlKind::ListView, RecordFormat::Tsv, Destination::File), desktop, host));
  ASSERT_EQ(host.errors.size(), 1u);
  EXPECT_EQ(host.errors[0], L"Cannot write to file.\r\nAccess is denied.");
  EXPECT_EQ(desktop.countCalls, 0);
}

TEST_F(EngineTest, FileWriteFailureDuringTheFooterIsReported) {
  const WindowId lv = desktop.Add(SmallListView());
  host = RecordingHost();
  host.failWritesAfter = 0;
  g_japaneseUi = true;
  EXPECT_FALSE(RunOutputJob(Job(lv, ControlKind::ListView, RecordFormat::Tsv, Destination::File), desktop, host));
  ASSERT_EQ(host.errors.size(), 1u);
  EXPECT_EQ(host.errors[0], L"ファイルへの書き込みに失敗しました。\r\ndisk full");
}

TEST_F(EngineTest, SettingsAndJobOverridesChooseTheQuoting) {
  FakeControl lb;
  lb.kind = ControlKind::ListBox;
  lb.items = {L"plain", L"a\"b"};
  const WindowId id = desktop.Add(lb);
  EXPECT_EQ(Clip(Job(id, ControlKind::ListBox, RecordFormat::Csv)), L"\"plain\"\r\n\"a\"b\"\r\n");
  MemorySettings::SetInt(L"Data", L"dquot2", 1);
  EXPECT_EQ(Clip(Job(id, ControlKind::ListBox, RecordFormat::Csv)), L"\"plain\"\r\n\"a\"\"b\"\r\n");
  MemorySettings::SetInt(L"Data", L"dquot_sdata", 1);
  EXPECT_EQ(Clip(Job(id, ControlKind::ListBox, RecordFormat::Csv)).substr(0, 7), L"plain\r\n");
  OutputJob job = Job(id, ControlKind::ListBox, RecordFormat::Csv);
  // The run's own options win over the settings.
  job.quoteWhenNeeded = false;
  job.doubleQuotes = false;
  EXPECT_EQ(Clip(job), L"\"plain\"\r\n\"a\"b\"\r\n");
}

// A text the control does not have is left out and the run goes on; a target
// that is gone or stops answering ends the run with the read error and where
// it stopped, and only the rows read whole before it are written.
TEST_F(EngineTest, MissingTextGoesOnLostTargetStopsAfterTheLastWholeRow) {
  auto listBox = [] {
    FakeControl lb;
    lb.kind = ControlKind::ListBox;
    lb.items = {L"one", L"two", L"three"};
    return lb;
  };
  const std::wstring readError = L"Read error. Please push [Refresh] button.\r\n";
  struct Case {
    const char* name;
    std::function<FakeControl()> control;
    RecordFormat format;
    std::wstring file;
    std::wstring error;  // empty: success
  } cases[] = {
      {"list box item without text", [&] { auto c = listBox(); c.noText = {1}; return c; }, RecordFormat::Tsv,
       L"one\r\nthree\r\n", L""},
      {"list box gone after one item", [&] { auto c = listBox(); c.readsBeforeGone = 1; return c; },
       RecordFormat::Tsv, L"one\r\n", readError + L"Stopped after row 1 of 3."},
      {"combo box hung at the start", [&] { auto c = listBox(); c.kind = ControlKind::ComboBox; c.readsBeforeHung = 0; return c; },
       RecordFormat::Tsv, L"", readError + L"Stopped after row 0 of 3."},
      {"list view gone after row one", [] { auto c = SmallListView(); c.readsBeforeGone = 2; return c; },
       RecordFormat::Tsv, L"Name\tValue\r\na\t1\r\n", readError + L"Stopped after row 1 of 3."},
      {"list view hung inside row two", [] { auto c = SmallListView(); c.readsBeforeHung = 3; return c; },
       RecordFormat::Tsv, L"Name\tValue\r\na\t1\r\n", readError + L"Stopped after row 1 of 3."},
      {"list view hung in the width pass", [] { auto c = SmallListView(); c.readsBeforeHung = 4; return c; },
       RecordFormat::Space, L"", readError + L"Stopped after row 0 of 3."},
      {"list view gone, C array keeps its footer", [] { auto c = SmallListView(); c.readsBeforeGone = 2; return c; },
       RecordFormat::CArray, L"{{\"Name\",\"Value\"},\r\n{\"a\",\"1\"},\r\n};", readError + L"Stopped after row 1 of 3."},
      {"tree item without text", [] { auto c = SampleTree(); c.noText = {0}; return c; }, RecordFormat::Tsv,
       L"c0\r\nr1\r\nc1\r\ng\r\nc2\r\n", L""},
      {"tree hung after two items", [] { auto c = SampleTree(); c.readsBeforeHung = 2; return c; },
       RecordFormat::Tsv, L"r0\r\nc0\r\n", readError + L"Stopped after row 2 of 6."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeDesktop reader;
    const FakeControl control = c.control();
    const WindowId id = reader.Add(control);
    host = RecordingHost();
    EXPECT_EQ(RunOutputJob(Job(id, control.kind, c.format, Destination::File), reader, host), c.error.empty());
    EXPECT_EQ(host.fileText, c.file);
    EXPECT_EQ(host.errors, c.error.empty() ? std::vector<std::wstring>{} : std::vector<std::wstring>{c.error});
  }
  // The clipboard gets nothing; the message exists in Japanese.
  FakeControl lost = SmallListView();
  lost.readsBeforeGone = 2;
  const WindowId id = desktop.Add(lost);
  g_japaneseUi = true;
  EXPECT_EQ(Clip(Job(id, ControlKind::ListView, RecordFormat::Tsv), false), L"");
  ASSERT_EQ(host.errors.size(), 1u);
  EXPECT_EQ(host.errors[0].substr(host.errors[0].rfind(L'\n') + 1), L"3 行中 1 行目の後で停止しました。");
}

TEST_F(EngineTest, FailedCountEndsWithTheReadErrorText) {
  for (ControlKind kind : {ControlKind::ListView, ControlKind::TreeView, ControlKind::ListBox, ControlKind::ComboBox}) {
    FakeControl control = SmallListView();
    control.kind = kind;
    control.hung = true;
    const WindowId id = desktop.Add(control);
    host = RecordingHost();
    EXPECT_FALSE(RunOutputJob(Job(id, kind, RecordFormat::Tsv, Destination::File), desktop, host));
    ASSERT_EQ(host.errors.size(), 1u);
    EXPECT_EQ(host.errors[0], L"Read error. Please push [Refresh] button.");
    // The sample window shows the text instead.
    host = RecordingHost();
    g_japaneseUi = true;
    RunOutputJob(Job(id, kind, RecordFormat::Tsv, Destination::Sample), desktop, host);
    ASSERT_EQ(host.sampleTexts.size(), 1u);
    EXPECT_EQ(host.sampleTexts[0].substr(0, 8), L"アプリケーション");
    g_japaneseUi = false;
  }
}

TEST_F(EngineTest, FileListRunFailureAndSampleSkip) {
  host = RecordingHost();
  OutputJob job = Job(0, ControlKind::FileList, RecordFormat::Tsv);
  EXPECT_FALSE(RunOutputJob(job, desktop, host));
  ASSERT_EQ(host.errors.size(), 1u);
  EXPECT_EQ(host.errors[0], L"File not exist, an error occurred or aborted.");
  host = RecordingHost();
  host.fileList = [](RecordWriter& writer) {
    writer.StartRow();
    writer.WriteCell(L"f.txt");
    writer.EndRow(true);
    return true;
  };
  EXPECT_TRUE(RunOutputJob(job, desktop, host));
  EXPECT_EQ(host.clipboard, L"f.txt\r\n");
  host = RecordingHost();
  EXPECT_TRUE(RunOutputJob(Job(0, ControlKind::FileList, RecordFormat::Tsv, Destination::Sample), desktop, host));
  ASSERT_EQ(host.sampleTexts.size(), 1u);
  EXPECT_EQ(host.sampleTexts[0], L"");
}

}  // namespace
}  // namespace tblf
