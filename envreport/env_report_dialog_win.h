#pragma once
// The environment report dialog.

#include <windows.h>

namespace tblf {

// Shows the environment report dialog, modal to `owner`.
void ShowEnvironmentReport(HWND owner);

}  // namespace tblf
