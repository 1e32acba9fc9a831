#pragma once
// An output host for engine runs in a test: files go to memory, errors are
// recorded, the clipboard is the real one; `onRow` runs at every per-row
// (Esc) check, and Esc reads as down for the first `escapeDownFor` checks.

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "output/engine.h"
#include "output/engine_host_win.h"
#include "remote/timed_send_win.h"

namespace tblf::test {

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
    return std::make_unique<Sink>(file);
  }
  ClipboardResult CopyToClipboard(RecordWriter& writer) override { return CopyChunksToClipboard(writer); }
  bool RunFileList(RecordWriter&) override { return false; }

  std::wstring file;
  std::wstring sample;
  std::vector<std::wstring> errors;
  int escapeChecks = 0;
  int escapeDownFor = 0;
  std::function<void(int check)> onRow;

 private:
  class Sink : public TextSink {
   public:
    explicit Sink(std::wstring& into) : into_(into) {}
    bool Write(const std::wstring& text, std::wstring&) override {
      into_ += text;
      return true;
    }

   private:
    std::wstring& into_;
  };
};

// A job that reads `control` to the memory file, unquoted.
inline OutputJob JobFor(HWND control, ControlKind kind, RecordFormat format) {
  OutputJob job;
  job.target = FromHwnd(control);
  job.kind = kind;
  job.format = format;
  job.destination = Destination::File;
  job.fileName = L"unused";
  job.quoteWhenNeeded = false;
  job.doubleQuotes = false;
  return job;
}

}  // namespace tblf::test
