#include "shell/cli/cli.h"

#include <atomic>
#include <initializer_list>
#include <memory>

#include "output/encoded_writer_win.h"
#include "output/encodings.h"
#include "output/engine_host_win.h"
#include "output/record_formats.h"
#include "output/start_output_win.h"
#include "remote/control_reader_win.h"
#include "remote/discovery.h"
#include "remote/discovery_win.h"
#include "remote/timed_send_win.h"
#include "settings/settings_table.h"
#include "base/process_basics.h"
#include "base/text.h"

namespace tblf::cli {

std::string Utf8(const std::wstring& text) {
  if (text.empty()) return {};
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string bytes(size > 0 ? size : 0, '\0');
  if (size > 0) {
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size, nullptr, nullptr);
  }
  return bytes;
}

void WriteBytes(DWORD which, const std::string& bytes) {
  HANDLE handle = GetStdHandle(which);
  DWORD written = 0;
  if (handle != nullptr && handle != INVALID_HANDLE_VALUE) {
    WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  }
}

void PrintOut(const std::wstring& text) { WriteBytes(STD_OUTPUT_HANDLE, Utf8(text)); }
std::wstring ErrorLine(const std::wstring& text) {
  static const std::wstring kPrefix = L"tblfcli: ";
  // The window's texts break lines (CR LF from FormatMessage, LF in the
  // message boxes) and system texts end in spaces: one line here, its
  // trimmed parts joined by a space.
  std::wstring line;
  std::size_t from = 0;
  while (from <= text.size()) {
    std::size_t end = text.find_first_of(L"\r\n", from);
    if (end == std::wstring::npos) end = text.size();
    std::wstring part = text.substr(from, end - from);
    while (!part.empty() && (part.back() == L' ' || part.back() == L'\t')) part.pop_back();
    const std::size_t first = part.find_first_not_of(L" \t");
    if (first != std::wstring::npos) line += (line.empty() ? L"" : L" ") + part.substr(line.empty() ? 0 : first);
    from = end + 1;
  }
  return line.rfind(kPrefix, 0) == 0 ? line : kPrefix + line;
}

void PrintError(const std::wstring& text) { WriteBytes(STD_ERROR_HANDLE, Utf8(ErrorLine(text) + L"\n")); }

int Usage(const std::wstring& reason) {
  WriteBytes(STD_ERROR_HANDLE, Utf8(ErrorLine(reason) + L"\nTry 'tblfcli --help'.\n"));
  return kExitUsage;
}

bool Args::Has(const wchar_t* name) const {
  for (const auto& [key, value] : given_) {
    if (key == name) return true;
  }
  return false;
}

std::optional<std::wstring> Args::Value(const wchar_t* name) const {
  std::optional<std::wstring> last;
  for (const auto& [key, value] : given_) {
    if (key == name) last = value;
  }
  return last;
}

std::vector<std::wstring> Args::Values(const wchar_t* name) const {
  std::vector<std::wstring> all;
  for (const auto& [key, value] : given_) {
    if (key == name) all.push_back(value);
  }
  return all;
}

std::optional<Args> Parse(const Verb& verb, const std::vector<std::wstring>& args) {
  Args parsed;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::wstring& word = args[i];
    if (word.size() < 2 || word.compare(0, 2, L"--") != 0) {
      parsed.positional.push_back(word);
      continue;
    }
    const Option* option = nullptr;
    for (const OptionTable& table : verb.options) {
      for (const Option& o : table) {
        if (word == o.name) option = &o;
      }
    }
    if (!option) {
      Usage(L"unknown option " + word);
      return std::nullopt;
    }
    if (!option->value) {
      parsed.Add(word, L"");
    } else if (i + 1 >= args.size()) {
      Usage(word + L" needs " + option->missing);
      return std::nullopt;
    } else {
      parsed.Add(word, args[++i]);
    }
  }
  return parsed;
}

