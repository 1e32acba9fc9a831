#pragma once
// Shared pieces of tblfcli: printing, exit codes, the option tables every
// verb is parsed and documented from, and the output options that every verb
// writing records takes.
//
// A verb is one file in this folder defining one `Verb`; tblfcli_main.cpp
// lists them. Its usage text is made from the same tables it is parsed by.

#include <windows.h>

#include <functional>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "output/engine.h"
#include "remote/control_selector.h"

namespace tblf::cli {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;
// Ctrl+C or Ctrl+Break stopped an export (the shells' 128 + SIGINT).
constexpr int kExitInterrupted = 130;

std::string Utf8(const std::wstring& text);
void WriteBytes(DWORD which, const std::string& bytes);
// Standard output as UTF-8, as given.
void PrintOut(const std::wstring& text);
// `text` as one line: "tblfcli: " before it (unless it has it), line breaks
// joined by a space, no trailing spaces.
std::wstring ErrorLine(const std::wstring& text);
// That line on standard error.
void PrintError(const std::wstring& text);
// "tblfcli: REASON" and the hint, exit status 2.
int Usage(const std::wstring& reason);

// One option: a flag when `value` is null, else it takes the next argument.
// `missing` completes "--name needs ..." when the value is absent.
struct Option {
  const wchar_t* name;
  const wchar_t* value;
  const wchar_t* missing;
  const wchar_t* help;
};
using OptionTable = std::span<const Option>;

// The arguments after the verb, as parsed.
class Args {
 public:
  std::vector<std::wstring> positional;
  bool Has(const wchar_t* name) const;
  // The last value given for `name`.
  std::optional<std::wstring> Value(const wchar_t* name) const;
  // Every value given for `name`, in order.
  std::vector<std::wstring> Values(const wchar_t* name) const;
  void Add(const std::wstring& name, const std::wstring& value) { given_.emplace_back(name, value); }

 private:
  std::vector<std::pair<std::wstring, std::wstring>> given_;
};

struct Verb {
  const wchar_t* name;
  const wchar_t* synopsis;  // "export HANDLE [options]"
  const wchar_t* summary;   // what it does, lines of at most 72 characters, each ending in "\n"
  std::vector<OptionTable> options;
  int (*run)(const Args& args);
};

// Parses `args` (the words after the verb). On a bad word prints the usage
// error and returns nothing.
std::optional<Args> Parse(const Verb& verb, const std::vector<std::wstring>& args);
// The verb's synopsis, summary and option lines.
std::wstring VerbHelp(const Verb& verb);

// A whole number in [low, high] written with at most `maxDigits` digits.
std::optional<int> ParseNumber(const std::wstring& text, int low, int high, size_t maxDigits = 3);

// --format, --quote-when-needed, --double-quotes, --encoding, --newline,
// --out and --clipboard: where and how the records go.
extern const OptionTable kOutputOptions;

struct OutputChoice {
  std::optional<RecordFormat> format;
  std::optional<NewlineKind> newline;
  std::optional<int> encoding;
  bool quoteWhenNeeded = false;
  bool doubleQuotes = false;
  bool toClipboard = false;
  std::optional<std::wstring> outFile;
  // "rows N/M" on standard error while the rows are read (export --progress).
  bool progress = false;
};
// Reads the output options; prints the usage error and returns nothing on a bad value.
std::optional<OutputChoice> ReadOutputChoice(const Args& args);

// Completes `job` from the choice and the stored settings (options not given
// take the stored ones; given ones are never stored) and runs it: to the
// file, the clipboard, or standard output (UTF-8 unless --encoding says
// otherwise). `fileList` serves a kind-4 job. Exit status 0 or 1; while a
// control is read, Ctrl+C or Ctrl+Break stops it after the current row
// (the rows written stay, "Aborted." on standard error, exit status 130).
int RunJob(OutputJob job, const OutputChoice& choice, ControlReader& reader,
           std::function<bool(RecordWriter& writer)> fileList = nullptr);

// The HANDLE argument as a window of a known kind; prints the reason and
// returns nothing when it is not (exit status 2).
struct Control {
  HWND window;
  ControlKind kind;
};
std::optional<Control> ReadControlHandle(const std::wstring& label);
// The control's handle as `list` prints it, with its kind.
std::wstring ControlLabel(const Control& control);
// "cannot write to FILE: REASON".
std::wstring CannotWriteText(const std::wstring& file, const std::wstring& reason);

// --program, --window, --kind, --nth and --wait: a control chosen by what it
// is, since its handle changes every time its program starts.
extern const OptionTable kSelectorOptions;

// --at X,Y: the control at a screen point, as the window's finder picks it
// (export, props and select).
extern const OptionTable kPointOptions;

// The selector options as given; `given` tells whether any was. Prints the
// usage error and returns nothing on a bad value.
struct SelectorChoice {
  ControlSelector selector;
  int waitSeconds = 0;
  bool given = false;
  bool textControls = false;  // list --text-controls: text controls are candidates too
};
std::optional<SelectorChoice> ReadSelectorChoice(const Args& args);

// The candidates of the desktop (every kind) that the selector picks, asked
// again every 200 ms while none is there and the --wait time is not over.
std::vector<Candidate> FindCandidates(const SelectorChoice& choice);

// "no control matches" and the selectors on standard error; exit status 2.
int NoMatch(const ControlSelector& selector);

// The header line and one TAB-separated line per candidate, each ending in
// CR LF: what `list` prints.
std::wstring CandidateLines(const std::vector<Candidate>& candidates);

// The control a verb works on, from its HANDLE (args.positional[0]), its
// selectors or --at; `verb` names it in the message when all are missing.
// Prints the reason and returns nothing (exit status 2) for a bad or stale
// HANDLE, a HANDLE given with selectors, --at with either, a malformed point
// or no control there ("no control to export at the screen point X,Y"), no
// match ("no control matches" and the selectors), or more than one match
// without --nth (the matches follow on standard error, as `list` prints
// them). Verbs taking kSelectorOptions call it instead of
// ReadControlHandle(args.positional[0]).
std::optional<Control> ResolveControl(const Args& args, const wchar_t* verb);

}  // namespace tblf::cli
