#pragma once
// Win32 side of the multi-selection helper: the Esc key and the target's style.

#include <windows.h>

#include "remote/multi_select.h"

namespace tblf {

// Esc held down right now (GetAsyncKeyState, high bit), wherever the focus is.
class AsyncEscapePoll : public EscapePoll {
 public:
  bool EscapeHeld() override;
};

// The check of the target's GWL_STYLE before a run.
SelectTargetCheck CheckSelectTarget(HWND target);

}  // namespace tblf
