// The property report's Win32 side: what it gathers from a window of this
// process, from a target that stops answering, and from a handle that is gone.
#include "remote/property_report_win.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "remote/timed_send_win.h"
#include "base/text.h"
#include "tests/support/fixture_win.h"

namespace tblf {
namespace {

class OwnListBox : public ::testing::Test {
 protected:
  void SetUp() override {
    parent_ = CreateWindowExW(0, L"STATIC", L"parent", WS_OVERLAPPED, 10, 20, 300, 200, nullptr, nullptr, nullptr,
                              nullptr);
    ASSERT_NE(parent_, nullptr);
    box_ = CreateWindowExW(WS_EX_CLIENTEDGE, L"LISTBOX", L"", WS_CHILD | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, 5, 6, 100, 80, parent_,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(1234)), nullptr, nullptr);
    ASSERT_NE(box_, nullptr);
  }
  void TearDown() override { DestroyWindow(parent_); }

  HWND parent_ = nullptr;
  HWND box_ = nullptr;
};

TEST_F(OwnListBox, CaptionsAreCutTo2047Characters) {
  const std::pair<size_t, size_t> lengths[] = {{0, 0}, {2046, 2046}, {2047, 2047}, {2048, 2047}, {3000, 2047}};
  for (const auto& [given, read] : lengths) {
    SCOPED_TRACE(given);
    const std::wstring caption = test::FixtureLongText(given);
    ASSERT_TRUE(SetWindowTextW(box_, caption.c_str()));
    EXPECT_EQ(ReadControlCaption(box_), caption.substr(0, read));
  }
}

TEST_F(OwnListBox, FactsComeFromTheWindowAndItsProcess) {
  SetWindowLongPtrW(box_, GWLP_USERDATA, 0x5A5A);
  const ControlFacts facts = GatherControlFacts(box_, ControlKind::ListBox);
  EXPECT_TRUE(facts.isWindow);
  EXPECT_EQ(facts.caption, L"");
  EXPECT_EQ(facts.style & (WS_CHILD | LBS_NOTIFY), static_cast<DWORD>(WS_CHILD | LBS_NOTIFY));
  EXPECT_EQ(facts.exStyle & WS_EX_CLIENTEDGE, static_cast<DWORD>(WS_EX_CLIENTEDGE));
  EXPECT_EQ(facts.handle, FromHwnd(box_));
  EXPECT_EQ(facts.parent, FromHwnd(parent_));
  EXPECT_EQ(facts.controlId, 1234u);
  EXPECT_EQ(facts.userData, 0x5A5Au);
  EXPECT_EQ(facts.instance, static_cast<std::uint64_t>(GetWindowLongPtrW(box_, GWLP_HINSTANCE)));
  EXPECT_NE(facts.procedure, 0u);
  EXPECT_EQ(facts.client.left, 0);
  EXPECT_EQ(facts.screen.right - facts.screen.left, 100);
  EXPECT_EQ(facts.screen.bottom - facts.screen.top, 80);
  EXPECT_EQ(facts.processId, GetCurrentProcessId());
  EXPECT_TRUE(facts.processOpened);
}

TEST(PropertyReportWine, AHungTargetCostsOneTimedSendAndGivesTheCaptionErrorLine) {
  test::FixtureProcess fixture;
  ASSERT_TRUE(fixture.Start());
  HWND report = fixture.Handle(L"report");
  ASSERT_TRUE(fixture.Hang());
  const ULONGLONG start = GetTickCount64();
  const ControlFacts facts = GatherControlFacts(report, ControlKind::ListView);
  const ULONGLONG elapsed = GetTickCount64() - start;
  std::printf("property facts of a hung list view: %llu ms\n", static_cast<unsigned long long>(elapsed));
  EXPECT_LT(elapsed, 12000u) << "far above one timed send of 5 s";
  EXPECT_FALSE(facts.caption.has_value());
  EXPECT_NE(facts.style & LVS_REPORT, 0u) << "the window manager still answers";
  EXPECT_EQ(facts.processId, fixture.ProcessId());
  const std::wstring text = BuildPropertyReport(ControlKind::ListView, facts, false);
  EXPECT_NE(text.find(L"\r\nCaption         : [error]\r\nStyle           : "), std::wstring::npos);
}

}  // namespace
}  // namespace tblf
