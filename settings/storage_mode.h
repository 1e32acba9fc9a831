#pragma once
// Where the settings live: the per-user registry (the normal case) or the INI
// file .\TBLIFT.INI beside the executable (INI mode). Start-up decides once,
// before it reads any setting other than Run/AsAdmin; tests set it directly.

#include <string_view>

namespace tblf {

// True when the executable's full path selects INI mode: at least 8
// characters ending in "_o.exe", where o, e, x, e match in either case and
// the underscore and the dot exactly (TBLIFT_O.EXE, tblift_o.exe).
bool IniModeFromExePath(std::wstring_view exePath);

// True when the command line after the program name is exactly "/o" or "/O".
bool IniModeFromCommandLine(std::wstring_view arguments);

// Either of the two.
inline bool IniModeSelected(std::wstring_view exePath, std::wstring_view arguments) {
  return IniModeFromExePath(exePath) || IniModeFromCommandLine(arguments);
}

// The process-wide storage mode, false (registry) at start.
void SetIniMode(bool iniMode);
bool IsIniMode();

}  // namespace tblf
