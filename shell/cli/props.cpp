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
    L"props", L"props HANDLE | selectors | --at X,Y",
    L"Prints the property report of the control HANDLE (or the one the\n"
    L"selectors pick, or the one at a point of the screen) in the UI\n"
    L"language: kind, class, caption, styles with their names, handles,\n"
    L"position, owner-draw warning and process.",
    {kSelectorOptions, kPointOptions},
    RunProps};

}  // namespace tblf::cli
