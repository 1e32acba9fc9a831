// tblfcli files: the file list of a folder tree, one row per file or folder,
// written through a template.

#include <atomic>

#include "filelist/file_list_win.h"
#include "filelist/template_renderer.h"
#include "remote/control_reader_win.h"
#include "settings/settings_table.h"
#include "shell/cli/cli.h"

namespace tblf::cli {
namespace {

const Option kFilesOptions[] = {
    {L"--template", L"TEXT", L"a value", L"the row template (default: setting FileList/info,\nelse the default template)"},
    {L"--order", L"0-14", L"a value",
     L"0 as listed, 1/2 name, 3/4 size, 5/6 extension,\n7/8 last write, 9/10 last access, 11/12 creation,\n"
     L"13/14 attributes (odd ascending, even descending)"},
    {L"--folders", L"mixed|after|before", L"a value", L"where folders go when sorted (default mixed)"},
    {L"--no-subfolders", nullptr, nullptr, L"list the folder's own entries only"},
    {L"--folders-only", nullptr, nullptr, L"list folders only"},
    {L"--local-time", nullptr, nullptr, L"times in local time instead of UTC"},
    {L"--follow-links", nullptr, nullptr,
     L"descend into folder links (junctions, symbolic links)\ntoo; a folder already on the path is never entered\nagain"},
};

const BiText kCannotEnterText{L"フォルダを開けません：%s", L"Cannot open folder: %s"};
const BiText kInterruptedText{L"Ctrl+Cで中断しました。", L"Interrupted by Ctrl+C."};

// Set by Ctrl+C (or Ctrl+Break) while a walk runs.
std::atomic<bool> g_interrupted{false};

BOOL WINAPI OnConsoleBreak(DWORD kind) {
  if (kind != CTRL_C_EVENT && kind != CTRL_BREAK_EVENT) return FALSE;
  g_interrupted = true;
  return TRUE;
}

// The command line's side of a walk: a folder that cannot be entered is a
// line on standard error and is skipped; there is no hint line, and Ctrl+C
// ends the walk after the current template element, the rows so far written.
class ConsoleWalkUi : public WalkUi {
 public:
  bool ShiftDown() override { return false; }
  FolderErrorAnswer FolderError(const std::wstring&, const std::wstring& fullPath) override {
    std::wstring text = kCannotEnterText.get();
    text.replace(text.find(L"%s"), 2, fullPath);
    PrintError(text);
    return FolderErrorAnswer::Skip;
  }
  void SaveHint() override {}
  void ShowHint(const std::wstring&) override {}
  void RestoreHint() override {}
  void LetPaintThrough() override {}
  bool AbortRequested() override { return g_interrupted.load(); }
};

int RunFiles(const Args& args) {
  if (args.positional.empty()) return Usage(L"files needs a FOLDER");
  if (args.positional.size() > 1) return Usage(L"unknown option " + args.positional[1]);
  std::optional<OutputChoice> choice = ReadOutputChoice(args);
  if (!choice) return kExitUsage;

  FileListOptions options;
  options.rootFolder = args.positional[0];
  if (auto v = args.Value(L"--template")) {
    options.templateText = *v;
  } else {
    options.templateText = Read(settings::kFileListInfo).value_or(kDefaultFileListTemplate);
  }
  if (auto v = args.Value(L"--order")) {
    std::optional<int> key = ParseNumber(*v, 0, kOrderKeyCount - 1, 2);
    if (!key) return Usage(L"--order takes 0 to 14, not " + *v);
    options.orderKey = static_cast<unsigned char>(*key);
  }
  if (auto v = args.Value(L"--folders")) {
    const wchar_t* const names[] = {L"mixed", L"after", L"before"};
    int position = -1;
    for (int p = 0; p < 3; ++p) {
      if (*v == names[p]) position = p;
    }
    if (position < 0) return Usage(L"--folders takes mixed, after or before, not " + *v);
    options.folderPosition = static_cast<FolderPosition>(position);
  }
  options.includeSubfolders = !args.Has(L"--no-subfolders");
  options.foldersOnly = args.Has(L"--folders-only");
  options.localTime = args.Has(L"--local-time");
  options.followLinks = args.Has(L"--follow-links");

  OutputJob job;
  job.kind = ControlKind::FileList;
  Win32ControlReader reader;
  return RunJob(job, *choice, reader, [&options](RecordWriter& writer) {
    Win32FolderAccess folders;
    ConsoleWalkUi ui;
    g_interrupted = false;
    SetConsoleCtrlHandler(OnConsoleBreak, TRUE);
    const bool walked = WalkFileList(folders, ui, writer, options, g_japaneseUi);
    SetConsoleCtrlHandler(OnConsoleBreak, FALSE);
    if (g_interrupted) PrintError(kInterruptedText.get());
    // A walk that wrote no row found nothing: the run reports it and exits 1.
    return walked && writer.RowCount() > 0;
  });
}

}  // namespace

extern const Verb kFilesVerb{
    L"files", L"files FOLDER [options]",
    L"Lists the files and folders below FOLDER, one row each, depth first.\n"
    L"Template tokens ({%...}; a comma separates fields, {%,} is a comma in\n"
    L"a field, {%{} a brace):\n"
    L"  f name, sf short name, pf full path, cf path below FOLDER,\n"
    L"  p/cp the folder's full / relative path (s prefix: short forms),\n"
    L"  s size, ks KiB, ms MiB, e extension, bf name without it,\n"
    L"  a attributes (ACDEHORST), g/cg tree symbols, c one field per level,\n"
    L"  t4y t2y t0m tmm tm tem tsem t0d tdd td t0h thh th t0n tn t0s ts tms:\n"
    L"  last write time (tc...: creation, ta...: last access).\n"
    L"A folder that cannot be entered is reported on standard error and\n"
    L"skipped. Folder links are listed but not entered (see --follow-links).\n"
    L"Ctrl+C stops the walk. Exit status 1 when nothing was found, or when\n"
    L"stopped.",
    {kFilesOptions, kOutputOptions},
    RunFiles};

}  // namespace tblf::cli
