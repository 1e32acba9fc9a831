#pragma once
// The control property dialog.

#include <windows.h>

#include "remote/discovery.h"

namespace tblf {

// Shows the property report of `target`, a control of kind `kind`, modal to `owner`.
void ShowPropertyDialog(HWND owner, HWND target, ControlKind kind);

}  // namespace tblf
