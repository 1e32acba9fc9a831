#include "remote/timed_send_win.h"

namespace tblf {

bool TimedSend(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  DWORD_PTR value = 0;
  const LRESULT ok = SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG,
                                         kTimedSendLimitMs, &value);
  if (ok == 0) return false;
  if (result != nullptr) *result = static_cast<LRESULT>(value);
  return true;
}

}  // namespace tblf
