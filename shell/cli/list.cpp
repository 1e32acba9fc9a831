// tblfcli list: every candidate control of the desktop, one line each.

#include "remote/control_reader_win.h"
#include "remote/discovery_win.h"
#include "remote/timed_send_win.h"
#include "shell/cli/cli.h"
#include "base/process_basics.h"
#include "base/text.h"

namespace tblf::cli {
namespace {

const Option kListOptions[] = {
    {L"--listviews-only", nullptr, nullptr, L"list views only"},
    {L"--json", nullptr, nullptr, L"a JSON array of objects instead of lines"},
    {L"--text-controls", nullptr, nullptr, L"edits, statics, status bars and tab controls too"},
};

// One object per candidate; the count split into items and (list views)
// columns, the handle as list prints it without the kind suffix.
std::wstring CandidatesJson(const std::vector<Candidate>& candidates) {
  std::wstring text = L"[";
  for (size_t i = 0; i < candidates.size(); ++i) {
    const Candidate& c = candidates[i];
    DWORD processId = 0;
    GetWindowThreadProcessId(ToHwnd(c.handle), &processId);
    text += std::wstring(i == 0 ? L"" : L",") + L"\n{\"handle\":" +
            JsonString(HandleLabel(c.handle, ControlKind::ListView, false)) + L",\"kind\":" +
            JsonString(KindName(c.kind)) + L",\"program\":" + JsonString(c.program) +
            L",\"processId\":" + std::to_wstring(processId) + L",\"window\":" + JsonString(c.owner) +
            L",\"count\":" + std::to_wstring(c.items) + L",\"columns\":" +
            (FindKind(c.kind)->shape == RowShape::Table ? std::to_wstring(c.columns) : std::wstring(L"null")) +
            L",\"firstItem\":" + JsonString(c.firstItem) + L",\"note\":" + JsonString(c.note) + L"}";
  }
  return text + (candidates.empty() ? L"]\n" : L"\n]\n");
}

int RunList(const Args& args) {
  if (!args.positional.empty()) return Usage(L"unknown option " + args.positional[0]);
  std::optional<SelectorChoice> choice = ReadSelectorChoice(args);
  if (!choice) return kExitUsage;
  choice->textControls = args.Has(L"--text-controls");
  std::vector<Candidate> rows;
  if (choice->given) {
    rows = FindCandidates(*choice);
    if (args.Has(L"--listviews-only")) {
      std::erase_if(rows, [](const Candidate& c) { return !FindKind(c.kind)->listedAlways; });
      // As without selectors: a list view's handle carries no suffix then.
      for (Candidate& c : rows) c.label = HandleLabel(c.handle, c.kind, false);
    }
  } else {
    Win32DesktopWindows desktop;
    Win32ControlReader reader;
    rows = DiscoverControls(desktop, reader, !args.Has(L"--listviews-only"), g_frameWindow,
                            choice->textControls && !args.Has(L"--listviews-only"));
  }
  PrintOut(args.Has(L"--json") ? CandidatesJson(rows) : CandidateLines(rows));
  if (choice->given && rows.empty()) return NoMatch(choice->selector);
  return kExitOk;
}

}  // namespace

extern const Verb kListVerb{
    L"list", L"list [--listviews-only] [--text-controls] [--json] [selectors]",
    L"Prints one line per list view, tree view, combo box and list box of\n"
    L"every window (only list views with --listviews-only; edits, statics,\n"
    L"status bars and tab controls too with --text-controls), TAB-separated:\n"
    L"handle, program, owner window, count, first item, note. With selectors,\n"
    L"only the controls they pick (exit status 2 when none).",
    {kListOptions, kSelectorOptions},
    RunList};

}  // namespace tblf::cli
