#pragma once
// The topics of the help file that the program opens. Each is a page under
// "_RESOURCE" in TBLIFT.CHM; tests/chm/check_chm.py checks that every topic
// named here exists in the compiled file.

namespace tblf {

inline constexpr wchar_t kHelpMainWindow[] = L"HLP000001.html";        // main dialog and frame window
inline constexpr wchar_t kHelpMultiSelection[] = L"HLP000010.html#ms"; // list view multi-selection helper
inline constexpr wchar_t kHelpOpenWith[] = L"HLP000012.html";          // open with application
inline constexpr wchar_t kHelpFileList[] = L"HLP000013.html";          // file list and its template language
inline constexpr wchar_t kHelpUpdateCheck[] = L"HLP000014.html";       // update check
inline constexpr wchar_t kHelpSettings[] = L"HLP000017.html";          // settings dialog
inline constexpr wchar_t kHelpCommandLine[] = L"HLP000021.html";       // command line, "/?" and tblfcli
inline constexpr wchar_t kHelpProperty[] = L"HLP000025.html";          // property report
inline constexpr wchar_t kHelpContribution[] = L"kifu.html";           // Help menu: contribution

}  // namespace tblf
