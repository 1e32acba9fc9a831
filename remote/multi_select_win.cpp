#include "remote/multi_select_win.h"

namespace tblf {

bool AsyncEscapePoll::EscapeHeld() { return (GetAsyncKeyState(VK_ESCAPE) & 0x8000) != 0; }

SelectTargetCheck CheckSelectTarget(HWND target) {
  return CheckSelectTarget(static_cast<unsigned long>(GetWindowLongW(target, GWL_STYLE)));
}

}  // namespace tblf
