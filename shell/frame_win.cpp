#include "shell/frame_win.h"

#include "base/help_topics.h"
#include "base/help_win.h"
#include "output/open_with_win.h"
#include "output/sample_window_win.h"
#include "output/start_output_win.h"
#include "resources/resource.h"
#include "settings/settings_table.h"
#include "shell/main_dialog_win.h"
#include "base/process_basics.h"
#include "shell/startup.h"

namespace tblf {
namespace {

void SavePlacement(HWND frame) {
  WINDOWPLACEMENT placement{};
  placement.length = sizeof placement;
  if (!GetWindowPlacement(frame, &placement)) return;
  const std::uintptr_t owner = reinterpret_cast<std::uintptr_t>(frame);
  const RECT& r = placement.rcNormalPosition;
  Write(settings::kWindowMax, placement.showCmd == SW_SHOWMAXIMIZED ? 1 : 0, owner);
  Write(settings::kWindowLeft, r.left, owner);
  Write(settings::kWindowTop, r.top, owner);
  Write(settings::kWindowWidth, r.right - r.left, owner);
  Write(settings::kWindowHeight, r.bottom - r.top, owner);
}

LRESULT CALLBACK FrameProcedure(HWND frame, UINT message, WPARAM w, LPARAM l) {
  switch (message) {
    case WM_GETMINMAXINFO:
      reinterpret_cast<MINMAXINFO*>(l)->ptMinTrackSize = {620, 240};
      return 0;
    case WM_SIZE:
      // The dialog is a little larger than the client area, as a dialog frame
      // would make it.
      if (g_mainDialog) {
        SetWindowPos(g_mainDialog, nullptr, 0, 0, LOWORD(l) + 2 * GetSystemMetrics(SM_CXDLGFRAME) - 1,
                     HIWORD(l) + 2 * GetSystemMetrics(SM_CYDLGFRAME) - 1, SWP_NOMOVE | SWP_NOZORDER);
      }
      return 0;
    case WM_SETFOCUS:
      if (g_mainDialog) SetFocus(g_mainDialog);
      return 0;
    case WM_COMMAND:
      return g_mainDialog ? SendMessageW(g_mainDialog, WM_COMMAND, w, l) : 0;
    case WM_INITMENUPOPUP:
      if (LOWORD(l) == 0) {
        // A running output leaves the commands that would start or change one grayed.
        const bool running = OutputRunning();
        auto enable = [w](int id, bool on) {
          EnableMenuItem(reinterpret_cast<HMENU>(w), id, MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED));
        };
        enable(IDM_START_OUTPUT, MainListHasSelection() && !running);
        for (int id : {IDM_OUTPUT_FILELIST, IDC_REFRESH, IDM_SETTINGS}) enable(id, !running);
      }
      return 0;
    case WM_CLOSE:
      if (MainDialogMayClose()) DestroyWindow(frame);
      return 0;
    case WM_HELP:
      OpenHelpTopic(frame, kHelpMainWindow);
      return TRUE;
    case WM_ENDSESSION:
      if (w) DestroyWindow(frame);
      return 0;
    case WM_DESTROY:
      SavePlacement(frame);
      DestroySampleWindow();
      DeleteTemporaryFiles(g_mainDialog);
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(frame, message, w, l);
  }
}

}  // namespace

bool RegisterFrameClass() {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = FrameProcedure;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hIcon = LoadIconW(wc.hInstance, MAKEINTRESOURCEW(IDI_PROGRAM));
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszMenuName = MAKEINTRESOURCEW(g_japaneseUi ? IDM_FRAME_JA : IDM_FRAME_EN);
  wc.lpszClassName = kFrameClassName;
  return RegisterClassExW(&wc) != 0;
}

HWND CreateFrameWindow(int& showCommand) {
  const int left = Read(settings::kWindowLeft), top = Read(settings::kWindowTop);
  const bool cornerOnMonitor = MonitorFromPoint({left, top}, MONITOR_DEFAULTTONULL) != nullptr;
  const FramePlacement p =
      DecideFramePlacement(Read(settings::kWindowPosSize) != 0, Read(settings::kWindowMax), left, top,
                           Read(settings::kWindowWidth), Read(settings::kWindowHeight), cornerOnMonitor);
  showCommand = p.maximized ? SW_MAXIMIZE : SW_SHOWNORMAL;
  HWND frame = CreateWindowExW(0, kFrameClassName, L"Tabulift", WS_OVERLAPPEDWINDOW, p.x, p.y, p.width, p.height,
                               nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  g_frameWindow = reinterpret_cast<std::uintptr_t>(frame);
  return frame;
}

}  // namespace tblf
