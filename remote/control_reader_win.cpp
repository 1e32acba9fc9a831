#include "remote/control_reader_win.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <vector>

#include "remote/control_kinds.h"
#include "remote/item_layouts.h"
#include "remote/remote_call_win.h"
#include "remote/remote_text.h"
#include "remote/timed_send_win.h"
#include "base/text.h"

namespace tblf {

const BiText kTreeItemErrorText = {L"(取得失敗)", L"(error)"};

namespace {

constexpr UINT kLvmGetItemW = 0x104B;
constexpr UINT kLvmSetItemState = 0x102B;
constexpr UINT kLvmGetColumnW = 0x105F;
constexpr UINT kLvmGetNextItem = 0x100C;
constexpr UINT kLvmGetColumnWidth = 0x101D;
constexpr UINT kLvmGetColumnOrderArray = 0x103B;
constexpr LPARAM kLvniSelected = 0x0002;
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

bool IsPseudoColumn(int column) {
  return column == kColumnIcon || column == kColumnLParam || column == kColumnState;
}

// Structures and texts share one block; each starts on an 8-byte boundary.
std::size_t RoundUpToPointer(std::size_t size) { return (size + 7) / 8 * 8; }

// Cells fetched in one exchange at most: a block of about 260 KB even for a
// column selection that names one column many times.
constexpr std::size_t kRowExchangeCells = 64;

}  // namespace

std::optional<long> Win32ControlReader::CountItems(WindowId control, ControlKind kind) {
  const KindDescriptor* row = FindKind(kind);
  if (!row || row->countMessage == 0) return std::nullopt;
  LRESULT count = 0;
  lost_ = !TimedSend(ToHwnd(control), row->countMessage, 0, 0, &count);
  if (lost_) return std::nullopt;
  return static_cast<long>(count);
}

// --- sessions -------------------------------------------------------------------

void Win32ControlReader::BeginSession(WindowId control) { session_ = std::make_unique<ReadSession>(ToHwnd(control)); }

void Win32ControlReader::EndSession() { session_.reset(); }

ReadSession& Win32ControlReader::SessionFor(HWND control, std::unique_ptr<ReadSession>& single) {
  if (session_ && session_->control() == control) return *session_;
  single = std::make_unique<ReadSession>(control);
  return *single;
}

ReadSession* Win32ControlReader::OpenedSessionFor(HWND control, std::unique_ptr<ReadSession>& single) {
  ReadSession& session = SessionFor(control, single);
  if (session.Open()) return &session;
  OpenFailed(control);
  return nullptr;
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
  std::unique_ptr<ReadSession> single;
  ReadSession* opened = OpenedSessionFor(hwnd, single);
  if (!opened) return std::nullopt;
  ReadSession& session = *opened;
  const PointerWidth width = session.width();
  // The request structure first, the text space after it.
  const std::size_t textAt = RoundUpToPointer(ListViewColumnLayoutFor(width).size);
  std::vector<unsigned char> image(textAt + kListViewTextBlockBytes, 0);
  // Past the last column the control answers FALSE: no text, but not lost.
  auto lost = [this]() -> std::optional<std::wstring> {
    lost_ = true;
    return std::nullopt;
  };
  RemoteBlock* block = session.Memory(image.size());
  if (block == nullptr) return lost();

  ListViewColumnFields fields;
  fields.mask = kLvcfText;
  fields.pszText = block->address() + textAt;
  fields.cchTextMax = kListViewTextChars;
  const std::vector<unsigned char> request = EncodeListViewColumn(fields, width);
  std::copy(request.begin(), request.end(), image.begin());
  if (!block->WriteFront(image.data(), image.size())) return lost();
  LRESULT result = 0;
  if (!TimedSend(hwnd, kLvmGetColumnW, static_cast<WPARAM>(column), block->param(), &result)) return lost();
  if (result != 1) return std::nullopt;
  if (!block->ReadFront(image.data(), image.size())) return lost();
  return TextFromBlock(std::vector<unsigned char>(image.begin() + textAt, image.end()), kListViewTextLimit);
}

int Win32ControlReader::CountListViewColumns(WindowId control) {
  int count = 0;
  while (GetListViewColumnText(control, count).has_value()) ++count;
  return count;
}

std::optional<std::wstring> Win32ControlReader::GetListViewCellText(int column, WindowId control, int item) {
  return GetListViewRowTexts(control, item, {column})[0];
}

std::vector<std::optional<std::wstring>> Win32ControlReader::GetListViewRowTexts(WindowId control, int item,
                                                                                const std::vector<int>& columns) {
  std::vector<std::optional<std::wstring>> cells(columns.size());
  // Cells that need the target; the row number and unknown negative columns
  // never touch it.
  std::vector<std::size_t> remote;
  for (std::size_t c = 0; c < columns.size(); ++c) {
    const int column = columns[c];
    if (column == kColumnRowNumber) {
      cells[c] = std::to_wstring(item);
    } else if (column < 0 && !IsPseudoColumn(column)) {
      cells[c] = std::wstring();
    } else {
      remote.push_back(c);
    }
  }
  if (remote.empty()) return cells;
  std::unique_ptr<ReadSession> single;
  ReadSession& session = SessionFor(ToHwnd(control), single);
  for (std::size_t from = 0; from < remote.size(); from += kRowExchangeCells) {
    const std::size_t to = std::min(remote.size(), from + kRowExchangeCells);
    ReadRowCells(session, item, columns, std::vector<std::size_t>(remote.begin() + from, remote.begin() + to), cells);
  }
  return cells;
}

void Win32ControlReader::ReadRowCells(ReadSession& session, int item, const std::vector<int>& columns,
                                      const std::vector<std::size_t>& at,
                                      std::vector<std::optional<std::wstring>>& cells) {
  if (!session.Open()) {
    OpenFailed(session.control());
    return;  // every cell: no text
  }
  const HWND hwnd = session.control();
  const PointerWidth width = session.width();
  // The block holds every request structure of the exchange, then one text
  // space per text column, zeroed: a request the control rejects reads back
  // an empty text, as from a fresh block.
  const std::size_t stride = RoundUpToPointer(ListViewItemLayoutFor(width).size);
  std::vector<std::size_t> textAt(at.size(), 0);
  std::size_t size = stride * at.size();
  for (std::size_t i = 0; i < at.size(); ++i) {
    if (IsPseudoColumn(columns[at[i]])) continue;
    textAt[i] = size;
    size += kListViewTextBlockBytes;
  }
  // A failed exchange gives empty cells, or no cells when the target has
  // ended (as a remote call that cannot open the process).
  auto fail = [&] {
    lost_ = true;
    const bool ended = session.TargetEnded();
    for (std::size_t c : at) cells[c] = ended ? std::nullopt : std::optional<std::wstring>(std::wstring());
  };
  // A failed allocation counts as a failed send, so no request ever carries
  // an address that is not there.
  RemoteBlock* block = session.Memory(size);
  if (block == nullptr) return fail();

  std::vector<unsigned char> image(size, 0);
  for (std::size_t i = 0; i < at.size(); ++i) {
    const int column = columns[at[i]];
    ListViewItemFields fields;
    fields.iItem = item;
    fields.iSubItem = IsPseudoColumn(column) ? 0 : column;
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
        fields.pszText = block->address() + textAt[i];
        break;
    }
    const std::vector<unsigned char> request = EncodeListViewItem(fields, width);
    std::copy(request.begin(), request.end(), image.begin() + i * stride);
  }
  if (!block->WriteFront(image.data(), size)) return fail();
  std::vector<bool> answered(at.size(), false);
  bool allAnswered = true;
  for (std::size_t i = 0; i < at.size(); ++i) {
    LRESULT ignored = 0;
    answered[i] = TimedSend(hwnd, kLvmGetItemW, 0, block->param() + static_cast<LPARAM>(i * stride), &ignored);
    allAnswered = allAnswered && answered[i];
  }
  if (!allAnswered) {
    lost_ = true;
    if (session.TargetEnded()) return fail();
  }
  if (!block->ReadFront(image.data(), size)) return fail();

