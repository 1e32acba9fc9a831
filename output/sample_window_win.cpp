#include "output/sample_window_win.h"

#include <memory>
#include <optional>
#include <string>

#include "output/sample_placement.h"
#include "output/start_output_win.h"
#include "resources/resource.h"
#include "settings/settings_table.h"
#include "base/dialog_win.h"
#include "base/message_box_win.h"
#include "base/process_basics.h"

namespace tblf {

HWND g_sampleWindow = nullptr;

namespace {

constexpr wchar_t kClassName[] = L"TBLIFT_SAMPLEWINDOW";
const BiText kTitle{L"Tabulift - 出力サンプル", L"Tabulift - Sample"};
const BiText kWritingTitle{L"Tabulift - 出力サンプル - サンプルの出力中...", L"Tabulift - Sample - Writing..."};
const BiText kClassFailedText{L"サンプルウィンドウのクラス登録に失敗しました。",
                              L"RegisterClassEx(sample window) failed."};
const BiText kCreateFailedText{L"ウィンドウの生成(出力サンプル)に失敗しました。", L"CreateWindowEx(Sample) failed."};

constexpr IntSetting kLeft{settings::kSampleSection, L"wLeft", 0};
constexpr IntSetting kTop{settings::kSampleSection, L"wTop", 0};
constexpr IntSetting kWidth{settings::kSampleSection, L"wWidth", 0};
constexpr IntSetting kHeight{settings::kSampleSection, L"wHeight", 0};

bool g_classRegistered = false;
HFONT g_font = nullptr;
std::wstring g_initialText;

HWND Frame() { return reinterpret_cast<HWND>(g_frameWindow); }

void FitText(HWND window, int width, int height) {
  if (HWND edit = GetDlgItem(window, kSampleTextId)) {
    SetWindowPos(edit, nullptr, 0, 0, width, height, SWP_NOZORDER | SWP_SHOWWINDOW);
  }
}

LRESULT CALLBACK SampleProcedure(HWND window, UINT message, WPARAM w, LPARAM l) {
  switch (message) {
    case WM_CREATE: {
      HWND edit = CreateWindowExW(WS_EX_CLIENTEDGE, L"Edit", g_initialText.c_str(),
                                  WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_AUTOVSCROLL |
                                      ES_AUTOHSCROLL | ES_NOHIDESEL | ES_READONLY,
                                  0, 0, 1, 1, window, reinterpret_cast<HMENU>(kSampleTextId),
                                  GetModuleHandleW(nullptr), nullptr);
      if (edit) {
        SendMessageW(edit, WM_SETFONT, reinterpret_cast<WPARAM>(g_font), TRUE);
        RECT client{};
        GetClientRect(window, &client);
        FitText(window, client.right, client.bottom);
        SelectAllOnCtrlA(edit);  // the control itself is read-only
      }
      HANDLE icon = LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_SAMPLE), IMAGE_ICON, 16, 16,
                               LR_SHARED);
      SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
      return 0;
    }
    case WM_SIZE:
      FitText(window, LOWORD(l), HIWORD(l));
      return 0;
    case WM_DESTROY: {
      WINDOWPLACEMENT placement{};
  placement.length = sizeof placement;
      if (GetWindowPlacement(window, &placement)) {
        const RECT& r = placement.rcNormalPosition;
        Write(kLeft, r.left, g_frameWindow);
        Write(kTop, r.top, g_frameWindow);
        Write(kWidth, r.right - r.left, g_frameWindow);
        Write(kHeight, r.bottom - r.top, g_frameWindow);
      }
      if (g_font) DeleteObject(g_font);
      g_font = nullptr;
      if (window == g_sampleWindow) g_sampleWindow = nullptr;
      return 0;
    }
    default:
      return DefWindowProcW(window, message, w, l);
  }
}

bool RegisterSampleClass() {
  if (g_classRegistered) return true;
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.style = CS_HREDRAW | CS_VREDRAW | CS_NOCLOSE;
  wc.lpfnWndProc = SampleProcedure;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = kClassName;
  g_classRegistered = RegisterClassExW(&wc) != 0;
  return g_classRegistered;
}

