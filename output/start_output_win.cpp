#include "output/start_output_win.h"

#include <objbase.h>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "output/open_with_win.h"
#include "output/output_state.h"
#include "output/record_formats.h"
#include "remote/control_reader_win.h"
#include "base/file_dialog_win.h"
#include "remote/inproc_reader_win.h"
#include "settings/settings_table.h"
#include "base/message_box_win.h"

namespace tblf {

const BiText kInvalidItemText{L"指定された項目は、すでに無効です。\n[最新の情報に更新]ボタンを押してください。",
                              L"The specified item is already invalid.\nPlease push [Refresh] button."};

namespace {
const BiText kFileDoneText{L"ファイル出力が完了しました。", L"Writing data to file was completed."};
const BiText kClipboardDoneText{L"クリップボードへコピーしました。", L"Writing data to Clipboard."};
const BiText kSaveTitle{L"名前を指定して保存", L"Save as..."};
const BiText kNoRowMatchedLine{L"\n(選択に一致する行がありません)", L"\n(No row matched the selection.)"};

// The save dialog's answer, or nothing when the user cancels.
std::optional<std::wstring> AskFileName(HWND owner, RecordFormat format) {
  FileDialogRequest request;
  request.owner = owner;
  request.title = kSaveTitle.get();
  for (const SaveFilter& f : kSaveFilters) request.filters.push_back({f.display.get(), f.pattern});
  request.filterIndex = InfoOf(format).saveFilterIndex;
  request.defaultExtension = InfoOf(format).defaultExtension;
  return AskSaveFileName(request);
}

// Inside the target unless the settings say messages only.
ReadMode StoredReadMode() { return Read(settings::kReadInProcess) != 0 ? ReadMode::Auto : ReadMode::Messages; }

// Set by the UI thread, read by the worker.
std::atomic<bool> g_cancel{false};
std::atomic<bool> g_escape{false};

// One output on the worker thread; the UI thread owns it again after the
// done message.
struct WorkerRun {
  OutputRequest request;
  OutputJob job;  // with its destination
  std::optional<OpenPlan> open;
  HANDLE thread = nullptr;
  std::vector<OutputNotice> notices;
};
// The run between StartOutput and FinishOutput; UI thread only.
WorkerRun* g_running = nullptr;

// The engine's host on the worker: messages wait for the end of the run,
// the abort question is asked on the UI thread, progress is posted.
class WorkerHost : public Win32OutputHost {
 public:
  WorkerHost(HWND frame, HWND owner, std::vector<OutputNotice>& notices)
      : Win32OutputHost(frame, owner, nullptr), owner_(owner), notices_(notices) {}

  void ShowError(const std::wstring& text) override { notices_.push_back({text, MB_ICONERROR}); }
  bool AskAbort() override {
    bool yes = false;
    std::function<void()> ask = [this, &yes] { yes = Win32OutputHost::AskAbort(); };
    SendMessageW(owner_, kOutputCallMessage, 0, reinterpret_cast<LPARAM>(&ask));
    // An Esc pressed in the dialog while the question was up was this one.
    g_escape = false;
    return yes;
  }
  bool EscapePressedInFrame() override {
    return g_escape.exchange(false) || Win32OutputHost::EscapePressedInFrame();
  }
  bool CancelRequested() override { return g_cancel.load(); }
  // The dialog hears of the progress at most every 50 ms and at the end.
  void ReportProgress(long done, long total) override {
    const ULONGLONG now = GetTickCount64();
    if (reported_ && now - lastReport_ < 50 && done != total) return;
    reported_ = true;
    lastReport_ = now;
    PostMessageW(owner_, kOutputProgressMessage, static_cast<WPARAM>(done), static_cast<LPARAM>(total));
  }

