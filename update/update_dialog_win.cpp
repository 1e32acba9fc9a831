#include "update/update_dialog_win.h"

namespace tblf {

void ShowUpdateDialog(HWND) {}

}  // namespace tblf
