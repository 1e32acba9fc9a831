#pragma once
// The main dialog: the modeless child dialog that fills the frame window.

#include <windows.h>

namespace tblf {

// The main dialog (null until it exists).
extern HWND g_mainDialog;

// Creates the main dialog in the frame window; null on failure.
HWND CreateMainDialog(HWND frame);

// True when the main list has a selected row.
bool MainListHasSelection();

// False while an output runs: the user is asked whether to abort, and on
// yes the run is cancelled and the window closes when it has ended.
bool MainDialogMayClose();

}  // namespace tblf
