// tblfcli: the main job from the command line.
//   tblfcli list [--listviews-only]
//   tblfcli export HANDLE [options]
// Exit status: 0 success, 1 the export reported an error, 2 usage error or a
// handle that is no longer a window.

#include <windows.h>

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "output/encoded_writer_win.h"
#include "output/engine.h"
#include "output/engine_host_win.h"
#include "remote/control_reader_win.h"
#include "remote/discovery_win.h"
#include "remote/timed_send_win.h"
#include "settings/settings_table.h"
#include "shell/message_box_win.h"
#include "shell/process_basics.h"
#include "shell/process_basics_win.h"

namespace tblf {
namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

const BiText kInvalidHandleText{L"指定された項目は、すでに無効です。\n[最新の情報に更新]ボタンを押してください。",
                                L"The specified item is already invalid.\nPlease push [Refresh] button."};
const BiText kListHeader{L"ハンドル番号\tプログラム名\t所有ウィンドウタイトル\t行列数\t最上段の項目名\t備考",
                         L"Handle\tProgram\tOwner Window\tCount\tFirst Item\tNote"};

const wchar_t kHelp[] =
    L"Usage:\n"
    L"  tblfcli list [--listviews-only]\n"
    L"      Prints one line per list view, tree view, combo box and list box of\n"
    L"      every window (only list views with --listviews-only), TAB-separated:\n"
    L"      handle, program, owner window, count, first item, note.\n"
    L"  tblfcli export HANDLE [options]\n"
    L"      Exports the control HANDLE (hexadecimal as printed by list; a suffix\n"
    L"      such as \"(ListView)\" is allowed). Its kind comes from its window class.\n"
    L"      --format csv|tsv|html|c|space   record format\n"
    L"      --columns TEXT                  list view column selection (\"2,0\", \"# 1\")\n"
    L"      --rows TEXT                     list view row selection (\"3-1\")\n"
    L"      --tree-shift                    tree view: each level one field further right\n"
    L"      --tree-graph                    tree view: draw the hierarchy with symbols\n"
    L"      --quote-when-needed             CSV: quote only cells that need it\n"
    L"      --double-quotes                 double the quotes embedded in a cell\n"
    L"      --encoding 0-11                 0 ANSI, 1 Shift-JIS, 2 JIS, 3 UTF-16 with BOM,\n"
    L"                                      4 UTF-16, 5 UTF-16BE with BOM, 6 UTF-16BE,\n"
    L"                                      7 UTF-8 with BOM, 8 UTF-8, 9 UTF-7, 10 EUC-JP,\n"
    L"                                      11 the code page of setting File/OtherCP\n"
    L"      --newline crlf|lf|cr            line ends (the clipboard always gets crlf)\n"
    L"      --out FILE                      write to FILE\n"
    L"      --clipboard                     copy to the clipboard\n"
    L"      Without --out or --clipboard the text goes to standard output, in UTF-8\n"
    L"      unless --encoding says otherwise. Options not given take the stored\n"
    L"      settings (MainDialog/format, Data/dquot_sdata, Data/dquot2, File/CharCode,\n"
    L"      File/RetCode); options given are used for this run only, never stored.\n"
    L"Exit status: 0 success, 1 the export reported an error (message on standard\n"
    L"error), 2 usage error or a handle that is no longer a window.\n"
    L"The language follows TBLF_LANG (ja / en) or the system.\n";

void WriteBytes(DWORD which, const std::string& bytes) {
  HANDLE handle = GetStdHandle(which);
  DWORD written = 0;
  if (handle != nullptr && handle != INVALID_HANDLE_VALUE) {
    WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  }
}

std::string Utf8(const std::wstring& text) {
  if (text.empty()) return {};
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string bytes(size > 0 ? size : 0, '\0');
  if (size > 0) {
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size, nullptr, nullptr);
  }
  return bytes;
}

void PrintOut(const std::wstring& text) { WriteBytes(STD_OUTPUT_HANDLE, Utf8(text)); }
void PrintError(const std::wstring& text) { WriteBytes(STD_ERROR_HANDLE, Utf8(text + L"\n")); }

int Usage(const std::wstring& reason) {
  PrintError(L"tblfcli: " + reason + L"\nTry 'tblfcli --help'.");
  return kExitUsage;
}

