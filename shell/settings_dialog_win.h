#pragma once
// The settings dialog: the program-wide options, read from the settings store
// when it opens and written all together on OK.

#include <windows.h>

namespace tblf {

// Runs the dialog modally; 1 after OK (every setting written), 0 after Cancel
// (nothing written).
INT_PTR RunSettingsDialog(HWND owner);

}  // namespace tblf
