// tblfcli props: the property report of one control.

#include "remote/property_report_win.h"
#include "shell/cli/cli.h"

namespace tblf::cli {
namespace {

int RunProps(const Args& args) {
  std::optional<Control> control = ResolveControl(args, L"props");
  if (!control) return kExitUsage;
  PrintOut(ControlPropertyReport(control->window, control->kind));
  return kExitOk;
}

}  // namespace

extern const Verb kPropsVerb{
    L"props", L"props HANDLE | selectors",
    L"Prints the property report of the control HANDLE in the UI language:\n"
    L"kind, class, caption, styles with their names, handles, position,\n"
    L"owner-draw warning and process.",
    {kSelectorOptions},
    RunProps};

}  // namespace tblf::cli
