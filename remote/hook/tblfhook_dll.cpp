// tblfhook64.dll / tblfhook32.dll: reads a list view, tree view, list box or
// combo box on the control's own thread, inside the program that owns it.
//
// The tool sets this DLL's WH_GETMESSAGE hook on the control's thread and
// posts one registered message (remote/inproc_protocol.h). Each time the
// thread takes that message, the DLL works on the run for at most about
// 20 ms, writes the rows into the shared block and posts the message again,
// so the program stays responsive whatever the size of the control.
//
// The DLL only reads: it sends the controls' own get-messages, copies texts
// through ReadProcessMemory on its own process (a bad pointer of the control
// fails the copy instead of the program), checks every value it takes from
// the shared block, and keeps nothing between slices or runs (all of it is in
// the block).

#include <windows.h>
#include <commctrl.h>

#include <cstring>
#include <string>
#include <vector>

#include "remote/inproc_protocol.h"
#include "remote/remote_text.h"

namespace {

using namespace tblf::inproc;

constexpr int kListViewTextChars = 2048;
constexpr int kTreeViewTextChars = 1024;
constexpr std::size_t kListTextResultChars = 2048;

std::wstring OwnText(const wchar_t* pointer, std::size_t maxChars) {
  const tblf::ReadMemory read = [](std::uint64_t at, void* out, std::size_t size) -> std::size_t {
    SIZE_T got = 0;
    if (!ReadProcessMemory(GetCurrentProcess(), reinterpret_cast<const void*>(static_cast<std::uintptr_t>(at)), out,
                           size, &got))
      return got <= size ? static_cast<std::size_t>(got) : 0;
    return static_cast<std::size_t>(got);
  };
  return tblf::ReadTextInPieces(read, reinterpret_cast<std::uintptr_t>(pointer), maxChars);
}

std::wstring BufferText(const wchar_t* buffer, std::size_t maxChars) {
  std::size_t n = 0;
  while (n < maxChars && buffer[n] != L'\0') ++n;
  return std::wstring(buffer, n);
}

class Slice {
 public:
  Slice(Header* header, unsigned char* ring, HANDLE space, HANDLE data)
      : h_(header), ring_(ring), space_(space), data_(data) {
    QueryPerformanceFrequency(&frequency_);
    QueryPerformanceCounter(&start_);
  }

  bool TimeLeft() const { return Elapsed() < kSliceMilliseconds; }

  // Appends one record; false when the ring stays full for the rest of the
  // slice or the tool asked to stop.
  bool Put(std::uint32_t type, const std::vector<unsigned char>& payload) {
    const std::uint32_t size = (8 + static_cast<std::uint32_t>(payload.size()) + 3) & ~3u;
    // A record that can never fit (a tree hundreds of thousands of levels
    // deep) ends the run; the tool reads the rest by messages.
    if (size > h_->ringBytes / 2) {
      h_->state = kStateFailed;
      return false;
    }
    for (;;) {
      if (h_->cancel != 0) return false;
      const std::uint32_t used = h_->written - InterlockedCompareExchange(reinterpret_cast<volatile LONG*>(&h_->consumed), 0, 0);
      if (h_->ringBytes - used >= size) break;
      SetEvent(data_);
      const double left = kSliceMilliseconds - Elapsed();
      if (left <= 0) return false;
      // The tool signals only when asked; the space is looked at again after
      // asking, so a record taken meanwhile is not missed.
      InterlockedExchange(reinterpret_cast<volatile LONG*>(&h_->spaceWanted), 1);
      const std::uint32_t now = h_->written - InterlockedCompareExchange(reinterpret_cast<volatile LONG*>(&h_->consumed), 0, 0);
      if (h_->ringBytes - now >= size) continue;
      WaitForSingleObject(space_, static_cast<DWORD>(left) + 1);
    }
    std::vector<unsigned char> bytes(size, 0);
    std::memcpy(bytes.data(), &size, 4);
    std::memcpy(bytes.data() + 4, &type, 4);
    if (!payload.empty()) std::memcpy(bytes.data() + 8, payload.data(), payload.size());
    const std::uint32_t mask = h_->ringBytes - 1;
    const std::uint32_t at = h_->written & mask;
    const std::uint32_t first = size < h_->ringBytes - at ? size : h_->ringBytes - at;
    std::memcpy(ring_ + at, bytes.data(), first);
    if (first < size) std::memcpy(ring_, bytes.data() + first, size - first);
    MemoryBarrier();
    InterlockedExchange(reinterpret_cast<volatile LONG*>(&h_->written), static_cast<LONG>(h_->written + size));
    return true;
  }

