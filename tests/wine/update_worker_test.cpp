// The update worker: its messages and their silence at start-up, the
// request that makes a running check report, the question when a newer
// version exists and what Yes and Cancel do. Exchanges run against a scripted
// server on 127.0.0.1; message boxes and the browser are taken by hooks.

#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <mutex>
#include <utility>
#include <string>
#include <vector>

#include "settings/regw_win.h"
#include "settings/settings_table.h"
#include "base/message_box_win.h"
#include "base/process_basics.h"
#include "tests/support/fixture_win.h"
#include "tests/support/loopback_http_win.h"
#include "update/update_check_win.h"

namespace tblf {
namespace {

using test::LoopbackHttpServer;

struct Shown {
  std::wstring text;
  std::wstring caption;
  UINT type;
};

std::map<HWND, int> g_destroyMessages;

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  // WM_DESTROY sent by the worker only asks the window to end; it is counted, not acted on.
  if (message == WM_DESTROY) ++g_destroyMessages[window];
  return DefWindowProcW(window, message, wParam, lParam);
}

std::wstring CurrentDirectory() {
  wchar_t path[MAX_PATH] = L"";
  GetCurrentDirectoryW(MAX_PATH, path);
  std::wstring text = path;
  if (!text.empty() && text.back() != L'\\') text += L'\\';
  return text;
}

std::wstring SystemDirectory() {
  wchar_t path[MAX_PATH] = L"";
  GetSystemDirectoryW(path, MAX_PATH);
  return path;
}

class UpdateWorker : public ::testing::Test {
 protected:
  void SetUp() override {
    g_japaneseUi = false;
    ClearUpdateSettings();
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = RecordingProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"TBLF_TEST_RECORDING";
    RegisterClassW(&windowClass);
    frame_ = CreateWindowExW(0, L"TBLF_TEST_RECORDING", L"Tabulift", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr,
                             nullptr, nullptr, nullptr);
    ASSERT_NE(frame_, nullptr);
    g_frameWindow = reinterpret_cast<std::uintptr_t>(frame_);
    g_destroyMessages.clear();
    SetMessageBoxHook([this](HWND owner, const std::wstring& text, const std::wstring& caption, UINT type) {
      std::lock_guard<std::mutex> hold(lock_);
      EXPECT_EQ(owner, frame_);
      shown_.push_back({text, caption, type});
      return answer_;
    });
    SetSiteOpener([this](HWND owner, const wchar_t* site, const wchar_t* directory) {
      std::lock_guard<std::mutex> hold(lock_);
      EXPECT_EQ(owner, frame_);
      opened_.push_back(site);
      openedIn_ = CurrentDirectory();
      openedDirectory_ = directory;
      return openerResult_;
    });
  }

  void TearDown() override {
    PublishUpdateDialog(nullptr, nullptr);
    SetMessageBoxHook(nullptr);
    SetSiteOpener(nullptr);
    if (dialog_) DestroyWindow(dialog_);
    if (frame_) DestroyWindow(frame_);
    g_frameWindow = 0;
    g_japaneseUi = false;
    ClearUpdateSettings();
  }

  static void ClearUpdateSettings() {
    RegDeleteTreeW(HKEY_CURRENT_USER, (std::wstring(kSettingsKeyPath) + L"\\Update").c_str());
  }

  // A stand-in for the update dialog: "Check now" disabled as while checking, the start-up box ticked.
  void OpenDialog() {
    dialog_ = CreateWindowExW(0, L"TBLF_TEST_RECORDING", L"Update Check", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200,
                              nullptr, nullptr, nullptr, nullptr);
    checkNow_ = CreateWindowExW(0, L"BUTTON", kCheckingLabel.get(), WS_CHILD | WS_DISABLED | BS_PUSHBUTTON, 0, 0,
                                100, 20, dialog_, reinterpret_cast<HMENU>(1045), nullptr, nullptr);
    startupBox_ = CreateWindowExW(0, L"BUTTON", L"Boot time chec&k", WS_CHILD | BS_AUTOCHECKBOX, 0, 30, 100, 20,
                                  dialog_, reinterpret_cast<HMENU>(1002), nullptr, nullptr);
    SendMessageW(startupBox_, BM_SETCHECK, BST_CHECKED, 0);
    PublishUpdateDialog(checkNow_, startupBox_);
  }

