#include "remote/discovery_win.h"

#include <commctrl.h>
#include <tlhelp32.h>

#include <cwchar>

#include "remote/control_reader_win.h"
#include "remote/timed_send_win.h"
#include "resources/resource.h"
#include "base/process_basics.h"

namespace tblf {
namespace {

BOOL CALLBACK CollectWindow(HWND window, LPARAM param) {
  reinterpret_cast<std::vector<WindowId>*>(param)->push_back(FromHwnd(window));
  return TRUE;
}

const BiText kHeaders[6] = {
    {L"ハンドル番号", L"Handle"},           {L"プログラム名", L"Program"}, {L"所有ウィンドウタイトル", L"Owner Window"},
    {L"行列数", L"Count"},                  {L"最上段の項目名", L"First Item"}, {L"備考", L"Note"},
};
constexpr int kInitialWidths[6] = {150, 150, 205, 205, 205, 205};
const BiText kFileListDescription{L"(任意のフォルダ下のファイル/フォルダ一覧を作成します)",
                                  L"Get file list in specified folder."};
constexpr COLORREF kOwnerDrawMarkColour = RGB(220, 0, 0);

// A 16 x 16 image of one colour with a one-pixel dark frame; the overlay is
// a small red corner mark, transparent elsewhere.
void AddImage(HIMAGELIST images, COLORREF colour, bool overlay) {
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP colourBitmap = CreateCompatibleBitmap(screen, 16, 16);
  HBITMAP maskBitmap = CreateBitmap(16, 16, 1, 1, nullptr);
  HGDIOBJ old = SelectObject(dc, colourBitmap);
  RECT all{0, 0, 16, 16};
  HBRUSH black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  HBRUSH fill = CreateSolidBrush(colour);
  if (overlay) {
    FillRect(dc, &all, black);
    RECT corner{0, 8, 8, 16};
    FillRect(dc, &corner, fill);
  } else {
    FillRect(dc, &all, black);
    RECT inner{1, 1, 15, 15};
    FillRect(dc, &inner, fill);
  }
  SelectObject(dc, maskBitmap);
  // Mask: white is transparent.
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(overlay ? WHITE_BRUSH : BLACK_BRUSH)));
  if (overlay) {
    RECT corner{0, 8, 8, 16};
    FillRect(dc, &corner, black);
  }
  SelectObject(dc, old);
  ImageList_Add(images, colourBitmap, maskBitmap);
  DeleteObject(fill);
  DeleteObject(colourBitmap);
  DeleteObject(maskBitmap);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
}

void SetCell(HWND list, int row, int column, const std::wstring& text) {
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = const_cast<wchar_t*>(text.c_str());
  SendMessageW(list, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
}

// A new last row: the kind's icon, the kind itself in lParam (the icon's
// index is only a picture), the label in column 0.
int InsertRow(HWND list, ControlKind kind, const wchar_t* label) {
  LVITEMW item{};
  item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
  item.iItem = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
  item.pszText = const_cast<wchar_t*>(label);
  item.iImage = MainListImage(kind);
  item.lParam = static_cast<LPARAM>(kind);
  return static_cast<int>(SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
}

}  // namespace

std::vector<WindowId> Win32DesktopWindows::TopLevelWindows() {
  std::vector<WindowId> windows;
  EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&windows));
  return windows;
}

std::optional<std::wstring> Win32DesktopWindows::WindowTitle(WindowId window) {
  LRESULT length = 0;
  if (!TimedSend(ToHwnd(window), WM_GETTEXTLENGTH, 0, 0, &length) || length < 0) return std::nullopt;
  std::wstring title(static_cast<size_t>(length) + 1, L'\0');
  LRESULT copied = 0;
  if (!TimedSend(ToHwnd(window), WM_GETTEXT, title.size(), reinterpret_cast<LPARAM>(title.data()), &copied)) {
    return std::nullopt;
  }
  title.resize(wcsnlen(title.c_str(), title.size()));
  return title;
}

