#include "output/engine_host_win.h"

#include <algorithm>
#include <cstring>

#include "output/encoded_writer_win.h"
#include "base/clipboard_win.h"
#include "base/message_box_win.h"

namespace tblf {

void Win32OutputHost::ShowError(const std::wstring& text) {
  ShowMessageBox(owner_, text.c_str(), L"Tabulift", MB_ICONERROR);
}

bool Win32OutputHost::AskAbort() {
  return ShowMessageBox(owner_, kAbortQuestion.get(), kAbortCaption.get(), MB_YESNO | MB_ICONQUESTION) == IDYES;
}

bool Win32OutputHost::EscapePressedInFrame() {
  if (frame_ == nullptr || GetForegroundWindow() != frame_) return false;
  return (GetAsyncKeyState(VK_ESCAPE) & 0x8000) != 0;
}

void Win32OutputHost::SetSampleText(const wchar_t* text) {
  if (sampleControl_ != nullptr) SetWindowTextW(sampleControl_, text);
}

void Win32OutputHost::ShowBusy() {
  if (owner_ != nullptr) SetDlgItemTextW(owner_, 1, kBusyButtonText.get());
  if (frame_ == nullptr) return;
  MSG msg;
  while (PeekMessageW(&msg, frame_, WM_PAINT, WM_PAINT, PM_REMOVE)) DispatchMessageW(&msg);
}

std::unique_ptr<TextSink> Win32OutputHost::CreateOutputFile(const std::wstring& fileName, std::wstring& reason) {
  return EncodedFileSink::Create(fileName, reason, encoding_);
}

ClipboardResult Win32OutputHost::CopyToClipboard(RecordWriter& writer) { return CopyChunksToClipboard(writer); }

bool Win32OutputHost::RunFileList(RecordWriter& writer) {
  if (!fileList_) return false;
  // The walk runs the Esc check after every template element.
  // The check after every template element also tells the entries so far.
  return fileList_(writer, [this, &writer] {
    ReportProgress(static_cast<long>(writer.RowCount()), -1);
    return CancelRequested() || (EscapePressedInFrame() && AskAbort());
  });
}

ClipboardResult CopyChunksToClipboard(RecordWriter& writer) {
  const size_t total = writer.TotalLength();
  return CopyTextToClipboard(nullptr, total, [&writer, total](wchar_t* target) {
    // Each chunk goes as soon as it is copied, so the peak is about one copy.
    size_t copied = 0;
    auto& chunks = writer.Chunks();
    while (!chunks.empty()) {
      const std::wstring& chunk = chunks.front();
      // Never past the block, whatever the chunk list holds.
      const size_t n = std::min(chunk.size(), total - copied);
      std::memcpy(target + copied, chunk.data(), n * sizeof(wchar_t));
      copied += n;
      chunks.pop_front();
    }
  });
}

}  // namespace tblf