  UpdateCheckValues Values(const LoopbackHttpServer& server, unsigned timeout = 6) {
    UpdateCheckValues values;
    values.exchange.connectHost = L"127.0.0.1";
    values.exchange.connectPort = server.Port();
    values.exchange.timeoutSeconds = timeout;
    values.exchange.buildNumber = 23105;
    return values;
  }

  // Serves this thread's windows (the worker reaches them by SendMessageW)
  // until the worker has ended.
  void WaitForWorker() {
    const ULONGLONG until = GetTickCount64() + 30000;
    while ((UpdateCheckRunning() || UpdateWorkerAlive()) && GetTickCount64() < until) {
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
      MSG message;
      while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    }
    ASSERT_FALSE(UpdateWorkerAlive()) << "the worker did not end";
  }

  std::vector<Shown> TakeShown() {
    std::lock_guard<std::mutex> hold(lock_);
    return std::move(shown_);
  }

  HWND frame_ = nullptr;
  HWND dialog_ = nullptr;
  HWND checkNow_ = nullptr;
  HWND startupBox_ = nullptr;
  std::mutex lock_;
  std::vector<Shown> shown_;
  int answer_ = IDNO;
  INT_PTR openerResult_ = 42;
  std::vector<std::wstring> opened_;
  std::wstring openedIn_;
  std::wstring openedDirectory_;
};

const char* const kHeader = "HTTP/1.0 200 OK\r\n\r\n";

// Which reply gives which outcome is the protocol's; here each message box.
TEST_F(UpdateWorker, StartUpModeIsSilentAndManualModeReportsEveryOutcome) {
  struct Case {
    UpdateMode mode;
    const char* reply;  // null: nothing listens
    const wchar_t* text;  // null: nothing shown
    UINT icon;
  };
  const std::string header = kHeader;
  const std::string notFound = header + "no key\r\n", older = header + "ver_tblf:23104.\r\n",
                    equal = header + "ver_tblf:23105.\r\n";
  const Case cases[] = {
      {UpdateMode::Startup, nullptr, nullptr, 0},
      {UpdateMode::Manual, nullptr, L"Connect failed.", MB_ICONERROR},
      {UpdateMode::Manual, notFound.c_str(), L"Update Information was not found.", MB_ICONERROR},
      {UpdateMode::Manual, older.c_str(), L"This version is not released.", MB_ICONEXCLAMATION},
      {UpdateMode::Manual, equal.c_str(), L"The new version was not found.", MB_ICONINFORMATION},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(&c - cases);
    LoopbackHttpServer server({{c.reply ? c.reply : ""}});
    ASSERT_TRUE(server.listening());
    UpdateCheckValues values = Values(server, 0);
    if (!c.reply) values.exchange.connectPort = std::to_wstring(test::UnusedLoopbackPort());
    ASSERT_TRUE(StartUpdateCheck(c.mode, values));
    WaitForWorker();
    const std::vector<Shown> shown = TakeShown();
    ASSERT_EQ(shown.size(), c.text ? 1u : 0u);
    if (!c.text) continue;
    EXPECT_EQ(shown[0].text, c.text);
    EXPECT_EQ(shown[0].caption, L"Tabulift");
    EXPECT_EQ(shown[0].type, MB_OK | c.icon);
  }
}

TEST_F(UpdateWorker, RequestDuringARunningCheckMakesItReportAndStartsNoSecondWorker) {
  LoopbackHttpServer server({{std::string(kHeader) + "ver_tblf:23105.\r\n"}, 800});
  ASSERT_TRUE(server.listening());
  OpenDialog();
  ASSERT_TRUE(StartUpdateCheck(UpdateMode::Startup, Values(server)));
  Sleep(200);
  ASSERT_TRUE(UpdateCheckRunning());
  ASSERT_TRUE(StartUpdateCheck(UpdateMode::Manual, Values(server)));
  WaitForWorker();
  const std::vector<Shown> shown = TakeShown();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].text, L"The new version was not found.");
  EXPECT_EQ(server.Requests().size(), 1u);
  // The end of the check gives "Check now" back.
  wchar_t label[64] = L"";
  GetWindowTextW(checkNow_, label, 64);
  EXPECT_STREQ(label, L"&Check now!");
  EXPECT_TRUE(IsWindowEnabled(checkNow_));
}

