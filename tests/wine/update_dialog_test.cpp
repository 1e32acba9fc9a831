// The update dialog of tabulift.exe, driven through its window: "Check now"
// uses the dialog's unsaved values, Cancel on the start-up
// question switches the check off in the open dialog too, and Close stores
// the dialog's values. The update host is reached through a proxy setting
// that points at a scripted server on 127.0.0.1.

#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "resources/resource.h"
#include "settings/settings_table.h"
#include "tests/support/gui_driver_win.h"
#include "tests/support/loopback_http_win.h"

namespace tblf {
namespace {

using test::Narrow;
using test::WaitUntil;
using test::LoopbackHttpServer;
using test::StoredInt;
using test::StoredString;
using test::TabuliftApp;

const std::string kHeader = "HTTP/1.0 200 OK\r\n\r\n";
// 2090 bytes end the wait at once, so a reply without the key gives "not found" without the timeout.
const std::string kFiller(2100, 'x');

// A manual-reset event that holds the server's reply until the test lets it go.
struct Gate {
  HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  ~Gate() { CloseHandle(event); }
  void Open() const { SetEvent(event); }
};

// Stored settings that send the start-up check (when on) through the server as its proxy.
void StoreProxyTo(const LoopbackHttpServer& server, bool startupCheck) {
  test::RemoveStoredSettings();
  ASSERT_TRUE(Write(settings::kAutoUpdateCheck, startupCheck ? 1 : 0, 0));
  ASSERT_TRUE(Write(settings::kHttpProxy, L"127.0.0.1", 0));
  ASSERT_TRUE(Write(settings::kHttpProxyPort, server.port(), 0));
  ASSERT_TRUE(Write(settings::kHttpTimeout, 30, 0));
}

HWND OpenUpdateDialog(TabuliftApp& app) {
  app.Command(IDM_UPDATE_CHECK);
  return app.WaitWindow(L"Update Check", 10000);
}

bool Checked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

bool CheckNowIsBack(TabuliftApp& app, HWND dialog) {
  HWND button = GetDlgItem(dialog, IDC_UPDATE_CHECK_NOW);
  return WaitUntil([&] { return IsWindowEnabled(button) != FALSE; }, 600) && app.TextOf(button) == L"&Check now!";
}

void CloseDialog(TabuliftApp& app, HWND dialog) {
  app.ClickIn(dialog, IDCANCEL);
  ASSERT_TRUE(WaitUntil([dialog] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }));
  SendMessageTimeoutW(app.dialog(), WM_NULL, 0, 0, SMTO_BLOCK, 5000, nullptr);
}

// The stored proxy would send every later update check of this prefix (tblfcli's too) to it.
class UpdateDialog : public ::testing::Test {
 protected:
  void TearDown() override { test::RemoveStoredSettings(); }
};

// The start-up check, silent, finds no key here; the beta box ticked but not saved makes "Check now"
// find the beta key, older than this build.
TEST_F(UpdateDialog, CheckNowReportsWithTheDialogsUnsavedValues) {
  Gate gate;
  LoopbackHttpServer server({{kHeader + "betatblf:00001.\r\n" + kFiller}, 0, true, gate.event});
  ASSERT_TRUE(server.listening());
  StoreProxyTo(server, true);
  TabuliftApp app;
  ASSERT_TRUE(app.Start(L"en", L"", false)) << Narrow(app.Error());
  HWND dialog = OpenUpdateDialog(app);
  ASSERT_NE(dialog, nullptr) << app.DescribeWindows();
  HWND checkNow = GetDlgItem(dialog, IDC_UPDATE_CHECK_NOW);
  EXPECT_FALSE(IsWindowEnabled(checkNow)) << "the start-up check runs";
  EXPECT_EQ(app.TextOf(checkNow), L"Checking...");

  gate.Open();
  ASSERT_TRUE(CheckNowIsBack(app, dialog)) << app.DescribeWindows();
  EXPECT_EQ(server.Requests().size(), 1u);

  app.ClickIn(dialog, IDC_UPDATE_BETA);
  app.ClickIn(dialog, IDC_UPDATE_CHECK_NOW);
  const auto box = app.WaitMessageBox();
  ASSERT_TRUE(box) << app.DescribeWindows();
  EXPECT_EQ(box->text, L"This version is not released.");
  app.Answer(box->window);
  EXPECT_TRUE(CheckNowIsBack(app, dialog));
  EXPECT_EQ(server.Requests().size(), 2u);
  EXPECT_EQ(StoredInt(L"Update", L"BetaUpdateCheck"), std::nullopt) << "Check now stores nothing";
  CloseDialog(app, dialog);
  EXPECT_EQ(app.Close(), 0u);
}

TEST_F(UpdateDialog, CancelOnTheStartUpQuestionSwitchesTheCheckOffAndClearsTheOpenDialogsBox) {
  Gate gate;
  LoopbackHttpServer server({{kHeader + "ver_tblf:99999.\r\n"}, 0, true, gate.event});
  ASSERT_TRUE(server.listening());
  StoreProxyTo(server, true);
  TabuliftApp app;
  ASSERT_TRUE(app.Start(L"en", L"", false)) << Narrow(app.Error());
  HWND dialog = OpenUpdateDialog(app);
  ASSERT_NE(dialog, nullptr) << app.DescribeWindows();
  EXPECT_TRUE(Checked(dialog, IDC_UPDATE_AT_STARTUP));

  gate.Open();
  const auto box = app.WaitMessageBox();
  ASSERT_TRUE(box) << app.DescribeWindows();
  EXPECT_EQ(box->text,
            L"The new version was found. Do you browse Quillmark's web site?\n"
            L"([Cencel] : It does not notify any longer.)");
  app.Answer(box->window, IDCANCEL);
  EXPECT_TRUE(CheckNowIsBack(app, dialog));
  EXPECT_FALSE(Checked(dialog, IDC_UPDATE_AT_STARTUP));
  EXPECT_EQ(StoredInt(L"Update", L"AutoUpdateCheck"), 0u);
  CloseDialog(app, dialog);
  EXPECT_EQ(StoredInt(L"Update", L"AutoUpdateCheck"), 0u);
  EXPECT_EQ(app.Close(), 0u);
}

TEST_F(UpdateDialog, CloseStoresTheDialogsValuesAndAnEmptyProxyBoxKeepsTheStoredProxy) {
  // One after another: each opening shows what the one before stored ("_" as an empty box).
  const struct {
    const wchar_t* shown;
    const wchar_t* typed;
    const wchar_t* stored;
    DWORD port, timeout;
    bool startup, beta, closeAfter;
  } cases[] = {
      {L"proxy.old", L"", L"proxy.old", 3128, 9, true, true, false},
      {L"proxy.old", L"_", L"_", 0, 0, false, false, true},
      {L"", L"proxy.new", L"proxy.new", 8080, 12, false, true, false},
  };
  test::RemoveStoredSettings();
  ASSERT_TRUE(Write(settings::kHttpProxy, L"proxy.old", 0));
  TabuliftApp app;
  ASSERT_TRUE(app.Start(L"en", L"", false)) << Narrow(app.Error());
  for (const auto& c : cases) {
    SCOPED_TRACE(Narrow(c.typed));
    HWND dialog = OpenUpdateDialog(app);
    ASSERT_NE(dialog, nullptr) << app.DescribeWindows();
    EXPECT_EQ(app.TextOf(GetDlgItem(dialog, IDC_UPDATE_PROXY)), c.shown);
    app.TypeTextIn(dialog, IDC_UPDATE_PROXY, c.typed);
    app.TypeTextIn(dialog, IDC_UPDATE_PROXY_PORT, std::to_wstring(c.port));
    app.TypeTextIn(dialog, IDC_UPDATE_TIMEOUT, std::to_wstring(c.timeout));
    for (auto [id, on] : {std::pair{IDC_UPDATE_AT_STARTUP, c.startup}, {IDC_UPDATE_BETA, c.beta},
                          {IDC_UPDATE_CLOSE_AFTER, c.closeAfter}}) {
      if (Checked(dialog, id) != on) app.ClickIn(dialog, id);
    }
    CloseDialog(app, dialog);
    EXPECT_EQ(StoredString(L"Update", L"HTTPProxy"), c.stored);
    EXPECT_EQ(StoredInt(L"Update", L"HTTPProxyPort"), c.port);
    EXPECT_EQ(StoredInt(L"Update", L"HTTPTimeout"), c.timeout);
    EXPECT_EQ(StoredInt(L"Update", L"AutoUpdateCheck"), c.startup ? 1u : 0u);
    EXPECT_EQ(StoredInt(L"Update", L"BetaUpdateCheck"), c.beta ? 1u : 0u);
    EXPECT_EQ(StoredInt(L"Update", L"CloseWindow_wnve"), c.closeAfter ? 1u : 0u);
  }
  EXPECT_EQ(app.Close(), 0u);
}

}  // namespace
}  // namespace tblf
