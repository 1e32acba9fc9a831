#pragma once
// Control discovery: every list view (and, with the other-controls option,
// every tree view, combo box and list box) of every top-level window becomes
// one candidate row of the main list. The walk over the desktop goes through
// DesktopWindows, so the logic is portable; the Win32 side answers with
// EnumWindows, EnumChildWindows, timed sends and a Toolhelp snapshot.

#include <optional>
#include <string>
#include <vector>

#include "base/text.h"
#include "remote/control_kinds.h"

namespace tblf {

class DesktopWindows {
 public:
  virtual ~DesktopWindows() = default;
  // Top-level windows in Z order.
  virtual std::vector<WindowId> TopLevelWindows() = 0;
  // Title by timed WM_GETTEXTLENGTH and WM_GETTEXT; nothing when either fails.
  virtual std::optional<std::wstring> WindowTitle(WindowId window) = 0;
  // Executable file name of the window's process; "???" when not found.
  virtual std::wstring ProgramName(WindowId window) = 0;
  // Every descendant, parents before their children.
  virtual std::vector<WindowId> Descendants(WindowId window) = 0;
  // Class name (at most 99 characters); nothing when it cannot be read.
  virtual std::optional<std::wstring> ClassName(WindowId window) = 0;
  // GWL_STYLE.
  virtual unsigned long Style(WindowId window) = 0;
};

struct Candidate {
  WindowId handle = 0;
  ControlKind kind = ControlKind::ListView;
  std::wstring label;      // column 0
  std::wstring program;    // column 1
  std::wstring owner;      // column 2
  std::wstring count;      // column 3
  std::wstring firstItem;  // column 4
  std::wstring note;       // column 5
  bool overlay = false;    // owner-draw warning mark
  long items = 0;          // the item count of column 3
  int columns = 0;         // list views: the column count of column 3 (at least 1)
};

// "%p" of the handle (upper case, zero-padded to `digits`) and the kind
// suffix; a kind listed always has none while the other-controls option is off.
std::wstring HandleLabel(WindowId handle, ControlKind kind, bool otherControls,
                         int digits = static_cast<int>(sizeof(void*) * 2));
// The handle of a label: hexadecimal digits up to the first other character
// (the kind suffix); nothing when the label starts with no digit.
std::optional<WindowId> ParseHandleLabel(const std::wstring& label);
// The kind of a window class; nothing for any other class.
std::optional<ControlKind> KindOfClass(const std::wstring& className);

// The control that the windows under a point offer, given by class name
// from the deepest window up to its top-level window: the first of a kind
// (a list view's header gives the list view); a text control whose parent
// is of a list kind is part of it (a combo box's edit, a tree view's label
// edit) and gives the parent. Its index; nothing when no class is of a kind.
std::optional<std::size_t> PickFromChain(const std::vector<std::wstring>& classes);

// Every candidate of the desktop in discovery order; `frameWindow` (the
// program's own frame window, 0 for none) and its controls are skipped.
// Edits, statics, status bars and tab controls only with `textControls`.
std::vector<Candidate> DiscoverControls(DesktopWindows& desktop, ControlReader& reader, bool otherControls,
                                        WindowId frameWindow, bool textControls = false);

}  // namespace tblf