std::wstring ProcessNameOf(DWORD processId) {
  std::wstring name = L"???";
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return name;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof(entry);
  for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
    if (entry.th32ProcessID != processId) continue;
    std::wstring path = entry.szExeFile;
    const size_t slash = path.find_last_of(L"\\/");
    name = slash == std::wstring::npos ? path : path.substr(slash + 1);
    if (name.size() > 260) name.resize(260);
    break;
  }
  CloseHandle(snapshot);
  return name;
}

std::wstring Win32DesktopWindows::ProgramName(WindowId window) {
  DWORD processId = 0;
  GetWindowThreadProcessId(ToHwnd(window), &processId);
  return ProcessNameOf(processId);
}

std::vector<WindowId> Win32DesktopWindows::Descendants(WindowId window) {
  std::vector<WindowId> children;
  EnumChildWindows(ToHwnd(window), CollectWindow, reinterpret_cast<LPARAM>(&children));
  return children;
}

std::optional<std::wstring> Win32DesktopWindows::ClassName(WindowId window) {
  wchar_t name[100];
  const int length = GetClassNameW(ToHwnd(window), name, 100);
  if (length <= 0) return std::nullopt;
  return std::wstring(name, length);
}

unsigned long Win32DesktopWindows::Style(WindowId window) {
  return static_cast<unsigned long>(GetWindowLongW(ToHwnd(window), GWL_STYLE));
}

void SetUpMainList(HWND list) {
  for (int c = 0; c < 6; ++c) {
    LVCOLUMNW column{};
    column.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.fmt = LVCFMT_LEFT;
    column.cx = kInitialWidths[c];
    column.pszText = const_cast<wchar_t*>(kHeaders[c].get());
    column.iSubItem = c;
    SendMessageW(list, LVM_INSERTCOLUMNW, c, reinterpret_cast<LPARAM>(&column));
  }
  // One icon per kind, in the order of the kind rows, then the overlay. The
  // icons come from the program's resources (resources/icons.rc); a program
  // built without them gets plain drawn squares in their places.
  const std::span<const KindDescriptor> kinds = ControlKinds();
  const int overlay = static_cast<int>(kinds.size());
  HIMAGELIST images = ImageList_Create(16, 16, ILC_COLORDDB | ILC_MASK, overlay + 1, 0);
  HINSTANCE module = GetModuleHandleW(nullptr);
  auto add = [&](int id, COLORREF colour, bool isOverlay) {
    HICON icon = static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(id), IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR));
    if (icon == nullptr || ImageList_AddIcon(images, icon) < 0) AddImage(images, colour, isOverlay);
    if (icon != nullptr) DestroyIcon(icon);
  };
  for (const KindDescriptor& kind : kinds) add(kind.icon, kind.drawnColour, false);
  add(IDI_OWNERDRAW_MARK, kOwnerDrawMarkColour, true);
  ImageList_SetOverlayImage(images, overlay, 1);
  SendMessageW(list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images));
  SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_INFOTIP, LVS_EX_INFOTIP);
}

void FillMainList(HWND list, const std::vector<Candidate>& rows) {
  SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
  for (const Candidate& candidate : rows) {
    LVITEMW item{};
    const int row = InsertRow(list, candidate.kind, candidate.label.c_str());
    if (row < 0) continue;
    SetCell(list, row, 1, candidate.program);
    SetCell(list, row, 2, candidate.owner);
    SetCell(list, row, 3, candidate.count);
    SetCell(list, row, 4, candidate.firstItem);
    SetCell(list, row, 5, candidate.note);
    if (candidate.overlay) {
      LVITEMW state{};
      state.stateMask = LVIS_OVERLAYMASK;
      state.state = INDEXTOOVERLAYMASK(1);
      SendMessageW(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&state));
    }
  }
  // The file list row, always last.
  const KindDescriptor& fileList = *FindKind(ControlKind::FileList);
  const int last = InsertRow(list, fileList.kind, fileList.label.get());
  if (last >= 0) {
    SetCell(list, last, 2, kFileListDescription.get());
    SetCell(list, last, 3, L"---");
  }
  if (SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) > 0) {
    for (int c = 0; c < 6; ++c) SendMessageW(list, LVM_SETCOLUMNWIDTH, c, LVSCW_AUTOSIZE);
    LVITEMW focus{};
    focus.stateMask = LVIS_FOCUSED;
    focus.state = LVIS_FOCUSED;
    SendMessageW(list, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&focus));
  }
}

