#pragma once
// The list view multi-selection helper dialog.

#include <windows.h>

namespace tblf {

// Shows the multi-selection helper for the list view `target`, modal to `owner`.
void ShowMultiSelectDialog(HWND owner, HWND target);

}  // namespace tblf