std::wstring VerbHelp(const Verb& verb) {
  std::wstring text = std::wstring(L"  tblfcli ") + verb.synopsis + L"\n";
  const std::wstring summary = verb.summary;
  for (size_t from = 0; from < summary.size();) {
    const size_t end = summary.find(L'\n', from);
    text += L"      " + summary.substr(from, end - from) + L"\n";
    if (end == std::wstring::npos) break;
    from = end + 1;
  }
  for (const OptionTable& table : verb.options) {
    for (const Option& o : table) {
      std::wstring left = std::wstring(L"      ") + o.name + (o.value ? std::wstring(L" ") + o.value : L"");
      left.resize(std::max<size_t>(left.size() + 1, 38), L' ');
      // Continuation lines of the help text keep the column.
      std::wstring help = o.help;
      for (size_t at = 0; (at = help.find(L'\n', at)) != std::wstring::npos; at += 39) {
        help.insert(at + 1, std::wstring(38, L' '));
      }
      text += left + help + L"\n";
    }
  }
  return text;
}

std::optional<int> ParseNumber(const std::wstring& text, int low, int high, size_t maxDigits) {
  if (text.empty() || text.size() > maxDigits) return std::nullopt;
  long long value = 0;
  for (wchar_t c : text) {
    if (c < L'0' || c > L'9') return std::nullopt;
    value = value * 10 + (c - L'0');
  }
  if (value < low || value > high) return std::nullopt;
  return static_cast<int>(value);
}

namespace {

// "0-11" and "0 ANSI, 1 Shift-JIS, …": the rows of the encoding list.
const std::wstring kEncodingRange = L"0-" + std::to_wstring(Encodings().size() - 1);
const std::wstring kEncodingHelp = EncodingHelp(50);

const BiText kCliGoneText{L"%s: コントロールはもう存在しません。`tblfcli list` で確認してください。",
                          L"%s: the control no longer exists; run `tblfcli list`"};
const BiText kCliReadErrorText{L"%s: 読み取りエラー: コントロールが応答しないか、もう存在しません。`tblfcli list` で確認してください。",
                               L"%s: read error: the control no longer answers or no longer exists; run `tblfcli list`"};
const BiText kCliWriteText{L"%s に書き込めません: %s", L"cannot write to %s: %s"};
const BiText kCliNoControlAtText{L"画面上の点 %s には出力できるコントロールがありません",
                                 L"no control to export at the screen point %s"};

// `format` with each "%s" replaced by the next value.
std::wstring Fill(const wchar_t* format, std::initializer_list<std::wstring> values) {
  std::wstring text = format;
  std::size_t at = 0;
  for (const std::wstring& value : values) {
    at = text.find(L"%s", at);
    if (at == std::wstring::npos) break;
    text.replace(at, 2, value);
    at += value.size();
  }
  return text;
}


const Option kOutputOptionList[] = {
    {L"--format", L"csv|tsv|html|c|space|json|markdown", L"a value", L"record format"},
    {L"--quote-when-needed", nullptr, nullptr, L"CSV: quote only cells that need it"},
    {L"--double-quotes", nullptr, nullptr, L"double the quotes embedded in a cell"},
    {L"--encoding", kEncodingRange.c_str(), L"a value", kEncodingHelp.c_str()},
    {L"--newline", L"crlf|lf|cr", L"a value", L"line ends (the clipboard always gets crlf)"},
    {L"--out", L"FILE", L"a file name", L"write to FILE"},
    {L"--clipboard", nullptr, nullptr, L"copy to the clipboard"},
};

// Standard output as the engine's file: the encoded text writer appends to
// the open handle, so the byte order mark (for the encodings that have one)
// is written here first.
class StdoutSink : public TextSink {
 public:
  explicit StdoutSink(int encoding) : handle_(GetStdHandle(STD_OUTPUT_HANDLE)) {
    if (const EncodingInfo* info = FindEncoding(encoding); info && info->bom[0] != '\0') {
      WriteBytes(STD_OUTPUT_HANDLE, info->bom);
    }
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

// Set by Ctrl+C or Ctrl+Break while a control is read.
std::atomic<bool> g_interrupted{false};

BOOL WINAPI OnConsoleControl(DWORD event) {
  if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) return FALSE;
  g_interrupted.store(true);
  return TRUE;
}

// "rows N/M" on standard error, at most ten a second: one line rewritten
// with CR on a console, plain lines into a file or pipe.
class ProgressLine {
 public:
  ProgressLine() {
    DWORD mode = 0;
    console_ = GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode) != 0;
  }
  void Show(long done, long total) {
    done_ = done;
    total_ = total;
    pending_ = true;
    const ULONGLONG now = GetTickCount64();
    if (shown_ && now - shownAt_ < 100) return;
    shownAt_ = now;
    Print();
  }
  // The last figures, if not shown yet, and the end of the console line, so
  // that a message starts on a line of its own.
  void End() {
    if (pending_) Print();
    if (console_ && shown_) WriteBytes(STD_ERROR_HANDLE, "\n");
    shown_ = false;
  }

