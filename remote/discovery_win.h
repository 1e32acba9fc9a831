#pragma once
// Win32 side of control discovery: the desktop walk and the main list.

#include <windows.h>

#include <optional>
#include <vector>

#include "remote/discovery.h"

namespace tblf {

// The desktop through EnumWindows, EnumChildWindows, timed sends and a
// Toolhelp process snapshot.
class Win32DesktopWindows : public DesktopWindows {
 public:
  std::vector<WindowId> TopLevelWindows() override;
  std::optional<std::wstring> WindowTitle(WindowId window) override;
  std::wstring ProgramName(WindowId window) override;
  std::vector<WindowId> Descendants(WindowId window) override;
  std::optional<std::wstring> ClassName(WindowId window) override;
  unsigned long Style(WindowId window) override;
};

// File name of a process's executable from a Toolhelp snapshot; "???" when
// the snapshot fails or no entry matches.
std::wstring ProcessNameOf(DWORD processId);

// Main list set-up, once: the six columns, the image list of the kinds'
// icons and the owner-draw mark as overlay image 1, and LVS_EX_INFOTIP.
void SetUpMainList(HWND list);

// Empties the main list and fills it from the desktop (the program's frame
// window skipped), the file list row last; columns auto-sized, row 0 focused
// but not selected. Text controls are listed with `textControls`.
void RefreshMainList(HWND list, bool otherControls, bool textControls);
// The same from candidate rows already discovered.
void FillMainList(HWND list, const std::vector<Candidate>& rows);

// The control of a kind at a screen point, as the finder and `--at` pick
// it: the deepest visible window under the point (among overlapping
// siblings the smallest, so a group box does not hide what it frames), then
// PickFromChain over it and its parents. Null when none is there or when the
// point is on a window of `skipRoot` (the program's own frame).
HWND ControlAtPoint(POINT at, HWND skipRoot = nullptr);
// "CLASS HANDLE" of a window, the handle as the main list shows it.
std::wstring ClassAndHandle(HWND window);

// The image index of a kind's icon in the main list; -1 for none.
int MainListImage(ControlKind kind);

// Row readers: the kind's row (nullptr when the row cannot be read), the
// handle the "%p" text of column 0.
const KindDescriptor* ReadRowKind(HWND list, int row);
std::optional<HWND> ReadRowHandle(HWND list, int row);

}  // namespace tblf
