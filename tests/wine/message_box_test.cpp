#include "shell/message_box_win.h"

#include <gtest/gtest.h>

namespace tblf {
namespace {

TEST(ShowMessageBox, HookTakesTheTextAndAnswers) {
  std::wstring seenText, seenCaption;
  UINT seenType = 0;
  SetMessageBoxHook([&](HWND, const std::wstring& text, const std::wstring& caption, UINT type) {
    seenText = text;
    seenCaption = caption;
    seenType = type;
    return IDNO;
  });
  EXPECT_EQ(ShowMessageBox(nullptr, L"Do you want to abort?", L"Abort", MB_YESNO | MB_ICONQUESTION), IDNO);
  EXPECT_EQ(seenText, L"Do you want to abort?");
  EXPECT_EQ(seenCaption, L"Abort");
  EXPECT_EQ(seenType, UINT(MB_YESNO | MB_ICONQUESTION));
  SetMessageBoxHook(nullptr);
}

}  // namespace
}  // namespace tblf
