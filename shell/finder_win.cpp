#include "shell/finder_win.h"

#include <commctrl.h>
#include <windowsx.h>

#include "base/text.h"
#include "remote/discovery_win.h"
#include "resources/resource.h"

namespace tblf {

namespace {

const BiText kHintText{L"照準をコントロールへドラッグすると選択します", L"Drag the crosshair onto a control"};
const BiText kNoControlText{L"ここには出力できるコントロールがありません", L"No control to export here"};
constexpr int kFrameWidth = 3;

}  // namespace

void Finder::Attach(HWND icon, HWND text, HWND skipRoot, std::function<void(HWND)> picked) {
  icon_ = icon;
  text_ = text;
  skipRoot_ = skipRoot;
  picked_ = std::move(picked);
  crosshair_ = static_cast<HICON>(
      LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_FINDER), IMAGE_ICON, 16, 16, LR_SHARED));
  SendMessageW(icon_, STM_SETICON, reinterpret_cast<WPARAM>(crosshair_), 0);
  SetWindowTextW(text_, kHintText.get());
  SetWindowSubclass(icon_, IconProcedure, 0, reinterpret_cast<DWORD_PTR>(this));
}

LRESULT CALLBACK Finder::IconProcedure(HWND window, UINT message, WPARAM w, LPARAM l, UINT_PTR, DWORD_PTR self) {
  Finder& finder = *reinterpret_cast<Finder*>(self);
  // The pointer's place comes with the message (client coordinates of the
  // icon, which holds the capture), so a drag made of posted messages works
  // as a real one does.
  POINT at{GET_X_LPARAM(l), GET_Y_LPARAM(l)};
  switch (message) {
    case WM_LBUTTONDOWN:
      finder.Begin();
      return 0;
    case WM_MOUSEMOVE:
      if (!finder.dragging_) break;
      ClientToScreen(window, &at);
      finder.Move(at);
      return 0;
    case WM_LBUTTONUP:
      if (!finder.dragging_) break;
      ClientToScreen(window, &at);
      finder.End(true, at);
      return 0;
    case WM_CAPTURECHANGED:
      finder.End(false, at);
      break;
    case WM_KEYDOWN:
      if (w == VK_ESCAPE && finder.dragging_) {
        finder.End(false, at);
        return 0;
      }
      break;
    case WM_NCDESTROY:
      RemoveWindowSubclass(window, IconProcedure, 0);
      break;
    default:
      break;
  }
  return DefSubclassProc(window, message, w, l);
}

void Finder::Begin() {
  if (dragging_) return;
  dragging_ = true;
  outlined_ = nullptr;
  SetCapture(icon_);
  SetCursor(LoadCursorW(nullptr, IDC_CROSS));
  // The crosshair leaves its place: it is the pointer now.
  SendMessageW(icon_, STM_SETICON, 0, 0);
  SetWindowTextW(text_, L"");
}

void Finder::Move(POINT screen) {
  SetCursor(LoadCursorW(nullptr, IDC_CROSS));
  HWND target = ControlAtPoint(screen, skipRoot_);
  if (target == outlined_) return;
  if (outlined_) InvertFrame(outlinedRect_);
  outlined_ = target;
  SetWindowTextW(text_, target ? ClassAndHandle(target).c_str() : kNoControlText.get());
  // The text is drawn before the frame, so that a repaint of the text does
  // not cross it.
  UpdateWindow(text_);
  if (!target) return;
  GetWindowRect(target, &outlinedRect_);
  InvertFrame(outlinedRect_);
}

void Finder::End(bool pick, POINT screen) {
  if (!dragging_) return;
  // First the state, then the capture: ReleaseCapture sends
  // WM_CAPTURECHANGED, which must find the drag over.
  dragging_ = false;
  if (outlined_) InvertFrame(outlinedRect_);
  outlined_ = nullptr;
  if (GetCapture() == icon_) ReleaseCapture();
  SendMessageW(icon_, STM_SETICON, reinterpret_cast<WPARAM>(crosshair_), 0);
  // A click on the icon, let go where it was pressed, is no pick either.
  RECT iconRect{};
  GetWindowRect(icon_, &iconRect);
  if (!pick || PtInRect(&iconRect, screen)) {
    SetWindowTextW(text_, kHintText.get());
    return;
  }
  HWND target = ControlAtPoint(screen, skipRoot_);
  SetWindowTextW(text_, target ? ClassAndHandle(target).c_str() : kNoControlText.get());
  if (picked_) picked_(target);
}

void Finder::InvertFrame(const RECT& r) {
  // On the screen, not in the target's window: a window of another process
  // may keep what it shows in a surface of its own that a foreign DC misses.
  HDC dc = GetDC(nullptr);
  if (!dc) return;
  const int w = r.right - r.left, h = r.bottom - r.top;
  if (w <= 2 * kFrameWidth || h <= 2 * kFrameWidth) {
    PatBlt(dc, r.left, r.top, w, h, DSTINVERT);
  } else {
    // Four bands that do not overlap, so no corner is inverted twice.
    PatBlt(dc, r.left, r.top, w, kFrameWidth, DSTINVERT);
    PatBlt(dc, r.left, r.bottom - kFrameWidth, w, kFrameWidth, DSTINVERT);
    PatBlt(dc, r.left, r.top + kFrameWidth, kFrameWidth, h - 2 * kFrameWidth, DSTINVERT);
    PatBlt(dc, r.right - kFrameWidth, r.top + kFrameWidth, kFrameWidth, h - 2 * kFrameWidth, DSTINVERT);
  }
  ReleaseDC(nullptr, dc);
}

}  // namespace tblf
