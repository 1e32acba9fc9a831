// List view controls that answer LVM_GETITEMW by pointing pszText at their
// own text instead of copying it into the caller's buffer (an owner-data list
// view whose parent does so is the engine's golden, engine_test.cpp).
#include "remote/control_reader_win.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace tblf