 private:
  double Elapsed() const {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart - start_.QuadPart) * 1000.0 / static_cast<double>(frequency_.QuadPart);
  }

  Header* h_;
  unsigned char* ring_;
  HANDLE space_;
  HANDLE data_;
  LARGE_INTEGER frequency_;
  LARGE_INTEGER start_;
};

void Add32(std::vector<unsigned char>& out, std::uint32_t v) {
  const unsigned char* p = reinterpret_cast<const unsigned char*>(&v);
  out.insert(out.end(), p, p + 4);
}

void Add64(std::vector<unsigned char>& out, std::uint64_t v) {
  const unsigned char* p = reinterpret_cast<const unsigned char*>(&v);
  out.insert(out.end(), p, p + 8);
}

void AddText(std::vector<unsigned char>& out, const std::wstring& text) {
  Add32(out, static_cast<std::uint32_t>(text.size()));
  const unsigned char* p = reinterpret_cast<const unsigned char*>(text.data());
  out.insert(out.end(), p, p + text.size() * 2);
}

// One list view row: every requested column, as the message reader fetches it.
bool ListViewRow(Slice& slice, HWND control, const Header& h, int item) {
  for (std::uint32_t slot = 0; slot < h.columnCount; ++slot) {
    const int column = h.columns[slot];
    std::vector<unsigned char> cell;
    Add32(cell, slot);
    LVITEMW lv{};
    lv.iItem = item;
    lv.iSubItem = column < 0 ? 0 : column;
    wchar_t buffer[kListViewTextChars] = {};
    switch (column) {
      case -3: lv.mask = LVIF_IMAGE; break;
      case -4: lv.mask = LVIF_PARAM; break;
      case -5:
        lv.mask = LVIF_STATE;
        lv.stateMask = 0xFFFFFFFFu;
        break;
      default:
        if (column < 0) {
          Add32(cell, kCellNone);
          if (!slice.Put(kRecordCell, cell)) return false;
          continue;
        }
        lv.mask = LVIF_TEXT;
        lv.pszText = buffer;
        lv.cchTextMax = kListViewTextChars;
        break;
    }
    // The result is not examined: a rejected request leaves the zeroed
    // structure and buffer, as the message reader's fresh block.
    SendMessageW(control, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&lv));
    switch (column) {
      case -3: Add32(cell, kCellImage); Add64(cell, static_cast<std::uint64_t>(static_cast<std::int64_t>(lv.iImage))); break;
      case -4: Add32(cell, kCellLParam); Add64(cell, static_cast<std::uint64_t>(static_cast<std::uintptr_t>(lv.lParam))); break;
      case -5: Add32(cell, kCellState); Add64(cell, lv.state); break;
      default:
        Add32(cell, kCellText);
        // The control may point pszText at its own text instead of copying it.
        AddText(cell, lv.pszText != nullptr && lv.pszText != buffer ? OwnText(lv.pszText, kListViewTextChars - 1)
                                                                    : BufferText(buffer, kListViewTextChars - 1));
        break;
    }
    if (!slice.Put(kRecordCell, cell)) return false;
  }
  std::vector<unsigned char> end;
  Add32(end, static_cast<std::uint32_t>(item));
  return slice.Put(kRecordRowEnd, end);
}

