#pragma once
// The start-output command: the main dialog's state becomes an output job.
// Called on the UI thread with no sample control (file, clipboard, open) and
// on the sample renderer's thread with the sample window's text control; the
// two meet only in the output state.

#include <windows.h>

#include "base/text.h"

namespace tblf {

// The control of the chosen row is no longer a window.
extern const BiText kInvalidItemText;

void StartOutput(HWND mainDialog, HWND sampleControl);

}  // namespace tblf
