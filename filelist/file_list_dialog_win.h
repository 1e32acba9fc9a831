#pragma once
// The file list dialog: asks for the options of one file list run.

#include <windows.h>

#include "filelist/file_list_options.h"

namespace tblf {

// Shows the file list dialog, modal to `owner`. True when the user chose OK;
// `options` then holds the run's options.
bool AskFileListOptions(HWND owner, FileListOptions& options);

}  // namespace tblf
