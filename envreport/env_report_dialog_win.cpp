#include "envreport/env_report_dialog_win.h"

namespace tblf {

void ShowEnvironmentReport(HWND) {}

}  // namespace tblf
