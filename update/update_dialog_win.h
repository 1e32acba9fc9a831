#pragma once
// The update check dialog.

#include <windows.h>

namespace tblf {

// Shows the update check dialog, modal to `owner`.
void ShowUpdateDialog(HWND owner);

}  // namespace tblf
