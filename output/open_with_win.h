#pragma once
// The open-with-application destination: asks how to open, writes the output
// to a new temporary file, hands the file to the chosen program and
// remembers it; the files are deleted when the program ends.

#include <windows.h>

#include "output/engine.h"

namespace tblf {

// Shows the choice dialog over `owner`, runs the engine into the temporary
// file and launches the program. True when the output was written (whether
// or not the launch succeeded); false when the user cancelled or the output
// failed. `job` arrives filled but for its destination and file name.
bool OpenWithApplication(OutputJob job, ControlReader& reader, OutputHost& host, HWND owner);

// Deletes every temporary file of this run; those that cannot be deleted are
// listed in one warning owned by `owner` (the main dialog). Called once at exit.
void DeleteTemporaryFiles(HWND owner);

}  // namespace tblf
