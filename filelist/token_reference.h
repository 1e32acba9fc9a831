#pragma once
// The token reference that the file list dialog shows beside the template
// box: one line per {%...} token, grouped as the template language groups
// them, each group closed by "------", lines ending in CR LF.

#include <string>

namespace tblf {

std::wstring FileListTokenReference(bool japanese);

}  // namespace tblf
