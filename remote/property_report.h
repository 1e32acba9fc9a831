#pragma once
// The property report of a control: a fixed-layout text about its kind and
// class, caption, styles decoded into their symbolic names, handles, position,
// owner-draw warning and process. The Win32 layer gathers the facts
// (property_report_win.h); the text is made here, so every line can be checked
// without a desktop.

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "base/text.h"
#include "remote/control_kinds.h"

namespace tblf {

// The name tables of every window, each in the order the decoding walks it;
// a kind's own table is in its row (remote/control_kinds.h).
extern const StyleTable kWindowStyleNames;
extern const StyleTable kExtendedStyleNames;

// The kind's own class table (empty for the file list and unknown kinds).
StyleTable StyleNamesOfKind(ControlKind kind);

// Walks the tables in order; a name whose bits are all still present is
// written and its bits removed. Bits no name took end the text as "%08X".
// "WS_CHILD | WS_VISIBLE | 0000F000"; empty for style 0.
std::wstring DecodeStyle(std::uint32_t style, std::initializer_list<StyleTable> tables);

struct WindowRect {
  long left = 0;
  long top = 0;
  long right = 0;
  long bottom = 0;
};

// What the Win32 layer found out about a control.
struct ControlFacts {
  // False when the handle is no longer a window (or the row is the file list):
  // the report then says "Unknown" and nothing more.
  bool isWindow = false;
  std::optional<std::wstring> caption;  // nothing: the timed WM_GETTEXT failed
  std::uint32_t style = 0;
  std::uint32_t exStyle = 0;
  std::uint64_t procedure = 0;
  std::uint64_t instance = 0;
  std::uint64_t handle = 0;
  std::uint64_t parent = 0;
  std::uint64_t controlId = 0;
  std::uint64_t userData = 0;
  WindowRect screen;  // GetWindowRect
  WindowRect client;  // GetClientRect
  std::uint32_t processId = 0;
  bool processOpened = false;
};

// The pointer width of this build: "%p" digits and the bits the process line names.
constexpr int kBuildPointerBits = static_cast<int>(sizeof(void*) * 8);

// The report text in the given language; "%p" values are printed with
// pointerBits / 4 digits and the process line names pointerBits.
std::wstring BuildPropertyReport(ControlKind kind, const ControlFacts& facts, bool japanese,
                                 int pointerBits = kBuildPointerBits);

// "Window Handle : %p - Property" for the dialog title, at most 72 characters.
std::wstring PropertyDialogTitle(WindowId handle, bool japanese, int pointerBits = kBuildPointerBits);

}  // namespace tblf
