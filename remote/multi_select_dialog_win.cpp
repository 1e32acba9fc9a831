#include "remote/multi_select_dialog_win.h"

namespace tblf {

void ShowMultiSelectDialog(HWND, HWND) {}

}  // namespace tblf
