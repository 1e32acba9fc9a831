#pragma once
// The start-output command: the main dialog (or the sample renderer) hands
// over one output request, built from the dialog's state by the dialog; this
// command asks for the file name or the way of opening, runs the job and
// tells how it ended. It reads no dialog control.

#include <windows.h>

#include "base/text.h"
#include "output/engine.h"
#include "output/engine_host_win.h"

namespace tblf {

// The control of the chosen row is no longer a window.
extern const BiText kInvalidItemText;

// Where button 1 sends the output (the entries of the destination list).
enum class OutputWay : unsigned char { File = 0, Clipboard = 1, OpenWith = 2 };

struct OutputRequest {
  // Control, kind, format, selections, tree options, quoting, encoding,
  // newline and owner (the main dialog, parent of every message box).
  OutputJob job;
  OutputWay way = OutputWay::File;
  WindowId frame = 0;       // Esc is seen while this window is in front
  bool targetGone = false;  // the chosen control is no longer a window
  FileListRun fileList;     // kind FileList: the walk with the options asked for
};

// The file, clipboard or open output of `request`, on the UI thread.
void StartOutput(const OutputRequest& request);

// The sample renderer's run: its own copy of the dialog's job into the
// sample window's text control.
void RenderSample(OutputJob job, HWND sampleControl, HWND frame);

}  // namespace tblf