 private:
  void Print() {
    const std::string figures = "rows " + std::to_string(done_) + "/" + std::to_string(total_);
    WriteBytes(STD_ERROR_HANDLE, console_ ? "\r" + figures : figures + "\n");
    shown_ = true;
    pending_ = false;
  }

  bool console_ = false;
  bool shown_ = false;
  bool pending_ = false;
  ULONGLONG shownAt_ = 0;
  long done_ = 0;
  long total_ = 0;
};

// The command line's host: messages go to standard error, Ctrl+C is its Esc
// (the engine's abort check stops after the current row, without asking), no
// sample window; files through the encoded text writer, or standard output.
class CliHost : public OutputHost {
 public:
  CliHost(bool toStdout, int stdoutEncoding, bool progress, std::function<bool(RecordWriter&)> fileList,
          std::wstring control, std::wstring destination)
      : toStdout_(toStdout),
        stdoutEncoding_(stdoutEncoding),
        fileList_(std::move(fileList)),
        control_(std::move(control)),
        destination_(std::move(destination)) {
    if (progress) progress_ = std::make_unique<ProgressLine>();
  }
  ~CliHost() override { EndProgress(); }
  void ShowError(const std::wstring& text) override {
    EndProgress();
    PrintError(CliText(text));
  }
  bool AskAbort() override { return true; }
  bool EscapePressedInFrame() override { return g_interrupted.load(); }
  void ReportProgress(long done, long total) override {
    if (progress_) progress_->Show(done, total);
  }
  void EndProgress() {
    if (progress_) progress_->End();
  }
  void SetSampleText(const wchar_t*) override {}
  void ShowBusy() override {}
  std::unique_ptr<TextSink> CreateOutputFile(const std::wstring& fileName, std::wstring& reason) override {
    if (toStdout_) return std::make_unique<StdoutSink>(stdoutEncoding_);
    return EncodedFileSink::Create(fileName, reason);
  }
  ClipboardResult CopyToClipboard(RecordWriter& writer) override { return CopyChunksToClipboard(writer); }
  bool RunFileList(RecordWriter& writer) override { return fileList_ ? fileList_(writer) : false; }

 private:
  // The window's advice ("push [Refresh]") has no button to point at here,
  // and its file message does not say which file.
  std::wstring CliText(const std::wstring& text) const {
    // The read error may carry where the run stopped on a line of its own.
    const std::wstring readError = kReadErrorText.get();
    if (text.compare(0, readError.size(), readError) == 0) {
      std::wstring rest = text.substr(readError.size());
      while (!rest.empty() && (rest.front() == L'\r' || rest.front() == L'\n')) rest.erase(0, 1);
      std::wstring line = Fill(kCliReadErrorText.get(), {control_});
      return rest.empty() ? line : line + L" " + rest;
    }
    const std::wstring fileWrite = kFileWriteText.get();
    const std::wstring lead = fileWrite.substr(0, fileWrite.find(L"%s"));
    if (text.size() >= lead.size() && text.compare(0, lead.size(), lead) == 0) {
      return CannotWriteText(destination_, text.substr(lead.size()));
    }
    return text;
  }