  const std::size_t layoutSize = ListViewItemLayoutFor(width).size;
  for (std::size_t i = 0; i < at.size(); ++i) {
    const int column = columns[at[i]];
    // A failed send leaves the cell empty.
    if (!answered[i]) {
      cells[at[i]] = std::wstring();
      continue;
    }
    // The message's own result is not examined: a rejected request reads
    // back the untouched, zero-filled structure and text.
    ListViewItemFields back;
    DecodeListViewItem(std::vector<unsigned char>(image.begin() + i * stride, image.begin() + i * stride + layoutSize),
                       width, &back);
    switch (column) {
      case kColumnIcon: cells[at[i]] = std::to_wstring(back.iImage); continue;
      case kColumnLParam: cells[at[i]] = FormatPointerValue(back.lParam, width); continue;
      case kColumnState: cells[at[i]] = FormatStateWord(back.state); continue;
      default: break;
    }
    // The control may point pszText at its own text instead of copying it into
    // our block (owner-data lists answering LVN_GETDISPINFO do); then the text
    // is read from there, in pieces, keeping whatever part is readable.
    const std::uint64_t pointer = ForWidth(back.pszText, width);
    if (pointer != 0 && pointer != ForWidth(block->address() + textAt[i], width)) {
      cells[at[i]] = ReadRemoteText(session.process(), pointer, kListViewTextLimit);
    } else {
      const auto text = image.begin() + textAt[i];
      cells[at[i]] = TextFromBlock(std::vector<unsigned char>(text, text + kListViewTextBlockBytes), kListViewTextLimit);
    }
  }
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

std::optional<std::vector<int>> Win32ControlReader::GetListViewSelectedItems(WindowId control, long count) {
  std::vector<int> items;
  // Each answer must lie past the one before and within the count, so a
  // control that answers oddly cannot keep the walk going.
  long from = -1;
  for (;;) {
    LRESULT next = 0;
    if (!TimedSend(ToHwnd(control), kLvmGetNextItem, static_cast<WPARAM>(static_cast<INT_PTR>(from)), kLvniSelected,
                   &next)) {
      lost_ = true;
      return std::nullopt;
    }
    if (next <= from || next >= count) return items;
    from = static_cast<long>(next);
    items.push_back(static_cast<int>(from));
  }
}

std::optional<std::vector<int>> Win32ControlReader::GetListViewColumnOrder(WindowId control, int columns) {
  if (columns <= 0) return std::vector<int>();
  const HWND hwnd = ToHwnd(control);
  std::unique_ptr<ReadSession> single;
  ReadSession* opened = OpenedSessionFor(hwnd, single);
  if (!opened) return std::nullopt;
  ReadSession& session = *opened;
  std::vector<std::int32_t> order(static_cast<std::size_t>(columns), 0);
  const std::size_t bytes = order.size() * sizeof(std::int32_t);
  RemoteBlock* block = session.Memory(bytes);
  LRESULT answered = 0;
  if (block == nullptr || !block->WriteFront(reinterpret_cast<const unsigned char*>(order.data()), bytes) ||
      !TimedSend(hwnd, kLvmGetColumnOrderArray, static_cast<WPARAM>(columns), block->param(), &answered)) {
    lost_ = true;
    return std::nullopt;
  }
  if (answered == 0) return std::nullopt;
  if (!block->ReadFront(reinterpret_cast<unsigned char*>(order.data()), bytes)) {
    lost_ = true;
    return std::nullopt;
  }
  return std::vector<int>(order.begin(), order.end());
}

std::optional<int> Win32ControlReader::GetListViewColumnWidth(WindowId control, int column) {
  LRESULT width = 0;
  if (!TimedSend(ToHwnd(control), kLvmGetColumnWidth, static_cast<WPARAM>(column), 0, &width)) {
    lost_ = true;
    return std::nullopt;
  }
  return static_cast<int>(width);
}

// --- tree views ---------------------------------------------------------------

TreeNavigate Win32ControlReader::NavigatorFor(HWND tree, PointerWidth width) {
  return [this, tree, width](unsigned code, TreeItemId from, TreeItemId* found) {
    ++treeNavigationMessages_;
    LRESULT result = 0;
    if (!TimedSend(tree, kTvmGetNextItem, code, static_cast<LPARAM>(static_cast<std::uintptr_t>(from)), &result)) {
      lost_ = true;
      return false;
    }
    *found = ForWidth(static_cast<std::uint64_t>(static_cast<std::uintptr_t>(result)), width);
    return true;
  };
}

std::optional<std::wstring> Win32ControlReader::GetTreeViewItemText(WindowId control, int position, int* depth,
                                                                    TreeItemId* item) {
  const HWND hwnd = ToHwnd(control);
  std::unique_ptr<ReadSession> single;
  ReadSession* opened = OpenedSessionFor(hwnd, single);
  if (!opened) {
    treeWalker_.Forget();
    return std::nullopt;
  }
  ReadSession& session = *opened;
  const PointerWidth width = session.width();
  const TreeNavigate navigate = NavigatorFor(hwnd, width);
  if (!treeContinuation_) treeWalker_.Forget();
  const TreeLocation at = treeWalker_.Locate(control, position, navigate);
  if (depth != nullptr) *depth = at.depth;
  if (item != nullptr) *item = at.item;
  // Within a run the process stays open: a target that has ended since gives
  // no text, as a fresh remote call would.
  auto failed = [&]() -> std::optional<std::wstring> {
    if (session.TargetEnded()) {
      lost_ = true;
      treeWalker_.Forget();
      return std::nullopt;
    }
    return std::wstring(kTreeItemErrorText.get());
  };
  if (at.item == 0) return failed();

  const std::size_t textAt = RoundUpToPointer(TreeViewItemLayoutFor(width).size);
  std::vector<unsigned char> image(textAt + kTreeViewTextBlockBytes, 0);
  auto lost = [&] {
    lost_ = true;
    return failed();
  };
  RemoteBlock* block = session.Memory(image.size());
  if (block == nullptr) return lost();
  TreeViewItemFields fields;
  fields.mask = kTvifTextHandle;
  fields.hItem = at.item;
  fields.pszText = block->address() + textAt;
  fields.cchTextMax = kTreeViewTextChars;
  const std::vector<unsigned char> request = EncodeTreeViewItem(fields, width);
  std::copy(request.begin(), request.end(), image.begin());
  if (!block->WriteFront(image.data(), image.size())) return lost();
  LRESULT result = 0;
  if (!TimedSend(hwnd, kTvmGetItemW, 0, block->param(), &result)) return lost();
  // A handle the control no longer knows: it answered, with "(error)".
  if (result != 1) return failed();
  if (!block->ReadFront(image.data(), image.size())) return lost();
  return TextFromBlock(std::vector<unsigned char>(image.begin() + textAt, image.end()), kTreeViewTextLimit);
}

bool Win32ControlReader::TreeAncestorHasNextSibling(WindowId control, int levels, TreeItemId item) {
  const HWND hwnd = ToHwnd(control);
  // Navigation carries no pointers, but handles of a 32-bit tree are 32 bits.
#if defined(_WIN64)
  std::unique_ptr<ReadSession> single;
  ReadSession& session = SessionFor(hwnd, single);
  const PointerWidth width = session.Open() ? session.width() : PointerWidth::Bits64;
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
  if (!TimedSend(control, lengthMessage, static_cast<WPARAM>(index), 0, &length)) {
    lost_ = true;
    return std::nullopt;
  }
  if (length == LB_ERR) return std::nullopt;
  // Never shorter than the placeholder, so whatever the control writes the
  // result is a terminated string.
  const std::size_t n = length < 7 ? 7 : static_cast<std::size_t>(length);
  std::vector<wchar_t> working(n + 1, L'\0');
  wmemcpy(working.data(), L"(error)", 7);
  LRESULT result = 0;
  if (!TimedSend(control, textMessage, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(working.data()),
                 &result)) {
    lost_ = true;
    return std::nullopt;
  }
  if (result == LB_ERR) return std::nullopt;
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

// --- text controls ---------------------------------------------------------------

namespace {

constexpr UINT kSbGetTextW = WM_USER + 13;
constexpr UINT kSbGetTextLengthW = WM_USER + 12;
constexpr UINT kSbGetParts = WM_USER + 6;
constexpr UINT kTcmGetItemCount = 0x1304;
constexpr UINT kTcmGetItemW = 0x133C;
constexpr unsigned kTcifText = 0x0001;

// WM_GETTEXTLENGTH and WM_GETTEXT; the system carries the text across
// processes. Nothing when either exchange fails.
std::optional<std::wstring> WindowText(HWND window) {
  LRESULT length = 0;
  if (!TimedSend(window, WM_GETTEXTLENGTH, 0, 0, &length) || length < 0) return std::nullopt;
  const std::size_t n = std::min(static_cast<std::size_t>(length), kWindowTextLimit);
  std::vector<wchar_t> buffer(n + 1, L'\0');
  LRESULT copied = 0;
  if (!TimedSend(window, WM_GETTEXT, static_cast<WPARAM>(n + 1), reinterpret_cast<LPARAM>(buffer.data()), &copied))
    return std::nullopt;
  return std::wstring(buffer.data(), wcsnlen(buffer.data(), n));
}

// A TCITEMW asking for the text: mask, dwState, dwStateMask, then pszText on
// a pointer boundary and cchTextMax.
std::vector<unsigned char> TabItemRequest(PointerWidth width, int chars, std::size_t* pointerAt) {
  const bool wide = width == PointerWidth::Bits64;
  std::vector<unsigned char> bytes(wide ? 40 : 28, 0);
  const std::uint32_t mask = kTcifText;
  std::memcpy(bytes.data(), &mask, 4);
  *pointerAt = wide ? 16 : 12;
  const std::int32_t limit = chars;
  std::memcpy(bytes.data() + *pointerAt + (wide ? 8 : 4), &limit, 4);
  return bytes;
}

}  // namespace

std::optional<std::vector<std::wstring>> Win32ControlReader::GetEditLines(WindowId control) {
  std::optional<std::wstring> text = WindowText(ToHwnd(control));
  if (!text) return std::nullopt;
  return SplitLines(*text);
}

std::optional<std::vector<std::wstring>> Win32ControlReader::GetStaticText(WindowId control) {
  // An icon, bitmap, frame or rectangle shows no text, whatever its window
  // text holds (a resource name, for one).
  const DWORD type = static_cast<DWORD>(GetWindowLongW(ToHwnd(control), GWL_STYLE)) & SS_TYPEMASK;
  if (type != SS_LEFT && type != SS_CENTER && type != SS_RIGHT && type != SS_SIMPLE && type != SS_LEFTNOWORDWRAP)
    return std::vector<std::wstring>{};
  std::optional<std::wstring> text = WindowText(ToHwnd(control));
  if (!text) return std::nullopt;
  if (text->empty()) return std::vector<std::wstring>{};
  return std::vector<std::wstring>{std::move(*text)};
}

std::optional<std::wstring> Win32ControlReader::GetRemoteText(ReadSession& session, UINT message, WPARAM index,
                                                             std::size_t chars, std::vector<unsigned char> structure,
                                                             std::size_t pointerAt) {
  if (!session.Open()) return std::nullopt;
  const std::size_t textAt = RoundUpToPointer(structure.size());
  std::vector<unsigned char> image(textAt + chars * sizeof(wchar_t), 0);
  RemoteBlock* block = session.Memory(image.size());
  if (block == nullptr) return std::nullopt;
  if (!structure.empty()) {
    const std::uint64_t text = block->address() + textAt;
    std::memcpy(structure.data() + pointerAt, &text, session.width() == PointerWidth::Bits64 ? 8 : 4);
    std::copy(structure.begin(), structure.end(), image.begin());
  }
  if (!block->WriteFront(image.data(), image.size())) return std::nullopt;
  LRESULT result = 0;
  if (!TimedSend(session.control(), message, index, block->param(), &result)) return std::nullopt;
  if (!block->ReadFront(image.data(), image.size())) return std::nullopt;
  return TextFromBlock(std::vector<unsigned char>(image.begin() + textAt, image.end()), chars - 1);
}

std::optional<std::vector<std::wstring>> Win32ControlReader::GetStatusBarParts(WindowId control) {
  const HWND hwnd = ToHwnd(control);
  LRESULT parts = 0;
  if (!TimedSend(hwnd, kSbGetParts, 0, 0, &parts) || parts < 0) return std::nullopt;
  std::unique_ptr<ReadSession> single;
  ReadSession& session = SessionFor(hwnd, single);
  std::vector<std::wstring> texts;
  for (long part = 0; part < std::min<long>(static_cast<long>(parts), kStatusBarPartLimit); ++part) {
    LRESULT length = 0;
    if (!TimedSend(hwnd, kSbGetTextLengthW, static_cast<WPARAM>(part), 0, &length)) return std::nullopt;
    // SB_GETTEXTW takes no buffer size: the block has room to spare for a
    // text that grows between the two messages.
    const std::size_t chars = std::max<std::size_t>(LOWORD(length) + 1u, kListTextResultChars);
    std::optional<std::wstring> text = GetRemoteText(session, kSbGetTextW, static_cast<WPARAM>(part), chars, {}, 0);
    if (!text) return std::nullopt;
    texts.push_back(std::move(*text));
  }
  return texts;
}

std::optional<std::vector<std::wstring>> Win32ControlReader::GetTabLabels(WindowId control) {
  const HWND hwnd = ToHwnd(control);
  LRESULT count = 0;
  if (!TimedSend(hwnd, kTcmGetItemCount, 0, 0, &count) || count < 0) return std::nullopt;
  std::unique_ptr<ReadSession> single;
  ReadSession* opened = OpenedSessionFor(hwnd, single);
  if (!opened) return std::nullopt;
  ReadSession& session = *opened;
  std::vector<std::wstring> labels;
  for (long tab = 0; tab < std::min<long>(static_cast<long>(count), kTabLimit); ++tab) {
    std::size_t pointerAt = 0;
    std::vector<unsigned char> request = TabItemRequest(session.width(), kListViewTextChars, &pointerAt);
    std::optional<std::wstring> label = GetRemoteText(session, kTcmGetItemW, static_cast<WPARAM>(tab),
                                                      kListViewTextChars, std::move(request), pointerAt);
    if (!label) return std::nullopt;
    labels.push_back(std::move(*label));
  }
  return labels;
}

}  // namespace tblf
