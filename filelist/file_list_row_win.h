#pragma once
// The file list pseudo row, always the last row of the main list.

#include <windows.h>

namespace tblf {

// Appends "File List" / "ファイル一覧" with image 4.
void AppendFileListRow(HWND list);

}  // namespace tblf
