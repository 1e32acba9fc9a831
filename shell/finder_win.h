#pragma once
// The main dialog's finder: a crosshair icon the user drags onto any window.
// While the button is held the pointer is a cross, the control under it (as
// ControlAtPoint picks it) is outlined by an inverted frame and named by its
// class and handle in a text beside the icon; on release the owner hears
// which control was picked. Esc or a lost capture ends the drag with nothing
// picked.

#include <windows.h>

#include <functional>

namespace tblf {

class Finder {
 public:
  Finder() = default;
  Finder(const Finder&) = delete;
  Finder& operator=(const Finder&) = delete;

  // `icon`: the static (SS_ICON | SS_NOTIFY) that shows the crosshair;
  // `text`: the static that names the control; the windows of `skipRoot`
  // (the program's own frame) are no targets. `picked` hears the control on
  // release, null when the pointer was on none.
  void Attach(HWND icon, HWND text, HWND skipRoot, std::function<void(HWND picked)> picked);
  bool Dragging() const { return dragging_; }
  // Ends a drag with nothing picked.
  void Cancel() { End(false, POINT{}); }

 private:
  static LRESULT CALLBACK IconProcedure(HWND window, UINT message, WPARAM w, LPARAM l, UINT_PTR id, DWORD_PTR self);
  void Begin();
  void Move(POINT screen);
  void End(bool pick, POINT screen);
  // Inverts a frame along the inner edges of a screen rectangle: the second
  // call erases the first.
  static void InvertFrame(const RECT& r);

  HWND icon_ = nullptr;
  HWND text_ = nullptr;
  HWND skipRoot_ = nullptr;
  HICON crosshair_ = nullptr;
  std::function<void(HWND)> picked_;
  bool dragging_ = false;
  HWND outlined_ = nullptr;  // the window whose frame is inverted now
  RECT outlinedRect_{};      // where, on the screen
};

}  // namespace tblf