ScreenRect DefaultRect() {
  RECT frame{};
  GetWindowRect(Frame(), &frame);
  HMONITOR monitor = MonitorFromPoint({frame.right, frame.top}, MONITOR_DEFAULTTONULL);
  if (!monitor) monitor = MonitorFromPoint({frame.left, frame.top}, MONITOR_DEFAULTTONEAREST);
  MONITORINFO info{};
  info.cbSize = sizeof info;
  GetMonitorInfoW(monitor, &info);
  return SampleDefaultRect({frame.left, frame.top, frame.right, frame.bottom}, info.rcMonitor.right);
}

// The renderer thread's own copy of the job, with the window it fills.
struct RenderRequest {
  OutputJob job;
  HWND window;
};

DWORD WINAPI RenderThread(void* parameter) {
  std::unique_ptr<RenderRequest> request(static_cast<RenderRequest*>(parameter));
  HWND window = request->window;
  SetWindowTextW(window, kWritingTitle.get());
  RenderSample(std::move(request->job), GetDlgItem(window, kSampleTextId), Frame());
  SetWindowTextW(window, kTitle.get());
  return 0;
}

}  // namespace

HWND CreateSampleWindow(const wchar_t* initialText) {
  if (!RegisterSampleClass()) {
    ShowMessageBox(Frame(), kClassFailedText.get(), kClassName, MB_ICONERROR);
    return nullptr;
  }
  if (std::optional<std::wstring> face = Read(settings::kSampleFont)) {
    // The UI language's character set: with SHIFTJIS_CHARSET an English face
    // would give way to a Japanese one, and `\` would show as a yen sign.
    LOGFONTW font{};
    font.lfHeight = 12;
    font.lfWeight = 500;
    font.lfOutPrecision = OUT_TT_PRECIS;
    font.lfPitchAndFamily = FIXED_PITCH;
    lstrcpynW(font.lfFaceName, face->c_str(), LF_FACESIZE);
    g_font = CreateUiFont(font);
  }
  const bool independent = Read(settings::kSampleIndependent) != 0;
  ScreenRect r = DefaultRect();
  int x = r.left, y = r.top, width = r.right - r.left, height = r.bottom - r.top;
  if (Read(settings::kSamplePosSize) != 0) {
    const int left = ReadSettingInt(kLeft.section, kLeft.key, x);
    const int top = ReadSettingInt(kTop.section, kTop.key, y);
    if (MonitorFromPoint({left, top}, MONITOR_DEFAULTTONULL)) {
      x = left;
      y = top;
      width = ReadSettingInt(kWidth.section, kWidth.key, width);
      height = ReadSettingInt(kHeight.section, kHeight.key, height);
    }
  }
  g_initialText = initialText;
  HWND window = CreateWindowExW(independent ? 0 : WS_EX_TOOLWINDOW, kClassName, kTitle.get(),
                                WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME, x, y, width, height,
                                independent ? nullptr : Frame(), nullptr, GetModuleHandleW(nullptr), nullptr);
  if (!window) {
    if (g_font) DeleteObject(g_font);
    g_font = nullptr;
    ShowMessageBox(Frame(), kCreateFailedText.get(), kClassName, MB_ICONERROR);
    return nullptr;
  }
  g_sampleWindow = window;
  ShowWindow(window, SW_SHOWNORMAL);
  UpdateWindow(window);
  return window;
}

void DestroySampleWindow() {
  if (g_sampleWindow) DestroyWindow(g_sampleWindow);
  g_sampleWindow = nullptr;
}

void StartSampleRenderer(const OutputJob& job) {
  if (!g_sampleWindow) return;
  SetDlgItemTextW(g_sampleWindow, kSampleTextId, L"");
  auto* request = new RenderRequest{job, g_sampleWindow};
  HANDLE thread = CreateThread(nullptr, 0, RenderThread, request, 0, nullptr);
  if (thread) {
    CloseHandle(thread);
  } else {
    delete request;
  }
}

}  // namespace tblf
