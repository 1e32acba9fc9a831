#include "base/file_dialog_win.h"

#include <cderr.h>
#include <commdlg.h>

namespace tblf {
namespace {

// Pairs of zero-ended texts, the list ended by one more zero.
std::wstring FilterText(const std::vector<FileFilter>& filters) {
  std::wstring text;
  for (const FileFilter& f : filters) {
    text += f.display;
    text += L'\0';
    text += f.pattern;
    text += L'\0';
  }
  return text;
}

std::optional<std::wstring> Ask(const FileDialogRequest& request, bool save) {
  const std::wstring filter = FilterText(request.filters);
  for (int attempt = 0; attempt < 2; ++attempt) {
    wchar_t file[MAX_PATH + 1] = L"";
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = request.owner;
    ofn.lpstrFilter = filter.c_str();
    ofn.nFilterIndex = request.filterIndex;
    ofn.lpstrFile = file;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrTitle = request.title;
    ofn.lpstrDefExt = request.defaultExtension;
    ofn.Flags = OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST;
    if (save) {
      ofn.Flags |= OFN_OVERWRITEPROMPT;
      if (GetSaveFileNameW(&ofn)) return std::wstring(file);
      if (CommDlgExtendedError() != FNERR_INVALIDFILENAME) break;
    } else {
      ofn.Flags |= OFN_FILEMUSTEXIST;
      if (GetOpenFileNameW(&ofn)) return std::wstring(file);
      break;
    }
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::wstring> AskSaveFileName(const FileDialogRequest& request) { return Ask(request, true); }

std::optional<std::wstring> AskOpenFileName(const FileDialogRequest& request) { return Ask(request, false); }

}  // namespace tblf
