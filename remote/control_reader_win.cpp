#include "remote/control_reader_win.h"

#include <commctrl.h>

#include <algorithm>
#include <cwchar>
#include <vector>

#include "remote/control_kinds.h"
#include "remote/item_layouts.h"
#include "remote/remote_call_win.h"
#include "remote/timed_send_win.h"
#include "base/text.h"

namespace tblf {

const BiText kTreeItemErrorText = {L"(取得失敗)", L"(error)"};

namespace {

constexpr UINT kLvmGetItemW = 0x104B;
constexpr UINT kLvmSetItemState = 0x102B;
constexpr UINT kLvmGetColumnW = 0x105F;
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
  ReadSession& session = SessionFor(hwnd, single);
  if (!session.Open()) {
    OpenFailed(hwnd);
    return std::nullopt;
  }
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
  ReadSession& session = SessionFor(hwnd, single);
  if (!session.Open()) {
    OpenFailed(hwnd);
    treeWalker_.Forget();
    return std::nullopt;
  }
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

}  // namespace tblf