  bool toStdout_;
  int stdoutEncoding_;
  std::function<bool(RecordWriter&)> fileList_;
  std::wstring control_;
  std::wstring destination_;
  std::unique_ptr<ProgressLine> progress_;
};

// "listview|treeview|…": the words of the kind rows.
const std::wstring kKindWordChoice = KindWords(L"|", L"|");

const Option kSelectorOptionList[] = {
    {L"--program", L"NAME", L"a program name", L"the control's program, any case, \".exe\" optional"},
    {L"--window", L"TEXT", L"a text", L"its window's title contains TEXT, any case"},
    {L"--kind", kKindWordChoice.c_str(), L"a kind", L"its kind"},
    {L"--nth", L"N", L"a number", L"the N-th match, in list's order (1 = the first)"},
    {L"--wait", L"SECONDS", L"a number", L"keep looking until a control matches, at most\nSECONDS"},
};

const Option kPointOptionList[] = {
    {L"--at", L"X,Y", L"a point", L"the control at the screen point X,Y (pixels; negative\nleft of or above the main screen)"},
};

// "X,Y": two whole numbers, each with an optional minus, no spaces.
std::optional<POINT> ParsePoint(const std::wstring& text) {
  const std::size_t comma = text.find(L',');
  if (comma == std::wstring::npos) return std::nullopt;
  auto coordinate = [](const std::wstring& part) -> std::optional<LONG> {
    const bool negative = !part.empty() && part[0] == L'-';
    const std::wstring digits = part.substr(negative ? 1 : 0);
    std::optional<int> value = ParseNumber(digits, 0, 1000000, 7);
    if (!value) return std::nullopt;
    return negative ? -*value : *value;
  };
  const std::optional<LONG> x = coordinate(text.substr(0, comma)), y = coordinate(text.substr(comma + 1));
  if (!x || !y) return std::nullopt;
  return POINT{*x, *y};
}

const BiText kListHeader{L"ハンドル番号\tプログラム名\t所有ウィンドウタイトル\t行列数\t最上段の項目名\t備考",
                         L"Handle\tProgram\tOwner Window\tCount\tFirst Item\tNote"};
const BiText kNoMatchText{L"一致するコントロールがありません:", L"no control matches"};
const BiText kAmbiguousText{L"複数のコントロールが一致します (--nth で選んでください):",
                            L"more than one control matches (choose one with --nth):"};

std::wstring Clean(const std::wstring& text) {
  std::wstring out = text;
  for (wchar_t& c : out) {
    if (c == L'\t' || c == L'\r' || c == L'\n') c = L' ';
  }
  return out;
}

}  // namespace

const OptionTable kOutputOptions{kOutputOptionList};
const OptionTable kSelectorOptions{kSelectorOptionList};
const OptionTable kPointOptions{kPointOptionList};

std::optional<OutputChoice> ReadOutputChoice(const Args& args) {
  OutputChoice choice;
  if (auto v = args.Value(L"--format")) {
    for (std::size_t f = 0; f < kRecordFormatCount; ++f) {
      if (*v == kRecordFormatInfo[f].cliName) choice.format = static_cast<RecordFormat>(f);
    }
    if (!choice.format) {
      Usage(L"unknown format " + *v);
      return std::nullopt;
    }
  }
  if (auto v = args.Value(L"--encoding")) {
    const int last = static_cast<int>(Encodings().size()) - 1;
    choice.encoding = ParseNumber(*v, 0, last);
    if (!choice.encoding) {
      Usage(L"--encoding takes 0 to " + std::to_wstring(last) + L", not " + *v);
      return std::nullopt;
    }
  }
  if (auto v = args.Value(L"--newline")) {
    const wchar_t* const names[] = {L"crlf", L"lf", L"cr"};
    for (int n = 0; n < 3; ++n) {
      if (*v == names[n]) choice.newline = static_cast<NewlineKind>(n);
    }
    if (!choice.newline) {
      Usage(L"--newline takes crlf, lf or cr, not " + *v);
      return std::nullopt;
    }
  }
  choice.quoteWhenNeeded = args.Has(L"--quote-when-needed");
  choice.doubleQuotes = args.Has(L"--double-quotes");
  choice.toClipboard = args.Has(L"--clipboard");
  choice.outFile = args.Value(L"--out");
  if (choice.toClipboard && choice.outFile) {
    Usage(L"--out and --clipboard exclude each other");
    return std::nullopt;
  }
  return choice;
}

