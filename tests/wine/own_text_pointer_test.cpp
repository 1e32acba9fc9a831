// List view controls that answer LVM_GETITEMW by pointing pszText at their
// own text instead of copying it into the caller's buffer.
#include "remote/control_reader_win.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <string>

#include "remote/timed_send_win.h"
#include "tests/support/fixture_win.h"

namespace tblf {
namespace {

using test::FixtureLongText;

TEST(OwnTextPointer, TextsAreReadFromWhereTheControlPoints) {
  test::FixtureProcess fixture;
  ASSERT_TRUE(fixture.Start());
  const WindowId own = FromHwnd(fixture.Handle(L"ownlistview"));
  Win32ControlReader reader;
  EXPECT_EQ(reader.CountItems(own, ControlKind::ListView), 6);
  EXPECT_EQ(reader.CountListViewColumns(own), 1);
  EXPECT_EQ(reader.GetListViewColumnText(own, 0), L"Own");
  struct Case {
    int item;
    std::wstring text;
    const char* situation;
  };
  const Case cases[] = {
      {0, FixtureLongText(2047), "a text of 3000 of the control's own, cut to 2047"},
      {1, L"", "the control's own empty text"},
      {2, L"", "a pointer at a no-access page"},
      {3, L"copied text", "copied into our block as usual"},
      {4, L"edge!!", "readable up to an unreadable page, no terminating zero"},
      {5, L"", "a pointer at memory that is not there"},
      {6, L"", "an item the control rejects"},
      {0, FixtureLongText(2047), "reading goes on after the unreadable ones"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(reader.GetListViewCellText(0, own, c.item), c.text) << c.situation;
  }
}

// --- what this system's own owner-data list view does -------------------------

const wchar_t kOwnerText[] = L"owner-data text";

LRESULT CALLBACK ParentProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NOTIFY) {
    auto* info = reinterpret_cast<NMLVDISPINFOW*>(lParam);
    if (info->hdr.code == LVN_GETDISPINFOW && (info->item.mask & LVIF_TEXT) != 0)
      info->item.pszText = const_cast<wchar_t*>(kOwnerText);
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

TEST(OwnTextPointer, SystemOwnerDataListViewWithARedirectingParent) {
  INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&icc);
  WNDCLASSW wc = {};
  wc.lpfnWndProc = ParentProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"TBLF_TEST_OWNERDATA_PARENT";
  RegisterClassW(&wc);
  HWND parent = CreateWindowExW(0, wc.lpszClassName, L"parent", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr,
                                nullptr, wc.hInstance, nullptr);
  ASSERT_NE(parent, nullptr);
  HWND list = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_OWNERDATA, 0, 0, 280,
                              180, parent, nullptr, wc.hInstance, nullptr);
  ASSERT_NE(list, nullptr);
  LVCOLUMNW col = {};
  col.mask = LVCF_TEXT | LVCF_WIDTH;
  col.cx = 100;
  col.pszText = const_cast<wchar_t*>(L"c0");
  SendMessageW(list, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&col));
  SendMessageW(list, LVM_SETITEMCOUNT, 3, 0);

  wchar_t buffer[64] = L"untouched";
  LVITEMW item = {};
  item.mask = LVIF_TEXT;
  item.iItem = 1;
  item.pszText = buffer;
  item.cchTextMax = 64;
  ASSERT_TRUE(SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)));
  const bool redirected = item.pszText != buffer;
  std::printf("this system's LVS_OWNERDATA list view %s (pszText %s, buffer \"%ls\")\n",
              redirected ? "REDIRECTS: hands back the parent's pointer" : "COPIES into the caller's buffer",
              item.pszText == kOwnerText ? "= the parent's text" : redirected ? "elsewhere" : "= our buffer",
              buffer);
  EXPECT_EQ(std::wstring(item.pszText), kOwnerText);

  // Either way the reader gives the text (here it reads its own process).
  Win32ControlReader reader;
  EXPECT_EQ(reader.GetListViewCellText(0, FromHwnd(list), 2), kOwnerText);
  DestroyWindow(parent);
}

}  // namespace
}  // namespace tblf