void RefreshMainList(HWND list, bool otherControls, bool textControls) {
  Win32DesktopWindows desktop;
  Win32ControlReader reader;
  FillMainList(list, DiscoverControls(desktop, reader, otherControls, g_frameWindow, textControls));
}

int MainListImage(ControlKind kind) {
  const std::span<const KindDescriptor> kinds = ControlKinds();
  for (size_t i = 0; i < kinds.size(); ++i) {
    if (kinds[i].kind == kind) return static_cast<int>(i);
  }
  return -1;
}

const KindDescriptor* ReadRowKind(HWND list, int row) {
  LVITEMA item{};
  item.mask = LVIF_PARAM;
  item.iItem = row;
  if (!SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item))) return nullptr;
  if (item.lParam < 0 || item.lParam > 0xFF) return nullptr;
  return FindKind(static_cast<ControlKind>(item.lParam));
}

std::optional<HWND> ReadRowHandle(HWND list, int row) {
  wchar_t text[2048] = L"";
  LVITEMW item{};
  item.iSubItem = 0;
  item.pszText = text;
  item.cchTextMax = 2048;
  SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
  std::optional<WindowId> handle = ParseHandleLabel(text);
  if (!handle) return std::nullopt;
  return ToHwnd(*handle);
}

HWND ControlAtPoint(POINT at, HWND skipRoot) {
  HWND hit = WindowFromPoint(at);
  if (!hit) return nullptr;
  // WindowFromPoint passes over statics (HTTRANSPARENT) and disabled
  // controls to their parent: the walk goes down again from the top.
  HWND window = GetAncestor(hit, GA_ROOT);
  if (!window || window == GetDesktopWindow() || window == skipRoot) return nullptr;
  for (;;) {
    HWND smallest = nullptr;
    long long smallestArea = 0;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
      RECT r{};
      if (!IsWindowVisible(child) || (GetWindowLongW(child, GWL_EXSTYLE) & WS_EX_TRANSPARENT) ||
          !GetWindowRect(child, &r) || !PtInRect(&r, at)) {
        continue;
      }
      const long long area = static_cast<long long>(r.right - r.left) * (r.bottom - r.top);
      if (!smallest || area < smallestArea) smallest = child, smallestArea = area;
    }
    if (!smallest) break;
    window = smallest;
  }
  std::vector<HWND> chain;
  std::vector<std::wstring> classes;
  for (HWND w = window; w && w != GetDesktopWindow(); w = GetAncestor(w, GA_PARENT)) {
    wchar_t name[100] = L"";
    GetClassNameW(w, name, 100);
    chain.push_back(w);
    classes.push_back(name);
  }
  const std::optional<std::size_t> picked = PickFromChain(classes);
  return picked ? chain[*picked] : nullptr;
}

std::wstring ClassAndHandle(HWND window) {
  wchar_t name[100] = L"";
  GetClassNameW(window, name, 100);
  wchar_t handle[40];
  std::swprintf(handle, 40, L"%0*llX", static_cast<int>(sizeof(void*) * 2),
                static_cast<unsigned long long>(FromHwnd(window)));
  // Without the version of a class registered under an activation context
  // ("6.0.2600.2982!SysListView32").
  const wchar_t* bang = std::wcsrchr(name, L'!');
  return std::wstring(bang ? bang + 1 : name) + L" " + handle;
}

}  // namespace tblf