int RunJob(OutputJob job, const OutputChoice& choice, ControlReader& reader,
           std::function<bool(RecordWriter& writer)> fileList) {
  const int storedFormat = Read(settings::kFormat);
  job.format = choice.format ? *choice.format
                             : static_cast<RecordFormat>(storedFormat >= 0 && storedFormat < static_cast<int>(kRecordFormatCount) ? storedFormat : 0);
  // Flags that are not given leave the stored CSV options in force.
  if (choice.quoteWhenNeeded) job.quoteWhenNeeded = true;
  if (choice.doubleQuotes) job.doubleQuotes = true;
  const bool toStdout = !choice.toClipboard && !choice.outFile;
  if (choice.toClipboard) {
    job.destination = Destination::Clipboard;
    job.newline = NewlineKind::CrLf;
  } else {
    job.destination = Destination::File;
    job.fileName = choice.outFile ? *choice.outFile : L"";
    const int stored = Read(settings::kRetCode);
    job.newline = choice.newline ? *choice.newline : static_cast<NewlineKind>(stored >= 0 && stored < 3 ? stored : 0);
  }
  // Standard output is UTF-8 unless --encoding says otherwise; a file takes
  // the stored encoding unless --encoding says otherwise.
  const int stdoutEncoding = choice.encoding ? *choice.encoding : 8;
  if (toStdout) {
    SetEncodingOverride(stdoutEncoding);
  } else if (choice.encoding) {
    SetEncodingOverride(*choice.encoding);
  }
  const bool readsControl = FindKind(job.kind)->IsControl();
  const std::wstring control = readsControl ? HandleLabel(job.target, job.kind, true) : std::wstring();
  const std::wstring destination = toStdout ? std::wstring(L"standard output") : job.fileName;
  // Only the reading loops look at the interruption; a file list walk has
  // its own Ctrl+C handling.
  if (readsControl) SetConsoleCtrlHandler(OnConsoleControl, TRUE);
  bool ok = false;
  {
    CliHost host(toStdout, stdoutEncoding, choice.progress, std::move(fileList), control, destination);
    ok = RunOutputJob(job, reader, host);
  }
  if (readsControl) SetConsoleCtrlHandler(OnConsoleControl, FALSE);
  SetEncodingOverride(-1);
  if (ok) return kExitOk;
  return g_interrupted.load() ? kExitInterrupted : kExitFailed;
}

std::wstring ControlLabel(const Control& control) {
  return HandleLabel(FromHwnd(control.window), control.kind, true);
}

std::wstring CannotWriteText(const std::wstring& file, const std::wstring& reason) {
  return Fill(kCliWriteText.get(), {file, ErrorLine(reason).substr(9)});
}

std::optional<Control> ReadControlHandle(const std::wstring& label) {
  std::optional<WindowId> handle = ParseHandleLabel(label);
  if (!handle) {
    Usage(L"not a handle: " + label);
    return std::nullopt;
  }
  HWND window = ToHwnd(*handle);
  if (!IsWindow(window)) {
    PrintError(Fill(kCliGoneText.get(), {label}));
    return std::nullopt;
  }
  wchar_t className[100] = L"";
  GetClassNameW(window, className, 100);
  std::optional<ControlKind> kind = KindOfClass(className);
  if (!kind) {
    Usage(L"the window is no list view, tree view, combo box or list box (class \"" + std::wstring(className) +
          L"\")");
    return std::nullopt;
  }
  return Control{window, *kind};
}

std::optional<SelectorChoice> ReadSelectorChoice(const Args& args) {
  SelectorChoice choice;
  choice.selector.program = args.Value(L"--program");
  choice.selector.window = args.Value(L"--window");
  if (auto v = args.Value(L"--kind")) {
    choice.selector.kind = KindOfName(*v);
    if (!choice.selector.kind) {
      Usage(L"--kind takes " + KindWords(L", ", L" or ") + L", not " + *v);
      return std::nullopt;
    }
  }
  if (auto v = args.Value(L"--nth")) {
    choice.selector.nth = ParseNumber(*v, 1, 9999, 4);
    if (!choice.selector.nth) {
      Usage(L"--nth takes 1 to 9999, not " + *v);
      return std::nullopt;
    }
  }
  if (auto v = args.Value(L"--wait")) {
    std::optional<int> seconds = ParseNumber(*v, 0, 3600, 4);
    if (!seconds) {
      Usage(L"--wait takes 0 to 3600 seconds, not " + *v);
      return std::nullopt;
    }
    choice.waitSeconds = *seconds;
  }
  for (const Option& o : kSelectorOptionList) {
    if (args.Has(o.name)) choice.given = true;
  }
  return choice;
}

