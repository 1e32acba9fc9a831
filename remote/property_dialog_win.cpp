#include "remote/property_dialog_win.h"

namespace tblf {

void ShowPropertyDialog(HWND, HWND, ControlKind) {}

}  // namespace tblf