// Standard output as the engine's file: the encoded text writer appends to
// the open handle, so the byte order mark (for the encodings that have one)
// is written here first.
class StdoutSink : public TextSink {
 public:
  explicit StdoutSink(int encoding) : handle_(GetStdHandle(STD_OUTPUT_HANDLE)) {
    static const char* const kBoms[12] = {nullptr, nullptr, nullptr, "\xFF\xFE", nullptr, "\xFE\xFF",
                                          nullptr, "\xEF\xBB\xBF", nullptr, nullptr, nullptr, nullptr};
    if (encoding >= 0 && encoding < 12 && kBoms[encoding]) WriteBytes(STD_OUTPUT_HANDLE, kBoms[encoding]);
  }
  bool Write(const std::wstring& text, std::wstring& reason) override {
    const wchar_t* why = L"";
    if (WriteEncodedText(nullptr, &handle_, text.c_str(), &why)) return true;
    reason = why ? why : L"";
    return false;
  }

 private:
  HANDLE handle_;
};

// The command line's host: messages go to standard error, no Esc, no sample
// window; files through the encoded text writer, or standard output.
class CliHost : public OutputHost {
 public:
  CliHost(bool toStdout, int stdoutEncoding) : toStdout_(toStdout), stdoutEncoding_(stdoutEncoding) {}
  void ShowError(const std::wstring& text) override { PrintError(text); }
  bool AskAbort() override { return false; }
  bool EscapePressedInFrame() override { return false; }
  void SetSampleText(const wchar_t*) override {}
  void ShowBusy() override {}
  std::unique_ptr<TextSink> CreateOutputFile(const std::wstring& fileName, std::wstring& reason) override {
    if (toStdout_) return std::make_unique<StdoutSink>(stdoutEncoding_);
    return EncodedFileSink::Create(fileName, reason);
  }
  ClipboardResult CopyToClipboard(RecordWriter& writer) override { return CopyChunksToClipboard(writer); }
  bool RunFileList(RecordWriter&) override { return false; }

 private:
  bool toStdout_;
  int stdoutEncoding_;
};

std::wstring Clean(const std::wstring& text) {
  std::wstring out = text;
  for (wchar_t& c : out) {
    if (c == L'\t' || c == L'\r' || c == L'\n') c = L' ';
  }
  return out;
}

int RunList(const std::vector<std::wstring>& args) {
  bool otherControls = true;
  for (size_t i = 2; i < args.size(); ++i) {
    if (args[i] == L"--listviews-only") {
      otherControls = false;
    } else {
      return Usage(L"unknown option " + args[i]);
    }
  }
  Win32DesktopWindows desktop;
  Win32ControlReader reader;
  std::wstring text = std::wstring(kListHeader.get()) + L"\r\n";
  for (const Candidate& row : DiscoverControls(desktop, reader, otherControls, g_frameWindow)) {
    text += Clean(row.label) + L"\t" + Clean(row.program) + L"\t" + Clean(row.owner) + L"\t" + Clean(row.count) +
            L"\t" + Clean(row.firstItem) + L"\t" + Clean(row.note) + L"\r\n";
  }
  PrintOut(text);
  return kExitOk;
}

std::optional<int> ParseNumber(const std::wstring& text, int low, int high) {
  if (text.empty() || text.size() > 3) return std::nullopt;
  int value = 0;
  for (wchar_t c : text) {
    if (c < L'0' || c > L'9') return std::nullopt;
    value = value * 10 + (c - L'0');
  }
  if (value < low || value > high) return std::nullopt;
  return value;
}

