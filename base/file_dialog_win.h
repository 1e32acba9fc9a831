#pragma once
// The common file dialogs as the program asks them: a filter list, a title,
// no change of the current folder, read-only box hidden.

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace tblf {

struct FileFilter {
  const wchar_t* display;  // "Text Files (*.txt)"
  const wchar_t* pattern;  // "*.txt"
};

struct FileDialogRequest {
  HWND owner = nullptr;
  const wchar_t* title = nullptr;
  std::vector<FileFilter> filters;
  unsigned filterIndex = 1;                  // 1-based
  const wchar_t* defaultExtension = nullptr;  // save: appended to a name without one
};

// The save dialog (overwrite asked, folder must exist); nothing when the user
// cancels. A name the dialog calls invalid gets one more dialog with an empty name.
std::optional<std::wstring> AskSaveFileName(const FileDialogRequest& request);
// The open dialog (the file must exist); nothing when the user cancels.
std::optional<std::wstring> AskOpenFileName(const FileDialogRequest& request);

}  // namespace tblf