// A record is only taken back whole: a row cut by a full ring is read again
// from its first cell in the next slice (the tool drops a row's cells when
// they repeat, see InProcessRun).
bool ReadListView(Slice& slice, HWND control, Header& h) {
  const LRESULT count = SendMessageW(control, LVM_GETITEMCOUNT, 0, 0);
  while (h.nextItem < count) {
    if (!slice.TimeLeft()) return false;
    if (!ListViewRow(slice, control, h, h.nextItem)) return false;
    ++h.nextItem;
  }
  return true;
}

bool ReadListItems(Slice& slice, HWND control, Header& h) {
  const bool combo = h.kind == kKindComboBox;
  const LRESULT count = SendMessageW(control, combo ? CB_GETCOUNT : LB_GETCOUNT, 0, 0);
  while (h.nextItem < count) {
    if (!slice.TimeLeft()) return false;
    const int index = h.nextItem;
    std::vector<unsigned char> record;
    Add32(record, static_cast<std::uint32_t>(index));
    const LRESULT length = SendMessageW(control, combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN, index, 0);
    bool got = false;
    if (length != LB_ERR && length >= 0 && length < (1 << 24)) {
      // Never shorter than the placeholder, so the result is always terminated.
      const std::size_t n = length < 7 ? 7 : static_cast<std::size_t>(length);
      std::vector<wchar_t> working(n + 1, L'\0');
      std::memcpy(working.data(), L"(error)", 7 * sizeof(wchar_t));
      if (SendMessageW(control, combo ? CB_GETLBTEXT : LB_GETTEXT, index, reinterpret_cast<LPARAM>(working.data())) !=
          LB_ERR) {
        std::wstring text(working.data(), n < kListTextResultChars ? n : kListTextResultChars);
        const std::size_t zero = text.find(L'\0');
        if (zero != std::wstring::npos) text.resize(zero);
        if (text.size() > kListTextResultChars - 1) text.resize(kListTextResultChars - 1);
        AddText(record, text);
        got = true;
      }
    }
    if (!got) Add32(record, kNoText);
    if (!slice.Put(kRecordItem, record)) return false;
    ++h.nextItem;
  }
  return true;
}

// The walk in pre-order with the next sibling of every level kept in the
// block: an item costs a child and a next-sibling question and its text.
// The same order as the message reader's successor step (child, next
// sibling, the parents' next siblings).
bool ReadTreeView(Slice& slice, HWND control, Header& h) {
  auto ask = [control](WPARAM code, std::uint64_t from) {
    return static_cast<std::uint64_t>(static_cast<std::uintptr_t>(
        SendMessageW(control, TVM_GETNEXTITEM, code, static_cast<LPARAM>(static_cast<std::uintptr_t>(from)))));
  };
  for (;;) {
    if (!slice.TimeLeft()) return false;
    std::uint64_t item = 0;
    std::int32_t depth = 0;
    if (h.treeStarted == 0) {
      item = ask(TVGN_ROOT, 0);
    } else {
      depth = h.treeDepth;
      if (depth < 0 || depth >= static_cast<std::int32_t>(kMaxTreeLevels)) {
        h.state = kStateFailed;
        return false;
      }
      item = ask(TVGN_CHILD, h.treeItem);
      if (item != 0) {
        ++depth;
      } else {
        while (depth >= 0 && h.treeNext[depth] == 0) --depth;
        if (depth < 0) return true;
        item = h.treeNext[depth];
      }
    }
    if (item == 0) return true;
    if (depth >= static_cast<std::int32_t>(kMaxTreeLevels)) {
      h.state = kStateFailed;
      return false;
    }
    const std::uint64_t next = ask(TVGN_NEXT, item);
    std::vector<unsigned char> record;
    Add32(record, static_cast<std::uint32_t>(depth));
    Add64(record, item);
    // Whether the item (k = 0) and each ancestor k levels up has a next sibling.
    const std::uint32_t levels = static_cast<std::uint32_t>(depth) + 1;
    Add32(record, levels);
    record.push_back(next != 0 ? 1 : 0);
    for (std::int32_t k = 1; k <= depth; ++k) record.push_back(h.treeNext[depth - k] != 0 ? 1 : 0);
    while (record.size() % 4 != 0) record.push_back(0);
    wchar_t buffer[kTreeViewTextChars] = {};
    TVITEMW tv{};
    tv.mask = TVIF_TEXT | TVIF_HANDLE;
    tv.hItem = reinterpret_cast<HTREEITEM>(static_cast<std::uintptr_t>(item));
    tv.pszText = buffer;
    tv.cchTextMax = kTreeViewTextChars;
    if (SendMessageW(control, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tv)) == 1) {
      AddText(record, BufferText(buffer, kTreeViewTextChars - 1));
    } else {
      Add32(record, kNoText);
    }
    if (!slice.Put(kRecordTree, record)) return false;
    h.treeNext[depth] = next;
    h.treeItem = item;
    h.treeDepth = depth;
    h.treeStarted = 1;
  }
}

