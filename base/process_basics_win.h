#pragma once
// Win32 half of the process-wide basics: the two start-up decisions and the
// small helpers around the current directory and system libraries.

#include <windows.h>

namespace tblf {

// Fills g_windowsVersion (RtlGetVersion, else GetVersionExA).
void DetermineWindowsVersion();

// Sets the UI flag from TBLF_LANG or the system default language.
void SelectUiLanguage();

// Makes the executable's folder the current directory (drive roots keep
// their backslash); does nothing when the path has no backslash.
void SetCurrentDirectoryToExeFolder();

// LoadLibraryA with the system directory as the current directory, so that a
// DLL of the same name beside the executable or in the current folder is
// never picked up. The previous current directory is restored.
HMODULE LoadSystemLibrary(const char* dllName);

}  // namespace tblf
