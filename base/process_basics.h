#pragma once
// Values and helpers fixed at the very start of the process, read by almost
// every other module. This header is portable; the Win32 half that fills the
// values lives in process_basics_win.h.

#include <cstdint>
#include <optional>
#include <string>

#include "base/text.h"

namespace tblf {

// The registry wrapper's own copy of the UI flag (its guard messages follow it).
extern bool g_regwJapaneseUi;

// Windows version number: major * 100 + minor (601 Windows 7, 1000 Windows 10).
// Features that need Windows Vista or later compare it with 600.
extern unsigned short g_windowsVersion;
constexpr unsigned short kWindowsVista = 600;

// The program's own frame window (an HWND as a number; 0 until it exists).
// Discovery skips it and the Esc check looks for it in front.
extern std::uintptr_t g_frameWindow;

// Shown when a target application stops answering.
extern const BiText kReadErrorText;
inline const wchar_t* ReadErrorText() { return kReadErrorText.get(); }

// Language decision. `envValue` is the value of TBLF_LANG (null or empty when
// unset); `systemLangId` is GetSystemDefaultLangID(). True means Japanese.
bool JapaneseFromLanguage(const wchar_t* envValue, unsigned short systemLangId);

// Sets the UI flag and its registry-wrapper copy together.
void SetUiLanguage(bool japanese);

// Version number from what RtlGetVersion / GetVersionExA reported.
unsigned short WindowsVersionNumber(unsigned long platformId, unsigned long major,
                                    unsigned long minor, unsigned long build);

// The folder that SetCurrentDirectoryToExeFolder makes current, or nothing
// when the path has no backslash. A backslash at index 4 or lower is kept, so
// a drive root stays "C:\".
std::optional<std::wstring> ExeFolderFromPath(const std::wstring& exePath);

// Text for a ShellExecuteW result (codes below 33 are failures).
std::wstring ShellExecuteErrorText(unsigned code);

}  // namespace tblf
