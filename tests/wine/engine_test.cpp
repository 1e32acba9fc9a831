// The output engine against the fixture, a real program of another process,
// through the real readers: what only a real desktop shows (text limits,
// owner data, texts the control points elsewhere, a clipboard held open,
// remote memory). The formats, selections, tree prefixes and lost targets are
// the fake desktop's tests (tests/native/engine_test.cpp); a real hung or
// killed target is the readers' (remote_readers_test.cpp) and the command
// line's (tblfcli_test.cpp, TblfcliTargets). And the engine's Win32 host:
// message boxes on the owner with the program's caption and icons, the busy
// text on button 1, the sample text control, and the Esc check, which only
// counts while the frame window is in front. Last the record writer's file
// mode through the real encoded text writer: a document larger than the
// flush threshold, written in pieces, gives a file whose bytes are the
// memory-mode text in the chosen encoding, with the byte order mark once at
// the start; and the code page encodings byte for byte.
#include "output/engine.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "base/message_box_win.h"
#include "output/encoded_writer_win.h"
#include "output/engine_host_win.h"
#include "output/output_state.h"
#include "output/record_writer.h"
#include "remote/control_reader_win.h"
#include "remote/timed_send_win.h"
#include "base/text.h"
#include "settings/settings_table.h"
#include "tests/support/cli_run_win.h"
#include "tests/support/desktop_io_win.h"
#include "tests/support/fixture_suite_win.h"
#include "tests/support/fixture_win.h"
#include "tests/support/recording_host_win.h"

namespace tblf {
namespace {

using test::FileBytes;
using test::RecordingHost;
using test::Utf8;

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

// ---------------------------------------------------------------------------
// The host

struct Box {
  HWND owner;
  std::wstring text;
  std::wstring caption;
  UINT type;
};

class EngineHostWine : public ::testing::Test {
 protected:
  void SetUp() override {
    g_japaneseUi = false;
    owner_ = CreateWindowExW(0, L"STATIC", L"owner", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr, nullptr, nullptr,
                             nullptr);
    ASSERT_NE(owner_, nullptr);
    button_ = CreateWindowExW(0, L"BUTTON", L"Output", WS_CHILD | WS_VISIBLE, 0, 0, 80, 24, owner_,
                              reinterpret_cast<HMENU>(1), nullptr, nullptr);
    sample_ = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | ES_MULTILINE, 0, 30, 200, 100, owner_, nullptr,
                              nullptr, nullptr);
    SetMessageBoxHook([this](HWND owner, const std::wstring& text, const std::wstring& caption, UINT type) {
      boxes_.push_back({owner, text, caption, type});
      return answer_;
    });
  }
  void TearDown() override {
    SetMessageBoxHook(nullptr);
    DestroyWindow(owner_);
    g_japaneseUi = false;
  }

  static std::wstring TextOf(HWND window) {
    wchar_t text[256] = L"";
    GetWindowTextW(window, text, 256);
    return text;
  }

  HWND owner_ = nullptr;
  HWND button_ = nullptr;
  HWND sample_ = nullptr;
  std::vector<Box> boxes_;
  int answer_ = IDOK;
};

TEST_F(EngineHostWine, ErrorsAndTheEscQuestionGoToTheOwnerWithTheirCaptionAndIcon) {
  Win32OutputHost host(nullptr, owner_, sample_);
  host.ShowError(L"Cannot open the clipboard.");
  answer_ = IDYES;
  EXPECT_TRUE(host.AskAbort());
  answer_ = IDNO;
  EXPECT_FALSE(host.AskAbort());

  ASSERT_EQ(boxes_.size(), 3u);
  EXPECT_EQ(boxes_[0].owner, owner_);
  EXPECT_EQ(boxes_[0].text, L"Cannot open the clipboard.");
  EXPECT_EQ(boxes_[0].caption, L"Tabulift");
  EXPECT_EQ(boxes_[0].type, UINT(MB_ICONERROR));
  EXPECT_EQ(boxes_[1].owner, owner_);
  EXPECT_EQ(boxes_[1].text, L"Do you want to abort?");
  EXPECT_EQ(boxes_[1].caption, L"Abort");
  EXPECT_EQ(boxes_[1].type, UINT(MB_YESNO | MB_ICONQUESTION));
}

TEST_F(EngineHostWine, BusyTextOnButtonOneAndTheSampleText) {
  Win32OutputHost host(owner_, owner_, sample_);
  host.ShowBusy();
  EXPECT_EQ(TextOf(button_), L"...");
  host.SetSampleText(L"a\tb\r\nc\td\r\n");
  EXPECT_EQ(TextOf(sample_), L"a\tb\r\nc\td\r\n");
  // Without a sample control there is nothing to set, and nothing breaks.
  Win32OutputHost bare(nullptr, nullptr, nullptr);
  bare.SetSampleText(L"ignored");
  bare.ShowBusy();
}

// Drains the thread's queue, so that injected input reaches the key state.
void Pump() {
  for (int i = 0; i < 20; ++i) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    Sleep(10);
  }
}

void PressEscape(bool down) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = VK_ESCAPE;
  input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
  SendInput(1, &input, sizeof(input));
  Pump();
}