std::vector<Candidate> FindCandidates(const SelectorChoice& choice) {
  const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(choice.waitSeconds) * 1000;
  for (;;) {
    Win32DesktopWindows desktop;
    Win32ControlReader reader;
    // A text kind asked for by --kind is found whatever the listing options say.
    const bool textControls =
        choice.textControls || (choice.selector.kind && FindKind(*choice.selector.kind)->textControl);
    std::vector<Candidate> found =
        SelectCandidates(choice.selector, DiscoverControls(desktop, reader, true, g_frameWindow, textControls));
    if (!found.empty() || GetTickCount64() >= deadline) return found;
    Sleep(static_cast<DWORD>(std::min<ULONGLONG>(200, deadline - GetTickCount64())));
  }
}

int NoMatch(const ControlSelector& selector) {
  PrintError(L"tblfcli: " + std::wstring(kNoMatchText.get()) + L" " + DescribeSelector(selector));
  return kExitUsage;
}

std::wstring CandidateLines(const std::vector<Candidate>& candidates) {
  std::wstring text = std::wstring(kListHeader.get()) + L"\r\n";
  for (const Candidate& row : candidates) {
    text += Clean(row.label) + L"\t" + Clean(row.program) + L"\t" + Clean(row.owner) + L"\t" + Clean(row.count) +
            L"\t" + Clean(row.firstItem) + L"\t" + Clean(row.note) + L"\r\n";
  }
  return text;
}

std::optional<Control> ResolveControl(const Args& args, const wchar_t* verb) {
  std::optional<SelectorChoice> choice = ReadSelectorChoice(args);
  if (!choice) return std::nullopt;
  if (args.positional.size() > 1) {
    Usage(L"unknown option " + args.positional[1]);
    return std::nullopt;
  }
  if (std::optional<std::wstring> at = args.Value(L"--at")) {
    if (!args.positional.empty() || choice->given) {
      Usage(L"--at excludes a HANDLE and the selectors");
      return std::nullopt;
    }
    const std::optional<POINT> point = ParsePoint(*at);
    if (!point) {
      Usage(L"--at takes X,Y (screen pixels), not " + *at);
      return std::nullopt;
    }
    HWND control = ControlAtPoint(*point);
    if (!control) {
      PrintError(Fill(kCliNoControlAtText.get(), {std::to_wstring(point->x) + L"," + std::to_wstring(point->y)}));
      return std::nullopt;
    }
    wchar_t className[100] = L"";
    GetClassNameW(control, className, 100);
    return Control{control, *KindOfClass(className)};
  }
  if (!args.positional.empty()) {
    if (choice->given) {
      Usage(L"a HANDLE and the selectors exclude each other");
      return std::nullopt;
    }
    return ReadControlHandle(args.positional[0]);
  }
  if (!choice->given) {
    Usage(std::wstring(verb) + L" needs a HANDLE, a selector (--program, --window, --kind) or --at X,Y");
    return std::nullopt;
  }
  const std::vector<Candidate> found = FindCandidates(*choice);
  if (found.empty()) {
    NoMatch(choice->selector);
    return std::nullopt;
  }
  if (found.size() > 1) {
    PrintError(L"tblfcli: " + std::wstring(kAmbiguousText.get()) + L" " + DescribeSelector(choice->selector));
    WriteBytes(STD_ERROR_HANDLE, Utf8(CandidateLines(found)));
    return std::nullopt;
  }
  return Control{ToHwnd(found[0].handle), found[0].kind};
}

}  // namespace tblf::cli
