// tblfcli list: every candidate control of the desktop, one line each.

#include "remote/control_reader_win.h"
#include "remote/discovery_win.h"
#include "shell/cli/cli.h"
#include "shell/process_basics.h"
#include "shell/text.h"

namespace tblf::cli {
namespace {

const BiText kListHeader{L"ハンドル番号\tプログラム名\t所有ウィンドウタイトル\t行列数\t最上段の項目名\t備考",
                         L"Handle\tProgram\tOwner Window\tCount\tFirst Item\tNote"};

const Option kListOptions[] = {
    {L"--listviews-only", nullptr, nullptr, L"list views only"},
};

std::wstring Clean(const std::wstring& text) {
  std::wstring out = text;
  for (wchar_t& c : out) {
    if (c == L'\t' || c == L'\r' || c == L'\n') c = L' ';
  }
  return out;
}

int RunList(const Args& args) {
  if (!args.positional.empty()) return Usage(L"unknown option " + args.positional[0]);
  Win32DesktopWindows desktop;
  Win32ControlReader reader;
  std::wstring text = std::wstring(kListHeader.get()) + L"\r\n";
  for (const Candidate& row : DiscoverControls(desktop, reader, !args.Has(L"--listviews-only"), g_frameWindow)) {
    text += Clean(row.label) + L"\t" + Clean(row.program) + L"\t" + Clean(row.owner) + L"\t" + Clean(row.count) +
            L"\t" + Clean(row.firstItem) + L"\t" + Clean(row.note) + L"\r\n";
  }
  PrintOut(text);
  return kExitOk;
}

}  // namespace

extern const Verb kListVerb{
    L"list", L"list [--listviews-only]",
    L"Prints one line per list view, tree view, combo box and list box of\n"
    L"every window (only list views with --listviews-only), TAB-separated:\n"
    L"handle, program, owner window, count, first item, note.",
    {kListOptions},
    RunList};

}  // namespace tblf::cli