TEST_F(UpdateWorker, YesOpensTheSiteFromTheSystemDirectoryAndClosesTheProgram) {
  for (bool closeAfterOpening : {true, false}) {
    SCOPED_TRACE(closeAfterOpening ? "close after opening" : "stay open");
    LoopbackHttpServer server({{std::string(kHeader) + "ver_tblf:23106.\r\n"}});
    ASSERT_TRUE(server.listening());
    OpenDialog();
    g_destroyMessages.clear();
    opened_.clear();
    answer_ = IDYES;
    UpdateCheckValues values = Values(server);
    values.closeAfterOpening = closeAfterOpening;
    ASSERT_TRUE(StartUpdateCheck(UpdateMode::Manual, values));
    WaitForWorker();
    EXPECT_EQ(TakeShown().size(), 1u);
    EXPECT_EQ(opened_, std::vector<std::wstring>{L"http://tabulift.example/"});
    EXPECT_EQ(openedDirectory_, SystemDirectory());
    EXPECT_EQ(openedIn_, SystemDirectory() + L"\\");
    EXPECT_EQ(CurrentDirectory(), test::ExecutableFolder());
    EXPECT_EQ(g_destroyMessages[frame_], closeAfterOpening ? 1 : 0);
    EXPECT_EQ(g_destroyMessages[dialog_], closeAfterOpening ? 1 : 0);
    PublishUpdateDialog(nullptr, nullptr);
    DestroyWindow(dialog_);
    dialog_ = nullptr;
  }
}

TEST_F(UpdateWorker, BrowserThatDoesNotStartIsReportedAndTheProgramStays) {
  LoopbackHttpServer server({{std::string(kHeader) + "ver_tblf:23106.\r\n"}});
  ASSERT_TRUE(server.listening());
  answer_ = IDYES;
  openerResult_ = 31;  // SE_ERR_NOASSOC
  for (bool japanese : {false, true}) {
    g_japaneseUi = japanese;
    ASSERT_TRUE(StartUpdateCheck(UpdateMode::Manual, Values(server)));
    WaitForWorker();
    const std::vector<Shown> shown = TakeShown();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[1].text, japanese ? L"ブラウザの起動に失敗しました。\nブラウザを起動し、"
                                        L"http://tabulift.example/ を開いてください。"
                                      : L"Running Browser was failed.");
    EXPECT_EQ(shown[1].type, static_cast<UINT>(MB_OK | MB_ICONERROR));
  }
  EXPECT_TRUE(g_destroyMessages.empty());
}

// Cancel is offered at start-up only; No leaves everything as it was.
TEST_F(UpdateWorker, TheQuestionNamesCancelAtStartUpAndWhatHappensAfterOpening) {
  LoopbackHttpServer server({{std::string(kHeader) + "ver_tblf:23106.\r\n"}});
  ASSERT_TRUE(server.listening());
  ASSERT_TRUE(Write(settings::kAutoUpdateCheck, 1, 0));
  const std::wstring head =
      L"現在実行中のバージョンより新しいバージョンが見つかりました。\nQuillmarkのWebサイトを表示しますか?\n\n";
  const std::wstring cancelLine = L"[キャンセル]を押すと、自動通知機能をOFFにします。\n";
  const std::wstring closes = L"(サイトを開いたら、「Tabulift」は自動的に終了します)";
  const std::wstring stays =
      L"(このままTabuliftをアップデートする場合は、ダウンロード前に、現在動作中のTabuliftを終了しておいてください)";
  struct Case {
    bool japanese;
    UpdateMode mode;
    bool closeAfterOpening;
    std::wstring text;
    UINT buttons;
  };
  const Case cases[] = {
      {false, UpdateMode::Manual, true, L"The new version was found. Do you browse Quillmark's web site?", MB_YESNO},
      {true, UpdateMode::Manual, true, head + closes, MB_YESNO},
      {true, UpdateMode::Manual, false, head + stays, MB_YESNO},
      {true, UpdateMode::Startup, true, head + cancelLine + closes, MB_YESNOCANCEL},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(&c - cases);
    g_japaneseUi = c.japanese;
    UpdateCheckValues values = Values(server);
    values.closeAfterOpening = c.closeAfterOpening;
    ASSERT_TRUE(StartUpdateCheck(c.mode, values));
    WaitForWorker();
    const std::vector<Shown> shown = TakeShown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, c.text);
    EXPECT_EQ(shown[0].type, c.buttons | MB_ICONQUESTION);
  }
  EXPECT_EQ(Read(settings::kAutoUpdateCheck), 1);
  EXPECT_TRUE(opened_.empty());
  EXPECT_TRUE(g_destroyMessages.empty());
}

