#include "filelist/file_list_dialog_win.h"

namespace tblf {

bool AskFileListOptions(HWND, FileListOptions&) { return false; }

}  // namespace tblf
