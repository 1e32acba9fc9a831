// The output engine against the fixture, a real program of another process,
// through the real readers: what only a real desktop shows (text limits,
// owner data, texts the control points elsewhere, a clipboard held open,
// remote memory, a hung and a killed target). The formats, selections and
// tree prefixes are the fake desktop's tests (tests/native/engine_test.cpp).
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

using test::FixtureProcess;

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
  bool AskAbort() override { return true; }
  bool EscapePressedInFrame() override {
    ++escapeChecks;
    if (onRow) onRow(escapeChecks);
    return escapeChecks <= escapeDownFor;
  }
  void SetSampleText(const wchar_t* text) override { sample = text; }
  void ShowBusy() override {}
  std::unique_ptr<TextSink> CreateOutputFile(const std::wstring&, std::wstring&) override {
    return std::make_unique<MemorySink>(file);
  }
  ClipboardResult CopyToClipboard(RecordWriter& writer) override { return CopyChunksToClipboard(writer); }
  bool RunFileList(RecordWriter&) override { return false; }

  std::wstring file;
  std::wstring sample;
  std::vector<std::wstring> errors;
  int escapeChecks = 0;
  int escapeDownFor = 0;  // Esc reads as down for this many checks
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

// The text limits, list boxes, combo boxes, trees and texts the control
// points elsewhere are the readers' tests (remote_readers_test.cpp,
// own_text_pointer_test.cpp); here the two list view modes whose rows the
// engine shapes differently on a real control.
TEST_F(EngineWine, GoldenOutputOfIconModeAndOwnerDataListViews) {
  const Golden cases[] = {
      {"icon mode csv", L"icon", ControlKind::ListView, RecordFormat::Csv, NewlineKind::CrLf,
       L"\"icon one\"\r\n\"icon two\"\r\n\"icon three\"\r\n"},
      {"owner-data list view tsv", L"ownerdata", ControlKind::ListView, RecordFormat::Tsv, NewlineKind::CrLf,
       L"c0\tc1\r\nodr0c0\todr0c1\r\nodr1c0\todr1c1\r\nodr2c0\todr2c1\r\nodr3c0\todr3c1\r\nodr4c0\todr4c1\r\n"},
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

// Every reader call on a hung target is the readers' test
// (remote_hung_target_test.cpp), every kind's failed count the fake
// desktop's; here one run on a real hung program ends with the text.
TEST(EngineTargets, AHungTargetEndsWithTheReadErrorText) {
  g_japaneseUi = false;
  FixtureProcess fixture;
  ASSERT_TRUE(fixture.Start()) << Narrow(fixture.Error());
  ASSERT_TRUE(fixture.Hang());
  OutputJob job;
  job.target = FromHwnd(fixture.Handle(L"report"));
  job.destination = Destination::File;
  RecordingHost host;
  Win32ControlReader reader;
  const ULONGLONG start = GetTickCount64();
  EXPECT_FALSE(RunOutputJob(job, reader, host));
  EXPECT_LT(GetTickCount64() - start, kHungBoundMs);
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
