// The output engine against the fixture, a real program of another process,
// through the real readers: golden outputs per format and control kind,
// selections, the tree prefix, the clipboard, a hung and a killed target.
#include "output/engine.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "output/engine_host_win.h"
#include "output/output_state.h"
#include "remote/control_reader_win.h"
#include "remote/timed_send_win.h"
#include "base/process_basics.h"
#include "base/text.h"
#include "tests/support/desktop_io_win.h"
#include "tests/support/fixture_suite_win.h"
#include "tests/support/fixture_win.h"

namespace tblf {
namespace {

using test::ClipboardText;
using test::FixtureLongText;
using test::FixtureProcess;
using test::PutOnClipboard;

std::string Narrow(const std::wstring& w) {
  std::string s;
  for (wchar_t c : w) {
    if (c == L'\r') {
      s += "\\r";
    } else if (c == L'\n') {
      s += "\\n\n";
    } else if (c == L'\t') {
      s += "\\t";
    } else {
      s += c < 128 ? static_cast<char>(c) : '?';
    }
  }
  return s;
}

// The file sink keeps every piece the run writes.
class MemorySink : public TextSink {
 public:
  explicit MemorySink(std::wstring& into) : into_(into) {}
  bool Write(const std::wstring& text, std::wstring&) override {
    into_ += text;
    return true;
  }

 private:
  std::wstring& into_;
};

// Files go to memory, messages are recorded; the clipboard is the real one.
// `onRow` runs at every per-row check (the Esc check asks the host once a row).
class RecordingHost : public OutputHost {
 public:
  void ShowError(const std::wstring& text) override { errors.push_back(text); }
  bool AskAbort() override {
    ++questions;
    return abortAnswer;
  }
  bool EscapePressedInFrame() override {
    ++escapeChecks;
    if (onRow) onRow(escapeChecks);
    return escapeChecks <= escapeDownFor;
  }
  void SetSampleText(const wchar_t* text) override { sample = text; }
  void ShowBusy() override { ++busy; }
  std::unique_ptr<TextSink> CreateOutputFile(const std::wstring&, std::wstring&) override {
    return std::make_unique<MemorySink>(file);
  }
  ClipboardResult CopyToClipboard(RecordWriter& writer) override { return CopyChunksToClipboard(writer); }
  bool RunFileList(RecordWriter&) override { return false; }

  std::wstring file;
  std::wstring sample;
  std::vector<std::wstring> errors;
  int questions = 0;
  int busy = 0;
  int escapeChecks = 0;
  int escapeDownFor = 0;  // Esc reads as down for this many checks
  bool abortAnswer = true;
  std::function<void(int)> onRow;
};

class EngineWine : public test::FixtureSuite<EngineWine> {
 protected:
  void SetUp() override {
    FixtureSuite::SetUp();
    g_japaneseUi = false;
  }
  void TearDown() override { g_japaneseUi = false; }

  static OutputJob JobFor(const wchar_t* name, ControlKind kind, RecordFormat format) {
    OutputJob job;
    job.target = FromHwnd(fixture_->Handle(name));
    job.kind = kind;
    job.format = format;
    job.destination = Destination::File;
    job.fileName = L"unused";
    job.quoteWhenNeeded = false;
    job.doubleQuotes = false;
    return job;
  }

  // Runs the job to the memory file; the text written, with the result.
  std::wstring Export(const OutputJob& job, bool* ok = nullptr) {
    host_ = RecordingHost();
    Win32ControlReader reader;
    const bool result = RunOutputJob(job, reader, host_);
    if (ok) *ok = result;
    return host_.file;
  }

