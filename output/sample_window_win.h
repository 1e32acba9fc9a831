#pragma once
// The sample window: a tool window beside the frame whose read-only text
// control shows the output of the selected control, rendered on a thread of
// its own.

#include <windows.h>

#include "output/engine.h"

namespace tblf {

constexpr int kSampleTextId = 108;

// The sample window while it is shown (null otherwise); UI thread only.
extern HWND g_sampleWindow;

// Creates and shows the window with `initialText`; null (after its message)
// when the class or the window cannot be created. Sets g_sampleWindow.
HWND CreateSampleWindow(const wchar_t* initialText);
// Destroys the window when there is one (its rectangle is saved).
void DestroySampleWindow();

// Clears the text control and renders `job` (the main dialog's current
// choice; the renderer keeps a copy) on a new thread.
void StartSampleRenderer(const OutputJob& job);

}  // namespace tblf
