// Reading another process's controls under Wine: the readers' cost per cell
// (one complete remote call each) against the floor of one remote block kept
// for the whole run, and the navigation messages per tree item.
//
//   tools/wine-run build/win64/bin/remote_read_bench.exe [--rows N] [--columns N]
//                  [--tree N] [--walk-prefix N]
// Prints figures only; nothing here asserts on time.

#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "remote/control_reader_win.h"
#include "remote/item_layouts.h"
#include "remote/remote_call_win.h"
#include "remote/timed_send_win.h"
#include "tests/support/fixture_win.h"

namespace {

using tblf::FromHwnd;

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
  LARGE_INTEGER f;
  QueryPerformanceFrequency(&f);
  return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(f.QuadPart);
}

LARGE_INTEGER Now() {
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return t;
}

bool Expect(const std::wstring& got, int row, int column) {
  wchar_t want[32];
  std::swprintf(want, 32, L"r%dc%d", row, column);
  if (got == want) return true;
  std::printf("mismatch at r%d c%d\n", row, column);
  return false;
}

// The floor: one process handle and one pair of blocks for the whole run;
// per cell one write, one LVM_GETITEMTEXTW and one read of the text.
double FloorCellsPerSecond(HWND list, int rows, int columns, bool* ok) {
  tblf::ProcessHandle process(tblf::OpenWindowProcess(list));
  const tblf::PointerWidth width = tblf::TargetPointerWidth(process);
  tblf::RemoteBlock text(process, tblf::kListViewTextBlockBytes);
  tblf::RemoteBlock request(process, tblf::ListViewItemLayoutFor(width).size);
  if (!process || !text || !request) {
    *ok = false;
    return 0;
  }
  std::vector<unsigned char> bytes;
  const LARGE_INTEGER start = Now();
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < columns; ++c) {
      tblf::ListViewItemFields f;
      f.iSubItem = c;
      f.pszText = text.address();
      f.cchTextMax = tblf::kListViewTextChars;
      request.Write(tblf::EncodeListViewItem(f, width));
      LRESULT length = 0;
      tblf::TimedSend(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(r), request.param(), &length);
      text.Read(&bytes);
      if (!Expect(tblf::TextFromBlock(bytes, 2047), r, c)) *ok = false;
    }
  }
  return rows * columns / Seconds(start, Now());
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  int rows = 10000, columns = 10, treeItems = 10000, walkPrefix = 300;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::wstring a = argv[i];
    const int v = _wtoi(argv[i + 1]);
    if (a == L"--rows") rows = v;
    else if (a == L"--columns") columns = v;
    else if (a == L"--tree") treeItems = v;
    else if (a == L"--walk-prefix") walkPrefix = v;
  }
  tblf::test::FixtureProcess fixture;
  const std::wstring args = L"--big-listview " + std::to_wstring(rows) + L"x" + std::to_wstring(columns) +
                            L" --big-tree " + std::to_wstring(treeItems);
  if (!fixture.Start(args)) {
    std::printf("cannot start the fixture: %ls\n", fixture.Error().c_str());
    return 1;
  }
  HWND list = fixture.Handle(L"big");
  const tblf::WindowId tree = FromHwnd(fixture.Handle(L"bigtree"));
  std::printf("list view %d x %d = %d cells, tree of %d items\n", rows, columns, rows * columns, treeItems);

  // Readers: one complete remote call per cell.
  tblf::Win32ControlReader reader;
  bool ok = true;
  LARGE_INTEGER start = Now();
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < columns; ++c) {
      const std::optional<std::wstring> text = reader.GetListViewCellText(c, FromHwnd(list), r);
      if (!text || !Expect(*text, r, c)) ok = false;
    }
  const double readerRate = rows * columns / Seconds(start, Now());
  const double floorRate = FloorCellsPerSecond(list, rows, columns, &ok);
  std::printf("readers (remote call per cell):       %10.0f cells/s\n", readerRate);
  std::printf("floor (one block for the whole run):  %10.0f cells/s\n", floorRate);
  std::printf("floor / readers:                      %10.2f\n", floorRate / readerRate);

  // Tree: with the continuation, and the root walk on a prefix.
  start = Now();
  for (int i = 0; i < treeItems; ++i) {
    const std::optional<std::wstring> text = reader.GetTreeViewItemText(tree, i, nullptr, nullptr);
    if (!text || *text != L"t" + std::to_wstring(i)) ok = false;
  }
  const double treeSeconds = Seconds(start, Now());
  std::printf("tree, continuation: %d items, %.2f navigation messages/item, %.0f items/s\n", treeItems,
              static_cast<double>(reader.TreeNavigationMessages()) / treeItems, treeItems / treeSeconds);
  tblf::Win32ControlReader walking;
  walking.SetTreeContinuation(false);
  start = Now();
  for (int i = 0; i < walkPrefix; ++i) {
    const std::optional<std::wstring> text = walking.GetTreeViewItemText(tree, i, nullptr, nullptr);
    if (!text || *text != L"t" + std::to_wstring(i)) ok = false;
  }
  const double walkSeconds = Seconds(start, Now());
  std::printf("tree, root walk:    first %d items, %.2f navigation messages/item, %.0f items/s\n", walkPrefix,
              static_cast<double>(walking.TreeNavigationMessages()) / walkPrefix, walkPrefix / walkSeconds);
  std::printf(ok ? "all texts as expected\n" : "SOME TEXTS WERE WRONG\n");
  return ok ? 0 : 1;
}
