#pragma once
// The open-with-application destination: asks how to open, writes the output
// to a new temporary file, hands the file to the chosen program and
// remembers it; the files are deleted when the program ends.

#include <windows.h>

#include <optional>
#include <string>

#include "output/engine.h"
#include "output/open_with.h"

namespace tblf {

// The user's choice: how to open, the temporary file and, for a command
// line, the command with the file put in.
struct OpenPlan {
  OpenWay way = OpenWay::None;
  std::wstring path;
  std::wstring command;
};

// On the UI thread: shows the choice dialog over `owner` and picks the
// temporary file's name; nothing when the user cancelled.
std::optional<OpenPlan> AskHowToOpen(HWND owner);

// On the output worker: runs the engine into the temporary file and launches
// the program (a failed launch goes to host.ShowError). True when the output
// was written, whether or not the launch succeeded. `job` arrives filled but
// for its destination and file name.
bool OpenWithApplication(const OpenPlan& plan, OutputJob job, ControlReader& reader, OutputHost& host);

// Deletes every temporary file of this run; those that cannot be deleted are
// listed in one warning owned by `owner` (the main dialog). Called once at exit.
void DeleteTemporaryFiles(HWND owner);

}  // namespace tblf