void RunSlice(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  const HANDLE mapping = reinterpret_cast<HANDLE>(lParam);
  void* view = MapViewOfFile(mapping, FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, 0);
  if (view == nullptr) return;
  MEMORY_BASIC_INFORMATION info{};
  auto* h = static_cast<Header*>(view);
  // Only a block of this run, for this control, whole: anything else is left alone.
  if (VirtualQuery(view, &info, sizeof info) == 0 || info.RegionSize < kHeaderBytes || h->magic != kMagic ||
      h->version != kVersion || static_cast<WPARAM>(h->cookie) != wParam ||
      h->control != static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(hwnd)) || h->ringBytes == 0 ||
      (h->ringBytes & (h->ringBytes - 1)) != 0 || info.RegionSize < kHeaderBytes + static_cast<SIZE_T>(h->ringBytes) ||
      h->columnCount > kMaxColumns || h->state == kStateDone || h->state == kStateFailed) {
    UnmapViewOfFile(view);
    return;
  }
  const HANDLE data = reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(h->dataEvent));
  const HANDLE space = reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(h->spaceEvent));
  h->busy = 1;
  h->state = kStateRunning;
  InterlockedIncrement(reinterpret_cast<volatile LONG*>(&h->slices));
  Slice slice(h, static_cast<unsigned char*>(view) + kHeaderBytes, space, data);
  bool done = false;
  if (h->cancel == 0) {
    switch (h->kind) {
      case kKindListView: done = ReadListView(slice, hwnd, *h); break;
      case kKindTreeView: done = ReadTreeView(slice, hwnd, *h); break;
      case kKindComboBox:
      case kKindListBox: done = ReadListItems(slice, hwnd, *h); break;
      default: h->state = kStateFailed; break;
    }
  }
  if (done) {
    h->state = kStateDone;
  } else if (h->cancel != 0) {
    h->state = kStateFailed;
  } else if (h->state != kStateFailed) {
    if (HIWORD(GetQueueStatus(QS_INPUT | QS_PAINT)) != 0) {
      h->state = kStatePaused;
    } else if (!PostMessageW(hwnd, message, wParam, lParam)) {
      h->state = kStateFailed;
    }
  }
  MemoryBarrier();
  h->busy = 0;
  SetEvent(data);
  UnmapViewOfFile(view);
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK TblfGetMessageHook(int code, WPARAM wParam, LPARAM lParam) {
  // Registered messages lie in 0xC000..0xFFFF; only a taken message counts
  // (a peek that leaves it in the queue comes back later).
  if (code == HC_ACTION && wParam == PM_REMOVE && lParam != 0) {
    MSG* msg = reinterpret_cast<MSG*>(lParam);
    if (msg->message >= 0xC000 && msg->message <= 0xFFFF && msg->message == RegisterWindowMessageW(kMessageName)) {
      RunSlice(msg->hwnd, msg->message, msg->wParam, msg->lParam);
      msg->message = WM_NULL;
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
