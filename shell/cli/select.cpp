// tblfcli select: the multi-selection helper without its dialog.

#include "remote/control_reader_win.h"
#include "remote/multi_select_win.h"
#include "remote/timed_send_win.h"
#include "shell/cli/cli.h"
#include "base/text.h"

namespace tblf::cli {
namespace {

const Option kSelectOptions[] = {
    {L"--column", L"N", L"a column number", L"the column whose text is compared (0: the leftmost)"},
    {L"--regex", L"PATTERN", L"a pattern", L"select items whose whole text matches PATTERN (Perl)"},
    {L"--match", L"TEXT", L"a text", L"select items whose text is TEXT; may be repeated"},
    {L"--substring", L"TEXT", L"a text", L"select items whose text contains TEXT; may be repeated"},
    {L"--ignore-case", nullptr, nullptr, L"compare without regard to case"},
    {L"--deselect", nullptr, nullptr, L"deselect the items instead"},
};

// A column number [0-]: up to the largest unsigned 32-bit value.
std::optional<unsigned> ParseColumn(const std::wstring& text) {
  if (text.empty() || text.size() > 10) return std::nullopt;
  unsigned long long value = 0;
  for (wchar_t c : text) {
    if (c < L'0' || c > L'9') return std::nullopt;
    value = value * 10 + static_cast<unsigned>(c - L'0');
  }
  if (value > 0xFFFFFFFFull) return std::nullopt;
  return static_cast<unsigned>(value);
}

// The summary's own line breaks become CR LF like the rest of the output.
std::wstring CrLfLines(const std::wstring& text) {
  std::wstring out;
  for (wchar_t c : text) {
    if (c == L'\n') out += L'\r';
    out += c;
  }
  return out;
}

int RunSelect(const Args& args) {
  SelectRequest request;
  const bool regex = args.Has(L"--regex"), match = args.Has(L"--match"), substring = args.Has(L"--substring");
  if (regex + match + substring == 0) return Usage(L"select needs --regex, --match or --substring");
  if (regex + match + substring > 1) return Usage(L"--regex, --match and --substring exclude each other");
  if (regex) {
    if (args.Values(L"--regex").size() > 1) return Usage(L"--regex takes one pattern");
    request.mode = SelectMode::Regex;
    request.condition = *args.Value(L"--regex");
  } else {
    request.mode = match ? SelectMode::MatchStrings : SelectMode::Substrings;
    // One condition line per option.
    const std::vector<std::wstring> lines = args.Values(match ? L"--match" : L"--substring");
    for (size_t i = 0; i < lines.size(); ++i) request.condition += (i > 0 ? L"\n" : L"") + lines[i];
  }
  if (request.condition.empty()) return Usage(kSelectEmptyConditionText.get());
  const std::optional<std::wstring> columnText = args.Value(L"--column");
  if (!columnText) return Usage(L"select needs --column N");
  const std::optional<unsigned> column = ParseColumn(*columnText);
  if (!column) return Usage(L"--column takes a column number [0-], not " + *columnText);
  request.column = *column;
  request.ignoreCase = args.Has(L"--ignore-case");
  request.deselect = args.Has(L"--deselect");

  std::optional<Control> control = ResolveControl(args, L"select");
  if (!control) return kExitUsage;
  if (!FindKind(control->kind)->multiSelect) return Usage(L"select works on a list view only");
  switch (CheckSelectTarget(control->window)) {
    case SelectTargetCheck::SingleSelection:
      PrintError(ControlLabel(*control) + L": " + kSelectSingleSelectionText.get());
      return kExitUsage;
    case SelectTargetCheck::OwnerDrawWarning:
      PrintError(ControlLabel(*control) + L": " + kSelectOwnerDrawText.get());
      break;
    case SelectTargetCheck::Fine:
      break;
  }

  Win32ControlReader reader;
  const SelectResult result = RunMultiSelect(reader, FromHwnd(control->window), request, nullptr);
  switch (result.outcome) {
    case SelectOutcome::Done: break;
    case SelectOutcome::EmptyCondition: return Usage(kSelectEmptyConditionText.get());
    case SelectOutcome::CountFailed:
      PrintError(ControlLabel(*control) + L": " + kSelectCountFailedText.get());
      return kExitFailed;
    case SelectOutcome::BadPattern: PrintError(kSelectBadPatternText.get()); return kExitFailed;
    case SelectOutcome::TooComplex: {
      // The message on standard error, the count of what was done before it
      // on standard output, as a completed run prints its summary.
      const std::wstring text = SelectStoppedText(result, request.deselect, g_japaneseUi);
      const size_t br = text.find(L'\n');
      PrintError(text.substr(0, br));
      PrintOut(text.substr(br + 1) + L"\r\n");
      return kExitFailed;
    }
  }
  PrintOut(CrLfLines(SelectSummaryText(result, request.deselect, g_japaneseUi)) + L"\r\n" +
           SelectDetailText(result, request.deselect, g_japaneseUi));
  return kExitOk;
}

}  // namespace

extern const Verb kSelectVerb{
    L"select", L"select HANDLE|selectors|--at X,Y --column N (--regex PATTERN | --match TEXT... |\n"
               L"                 --substring TEXT...) [--ignore-case] [--deselect]",
    L"Selects (or deselects) the items of the multi-selection list view\n"
    L"HANDLE whose text in column N meets the condition; the first --match or\n"
    L"--substring that an item meets counts it. Prints the summary and, for\n"
    L"--match and --substring, the count of each. Exit status 0 when the run\n"
    L"completed (also with no item acted on), 1 when the items cannot be\n"
    L"counted, the pattern is wrong or too complex for an item (the count of\n"
    L"items acted on before it is printed), 2 for a usage error or a single-\n"
    L"selection list view.",
    {kSelectOptions, kSelectorOptions, kPointOptions},
    RunSelect};

}  // namespace tblf::cli
