#include "filelist/file_list_row_win.h"

#include <commctrl.h>

#include "base/text.h"

namespace tblf {
namespace {

const BiText kFileListLabel{L"ファイル一覧", L"File List"};
const BiText kFileListDescription{L"(任意のフォルダ下のファイル/フォルダ一覧を作成します)",
                                  L"Get file list in specified folder."};

void SetCell(HWND list, int row, int column, const wchar_t* text) {
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = const_cast<wchar_t*>(text);
  SendMessageW(list, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
}

}  // namespace

void AppendFileListRow(HWND list) {
  LVITEMW item{};
  item.mask = LVIF_TEXT | LVIF_IMAGE;
  item.iItem = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
  item.pszText = const_cast<wchar_t*>(kFileListLabel.get());
  item.iImage = 4;
  const int row = static_cast<int>(SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
  if (row < 0) return;
  SetCell(list, row, 2, kFileListDescription.get());
  SetCell(list, row, 3, L"---");
}

}  // namespace tblf
