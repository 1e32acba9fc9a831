#pragma once
// The About box, built in memory.

#include <windows.h>

namespace tblf {

// Shows the About box, modal to `owner`.
void ShowAboutBox(HWND owner);

}  // namespace tblf
