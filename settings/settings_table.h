#pragma once
// Every setting of the program: section, key and default, in one place.
// Modules read and write settings through these entries, never through their
// own literals.

#include <climits>
#include <optional>
#include <string>

#include "settings/settings.h"

namespace tblf {

struct IntSetting {
  const wchar_t* section;
  const wchar_t* key;
  int defaultValue;
};

struct StringSetting {
  const wchar_t* section;
  const wchar_t* key;
  const wchar_t* defaultValue;
};

inline int Read(const IntSetting& s) { return ReadSettingInt(s.section, s.key, s.defaultValue); }
inline std::optional<std::wstring> Read(const StringSetting& s) {
  return ReadSettingString(s.section, s.key, s.defaultValue);
}
inline bool Write(const IntSetting& s, int value, std::uintptr_t owner) {
  return WriteSettingInt(s.section, s.key, value, owner);
}
inline bool Write(const StringSetting& s, const wchar_t* value, std::uintptr_t owner) {
  return WriteSettingString(s.section, s.key, value, owner);
}

namespace settings {

constexpr int kCwUseDefault = INT_MIN;  // CW_USEDEFAULT, 0x80000000

// MainDialog
constexpr IntSetting kFormat{L"MainDialog", L"format", 0};
constexpr IntSetting kOtherControls{L"MainDialog", L"otherc", 1};
constexpr IntSetting kTextControls{L"MainDialog", L"textc", 0};
constexpr IntSetting kWayOut{L"MainDialog", L"wayout", 0};
constexpr IntSetting kTreeColumn{L"MainDialog", L"tvcolumn", 0};
constexpr IntSetting kTreeGraph{L"MainDialog", L"tvgraph", 0};
constexpr StringSetting kListViewColumns{L"MainDialog", L"lvcolumn", L"---"};
constexpr StringSetting kListViewLines{L"MainDialog", L"lvline", L"---"};
// List view extras: the checked/selected/focused columns, selected rows only,
// columns as shown.
constexpr IntSetting kWithChecked{L"MainDialog", L"withchecked", 0};
constexpr IntSetting kWithSelected{L"MainDialog", L"withselected", 0};
constexpr IntSetting kWithFocused{L"MainDialog", L"withfocused", 0};
constexpr IntSetting kSelectedOnly{L"MainDialog", L"selectedonly", 0};
constexpr IntSetting kAsShown{L"MainDialog", L"asshown", 0};

// Window
constexpr IntSetting kWindowPosSize{L"Window", L"possize", 1};
constexpr IntSetting kWindowSample{L"Window", L"sample", 1};
constexpr IntSetting kWindowMax{L"Window", L"wMax", 0};
constexpr IntSetting kWindowLeft{L"Window", L"wLeft", kCwUseDefault};
constexpr IntSetting kWindowTop{L"Window", L"wTop", 0};
constexpr IntSetting kWindowWidth{L"Window", L"wWidth", kCwUseDefault};
constexpr IntSetting kWindowHeight{L"Window", L"wHeight", 0};

// SampleWindow (the rectangle's defaults are computed by the sample window)
constexpr IntSetting kSampleIndependent{L"SampleWindow", L"Independ", 0};
constexpr IntSetting kSamplePosSize{L"SampleWindow", L"PosSize", 0};
constexpr StringSetting kSampleFont{L"SampleWindow", L"Font", L"MS UI Gothic"};
constexpr const wchar_t* kSampleSection = L"SampleWindow";

// File
constexpr IntSetting kCharCode{L"File", L"CharCode", 3};
constexpr IntSetting kOtherCodePage{L"File", L"OtherCP", 3};
constexpr IntSetting kRetCode{L"File", L"RetCode", 0};

// Data
constexpr IntSetting kQuoteWhenNeeded{L"Data", L"dquot_sdata", 0};
constexpr IntSetting kDoubleQuotes{L"Data", L"dquot2", 0};
// 1: read inside the target program where the hook DLL can; 0: messages only.
constexpr IntSetting kReadInProcess{L"Data", L"inproc", 1};

// Run
constexpr IntSetting kRunAsAdmin{L"Run", L"AsAdmin", 0};

// Update
constexpr StringSetting kHttpProxy{L"Update", L"HTTPProxy", L"_"};
constexpr IntSetting kHttpProxyPort{L"Update", L"HTTPProxyPort", 0};
constexpr IntSetting kHttpTimeout{L"Update", L"HTTPTimeout", 6};
constexpr IntSetting kAutoUpdateCheck{L"Update", L"AutoUpdateCheck", 0};
constexpr IntSetting kBetaUpdateCheck{L"Update", L"BetaUpdateCheck", 0};
constexpr IntSetting kCloseWindowWnve{L"Update", L"CloseWindow_wnve", 1};

// FileList
constexpr StringSetting kFileListFolder{L"FileList", L"folder", L"."};
constexpr StringSetting kFileListInfo{L"FileList", L"info",
                                      L"{%cf},{%s},{%t4y}/{%tmm}/{%tdd} {%thh}:{%t0n}:{%t0s},{%a}"};
constexpr IntSetting kFileListSubfolder{L"FileList", L"subfolder", 1};
constexpr IntSetting kFileListFolderOnly{L"FileList", L"folderonly", 0};
constexpr IntSetting kFileListLocalTime{L"FileList", L"LocalTime", 0};
constexpr IntSetting kFileListFilesOrder{L"FileList", L"FilesOrder", 0};
constexpr IntSetting kFileListDirOrder{L"FileList", L"DirOrder", 0};

// appOpenDialog (cmdline0 ... cmdline9 share the default "---")
constexpr const wchar_t* kAppOpenSection = L"appOpenDialog";
constexpr const wchar_t* kAppOpenHistoryDefault = L"---";
constexpr StringSetting kAppOpenCmdline{L"appOpenDialog", L"cmdline", L"NOTEPAD \"%s\""};
constexpr IntSetting kAppOpenSelect{L"appOpenDialog", L"select", 0};

// MulSelLv
constexpr IntSetting kMulSelRadio{L"MulSelLv", L"Radio", 1};
constexpr IntSetting kMulSelCaseI{L"MulSelLv", L"CaseI", 0};
constexpr IntSetting kMulSelCancel{L"MulSelLv", L"SelCancel", 0};
constexpr IntSetting kMulSelColumn{L"MulSelLv", L"Column", 0};

}  // namespace settings
}  // namespace tblf
