// tblfcli props: the property report of one control.

#include "remote/property_report_win.h"
#include "shell/cli/cli.h"

namespace tblf::cli {
namespace {

int RunProps(const Args& args) {
  if (args.positional.empty()) return Usage(L"props needs a HANDLE");
  if (args.positional.size() > 1) return Usage(L"unknown option " + args.positional[1]);
  std::optional<Control> control = ReadControlHandle(args.positional[0]);
  if (!control) return kExitUsage;
  PrintOut(ControlPropertyReport(control->window, control->kind));
  return kExitOk;
}

}  // namespace

extern const Verb kPropsVerb{
    L"props", L"props HANDLE",
    L"Prints the property report of the control HANDLE in the UI language:\n"
    L"kind, class, caption, styles with their names, handles, position,\n"
    L"owner-draw warning and process.",
    {},
    RunProps};

}  // namespace tblf::cli
