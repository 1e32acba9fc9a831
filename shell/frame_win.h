#pragma once
// The frame window: the top-level window with the menu bar, filled by the
// main dialog. It forwards every command to the main dialog and saves its
// placement when it closes.

#include <windows.h>

namespace tblf {

constexpr wchar_t kFrameClassName[] = L"Tabulift";

bool RegisterFrameClass();
// Creates the frame at the stored placement; `showCommand` receives how to
// show it. Null on failure. Sets g_frameWindow.
HWND CreateFrameWindow(int& showCommand);

}  // namespace tblf
