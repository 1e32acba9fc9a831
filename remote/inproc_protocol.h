#pragma once
// The shared block between the tool and its hook DLL inside the target.
//
// The tool creates an unnamed file mapping, fills the header, duplicates the
// mapping and two events into the target and posts one registered message to
// the control: wParam the run's cookie, lParam the mapping's handle value in
// the target. The DLL's WH_GETMESSAGE hook sees the message on the control's
// own thread, maps the block, works for at most kSliceMilliseconds, keeps its
// place in the header and posts the message again until the control is read.
// Everything a run needs between two slices lives here, so the DLL itself
// keeps nothing.
//
// Rows go into a ring after the header as records; the DLL publishes a record
// by moving `written` past it, the tool frees it by moving `consumed`. Both
// counters run modulo 2^32 and the ring size divides that. Fixed-width fields
// only: a 64-bit tool and a 32-bit DLL read the same layout.

#include <cstddef>
#include <cstdint>

namespace tblf::inproc {

constexpr std::uint32_t kMagic = 0x464C4254;  // "TBLF"
constexpr std::uint32_t kVersion = 1;
constexpr const wchar_t* kMessageName = L"TabuliftInProcessRead";
constexpr const char* kHookProcName = "TblfGetMessageHook";
constexpr unsigned kSliceMilliseconds = 20;

constexpr std::uint32_t kHeaderBytes = 8192;
constexpr std::uint32_t kRingBytes = 1u << 20;
constexpr std::uint32_t kMaxColumns = 1024;
// Levels of a tree whose next siblings the walk keeps; a deeper tree ends the
// run and the tool reads on by messages.
constexpr std::uint32_t kMaxTreeLevels = 448;

// What the DLL reads; the numbers of ControlKind.
constexpr std::uint32_t kKindListView = 0;
constexpr std::uint32_t kKindTreeView = 1;
constexpr std::uint32_t kKindComboBox = 2;
constexpr std::uint32_t kKindListBox = 3;

// Run states, written by the DLL.
constexpr std::uint32_t kStateWaiting = 0;
constexpr std::uint32_t kStateRunning = 1;
constexpr std::uint32_t kStateDone = 2;
constexpr std::uint32_t kStateFailed = 3;
// The slice ended with input or painting waiting in the target's queue; the
// tool posts the next slice's message a moment later, so that the program
// handles them first (a posted message would come before them).
constexpr std::uint32_t kStatePaused = 4;

// Records: a 4-byte size (the whole record, a multiple of 4), a 4-byte type,
// then the payload.
constexpr std::uint32_t kRecordCell = 1;   // u32 slot, u32 form, then a u64 value or u32 chars + UTF-16
constexpr std::uint32_t kRecordRowEnd = 2; // i32 item
constexpr std::uint32_t kRecordTree = 3;   // i32 depth, u64 item, u32 levels, u8 hasNext[levels] (k = 0..depth), pad, u32 chars + UTF-16 (chars 0xFFFFFFFF: error)
constexpr std::uint32_t kRecordItem = 4;   // i32 index, u32 chars + UTF-16 (chars 0xFFFFFFFF: no text)

constexpr std::uint32_t kCellText = 0;
constexpr std::uint32_t kCellImage = 1;
constexpr std::uint32_t kCellLParam = 2;
constexpr std::uint32_t kCellState = 3;
constexpr std::uint32_t kCellNone = 4;    // a column the tool answers itself
constexpr std::uint32_t kNoText = 0xFFFFFFFFu;

struct Header {
  std::uint32_t magic;
  std::uint32_t version;
  std::uint64_t cookie;
  std::uint64_t control;      // the control's window handle
  std::uint64_t dataEvent;    // handle values in the target
  std::uint64_t spaceEvent;
  std::uint32_t kind;
  std::uint32_t ringBytes;
  std::int32_t firstItem;     // list views, list boxes: where the run starts
  std::uint32_t columnCount;  // list views: the columns of every row
  volatile std::uint32_t state;
  volatile std::uint32_t cancel;  // set by the tool: stop at the next record
  volatile std::uint32_t written;
  volatile std::uint32_t consumed;
  volatile std::uint32_t slices;  // slices run so far
  // Where the next slice goes on.
  std::int32_t nextItem;
  std::int32_t treeDepth;
  std::uint32_t padding;      // keeps treeItem at 88 in both widths
  std::uint64_t treeItem;     // 0 before the first item
  std::uint32_t treeStarted;
  volatile std::uint32_t busy;         // 1 while a slice runs
  volatile std::uint32_t spaceWanted;  // the DLL waits for the space event
  std::int32_t columns[kMaxColumns];
  std::uint32_t padding2;
  // The next sibling (0: none) of the current tree item and of each of its
  // ancestors, by depth: the walk and the tree prefix need no parent messages.
  std::uint64_t treeNext[kMaxTreeLevels];
};
static_assert(sizeof(Header) <= kHeaderBytes, "the header fits before the ring");
// The same offsets in the 64-bit tool and a 32-bit DLL.
static_assert(offsetof(Header, cookie) == 8 && offsetof(Header, treeItem) == 88 && offsetof(Header, columns) == 108 &&
                  offsetof(Header, treeNext) == 4208,
              "one layout for both widths");

}  // namespace tblf::inproc
