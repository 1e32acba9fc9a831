#include "output/start_output_win.h"

#include <commdlg.h>

#include <optional>
#include <string>

#include "output/open_with_win.h"
#include "output/output_state.h"
#include "output/record_formats.h"
#include "remote/control_reader_win.h"
#include "resources/resource.h"
#include "base/message_box_win.h"

namespace tblf {

const BiText kInvalidItemText{L"指定された項目は、すでに無効です。\n[最新の情報に更新]ボタンを押してください。",
                              L"The specified item is already invalid.\nPlease push [Refresh] button."};

namespace {
const BiText kFileDoneText{L"ファイル出力が完了しました。", L"Writing data to file was completed."};
const BiText kClipboardDoneText{L"クリップボードへコピーしました。", L"Writing data to Clipboard."};
const BiText kRunningButtonText{L"処理中...(Esc:中止)", L"... (Esc:Abort)"};
const BiText kSaveTitle{L"名前を指定して保存", L"Save as..."};

// The save dialog's answer, or nothing when the user cancels.
std::optional<std::wstring> AskFileName(HWND owner, RecordFormat format) {
  std::wstring filter;
  for (const SaveFilter& f : kSaveFilters) {
    filter += f.display.get();
    filter += L'\0';
    filter += f.pattern;
    filter += L'\0';
  }
  wchar_t file[MAX_PATH] = L"";
  OPENFILENAMEW ofn{};
  ofn.lStructSize = OPENFILENAME_SIZE_VERSION_400W;
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = filter.c_str();
  ofn.nFilterIndex = InfoOf(format).saveFilterIndex;
  ofn.lpstrFile = file;
  ofn.nMaxFile = MAX_PATH;
  ofn.lpstrTitle = kSaveTitle.get();
  ofn.Flags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST;
  ofn.lpstrDefExt = InfoOf(format).defaultExtension;
  if (!GetSaveFileNameW(&ofn)) return std::nullopt;
  return std::wstring(file);
}

void ShowDone(HWND owner, const BiText& text) {
  ShowMessageBox(owner, text.get(), L"Tabulift", MB_ICONINFORMATION);
}

// The output after the claim; the caller releases the state.
void RunClaimed(const OutputRequest& request) {
  HWND dialog = reinterpret_cast<HWND>(request.job.owner);
  if (request.targetGone) {
    ShowMessageBox(dialog, kInvalidItemText.get(), L"Tabulift", MB_ICONERROR);
    return;
  }
  OutputJob job = request.job;
  Win32ControlReader reader;
  Win32OutputHost host(reinterpret_cast<HWND>(request.frame), dialog, nullptr);
  host.SetEncoding(job.encoding);
  if (job.kind == ControlKind::FileList) host.SetFileListRun(request.fileList);

  // The button tells that Esc aborts; it gets back the caption it had.
  wchar_t caption[64] = L"";
  GetDlgItemTextW(dialog, IDOK, caption, 64);
  SetDlgItemTextW(dialog, IDOK, kRunningButtonText.get());
  switch (request.way) {
    case OutputWay::File:
      if (std::optional<std::wstring> file = AskFileName(dialog, job.format)) {
        job.destination = Destination::File;
        job.fileName = *file;
        if (RunOutputJob(job, reader, host)) ShowDone(dialog, kFileDoneText);
      }
      break;
    case OutputWay::Clipboard:
      job.destination = Destination::Clipboard;
      if (RunOutputJob(job, reader, host)) ShowDone(dialog, kClipboardDoneText);
      break;
    case OutputWay::OpenWith:
      OpenWithApplication(job, reader, host, dialog);
      break;
  }
  SetDlgItemTextW(dialog, IDOK, caption);
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

void StartOutput(const OutputRequest& request) {
  if (!Claim(false, reinterpret_cast<HWND>(request.frame))) return;
  RunClaimed(request);
  ReleaseOutputState();
}

void RenderSample(OutputJob job, HWND sampleControl, HWND frame) {
  if (!Claim(true, frame)) return;
  Win32ControlReader reader;
  Win32OutputHost host(frame, reinterpret_cast<HWND>(job.owner), sampleControl);
  job.destination = Destination::Sample;
  job.newline = NewlineKind::CrLf;
  job.sampleControl = reinterpret_cast<WindowId>(sampleControl);
  RunOutputJob(job, reader, host);
  ReleaseOutputState();
}

}  // namespace tblf
