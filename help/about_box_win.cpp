#include "help/about_box_win.h"

namespace tblf {

void ShowAboutBox(HWND) {}

}  // namespace tblf
