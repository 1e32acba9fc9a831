#pragma once
// The start-output command: the main dialog (or the sample renderer) hands
// over one output request, built from the dialog's state by the dialog; this
// command asks for the file name or the way of opening, runs the job on a
// worker thread and hands the messages it ended with back to the dialog. It
// reads no dialog control.
//
// While the worker runs it talks to the owner (the main dialog) through
// three messages, which the dialog passes on here:
//   kOutputProgressMessage  posted, at most every 50 ms: w = rows done,
//                           l = rows to read (-1: not known, the file list)
//   kOutputCallMessage      sent: runs a question on the UI thread
//                           (RunOutputCall)
//   kOutputDoneMessage      posted once when the worker ends (FinishOutput)

#include <windows.h>

#include <string>
#include <vector>

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

constexpr UINT kOutputProgressMessage = WM_APP + 0x51;
constexpr UINT kOutputCallMessage = WM_APP + 0x52;
constexpr UINT kOutputDoneMessage = WM_APP + 0x53;

// On the UI thread: asks for the file name or the way of opening and starts
// the worker. False when nothing started (the user cancelled a dialog, the
// control is gone, whose message is then shown, or an output runs).
bool StartOutput(const OutputRequest& request);

// True from a successful StartOutput until FinishOutput.
bool OutputRunning();
// Button 1 while running: the run stops after the current row, "Aborted.".
void CancelOutput();
// Esc in the dialog while running: the run asks "Do you want to abort?" at
// its next row, as for Esc held down in the frame.
void NoteEscapeDuringOutput();

// One message box the run ended with, shown after the worker ended.
struct OutputNotice {
  std::wstring text;
  UINT icon;  // MB_ICONERROR or MB_ICONINFORMATION
};
// On kOutputDoneMessage: waits for the worker's last steps, frees the
// output state and returns the run's messages, in order.
std::vector<OutputNotice> FinishOutput(LPARAM run);
// Shows them as message boxes owned by `owner`, caption "Tabulift".
void ShowOutputNotices(HWND owner, const std::vector<OutputNotice>& notices);
// On kOutputCallMessage.
void RunOutputCall(LPARAM call);

// The sample renderer's run: its own copy of the dialog's job into the
// sample window's text control.
void RenderSample(OutputJob job, HWND sampleControl, HWND frame);

}  // namespace tblf
