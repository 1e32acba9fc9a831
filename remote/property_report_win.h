#pragma once
// Win32 side of the property report: what the window manager and the control
// tell about a control, and the report made from it.

#include <windows.h>

#include <optional>
#include <string>

#include "remote/property_report.h"

namespace tblf {

// The caption by a timed WM_GETTEXT into a zeroed buffer of 2048 characters,
// so at most 2047 arrive; nothing when the exchange fails.
std::optional<std::wstring> ReadControlCaption(HWND window);

// Styles, handles, rectangles, caption and process of `window`; a window that
// no longer exists (or the file list row) gives isWindow false and nothing else.
ControlFacts GatherControlFacts(HWND window, ControlKind kind);

// The report of `window` in the UI language.
std::wstring ControlPropertyReport(HWND window, ControlKind kind);

}  // namespace tblf
