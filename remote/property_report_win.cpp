#include "remote/property_report_win.h"

#include <cwchar>
#include <vector>

#include "remote/remote_call_win.h"
#include "remote/timed_send_win.h"
#include "base/text.h"

namespace tblf {

namespace {

constexpr WPARAM kCaptionChars = 2048;

std::uint64_t LongPtr(HWND window, int index) {
  return static_cast<std::uint64_t>(static_cast<std::uintptr_t>(GetWindowLongPtrW(window, index)));
}

WindowRect FromRect(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

}  // namespace

std::optional<std::wstring> ReadControlCaption(HWND window) {
  std::vector<wchar_t> buffer(kCaptionChars, L'\0');
  if (!TimedSend(window, WM_GETTEXT, kCaptionChars, reinterpret_cast<LPARAM>(buffer.data()), nullptr))
    return std::nullopt;
  // A control that fills the whole buffer without a terminating zero is cut too.
  return std::wstring(buffer.data(), wcsnlen(buffer.data(), kCaptionChars - 1));
}

ControlFacts GatherControlFacts(HWND window, ControlKind kind) {
  ControlFacts facts;
  const KindDescriptor* row = FindKind(kind);
  if ((row && !row->IsControl()) || !IsWindow(window)) return facts;
  facts.isWindow = true;
  facts.caption = ReadControlCaption(window);
  facts.style = static_cast<std::uint32_t>(GetWindowLongW(window, GWL_STYLE));
  facts.exStyle = static_cast<std::uint32_t>(GetWindowLongW(window, GWL_EXSTYLE));
  facts.procedure = LongPtr(window, GWLP_WNDPROC);
  facts.instance = LongPtr(window, GWLP_HINSTANCE);
  facts.handle = FromHwnd(window);
  facts.parent = LongPtr(window, GWLP_HWNDPARENT);
  facts.controlId = LongPtr(window, GWLP_ID);
  facts.userData = LongPtr(window, GWLP_USERDATA);
  RECT r{};
  if (GetWindowRect(window, &r)) facts.screen = FromRect(r);
  r = RECT{};
  if (GetClientRect(window, &r)) facts.client = FromRect(r);
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  facts.processId = processId;
  ProcessHandle process(OpenWindowProcess(window));
  facts.processOpened = static_cast<bool>(process);
  return facts;
}

std::wstring ControlPropertyReport(HWND window, ControlKind kind) {
  return BuildPropertyReport(kind, GatherControlFacts(window, kind), g_japaneseUi);
}

}  // namespace tblf