  RecordingHost host_;
};

struct Golden {
  const char* name;
  const wchar_t* control;
  ControlKind kind;
  RecordFormat format;
  NewlineKind newline;
  std::wstring expected;
};

TEST_F(EngineWine, GoldenOutputPerFormatAndKind) {
  // The readers take at most 2047 characters of a cell or list item.
  const std::wstring longCell = FixtureLongText(2047);
  const Golden cases[] = {
      {"list view csv", L"trio.listview", ControlKind::ListView, RecordFormat::Csv, NewlineKind::CrLf,
       L"\"Name\",\"Value\"\r\n\"a\",\"1\"\r\n\"b\",\"2\"\r\n\"c\",\"3\"\r\n"},
      {"list box csv", L"listbox", ControlKind::ListBox, RecordFormat::Csv, NewlineKind::CrLf,
       L"\"first\"\r\n\"\"\r\n\"" + longCell + L"\"\r\n\"日本語の項目\"\r\n\"last\"\r\n"},
      {"combo box tsv", L"combobox", ControlKind::ComboBox, RecordFormat::Tsv, NewlineKind::CrLf,
       L"one\r\n\r\n" + longCell + L"\r\n四\r\n"},
      {"tree csv", L"trio.treeview", ControlKind::TreeView, RecordFormat::Csv, NewlineKind::CrLf,
       L"\"t-root\"\r\n\"t-child\"\r\n"},
      {"icon mode csv", L"icon", ControlKind::ListView, RecordFormat::Csv, NewlineKind::CrLf,
       L"\"icon one\"\r\n\"icon two\"\r\n\"icon three\"\r\n"},
      // Zero items: the header row is never the last row.
      {"zero items c array", L"emptylistview", ControlKind::ListView, RecordFormat::CArray, NewlineKind::CrLf,
       L"{{\"Nothing\"},\r\n};"},
      {"empty tree csv", L"emptytree", ControlKind::TreeView, RecordFormat::Csv, NewlineKind::CrLf, L""},
      {"empty list box c array", L"emptylistbox", ControlKind::ListBox, RecordFormat::CArray, NewlineKind::CrLf,
       L"{};"},
      // Texts read from where the control points pszText.
      {"owner-data list view tsv", L"ownerdata", ControlKind::ListView, RecordFormat::Tsv, NewlineKind::CrLf,
       L"c0\tc1\r\nodr0c0\todr0c1\r\nodr1c0\todr1c1\r\nodr2c0\todr2c1\r\nodr3c0\todr3c1\r\nodr4c0\todr4c1\r\n"},
      {"own list view tsv", L"ownlistview", ControlKind::ListView, RecordFormat::Tsv, NewlineKind::CrLf,
       L"Own\r\n" + longCell + L"\r\n\r\n\r\ncopied text\r\nedge!!\r\n\r\n"},
  };
  for (const Golden& c : cases) {
    SCOPED_TRACE(c.name);
    OutputJob job = JobFor(c.control, c.kind, c.format);
    job.newline = c.newline;
    bool ok = false;
    const std::wstring text = Export(job, &ok);
    EXPECT_TRUE(ok);
    EXPECT_TRUE(host_.errors.empty());
    EXPECT_EQ(text, c.expected) << Narrow(text);
  }
}

TEST_F(EngineWine, TheTwoCsvOptionsReachTheWriter) {
  OutputJob job = JobFor(L"report", ControlKind::ListView, RecordFormat::Csv);
  job.columnSelection = L"0,2";
  job.rowSelection = L"0,2";
  job.quoteWhenNeeded = true;
  EXPECT_EQ(Export(job), L"Name,Size\r\nalpha,10\r\ngamma,30\r\n");
}

struct Selection {
  const char* name;
  const wchar_t* columns;  // null: no selection
  const wchar_t* rows;
  std::wstring expected;
};

TEST_F(EngineWine, ColumnAndRowSelectionsOnTheReport) {
  // The readers take at most 2047 characters of a cell or list item.
  const std::wstring longCell = FixtureLongText(2047);
  const Selection cases[] = {
      {"reordered columns", L"3,0", nullptr,
       L"日本語の列\tName\r\n日本語のテキスト\talpha\r\nｶﾀｶﾅ\t" + longCell + L"\r\n最後\tgamma\r\n"},
      {"row number and a repeated column", L"#,2,2", L"2,0",
       L"#\tSize\tSize\r\n2\t30\t30\r\n0\t10\t10\r\n"},
      // A number sign among the rows gives a row of empty cells.
      {"negative row entry", L"0,2", L"1-2,#,0", L"Name\tSize\r\n" + longCell + L"\t20\r\ngamma\t30\r\n\t\r\nalpha\t10\r\n"},
      {"descending range and the empty title", L"1", L"2-0", L"\r\ng1\r\n\r\na1\r\n"},
      // No column at all: every row, the header too, is an empty line.
      {"empty column list", L"9", L"0,1", L"\r\n\r\n\r\n"},
      {"pseudo columns", L"I L S", L"1",
       std::wstring(L"Icon\tlParam\tState\r\n0\t") +
           (sizeof(void*) == 8 ? L"0x0000000012345678" : L"0x12345678") + L"\t0x00000204\r\n"},
  };
  for (const Selection& c : cases) {
    SCOPED_TRACE(c.name);
    OutputJob job = JobFor(L"report", ControlKind::ListView, RecordFormat::Tsv);
    if (c.columns) job.columnSelection = c.columns;
    if (c.rows) job.rowSelection = c.rows;
    const std::wstring text = Export(job);
    EXPECT_EQ(text, c.expected) << Narrow(text);
  }
}

struct TreeCase {
  const char* name;
  bool shift;
  bool graph;
  bool japanese;
  std::wstring expected;
};

// The fixture's tree: Root A { A1 { A1a }, A2 { A2a, A2b } }, long { B1 }, Root C.
TEST_F(EngineWine, TreePrefixWithEachFlagAloneAndBothLanguages) {
  // ... and at most 1023 of a tree item.
  const std::wstring longItem = FixtureLongText(1023);
  const TreeCase cases[] = {
      {"no flags", false, false, false,
       L"Root A\r\nA1\r\nA1a\r\nA2\r\nA2a\r\nA2b\r\n" + longItem + L"\r\nB1\r\nRoot C\r\n"},
      {"graph alone, Japanese", false, true, true,
       L"Root A\r\n│├A1\r\n││└A1a\r\n│└A2\r\n│　├A2a\r\n│　└A2b\r\n" + longItem + L"\r\n│└B1\r\nRoot C\r\n"},
  };
  for (const TreeCase& c : cases) {
    SCOPED_TRACE(c.name);
    g_japaneseUi = c.japanese;
    OutputJob job = JobFor(L"tree", ControlKind::TreeView, RecordFormat::Tsv);
    job.treeLevelShift = c.shift;
    job.treeGraph = c.graph;
    const std::wstring text = Export(job);
    EXPECT_EQ(text, c.expected) << Narrow(text);
  }
}

TEST_F(EngineWine, ClipboardGetsTheTextAndAnEmptyListBoxGivesAnEmptyText) {
  ASSERT_TRUE(PutOnClipboard(L"something before"));
  OutputJob job = JobFor(L"emptylistbox", ControlKind::ListBox, RecordFormat::Csv);
  job.destination = Destination::Clipboard;
  bool ok = false;
  Export(job, &ok);
  EXPECT_TRUE(ok);
  EXPECT_TRUE(host_.errors.empty());
  EXPECT_EQ(host_.busy, 1);
  EXPECT_EQ(ClipboardText(), L"");

  job = JobFor(L"trio.listview", ControlKind::ListView, RecordFormat::Tsv);
  job.destination = Destination::Clipboard;
  Export(job, &ok);
  EXPECT_TRUE(ok);
  EXPECT_EQ(ClipboardText(), L"Name\tValue\r\na\t1\r\nb\t2\r\nc\t3\r\n");
}

TEST_F(EngineWine, AClipboardHeldOpenElsewhereGivesItsMessageAndFailure) {
  // Another thread keeps the clipboard open until told to let go.
  HANDLE opened = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  std::thread holder([&] {
    HWND window = CreateWindowExW(0, L"STATIC", L"holder", 0, 0, 0, 10, 10, HWND_MESSAGE, nullptr, nullptr, nullptr);
    const BOOL held = OpenClipboard(window);
    SetEvent(opened);
    WaitForSingleObject(release, 10000);
    if (held) CloseClipboard();
    DestroyWindow(window);
  });
  WaitForSingleObject(opened, 10000);
  OutputJob job = JobFor(L"trio.listview", ControlKind::ListView, RecordFormat::Csv);
  job.destination = Destination::Clipboard;
  bool ok = true;
  Export(job, &ok);
  SetEvent(release);
  holder.join();
  CloseHandle(opened);
  CloseHandle(release);
  EXPECT_FALSE(ok);
  ASSERT_EQ(host_.errors.size(), 1u);
  EXPECT_EQ(host_.errors[0], L"Cannot open the clipboard.");
}

TEST_F(EngineWine, SampleDestinationGetsTheWholeText) {
  OutputJob job = JobFor(L"trio.listview", ControlKind::ListView, RecordFormat::Csv);
  job.destination = Destination::Sample;
  bool ok = false;
  Export(job, &ok);
  EXPECT_TRUE(ok);
  EXPECT_EQ(host_.sample, L"\"Name\",\"Value\"\r\n\"a\",\"1\"\r\n\"b\",\"2\"\r\n\"c\",\"3\"\r\n");
}

TEST_F(EngineWine, EscDuringTheHeaderEndsTheRunBeforeAnyDataRow) {
  OutputJob job = JobFor(L"trio.listview", ControlKind::ListView, RecordFormat::Csv);
  host_ = RecordingHost();
  host_.escapeDownFor = 1;
  Win32ControlReader reader;
  EXPECT_FALSE(RunOutputJob(job, reader, host_));
  EXPECT_EQ(host_.questions, 1);
  EXPECT_EQ(host_.file, L"\"Name\"\r\n");
  ASSERT_EQ(host_.errors.size(), 1u);
  EXPECT_EQ(host_.errors[0], L"Aborted.");
}

TEST_F(EngineWine, SpaceFormatWidthsFromOnePassEqualThoseOfTwo) {
  OutputJob job = JobFor(L"report", ControlKind::ListView, RecordFormat::Space);
  job.columnSelection = L"#,0,1,2,3,I,L,S";
  job.rowSelection = L"0-2,#,1";
  const std::wstring once = Export(job);
  job.spaceKeptBytes = 0;
  const std::wstring twice = Export(job);
  EXPECT_EQ(once, twice) << Narrow(once);
  EXPECT_NE(once.find(L"alpha"), std::wstring::npos);
}

// Every way a run ends gives the fixture's memory back: runs stopped half-way
// by Esc, by a sample cancel or by an exception, then a hundred whole runs.
TEST_F(EngineWine, RemoteMemoryIsGivenBackAfterEveryRun) {
  struct Stop {
    const char* name;
    Destination destination;
    // Called at every Esc check: checks 1 to 4 are the header cells, check
    // 5 + i comes after data row i; the third row ("gamma") is never written.
    std::function<void(RecordingHost&, int check)> atCheck;
  };
  const Stop stops[] = {
      {"Esc", Destination::File, [](RecordingHost& h, int check) { if (check == 6) h.escapeDownFor = check; }},
      {"sample cancel", Destination::Sample,
       [](RecordingHost&, int check) { if (check == 5) SetOutputState(OutputState::SampleCancelRequested); }},
      {"exception", Destination::File,
       [](RecordingHost&, int check) { if (check == 6) throw std::runtime_error("stop"); }},
  };
  auto run = [&](const wchar_t* control, ControlKind kind, const Stop* stop) {
    OutputJob job = JobFor(control, kind, RecordFormat::Tsv);
    job.treeGraph = true;
    RecordingHost host;
    if (stop) {
      job.destination = stop->destination;
      host.onRow = [&host, stop](int check) { stop->atCheck(host, check); };
    }
    Win32ControlReader reader;
    RunOutputJob(job, reader, host);
    SetOutputState(OutputState::Idle);
    return host.file + host.sample;
  };
  ASSERT_NE(run(L"report", ControlKind::ListView, nullptr).find(L"alpha"), std::wstring::npos);
  ASSERT_NE(run(L"tree", ControlKind::TreeView, nullptr).find(L"A1a"), std::wstring::npos);
  const SIZE_T afterFirst = fixture_->CommittedBytes();
  ASSERT_GT(afterFirst, 0u);
  for (const Stop& stop : stops) {
    SCOPED_TRACE(stop.name);
    const std::wstring text = run(L"report", ControlKind::ListView, &stop);
    EXPECT_EQ(text.find(L"gamma"), std::wstring::npos) << "the run was not stopped half-way";
    EXPECT_EQ(fixture_->CommittedBytes(), afterFirst);
  }
  for (int i = 0; i < 100; ++i) {
    run(L"report", ControlKind::ListView, nullptr);
    run(L"tree", ControlKind::TreeView, nullptr);
  }
  EXPECT_EQ(fixture_->CommittedBytes(), afterFirst);
}

// Far above the 5 s of one timed send: a correctness bound, not a speed figure.
constexpr ULONGLONG kHungBoundMs = 15000;

TEST(EngineTargets, AHungTargetEndsWithTheReadErrorText) {
  g_japaneseUi = false;
  FixtureProcess fixture;
  ASSERT_TRUE(fixture.Start()) << Narrow(fixture.Error());
  ASSERT_TRUE(fixture.Hang());
  const ControlKind kinds[] = {ControlKind::ListView, ControlKind::TreeView, ControlKind::ListBox,
                               ControlKind::ComboBox};
  const wchar_t* const names[] = {L"report", L"tree", L"listbox", L"combobox"};
  for (int k = 0; k < 4; ++k) {
    SCOPED_TRACE(Narrow(names[k]));
    OutputJob job;
    job.target = FromHwnd(fixture.Handle(names[k]));
    job.kind = kinds[k];
    job.destination = Destination::Sample;  // the message lands in the sample text
    RecordingHost host;
    Win32ControlReader reader;
    const ULONGLONG start = GetTickCount64();
    EXPECT_TRUE(RunOutputJob(job, reader, host));
    const ULONGLONG elapsed = GetTickCount64() - start;
    EXPECT_EQ(host.sample, ReadErrorText());
    EXPECT_LT(elapsed, kHungBoundMs);
    std::printf("hung target, %ls: %llu ms\n", names[k], static_cast<unsigned long long>(elapsed));
  }
  // The file destination shows it in a message box and fails.
  OutputJob job;
  job.target = FromHwnd(fixture.Handle(L"report"));
  job.destination = Destination::File;
  RecordingHost host;
  Win32ControlReader reader;
  EXPECT_FALSE(RunOutputJob(job, reader, host));
  ASSERT_EQ(host.errors.size(), 1u);
  EXPECT_EQ(host.errors[0], ReadErrorText());
}

TEST(EngineTargets, ATargetKilledMidRunStopsAfterTheLastWholeRow) {
  struct Case {
    const char* name;
    const wchar_t* control;
    ControlKind kind;
    int killAtCheck;
    // Lines written: the header and the rows read before the kill.
    size_t lines;
  } cases[] = {
      // The three header cells are checks 1 to 3, data row i is check i + 4.
      {"list view", L"big", ControlKind::ListView, 103, 101},
      {"tree view", L"bigtree", ControlKind::TreeView, 100, 100},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FixtureProcess fixture;
    ASSERT_TRUE(fixture.Start(L"--big-listview 400x3 --big-tree 400")) << Narrow(fixture.Error());
    OutputJob job;
    job.target = FromHwnd(fixture.Handle(c.control));
    job.kind = c.kind;
    job.format = RecordFormat::Tsv;
    job.destination = Destination::File;
    RecordingHost host;
    // The fixture goes right after data row 99.
    host.onRow = [&](int check) {
      if (check == c.killAtCheck) fixture.Kill();
    };
    Win32ControlReader reader;
    EXPECT_FALSE(RunOutputJob(job, reader, host));
    EXPECT_EQ(host.errors, std::vector<std::wstring>{ReadErrorText() + std::wstring(L"\r\nStopped after row 100 of 400.")});

    std::vector<std::wstring> lines;
    size_t from = 0;
    for (size_t at; (at = host.file.find(L"\r\n", from)) != std::wstring::npos; from = at + 2) {
      lines.push_back(host.file.substr(from, at - from));
    }
    EXPECT_EQ(from, host.file.size());
    ASSERT_EQ(lines.size(), c.lines);
    if (c.kind == ControlKind::TreeView) {
      EXPECT_EQ(lines[0], L"t0");
      EXPECT_EQ(lines[99], L"t99");
      continue;
    }
    EXPECT_EQ(lines[0], L"c0\tc1\tc2");
    EXPECT_EQ(lines[1], L"r0c0\tr0c1\tr0c2");
    EXPECT_EQ(lines[100], L"r99c0\tr99c1\tr99c2");
  }
}

}  // namespace
}  // namespace tblf
