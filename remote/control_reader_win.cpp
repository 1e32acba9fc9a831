#include "remote/control_reader_win.h"

#include <commctrl.h>

#include <cwchar>
#include <vector>

#include "remote/item_layouts.h"
#include "remote/remote_call_win.h"
#include "remote/timed_send_win.h"
#include "shell/text.h"

namespace tblf {

const BiText kTreeItemErrorText = {L"(取得失敗)", L"(error)"};

namespace {

constexpr UINT kLvmGetItemCount = 0x1004;
constexpr UINT kLvmGetItemW = 0x104B;
constexpr UINT kLvmSetItemState = 0x102B;
constexpr UINT kLvmGetColumnW = 0x105F;
constexpr UINT kTvmGetCount = 0x1105;
constexpr UINT kTvmGetNextItem = 0x110A;
constexpr UINT kTvmGetItemW = 0x113E;

constexpr unsigned kLvifText = 0x0001;
constexpr unsigned kLvifImage = 0x0002;
constexpr unsigned kLvifParam = 0x0004;
constexpr unsigned kLvifState = 0x0008;
constexpr unsigned kLvcfText = 0x0004;
constexpr unsigned kTvifTextHandle = 0x0011;

// A list view text arrives as at most 2047 characters and a terminating zero.
constexpr std::size_t kListViewTextLimit = kListViewTextChars - 1;
constexpr std::size_t kTreeViewTextLimit = kTreeViewTextChars - 1;

// Pointer-sized values of a 32-bit target come back in the low 32 bits.
std::uint64_t ForWidth(std::uint64_t value, PointerWidth width) {
  return width == PointerWidth::Bits32 ? (value & 0xFFFFFFFFull) : value;
}

}  // namespace

std::optional<long> Win32ControlReader::CountItems(WindowId control, ControlKind kind) {
  UINT message = 0;
  switch (kind) {
    case ControlKind::ListView: message = kLvmGetItemCount; break;
    case ControlKind::TreeView: message = kTvmGetCount; break;
    case ControlKind::ComboBox: message = CB_GETCOUNT; break;
    case ControlKind::ListBox: message = LB_GETCOUNT; break;
    default: return std::nullopt;
  }
  LRESULT count = 0;
  if (!TimedSend(ToHwnd(control), message, 0, 0, &count)) return std::nullopt;
  return static_cast<long>(count);
}

// --- list views ---------------------------------------------------------------

std::optional<std::wstring> Win32ControlReader::GetListViewColumnText(WindowId control, int column) {
  switch (column) {
    case kColumnRowNumber: return std::wstring(L"#");
    case kColumnIcon: return std::wstring(L"Icon");
    case kColumnLParam: return std::wstring(L"lParam");
    case kColumnState: return std::wstring(L"State");
    default: break;
  }
  if (column < 0) return std::nullopt;

  const HWND hwnd = ToHwnd(control);
  ProcessHandle process(OpenWindowProcess(hwnd));
  if (!process) return std::nullopt;
  const PointerWidth width = TargetPointerWidth(process);
  RemoteBlock text(process, kListViewTextBlockBytes);
  RemoteBlock request(process, ListViewColumnLayoutFor(width).size);
  if (!text || !request) return std::nullopt;

  ListViewColumnFields fields;
  fields.mask = kLvcfText;
  fields.pszText = text.address();
  fields.cchTextMax = kListViewTextChars;
  if (!request.Write(EncodeListViewColumn(fields, width))) return std::nullopt;
  LRESULT result = 0;
  if (!TimedSend(hwnd, kLvmGetColumnW, static_cast<WPARAM>(column), request.param(), &result) || result != 1)
    return std::nullopt;
  std::vector<unsigned char> bytes;
  if (!text.Read(&bytes)) return std::nullopt;
  return TextFromBlock(bytes, kListViewTextLimit);
}

int Win32ControlReader::CountListViewColumns(WindowId control) {
  int count = 0;
  while (GetListViewColumnText(control, count).has_value()) ++count;
  return count;
}

std::optional<std::wstring> Win32ControlReader::GetListViewCellText(int column, WindowId control, int item) {
  if (column == kColumnRowNumber) return std::to_wstring(item);
  const bool pseudo = column == kColumnIcon || column == kColumnLParam || column == kColumnState;
  if (column < 0 && !pseudo) return std::wstring();

  const HWND hwnd = ToHwnd(control);
  ProcessHandle process(OpenWindowProcess(hwnd));
  if (!process) return std::nullopt;
  const PointerWidth width = TargetPointerWidth(process);
  RemoteBlock request(process, ListViewItemLayoutFor(width).size);
  // Only a text request needs a text block; a failed allocation counts as a
  // failed send, so no request ever carries an address that is not there.
  RemoteBlock text(process, pseudo ? 0 : kListViewTextBlockBytes);
  if (!request || (!pseudo && !text)) return std::wstring();

  ListViewItemFields fields;
  fields.iItem = item;
  fields.iSubItem = pseudo ? 0 : column;
  switch (column) {
    case kColumnIcon: fields.mask = kLvifImage; break;
    case kColumnLParam: fields.mask = kLvifParam; break;
    case kColumnState:
      fields.mask = kLvifState;
      fields.stateMask = 0xFFFFFFFFu;
      break;
    default:
      fields.mask = kLvifText;
      fields.cchTextMax = kListViewTextChars;
      fields.pszText = text.address();
      break;
  }
  if (!request.Write(EncodeListViewItem(fields, width))) return std::wstring();
  LRESULT ignored = 0;
  if (!TimedSend(hwnd, kLvmGetItemW, 0, request.param(), &ignored)) return std::wstring();

  // The message's own result is not examined: a rejected request reads back
  // the untouched, zero-filled blocks.
  std::vector<unsigned char> structure;
  ListViewItemFields back;
  const bool haveStructure = request.Read(&structure) && DecodeListViewItem(structure, width, &back);
  if (pseudo) {
    if (!haveStructure) return std::wstring();
    switch (column) {
      case kColumnIcon: return std::to_wstring(back.iImage);
      case kColumnLParam: return FormatPointerValue(back.lParam, width);
      default: return FormatStateWord(back.state);
    }
  }
  // The control may point pszText at its own text instead of copying it into
  // our block (owner-data lists answering LVN_GETDISPINFO do); then the text
  // is read from there, in pieces, keeping whatever part is readable.
  const std::uint64_t pointer = haveStructure ? ForWidth(back.pszText, width) : 0;
  if (pointer != 0 && pointer != ForWidth(text.address(), width))
    return ReadRemoteText(process, pointer, kListViewTextLimit);
  std::vector<unsigned char> bytes;
  if (!text.Read(&bytes)) return std::wstring();
  return TextFromBlock(bytes, kListViewTextLimit);
}

bool Win32ControlReader::SetListViewItemState(WindowId control, int item, unsigned state) {
  const HWND hwnd = ToHwnd(control);
  ProcessHandle process(OpenWindowProcess(hwnd));
  if (!process) return false;
  const PointerWidth width = TargetPointerWidth(process);
  RemoteBlock request(process, ListViewItemLayoutFor(width).size);
  if (!request) return false;
  ListViewItemFields fields;
  fields.state = state;
  fields.stateMask = kLvisSelected;  // no other state bit is ever changed
  if (!request.Write(EncodeListViewItem(fields, width))) return false;
  LRESULT taken = 0;
  return TimedSend(hwnd, kLvmSetItemState, static_cast<WPARAM>(static_cast<INT_PTR>(item)), request.param(), &taken) &&
         taken != 0;
}

// --- tree views ---------------------------------------------------------------

TreeNavigate Win32ControlReader::NavigatorFor(HWND tree, PointerWidth width) {
  return [this, tree, width](unsigned code, TreeItemId from, TreeItemId* found) {
    ++treeNavigationMessages_;
    LRESULT result = 0;
    if (!TimedSend(tree, kTvmGetNextItem, code, static_cast<LPARAM>(static_cast<std::uintptr_t>(from)), &result))
      return false;
    *found = ForWidth(static_cast<std::uint64_t>(static_cast<std::uintptr_t>(result)), width);
    return true;
  };
}

std::optional<std::wstring> Win32ControlReader::GetTreeViewItemText(WindowId control, int position, int* depth,
                                                                    TreeItemId* item) {
  const HWND hwnd = ToHwnd(control);
  ProcessHandle process(OpenWindowProcess(hwnd));
  if (!process) {
    treeWalker_.Forget();
    return std::nullopt;
  }
  const PointerWidth width = TargetPointerWidth(process);
  const TreeNavigate navigate = NavigatorFor(hwnd, width);
  if (!treeContinuation_) treeWalker_.Forget();
  const TreeLocation at = treeWalker_.Locate(control, position, navigate);
  if (depth != nullptr) *depth = at.depth;
  if (item != nullptr) *item = at.item;
  if (at.item == 0) return std::wstring(kTreeItemErrorText.get());

  RemoteBlock text(process, kTreeViewTextBlockBytes);
  RemoteBlock request(process, TreeViewItemLayoutFor(width).size);
  if (!text || !request) return std::wstring(kTreeItemErrorText.get());
  TreeViewItemFields fields;
  fields.mask = kTvifTextHandle;
  fields.hItem = at.item;
  fields.pszText = text.address();
  fields.cchTextMax = kTreeViewTextChars;
  if (!request.Write(EncodeTreeViewItem(fields, width))) return std::wstring(kTreeItemErrorText.get());
  LRESULT result = 0;
  std::vector<unsigned char> bytes;
  if (!TimedSend(hwnd, kTvmGetItemW, 0, request.param(), &result) || result != 1 || !text.Read(&bytes))
    return std::wstring(kTreeItemErrorText.get());
  return TextFromBlock(bytes, kTreeViewTextLimit);
}

bool Win32ControlReader::TreeAncestorHasNextSibling(WindowId control, int levels, TreeItemId item) {
  const HWND hwnd = ToHwnd(control);
  // Navigation carries no pointers, but handles of a 32-bit tree are 32 bits.
#if defined(_WIN64)
  PointerWidth width = PointerWidth::Bits64;
  {
    ProcessHandle process(OpenWindowProcess(hwnd));
    if (process) width = TargetPointerWidth(process);
  }
#else
  const PointerWidth width = PointerWidth::Bits32;
#endif
  const TreeNavigate navigate = NavigatorFor(hwnd, width);
  for (int i = 0; i < levels; ++i) {
    if (!navigate(kTvgnParent, item, &item) || item == 0) return false;
  }
  TreeItemId next = 0;
  return navigate(kTvgnNext, item, &next) && next != 0;
}

// --- list boxes and combo boxes --------------------------------------------------

std::optional<std::wstring> Win32ControlReader::GetListItemText(HWND control, int index, bool combo) {
  const UINT lengthMessage = combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN;
  const UINT textMessage = combo ? CB_GETLBTEXT : LB_GETTEXT;
  LRESULT length = 0;
  if (!TimedSend(control, lengthMessage, static_cast<WPARAM>(index), 0, &length) || length == LB_ERR)
    return std::nullopt;
  // Never shorter than the placeholder, so whatever the control writes the
  // result is a terminated string.
  const std::size_t n = length < 7 ? 7 : static_cast<std::size_t>(length);
  std::vector<wchar_t> working(n + 1, L'\0');
  wmemcpy(working.data(), L"(error)", 7);
  LRESULT result = 0;
  if (!TimedSend(control, textMessage, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(working.data()),
                 &result) ||
      result == LB_ERR)
    return std::nullopt;
  std::wstring text(working.data(), n < kListTextResultChars ? n : kListTextResultChars);
  const std::size_t zero = text.find(L'\0');
  if (zero != std::wstring::npos) text.resize(zero);
  if (text.size() > kListTextResultChars - 1) text.resize(kListTextResultChars - 1);
  return text;
}

std::optional<std::wstring> Win32ControlReader::GetListBoxItemText(WindowId control, int index) {
  return GetListItemText(ToHwnd(control), index, false);
}

std::optional<std::wstring> Win32ControlReader::GetComboBoxItemText(WindowId control, int index) {
  return GetListItemText(ToHwnd(control), index, true);
}

}  // namespace tblf