 private:
  HWND owner_;
  std::vector<OutputNotice>& notices_;
  bool reported_ = false;
  ULONGLONG lastReport_ = 0;
};

DWORD WINAPI OutputWorker(void* parameter) {
  auto* run = static_cast<WorkerRun*>(parameter);
  // The shell's association lookup of the open-with output wants COM.
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  HWND owner = reinterpret_cast<HWND>(run->job.owner);
  {
    InProcessControlReader reader(StoredReadMode());
    WorkerHost host(reinterpret_cast<HWND>(run->request.frame), owner, run->notices);
    host.SetEncoding(run->job.encoding);
    if (run->request.fileList) host.SetFileListRun(run->request.fileList);
    if (run->open) {
      OpenWithApplication(*run->open, run->job, reader, host);
    } else if (RunOutputJob(run->job, reader, host)) {
      const BiText& done = run->job.destination == Destination::File ? kFileDoneText : kClipboardDoneText;
      std::wstring message = done.get();
      // A second line when the selection left no row of a control that has some.
      if (host.noRowMatched()) message += kNoRowMatchedLine.get();
      run->notices.push_back({message, MB_ICONINFORMATION});
    }
  }
  if (SUCCEEDED(com)) CoUninitialize();
  PostMessageW(owner, kOutputDoneMessage, 0, reinterpret_cast<LPARAM>(run));
  return 0;
}

// The claim of the output state; a start during a sample run waits for it.
bool Claim(bool sample, HWND frame) {
  // The frame's paint messages are taken off the queue meanwhile (messages
  // sent by the renderer's thread are served by PeekMessageW itself).
  return ClaimOutputState(sample, [frame] {
    MSG msg;
    if (!PeekMessageW(&msg, frame, WM_PAINT, WM_PAINT, PM_REMOVE)) Sleep(100);
  });
}

}  // namespace

bool StartOutput(const OutputRequest& request) {
  if (g_running || !Claim(false, reinterpret_cast<HWND>(request.frame))) return false;
  HWND dialog = reinterpret_cast<HWND>(request.job.owner);
  auto run = std::make_unique<WorkerRun>();
  run->request = request;
  run->job = request.job;
  bool ready = !request.targetGone;
  if (!ready) ShowMessageBox(dialog, kInvalidItemText.get(), L"Tabulift", MB_ICONERROR);
  if (ready) {
    switch (request.way) {
      case OutputWay::File:
        if (std::optional<std::wstring> file = AskFileName(dialog, run->job.format)) {
          run->job.destination = Destination::File;
          run->job.fileName = *file;
        } else {
          ready = false;
        }
        break;
      case OutputWay::Clipboard:
        run->job.destination = Destination::Clipboard;
        break;
      case OutputWay::OpenWith:
        run->open = AskHowToOpen(dialog);
        ready = run->open.has_value();
        break;
    }
  }
  if (ready) {
    g_cancel = false;
    g_escape = false;
    run->thread = CreateThread(nullptr, 0, OutputWorker, run.get(), 0, nullptr);
    if (!run->thread) ShowMessageBox(dialog, kOtherErrorText.get(), L"Tabulift", MB_ICONERROR);
  }
  if (!run->thread) {
    ReleaseOutputState();
    return false;
  }
  g_running = run.release();
  return true;
}

bool OutputRunning() { return g_running != nullptr; }

void CancelOutput() { g_cancel = true; }

void NoteEscapeDuringOutput() { g_escape = true; }

std::vector<OutputNotice> FinishOutput(LPARAM lParam) {
  std::unique_ptr<WorkerRun> run(reinterpret_cast<WorkerRun*>(lParam));
  // The worker posted this as its last step.
  WaitForSingleObject(run->thread, INFINITE);
  CloseHandle(run->thread);
  if (g_running == run.get()) g_running = nullptr;
  ReleaseOutputState();
  return std::move(run->notices);
}

void ShowOutputNotices(HWND owner, const std::vector<OutputNotice>& notices) {
  for (const OutputNotice& notice : notices) ShowMessageBox(owner, notice.text.c_str(), L"Tabulift", notice.icon);
}

void RunOutputCall(LPARAM call) { (*reinterpret_cast<std::function<void()>*>(call))(); }

void RenderSample(OutputJob job, HWND sampleControl, HWND frame) {
  if (!Claim(true, frame)) return;
  InProcessControlReader reader(StoredReadMode());
  Win32OutputHost host(frame, reinterpret_cast<HWND>(job.owner), sampleControl);
  job.destination = Destination::Sample;
  job.newline = NewlineKind::CrLf;
  job.sampleControl = reinterpret_cast<WindowId>(sampleControl);
  RunOutputJob(job, reader, host);
  ReleaseOutputState();
}

}  // namespace tblf
