// The output engine against the fixture, a real program of another process,
// through the real readers: what only a real desktop shows (text limits,
// owner data, texts the control points elsewhere, a clipboard held open,
// remote memory). The formats, selections, tree prefixes and lost targets are
// the fake desktop's tests (tests/native/engine_test.cpp); a real hung or
// killed target is the readers' (remote_readers_test.cpp) and the command
// line's (tblfcli_test.cpp, TblfcliTargets).
#include "output/engine.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <thread>
#include <tuple>

#include "output/output_state.h"
#include "remote/control_reader_win.h"
#include "remote/timed_send_win.h"
#include "base/text.h"
#include "tests/support/fixture_suite_win.h"
#include "tests/support/fixture_win.h"
#include "tests/support/recording_host_win.h"

namespace tblf {
namespace {

using test::RecordingHost;

class EngineWine : public test::FixtureSuite<EngineWine> {
 protected:
  void SetUp() override {
    FixtureSuite::SetUp();
    g_japaneseUi = false;
  }
  void TearDown() override { g_japaneseUi = false; }

  static OutputJob JobFor(const wchar_t* name, ControlKind kind, RecordFormat format) {
    return test::JobFor(fixture_->Handle(name), kind, format);
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

// The text limits, list boxes, combo boxes, trees and texts the control
// points elsewhere are the readers' tests (remote_readers_test.cpp); here
// the two list view modes whose rows the engine shapes differently on a real
// control.
TEST_F(EngineWine, GoldenOutputOfIconModeAndOwnerDataListViews) {
  const std::tuple<const wchar_t*, RecordFormat, std::wstring> cases[] = {
      {L"icon", RecordFormat::Csv, L"\"icon one\"\r\n\"icon two\"\r\n\"icon three\"\r\n"},
      {L"ownerdata", RecordFormat::Tsv,
       L"c0\tc1\r\nodr0c0\todr0c1\r\nodr1c0\todr1c1\r\nodr2c0\todr2c1\r\nodr3c0\todr3c1\r\nodr4c0\todr4c1\r\n"},
  };
  for (const auto& [control, format, expected] : cases) {
    bool ok = false;
    EXPECT_EQ(Export(JobFor(control, ControlKind::ListView, format), &ok), expected);
    EXPECT_TRUE(ok);
    EXPECT_TRUE(host_.errors.empty());
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
// by Esc, by a sample cancel or by an exception (many whole reads are the
// remote call's test, remote_readers_test.cpp).
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
}

}  // namespace
}  // namespace tblf
