#pragma once
// Every message box of the program goes through ShowMessageBox, so that a
// test (or the command-line exporter) can take the text instead of a window
// that would block.

#include <windows.h>

#include <functional>
#include <string>

namespace tblf {

// MessageBoxW unless a hook is set; returns the button (IDOK, IDYES, ...).
int ShowMessageBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type);

using MessageBoxHook =
    std::function<int(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type)>;
// Replaces the message box for the whole process; an empty hook restores it.
void SetMessageBoxHook(MessageBoxHook hook);

}  // namespace tblf
