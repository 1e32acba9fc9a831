// tblfcli export: one control to a file, the clipboard or standard output.

#include <cwchar>

#include "remote/inproc_reader_win.h"
#include "shell/cli/cli.h"

namespace tblf::cli {
namespace {

const Option kExportOptions[] = {
    {L"--columns", L"TEXT", L"a value", L"list view column selection (\"2,0\", \"# 1\";\nempty: every column)"},
    {L"--rows", L"TEXT", L"a value", L"list view row selection (\"3-1\"; empty: every row)"},
    {L"--tree-shift", nullptr, nullptr, L"tree view: each level one field further right"},
    {L"--tree-graph", nullptr, nullptr, L"tree view: draw the hierarchy with symbols"},
    {L"--progress", nullptr, nullptr, L"\"rows N/M\" on standard error while reading"},
    {L"--read-mode", L"MODE", L"auto, in-process or messages",
     L"auto (default): inside the target where possible, else by messages;\n"
     L"in-process: only inside the target, an error otherwise; messages"},
};

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
  std::optional<Control> control = ResolveControl(args, L"export");
  if (!control) return kExitUsage;

  OutputJob job;
  job.target = reinterpret_cast<WindowId>(control->window);
  job.kind = control->kind;
  // An empty text selects nothing in particular, as an empty field does in
  // the window: a script's empty variable gives the whole table.
  if (auto v = args.Value(L"--columns"); v && !v->empty()) job.columnSelection = *v;
  if (auto v = args.Value(L"--rows"); v && !v->empty()) job.rowSelection = *v;
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
