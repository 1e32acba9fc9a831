#pragma once
// The output engine's Win32 host: message boxes on the owner window, the Esc
// check against the frame window, the sample text control, the encoded text
// writer for files and the real clipboard.

#include <windows.h>

#include <functional>

#include "output/engine.h"

namespace tblf {

// A file list run: the walk into the writer with the options the user chose
// before the output started; `abortRequested` is the run's Esc check, asked
// after every template element.
using FileListRun = std::function<bool(RecordWriter& writer, const std::function<bool()>& abortRequested)>;

class Win32OutputHost : public OutputHost {
 public:
  // `frame` is the program's frame window (the Esc check looks for it in
  // front; null: Esc is never seen), `owner` the parent of every message box
  // and the dialog whose button 1 shows progress, `sampleControl` the sample
  // window's text control (may be null).
  Win32OutputHost(HWND frame, HWND owner, HWND sampleControl)
      : frame_(frame), owner_(owner), sampleControl_(sampleControl) {}

  void ShowError(const std::wstring& text) override;
  bool AskAbort() override;
  bool EscapePressedInFrame() override;
  void SetSampleText(const wchar_t* text) override;
  void ShowBusy() override;
  std::unique_ptr<TextSink> CreateOutputFile(const std::wstring& fileName, std::wstring& reason) override;
  ClipboardResult CopyToClipboard(RecordWriter& writer) override;
  bool RunFileList(RecordWriter& writer) override;
  // The walk of a kind-4 run; without it the run finds nothing.
  void SetFileListRun(FileListRun run) { fileList_ = std::move(run); }
  // The encoding of output files (see OutputJob::encoding).
  void SetEncoding(int encoding) { encoding_ = encoding; }
  void NoRowMatched() override { noRowMatched_ = true; }
  bool noRowMatched() const { return noRowMatched_; }

 private:
  HWND frame_;
  HWND owner_;
  HWND sampleControl_;
  FileListRun fileList_;
  int encoding_ = -1;
  bool noRowMatched_ = false;
};

// The clipboard sequence alone: OpenClipboard, GlobalAlloc of
// (total + 1) * 2 zeroed bytes, GlobalLock, the chunks copied and released
// one by one, GlobalUnlock, EmptyClipboard, SetClipboardData(CF_UNICODETEXT),
// CloseClipboard. A failed step closes the clipboard and frees the block.
ClipboardResult CopyChunksToClipboard(RecordWriter& writer);

}  // namespace tblf
