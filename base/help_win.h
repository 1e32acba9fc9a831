#pragma once
// Help topics: pages of the compiled HTML Help file TBLIFT.CHM beside the
// executable (the current directory after start-up).

#include <windows.h>

namespace tblf {

// Shows `topic` (a name from help_topics.h; null for the file's start page)
// in the HTML Help viewer, owned by `owner`. True when a viewer window was
// returned. Without the help file or the HTML Help runtime it does nothing
// and shows nothing; a runtime that cannot be loaded is not tried again.
bool OpenHelpTopic(HWND owner, const wchar_t* topic);

// The command line "/?": opens the command-line topic in hh.exe. On failure
// shows "Cannot open TBLIFT.CHM" and returns false. Either way the program
// then ends.
bool OpenCommandLineHelp();

}  // namespace tblf
