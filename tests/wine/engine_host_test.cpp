// The engine's Win32 host: message boxes on the owner with the program's
// caption and icons, the busy text on button 1, the sample text control, and
// the Esc check, which only counts while the frame window is in front.
#include "output/engine_host_win.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/message_box_win.h"
#include "base/text.h"

namespace tblf {
namespace {

struct Box {
  HWND owner;
  std::wstring text;
  std::wstring caption;
  UINT type;
};

class EngineHostWine : public ::testing::Test {
 protected:
  void SetUp() override {
    g_japaneseUi = false;
    owner_ = CreateWindowExW(0, L"STATIC", L"owner", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr, nullptr, nullptr,
                             nullptr);
    ASSERT_NE(owner_, nullptr);
    button_ = CreateWindowExW(0, L"BUTTON", L"Output", WS_CHILD | WS_VISIBLE, 0, 0, 80, 24, owner_,
                              reinterpret_cast<HMENU>(1), nullptr, nullptr);
    sample_ = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | ES_MULTILINE, 0, 30, 200, 100, owner_, nullptr,
                              nullptr, nullptr);
    SetMessageBoxHook([this](HWND owner, const std::wstring& text, const std::wstring& caption, UINT type) {
      boxes_.push_back({owner, text, caption, type});
      return answer_;
    });
  }
  void TearDown() override {
    SetMessageBoxHook(nullptr);
    DestroyWindow(owner_);
    g_japaneseUi = false;
  }

  static std::wstring TextOf(HWND window) {
    wchar_t text[256] = L"";
    GetWindowTextW(window, text, 256);
    return text;
  }

  HWND owner_ = nullptr;
  HWND button_ = nullptr;
  HWND sample_ = nullptr;
  std::vector<Box> boxes_;
  int answer_ = IDOK;
};

TEST_F(EngineHostWine, ErrorsAndTheEscQuestionGoToTheOwnerWithTheirCaptionAndIcon) {
  Win32OutputHost host(nullptr, owner_, sample_);
  host.ShowError(L"Cannot open the clipboard.");
  answer_ = IDYES;
  EXPECT_TRUE(host.AskAbort());
  answer_ = IDNO;
  EXPECT_FALSE(host.AskAbort());

  ASSERT_EQ(boxes_.size(), 3u);
  EXPECT_EQ(boxes_[0].owner, owner_);
  EXPECT_EQ(boxes_[0].text, L"Cannot open the clipboard.");
  EXPECT_EQ(boxes_[0].caption, L"Tabulift");
  EXPECT_EQ(boxes_[0].type, UINT(MB_ICONERROR));
  EXPECT_EQ(boxes_[1].owner, owner_);
  EXPECT_EQ(boxes_[1].text, L"Do you want to abort?");
  EXPECT_EQ(boxes_[1].caption, L"Abort");
  EXPECT_EQ(boxes_[1].type, UINT(MB_YESNO | MB_ICONQUESTION));
}

TEST_F(EngineHostWine, BusyTextOnButtonOneAndTheSampleText) {
  Win32OutputHost host(owner_, owner_, sample_);
  host.ShowBusy();
  EXPECT_EQ(TextOf(button_), L"...");
  host.SetSampleText(L"a\tb\r\nc\td\r\n");
  EXPECT_EQ(TextOf(sample_), L"a\tb\r\nc\td\r\n");
  // Without a sample control there is nothing to set, and nothing breaks.
  Win32OutputHost bare(nullptr, nullptr, nullptr);
  bare.SetSampleText(L"ignored");
  bare.ShowBusy();
}

// Drains the thread's queue, so that injected input reaches the key state.
void Pump() {
  for (int i = 0; i < 20; ++i) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    Sleep(10);
  }
}

void PressEscape(bool down) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = VK_ESCAPE;
  input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
  SendInput(1, &input, sizeof(input));
  Pump();
}

TEST_F(EngineHostWine, EscDownWhileTheFrameIsInFrontIsSeenAndOnlyThen) {
  ShowWindow(owner_, SW_SHOW);
  SetForegroundWindow(owner_);
  Pump();
  if (GetForegroundWindow() != owner_) GTEST_SKIP() << "this desktop does not bring a test window to the front";
  Win32OutputHost host(owner_, owner_, nullptr);
  EXPECT_FALSE(host.EscapePressedInFrame());
  PressEscape(true);
  EXPECT_TRUE(host.EscapePressedInFrame());
  // The same key state with another window as the frame, or none (the
  // command line): not seen.
  Win32OutputHost elsewhere(button_, owner_, nullptr);
  EXPECT_FALSE(elsewhere.EscapePressedInFrame());
  Win32OutputHost noFrame(nullptr, owner_, nullptr);
  EXPECT_FALSE(noFrame.EscapePressedInFrame());
  PressEscape(false);
  EXPECT_FALSE(host.EscapePressedInFrame());
}

}  // namespace
}  // namespace tblf
