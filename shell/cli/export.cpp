// tblfcli export: one control to a file, the clipboard or standard output.

#include <cwchar>

#include "remote/control_kinds.h"
#include "remote/inproc_reader_win.h"
#include "shell/cli/cli.h"

namespace tblf::cli {
namespace {

const Option kExportOptions[] = {
    {L"--columns", L"TEXT", L"a value", L"list view column selection (\"2,0\", \"# 1\";\nempty: every column)"},
    {L"--rows", L"TEXT", L"a value", L"list view row selection (\"3-1\"; empty: every row)"},
    {L"--with", L"WORDS", L"checked, selected or focused",
     L"list view: 1/0 columns after the chosen ones, a comma list of\n"
     L"checked, selected and focused"},
    {L"--selected-only", nullptr, nullptr, L"list view: only the rows selected in it (of --rows)"},
    {L"--as-shown", nullptr, nullptr,
     L"list view: the columns in the order shown, zero-width ones left\n"
     L"out; --columns counts these displayed positions"},
    {L"--tree-shift", nullptr, nullptr, L"tree view: each level one field further right"},
    {L"--tree-graph", nullptr, nullptr, L"tree view: draw the hierarchy with symbols"},
    {L"--progress", nullptr, nullptr, L"\"rows N/M\" on standard error while reading"},
    {L"--read-mode", L"MODE", L"auto, in-process or messages",
     L"auto (default): inside the target where possible, else by messages;\n"
     L"in-process: only inside the target, an error otherwise; messages"},
};

// The --with words (each option a comma list) into the extras; false, with
// the usage error printed, on a word that is none of them.
bool ReadWithWords(const Args& args, ListExtras& extras) {
  for (const std::wstring& list : args.Values(L"--with")) {
    std::size_t from = 0;
    while (from <= list.size()) {
      std::size_t end = list.find(L',', from);
      if (end == std::wstring::npos) end = list.size();
      const std::wstring word = list.substr(from, end - from);
      if (word == L"checked") {
        extras.withChecked = true;
      } else if (word == L"selected") {
        extras.withSelected = true;
      } else if (word == L"focused") {
        extras.withFocused = true;
      } else if (!word.empty()) {
        Usage(L"--with takes checked, selected or focused, not " + word);
        return false;
      }
      from = end + 1;
    }
  }
  return true;
}

// "Cannot read inside the target program: REASON" on standard error.
int InProcessRefused(const BiText& why) {
  wchar_t line[512];
  std::swprintf(line, 512, kInProcessUnavailableText.get(), why.get());
  PrintError(line);
  return kExitFailed;
}

int RunExport(const Args& args) {
  std::optional<OutputChoice> choice = ReadOutputChoice(args);
  if (!choice) return kExitUsage;
  choice->progress = args.Has(L"--progress");
  std::optional<ReadMode> mode = ReadMode::Auto;
  if (auto v = args.Value(L"--read-mode")) mode = ReadModeFromWord(*v);
  if (!mode) return Usage(L"--read-mode takes auto, in-process or messages, not " + *args.Value(L"--read-mode"));
  ListExtras extras;
  if (!ReadWithWords(args, extras)) return kExitUsage;
  extras.selectedOnly = args.Has(L"--selected-only");
  extras.asShown = args.Has(L"--as-shown");
  std::optional<Control> control = ResolveControl(args, L"export");
  if (!control) return kExitUsage;
  const KindDescriptor* kind = FindKind(control->kind);
  if (extras.Any() && (!kind || kind->shape != RowShape::Table)) {
    return Usage(L"--with, --selected-only and --as-shown apply to list views only");
  }

  OutputJob job;
  job.target = reinterpret_cast<WindowId>(control->window);
  job.kind = control->kind;
  // An empty text selects nothing in particular, as an empty field does in
  // the window: a script's empty variable gives the whole table.
  if (auto v = args.Value(L"--columns"); v && !v->empty()) job.columnSelection = *v;
  if (auto v = args.Value(L"--rows"); v && !v->empty()) job.rowSelection = *v;
  job.extras = extras;
  job.treeLevelShift = args.Has(L"--tree-shift");
  job.treeGraph = args.Has(L"--tree-graph");
  InProcessControlReader reader(*mode);
  const BiText* why = nullptr;
  if (*mode == ReadMode::InProcess && !InProcessControlReader::Probe(job.target, &why)) return InProcessRefused(*why);
  const int status = RunJob(job, *choice, reader);
  if (reader.Failure() != nullptr) return InProcessRefused(*reader.Failure());
  return status;
}

}  // namespace

extern const Verb kExportVerb{
    L"export", L"export HANDLE|selectors|--at X,Y [options]",
    L"Exports the control HANDLE (hexadecimal as printed by list; a suffix\n"
    L"such as \"(ListView)\" is allowed), the one control that the\n"
    L"selectors pick, or the control at a point of the screen (--at). Its\n"
    L"kind comes from its window class.",
    {kExportOptions, kSelectorOptions, kPointOptions, kOutputOptions},
    RunExport};

}  // namespace tblf::cli