int RunExport(const std::vector<std::wstring>& args) {
  if (args.size() < 3) return Usage(L"export needs a HANDLE");
  OutputJob job;
  std::optional<RecordFormat> format;
  std::optional<NewlineKind> newline;
  std::optional<int> encoding;
  bool toClipboard = false;
  std::optional<std::wstring> outFile;
  for (size_t i = 3; i < args.size(); ++i) {
    const std::wstring& a = args[i];
    auto value = [&](std::wstring& into) {
      if (i + 1 >= args.size()) return false;
      into = args[++i];
      return true;
    };
    std::wstring v;
    if (a == L"--format") {
      if (!value(v)) return Usage(L"--format needs a value");
      const wchar_t* names[] = {L"csv", L"tsv", L"html", L"c", L"space"};
      bool found = false;
      for (int f = 0; f < 5; ++f) {
        if (v == names[f]) {
          format = static_cast<RecordFormat>(f);
          found = true;
        }
      }
      if (!found) return Usage(L"unknown format " + v);
    } else if (a == L"--columns") {
      if (!value(v)) return Usage(L"--columns needs a value");
      job.columnSelection = v;
    } else if (a == L"--rows") {
      if (!value(v)) return Usage(L"--rows needs a value");
      job.rowSelection = v;
    } else if (a == L"--tree-shift") {
      job.treeLevelShift = true;
    } else if (a == L"--tree-graph") {
      job.treeGraph = true;
    } else if (a == L"--quote-when-needed") {
      job.quoteWhenNeeded = true;
    } else if (a == L"--double-quotes") {
      job.doubleQuotes = true;
    } else if (a == L"--encoding") {
      if (!value(v)) return Usage(L"--encoding needs a value");
      encoding = ParseNumber(v, 0, 11);
      if (!encoding) return Usage(L"--encoding takes 0 to 11, not " + v);
    } else if (a == L"--newline") {
      if (!value(v)) return Usage(L"--newline needs a value");
      if (v == L"crlf") {
        newline = NewlineKind::CrLf;
      } else if (v == L"lf") {
        newline = NewlineKind::Lf;
      } else if (v == L"cr") {
        newline = NewlineKind::Cr;
      } else {
        return Usage(L"--newline takes crlf, lf or cr, not " + v);
      }
    } else if (a == L"--out") {
      if (!value(v)) return Usage(L"--out needs a file name");
      outFile = v;
    } else if (a == L"--clipboard") {
      toClipboard = true;
    } else {
      return Usage(L"unknown option " + a);
    }
  }
  if (toClipboard && outFile) return Usage(L"--out and --clipboard exclude each other");

  std::optional<WindowId> handle = ParseHandleLabel(args[2]);
  if (!handle) return Usage(L"not a handle: " + args[2]);
  HWND control = ToHwnd(*handle);
  if (!IsWindow(control)) {
    PrintError(kInvalidHandleText.get());
    return kExitUsage;
  }
  wchar_t className[100] = L"";
  GetClassNameW(control, className, 100);
  std::optional<ControlKind> kind = KindOfClass(className);
  if (!kind) return Usage(L"the window is no list view, tree view, combo box or list box (class \"" +
                          std::wstring(className) + L"\")");

  job.target = *handle;
  job.kind = *kind;
  int storedFormat = Read(settings::kFormat);
  job.format = format ? *format : static_cast<RecordFormat>(storedFormat >= 0 && storedFormat < 5 ? storedFormat : 0);
  const bool toStdout = !toClipboard && !outFile;
  if (toClipboard) {
    job.destination = Destination::Clipboard;
    job.newline = NewlineKind::CrLf;
  } else {
    job.destination = Destination::File;
    job.fileName = outFile ? *outFile : L"";
    const int stored = Read(settings::kRetCode);
    job.newline = newline ? *newline : static_cast<NewlineKind>(stored >= 0 && stored < 3 ? stored : 0);
  }
  // Standard output is UTF-8 unless --encoding says otherwise; a file takes
  // the stored encoding unless --encoding says otherwise.
  const int stdoutEncoding = encoding ? *encoding : 8;
  if (toStdout) {
    SetEncodingOverride(stdoutEncoding);
  } else if (encoding) {
    SetEncodingOverride(*encoding);
  }
  Win32ControlReader reader;
  CliHost host(toStdout, stdoutEncoding);
  const bool ok = RunOutputJob(job, reader, host);
  SetEncodingOverride(-1);
  return ok ? kExitOk : kExitFailed;
}

int Main(const std::vector<std::wstring>& args) {
  if (args.size() < 2) return Usage(L"no command");
  if (args[1] == L"--help" || args[1] == L"-h") {
    PrintOut(kHelp);
    return kExitOk;
  }
  // Every message box of the readers or the writer becomes a line on standard error.
  SetMessageBoxHook([](HWND, const std::wstring& text, const std::wstring&, UINT type) {
    PrintError(text);
    return (type & MB_YESNO) ? IDNO : IDOK;
  });
  if (args[1] == L"list") return RunList(args);
  if (args[1] == L"export") return RunExport(args);
  return Usage(L"unknown command " + args[1]);
}

}  // namespace
}  // namespace tblf

int wmain(int argc, wchar_t** argv) {
  tblf::SelectUiLanguage();
  std::vector<std::wstring> args(argv, argv + argc);
  return tblf::Main(args);
}
