// The settings dialog of tabulift.exe, driven through its window: what OK
// stores, what it refuses, what Cancel leaves, and what the main dialog does
// with the sample window afterwards.

#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "resources/resource.h"
#include "tests/support/desktop_io_win.h"
#include "tests/support/fixture_suite_win.h"
#include "tests/support/gui_driver_win.h"

namespace tblf {
namespace {

using test::Narrow;
using test::WaitUntil;
using test::StoredInt;
using test::TabuliftApp;

const wchar_t* Title(bool ja) { return ja ? L"設定" : L"Settings - Tabulift"; }

// Opens the dialog with Ctrl+S's command; null when it did not come.
HWND OpenSettings(TabuliftApp& app, bool ja = false) {
  app.Command(IDM_SETTINGS);
  return app.WaitWindow(Title(ja), 10000);
}

// The dialog is gone and the main dialog has taken up the command again.
bool Closed(TabuliftApp& app, HWND dialog) {
  const bool gone = WaitUntil([dialog] { return !IsWindow(dialog) || !IsWindowVisible(dialog); });
  SendMessageTimeoutW(app.dialog(), WM_NULL, 0, 0, SMTO_BLOCK, 5000, nullptr);
  return gone;
}

TEST(SettingsDialog, OkStoresTheEncodingAndItsCodePage) {
  // Whether this Wine knows code page 20932 decides the expected outcome.
  const bool knows20932 = WideCharToMultiByte(20932, 0, L"TEST", 4, nullptr, 0, nullptr, nullptr) > 0;
  const struct {
    int index;
    const wchar_t* typed;  // into the code page field; null: not typed
    DWORD charCode, otherCp;
  } cases[] = {
      {1, nullptr, 1, 932},         // Shift-JIS
      {3, nullptr, 3, 0},           // Unicode (with BOM): the field shows "-"
      {11, L"20932", 11, 20932},    // Other
  };
  TabuliftApp app;
  ASSERT_TRUE(app.Start(L"en")) << Narrow(app.Error());
  for (const auto& c : cases) {
    SCOPED_TRACE(c.index);
    if (c.typed && std::wstring(c.typed) == L"20932" && !knows20932) continue;
    HWND dialog = OpenSettings(app);
    ASSERT_NE(dialog, nullptr) << app.DescribeWindows();
    app.PickIn(dialog, IDC_ENCODING, c.index);
    EXPECT_EQ(IsWindowEnabled(GetDlgItem(dialog, IDC_CODE_PAGE)) != FALSE, c.index == 11);
    if (c.typed) app.TypeTextIn(dialog, IDC_CODE_PAGE, c.typed);
    app.ClickIn(dialog, IDOK);
    ASSERT_TRUE(Closed(app, dialog)) << app.DescribeWindows();
    EXPECT_EQ(StoredInt(L"File", L"CharCode"), c.charCode);
    EXPECT_EQ(StoredInt(L"File", L"OtherCP"), c.otherCp);
  }
  EXPECT_EQ(app.Close(), 0u);
}

TEST(SettingsDialog, AnUnusableOrMissingCodePageIsRefusedAndTheDialogStaysOpen) {
  for (const wchar_t* language : {L"en", L"ja"}) {
    const bool ja = language[0] == L'j';
    SCOPED_TRACE(Narrow(language));
    TabuliftApp app;
    ASSERT_TRUE(app.Start(language)) << Narrow(app.Error());
    HWND dialog = OpenSettings(app, ja);
    ASSERT_NE(dialog, nullptr) << app.DescribeWindows();
    app.PickIn(dialog, IDC_ENCODING, 11);
    const struct {
      const wchar_t* typed;
      const wchar_t* message;
    } cases[] = {
        {L"99999", test::Lang(ja, L"指定されたコードページは、この環境では利用できません。",
                              L"You cannot use this codepage on this environment.")},
        {L"", test::Lang(ja, L"コードページを指定して下さい。", L"Please specify a codepage.")},
    };
    for (const auto& c : cases) {
      app.TypeTextIn(dialog, IDC_CODE_PAGE, c.typed);
      app.ClickIn(dialog, IDOK);
      const auto box = app.WaitMessageBox();
      ASSERT_TRUE(box) << app.DescribeWindows();
      EXPECT_EQ(box->caption, test::Lang(ja, L"設定", L"Settings"));
      EXPECT_EQ(box->text, c.message);
      app.Answer(box->window);
      EXPECT_TRUE(IsWindowVisible(dialog));
    }
    EXPECT_EQ(StoredInt(L"File", L"CharCode"), std::nullopt) << "nothing is written";
    app.ClickIn(dialog, IDCANCEL);
    ASSERT_TRUE(Closed(app, dialog));
    EXPECT_EQ(app.Close(), 0u);
  }
}

TEST(SettingsDialog, TheSampleWindowIsKeptForACsvOptionAndGoesWhenSwitchedOff) {
  TabuliftApp app;
  ASSERT_TRUE(app.Start(L"en")) << Narrow(app.Error());
  HWND sample = app.SampleWindow();
  ASSERT_NE(sample, nullptr);

  HWND dialog = OpenSettings(app);
  ASSERT_NE(dialog, nullptr);
  // Unchecking the sample window disables its two options.
  app.ClickIn(dialog, IDC_SHOW_SAMPLE);
  Sleep(200);
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_SAMPLE_INDEPENDENT)));
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_SAMPLE_POSSIZE)));
  app.ClickIn(dialog, IDC_SHOW_SAMPLE);
  app.ClickIn(dialog, IDC_DOUBLE_QUOTES);
  EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_READ_IN_PROCESS), BST_CHECKED) << "reading inside the target by default";
  app.ClickIn(dialog, IDC_READ_IN_PROCESS);
  app.ClickIn(dialog, IDOK);
  ASSERT_TRUE(Closed(app, dialog));
  EXPECT_EQ(StoredInt(L"Data", L"dquot2"), 1u);
  EXPECT_EQ(StoredInt(L"Data", L"inproc"), 0u);
  EXPECT_EQ(app.SampleWindow(), sample) << "the same window";

  dialog = OpenSettings(app);
  ASSERT_NE(dialog, nullptr);
  app.ClickIn(dialog, IDC_SHOW_SAMPLE);
  app.ClickIn(dialog, IDOK);
  ASSERT_TRUE(Closed(app, dialog));
  EXPECT_EQ(StoredInt(L"Window", L"sample"), 0u);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(sample); })) << "destroyed at once";
  EXPECT_EQ(app.SampleWindow(), nullptr);

  // Switched on again: a new window asks for a selection.
  dialog = OpenSettings(app);
  ASSERT_NE(dialog, nullptr);
  app.ClickIn(dialog, IDC_SHOW_SAMPLE);
  app.ClickIn(dialog, IDOK);
  ASSERT_TRUE(Closed(app, dialog));
  ASSERT_TRUE(WaitUntil([&] { return app.SampleWindow() != nullptr; }));
  EXPECT_EQ(app.SampleText(), L"Please select an item.");
  EXPECT_EQ(app.Close(), 0u);
}

}  // namespace
}  // namespace tblf
