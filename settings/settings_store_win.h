#pragma once
// Win32 side of the settings store: the start-up decision of the storage
// mode and the INI file's name. The four operations are in settings.h.

#include <windows.h>

namespace tblf {

// Relative on purpose: start-up makes the executable's folder current, so
// the file lies beside the executable.
constexpr const wchar_t* kIniFilePath = L".\\TBLIFT.INI";

// Sets the storage mode from the executable's path (GetModuleFileNameW) and
// the command line after the program name (wWinMain's lpCmdLine).
void SelectStorageMode(const wchar_t* commandLineArguments);

}  // namespace tblf
