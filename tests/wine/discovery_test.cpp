// Discovery against the fixture's windows, and the main list filled on a
// list view that the test creates in its own window. The rows of a real
// window (program, owner, count, first item) are the command line's test
// (tblfcli list), the rules of discovery the fake desktop's, the notes of
// owner-drawn controls too (OwnerDrawNotesInBothLanguages), a real one's on
// the command line's (tblfcli list --json).
#include "remote/discovery_win.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include "remote/control_reader_win.h"
#include "remote/timed_send_win.h"
#include "tests/support/fixture_suite_win.h"
#include "tests/support/fixture_win.h"

namespace tblf {
namespace {

class DiscoveryWine : public test::FixtureSuite<DiscoveryWine> {};

// Empty controls are the fake desktop's test; the drop-down list of a real
// combo box is a window of its own that must not be listed.
TEST_F(DiscoveryWine, ComboDropDownsAreNotListed) {
  Win32DesktopWindows desktop;
  Win32ControlReader reader;
  bool combo = false;
  for (const Candidate& row : DiscoverControls(desktop, reader, true, 0)) {
    if (row.owner != L"Tabulift fixture: lists") continue;
    wchar_t name[100] = L"";
    GetClassNameW(ToHwnd(row.handle), name, 100);
    EXPECT_STRNE(name, L"ComboLBox");
    combo |= row.kind == ControlKind::ComboBox;
  }
  EXPECT_TRUE(combo);
}

// A list view of the test's own, as the main dialog will have it.
class MainListWine : public ::testing::Test {
 protected:
  void SetUp() override {
    g_japaneseUi = false;
    INITCOMMONCONTROLSEX init{sizeof(init), ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&init);
    frame_ = CreateWindowExW(0, L"STATIC", L"main list test", WS_OVERLAPPEDWINDOW, 0, 0, 600, 300, nullptr, nullptr,
                             nullptr, nullptr);
    list_ = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_REPORT, 0, 0, 600, 300, frame_, nullptr,
                            nullptr, nullptr);
    ASSERT_NE(list_, nullptr);
    SetUpMainList(list_);
  }
  void TearDown() override { DestroyWindow(frame_); }

  std::wstring Cell(int row, int column) {
    wchar_t text[2048] = L"";
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = 2048;
    SendMessageW(list_, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
    return text;
  }

  HWND frame_ = nullptr;
  HWND list_ = nullptr;
};

// Draws image `index` on a magenta ground and reads one pixel back.
COLORREF ImagePixel(HIMAGELIST images, int index, int x, int y) {
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, 16, 16);
  HGDIOBJ old = SelectObject(dc, bitmap);
  HBRUSH ground = CreateSolidBrush(RGB(255, 0, 255));
  RECT all{0, 0, 16, 16};
  FillRect(dc, &all, ground);
  ImageList_Draw(images, index, dc, 0, 0, ILD_TRANSPARENT);
  const COLORREF pixel = GetPixel(dc, x, y);
  SelectObject(dc, old);
  DeleteObject(ground);
  DeleteObject(bitmap);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  return pixel;
}

TEST_F(MainListWine, TheImagesAreTheKindIconsOfTheResources) {
  HIMAGELIST images = reinterpret_cast<HIMAGELIST>(SendMessageW(list_, LVM_GETIMAGELIST, LVSIL_SMALL, 0));
  ASSERT_NE(images, nullptr);
  struct Pixel {
    const char* what;
    int index, x, y;
    COLORREF colour;
  };
  const COLORREF kTransparent = RGB(255, 0, 255);
  const int kMark = static_cast<int>(ControlKinds().size());  // the overlay follows the kinds' icons
  const Pixel pixels[] = {
      {"list view header", MainListImage(ControlKind::ListView), 5, 1, RGB(0x1E, 0x64, 0xC8)},
      {"list view below the frame", MainListImage(ControlKind::ListView), 5, 15, kTransparent},
      {"tree view root", MainListImage(ControlKind::TreeView), 2, 1, RGB(0x1E, 0x8C, 0x3C)},
      {"tree view beside the root", MainListImage(ControlKind::TreeView), 12, 1, kTransparent},
      {"combo box button", MainListImage(ControlKind::ComboBox), 11, 5, RGB(0xD2, 0x91, 0x00)},
      {"list box selection", MainListImage(ControlKind::ListBox), 2, 4, RGB(0x8C, 0x3C, 0xB4)},
      {"file list folder", MainListImage(ControlKind::FileList), 8, 8, RGB(0xF0, 0xC8, 0x3C)},
      {"warning mark", kMark, 2, 10, RGB(0xDC, 0x14, 0x14)},
      {"warning elsewhere", kMark, 12, 2, kTransparent},
  };
  for (const Pixel& p : pixels) {
    EXPECT_EQ(ImagePixel(images, p.index, p.x, p.y), p.colour) << p.what;
  }
}

TEST_F(MainListWine, FillPutsTheFileListRowLastAndFocusesRowZero) {
  const Candidate lv{0x1234, ControlKind::ListView, HandleLabel(0x1234, ControlKind::ListView, true), L"app.exe",
                    L"Window", L"3 x 2", L"a", kListViewOwnerDrawNote.get(), true};
  const Candidate box{0x5678, ControlKind::ListBox, HandleLabel(0x5678, ControlKind::ListBox, true), L"app.exe",
                      L"Window", L"2", L"b", L"", false};
  FillMainList(list_, {lv, box});
  ASSERT_EQ(SendMessageW(list_, LVM_GETITEMCOUNT, 0, 0), 3);
  EXPECT_EQ(Cell(0, 0), lv.label);
  EXPECT_EQ(Cell(0, 3), L"3 x 2");
  EXPECT_EQ(Cell(0, 5), lv.note);
  EXPECT_EQ(Cell(2, 0), L"File List");
  EXPECT_EQ(Cell(2, 2), L"Get file list in specified folder.");
  EXPECT_EQ(Cell(2, 3), L"---");
  EXPECT_EQ(Cell(2, 4), L"");
  EXPECT_EQ(ReadRowKind(list_, 0), FindKind(ControlKind::ListView));
  EXPECT_EQ(ReadRowKind(list_, 1), FindKind(ControlKind::ListBox));
  EXPECT_EQ(ReadRowKind(list_, 2), FindKind(ControlKind::FileList));
  EXPECT_EQ(ReadRowHandle(list_, 0), ToHwnd(0x1234));
  EXPECT_EQ(ReadRowHandle(list_, 1), ToHwnd(0x5678));
  EXPECT_EQ(SendMessageW(list_, LVM_GETITEMSTATE, 0, LVIS_FOCUSED | LVIS_SELECTED), LVIS_FOCUSED);
  EXPECT_EQ(SendMessageW(list_, LVM_GETITEMSTATE, 0, LVIS_OVERLAYMASK), INDEXTOOVERLAYMASK(1));
  EXPECT_EQ(SendMessageW(list_, LVM_GETITEMSTATE, 1, LVIS_OVERLAYMASK), 0);
}

TEST_F(MainListWine, EmptyDesktopLeavesOnlyTheFocusedFileListRow) {
  FillMainList(list_, {});
  ASSERT_EQ(SendMessageW(list_, LVM_GETITEMCOUNT, 0, 0), 1);
  EXPECT_EQ(Cell(0, 0), L"File List");
  EXPECT_EQ(SendMessageW(list_, LVM_GETITEMSTATE, 0, LVIS_FOCUSED | LVIS_SELECTED), LVIS_FOCUSED);
}

}  // namespace
}  // namespace tblf