TEST_F(EngineHostWine, EscDownWhileTheFrameIsInFrontIsSeenAndOnlyThen) {
  ShowWindow(owner_, SW_SHOW);
  SetForegroundWindow(owner_);
  Pump();
  if (GetForegroundWindow() != owner_) GTEST_SKIP() << "this desktop does not bring a test window to the front";
  Win32OutputHost host(owner_, owner_, nullptr);
  EXPECT_FALSE(host.EscapePressedInFrame());
  PressEscape(true);
  EXPECT_TRUE(host.EscapePressedInFrame());
  // The same key state with another window as the frame, or none (the
  // command line): not seen.
  Win32OutputHost elsewhere(button_, owner_, nullptr);
  EXPECT_FALSE(elsewhere.EscapePressedInFrame());
  Win32OutputHost noFrame(nullptr, owner_, nullptr);
  EXPECT_FALSE(noFrame.EscapePressedInFrame());
  PressEscape(false);
  EXPECT_FALSE(host.EscapePressedInFrame());
}

// ---------------------------------------------------------------------------
// The record writer's file mode

std::wstring TempPath(const wchar_t* name) { return test::TempFolder() + name; }

void WriteRows(RecordWriter& writer) {
  writer.BeginDocument(RecordFormat::Csv, NewlineKind::CrLf, true, true);
  const int rows = 3000;
  for (int r = 0; r < rows; ++r) {
    writer.StartRow();
    writer.WriteCell(L"行 " + std::to_wstring(r));
    writer.WriteCell(L"say \"日本語\", then");
    writer.WriteCell(std::wstring(static_cast<std::size_t>(r % 50), L'x'));
    writer.EndRow(r + 1 == rows);
  }
  writer.WriteFooter();
}

// Restores the encoding setting the tests change.
class CharCodeGuard {
 public:
  CharCodeGuard() : saved_(Read(settings::kCharCode)) {}
  ~CharCodeGuard() { Write(settings::kCharCode, saved_, 0); }

 private:
  int saved_;
};

TEST(RecordWriterFileMode, PiecesThroughTheEncodedWriterEqualTheMemoryText) {
  RecordWriter memory;
  WriteRows(memory);
  const std::wstring text = memory.FlattenedText();
  ASSERT_GT(text.size(), 2 * RecordWriter::kFlushThreshold);

  // The File/CharCode values and their bytes.
  const std::string utf8 = Utf8(text), le = test::Utf16(text, false), be = test::Utf16(text, true);
  const std::pair<int, std::string> cases[] = {
      {7, "\xEF\xBB\xBF" + utf8}, {8, utf8}, {3, "\xFF\xFE" + le}, {4, le}, {5, "\xFE\xFF" + be},
  };
  CharCodeGuard guard;
  for (const auto& [charCode, expected] : cases) {
    SCOPED_TRACE(charCode);
    ASSERT_TRUE(Write(settings::kCharCode, charCode, 0));
    const std::wstring path = TempPath(L"tblf_record_writer_file_test.txt");
    {
      std::wstring reason;
      auto sink = EncodedFileSink::Create(path, reason);
      ASSERT_TRUE(sink);
      RecordWriter file;
      file.SetOutputFile(std::move(sink));
      WriteRows(file);
    }  // the writer closes the file
    const std::string bytes = FileBytes(path);
    EXPECT_EQ(bytes, expected);
    DeleteFileW(path.c_str());
  }
}

// The code page encodings byte for byte, one-shot; JIS goes through code
// page 50222, which Wine 8 does not have: there the write must fail with a
// reason and leave no file instead of reporting success.
TEST(EncodedWriter, CodePageEncodingsByteForByteOrAFailureWithItsReason) {
  const std::wstring text = L"日本語の列\r\n最後\r\n";
  const std::pair<int, std::string> cases[] = {
      {1, "\x93\xfa\x96\x7b\x8c\xea\x82\xcc\x97\xf1\r\n\x8d\xc5\x8c\xe3\r\n"},  // Shift-JIS
      {9, "+ZeVnLIqeMG5SFw-\r\n+ZwBfjA-\r\n"},                                          // UTF-7
      {10, "\xc6\xfc\xcb\xdc\xb8\xec\xa4\xce\xce\xf3\r\n\xba\xc7\xb8\xe5\r\n"},  // EUC-JP
      {2, IsValidCodePage(50222) ? "\x1b$BF|K\\8l$NNs\x1b(B\r\n\x1b$B:G8e\x1b(B\r\n" : ""},  // JIS
  };
  const std::wstring path = TempPath(L"tblf_encoded.txt");
  for (const auto& [index, bytes] : cases) {
    SCOPED_TRACE(index);
    SetEncodingOverride(index);
    const wchar_t* reason = nullptr;
    EXPECT_EQ(WriteEncodedText(path.c_str(), nullptr, text.c_str(), &reason), !bytes.empty());
    EXPECT_EQ(FileBytes(path), bytes);
    if (bytes.empty()) { EXPECT_NE(reason, nullptr); }
    DeleteFileW(path.c_str());
  }
  SetEncodingOverride(-1);
}

TEST(RecordWriterFileMode, UncreatableFileGivesTheWritersReason) {
  std::wstring reason;
  auto sink = EncodedFileSink::Create(TempPath(L"no such folder\\tblf\\out.txt"), reason);
  EXPECT_FALSE(sink);
  EXPECT_FALSE(reason.empty());
}

}  // namespace
}  // namespace tblf