// Switched on, it runs through the stored proxy: the update dialog test starts the program so.
TEST_F(UpdateWorker, AutomaticCheckIsOffByDefault) {
  StartAutomaticUpdateCheck(23105);
  EXPECT_FALSE(UpdateCheckRunning());
}

TEST_F(UpdateWorker, StoredValuesTurnTheNoProxyMarkIntoNoProxy) {
  UpdateCheckValues values = UpdateValuesFromSettings(23105);
  EXPECT_EQ(values.exchange.proxyHost, L"");
  EXPECT_EQ(values.exchange.proxyPort, L"0");
  EXPECT_EQ(values.exchange.timeoutSeconds, 6u);
  EXPECT_FALSE(values.exchange.beta);
  EXPECT_TRUE(values.closeAfterOpening);
  EXPECT_EQ(values.exchange.buildNumber, 23105);

  ASSERT_TRUE(Write(settings::kHttpProxy, L"proxy.local", 0));
  ASSERT_TRUE(Write(settings::kHttpProxyPort, 8080, 0));
  ASSERT_TRUE(Write(settings::kHttpTimeout, -5, 0));
  ASSERT_TRUE(Write(settings::kBetaUpdateCheck, 1, 0));
  ASSERT_TRUE(Write(settings::kCloseWindowWnve, 0, 0));
  values = UpdateValuesFromSettings(1);
  EXPECT_EQ(values.exchange.proxyHost, L"proxy.local");
  EXPECT_EQ(values.exchange.proxyPort, L"8080");
  EXPECT_EQ(values.exchange.timeoutSeconds, 0u) << "a negative timeout would never end the wait";
  EXPECT_TRUE(values.exchange.beta);
  EXPECT_FALSE(values.closeAfterOpening);
}

TEST(UpdateAgentRegistration, RecordsTabuliftOnlyWhereTheUtilityKeyExists) {
  const std::wstring entry = std::wstring(kUpdateAgentKeyPath) + L"\\TBLIFT";
  RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\QuillmarkHive\\UpdateAgent");
  EXPECT_FALSE(RegisterWithUpdateAgent(23105));
  HKEY key = nullptr;
  EXPECT_NE(RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\QuillmarkHive\\UpdateAgent", 0, KEY_READ, &key),
            ERROR_SUCCESS)
      << "nothing is created where the utility is not installed";

  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kUpdateAgentKeyPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                            nullptr),
            ERROR_SUCCESS);
  RegCloseKey(key);
  EXPECT_TRUE(RegisterWithUpdateAgent(23105));
  wchar_t exe[MAX_PATH] = L"";
  GetModuleFileNameW(nullptr, exe, MAX_PATH);
  for (auto [name, value] : {std::pair{L"DisplayName", L"Tabulift"}, {L"Name", L"TBLIFT"}, {L"Path", exe}}) {
    wchar_t text[MAX_PATH] = L"";
    DWORD size = sizeof text;
    RegGetValueW(HKEY_CURRENT_USER, entry.c_str(), name, RRF_RT_REG_SZ, nullptr, text, &size);
    EXPECT_STREQ(text, value) << name;
  }
  DWORD build = 0, size = sizeof build;
  RegGetValueW(HKEY_CURRENT_USER, entry.c_str(), L"Build", RRF_RT_REG_DWORD, nullptr, &build, &size);
  EXPECT_EQ(build, 23105u);
  RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\QuillmarkHive\\UpdateAgent");
}

}  // namespace
}  // namespace tblf
