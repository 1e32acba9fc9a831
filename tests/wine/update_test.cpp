// The update check over real sockets, against a scripted HTTP server on
// 127.0.0.1: the exchange, the worker (its messages and their silence at
// start-up, the request that makes a running check report, the question when
// a newer version exists and what Yes and Cancel do; message boxes and the
// browser are taken by hooks), `tblfcli update-check`, and the update dialog
// of tabulift.exe driven through its window ("Check now" uses the dialog's
// unsaved values, Cancel on the start-up question switches the check off in
// the open dialog too, Close stores the dialog's values; the update host is
// reached through a proxy setting). Nothing here reaches the update host:
// direct requests are pointed at the local server, which still sees them
// naming the update host.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "base/message_box_win.h"
#include "base/process_basics.h"
#include "resources/resource.h"
#include "settings/regw_win.h"
#include "settings/settings_table.h"
#include "tests/support/cli_run_win.h"
#include "tests/support/fixture_win.h"
#include "tests/support/gui_driver_win.h"
#include "tests/support/loopback_http_win.h"
#include "update/update_check_win.h"
#include "update/update_exchange_win.h"

namespace tblf {
namespace {

using test::LoopbackHttpServer;
using test::Narrow;
using test::StoredInt;
using test::StoredString;
using test::TabuliftApp;
using test::WaitUntil;
using test::ScriptedReply;

const std::string kDirectRequest =
    "GET /update.txt HTTP/1.0\r\n"
    "User-Agent: marrowlib [ja] (tblift)\r\n"
    "Host: update.tabulift.example\r\n"
    "\r\n";
const std::string kProxyRequest =
    "GET http://update.tabulift.example/update.txt HTTP/1.1\r\n"
    "User-Agent: marrowlib [ja] (tblift)\r\n"
    "Host: update.tabulift.example\r\n"
    "\r\n";
const char* const kHeader = "HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n\r\n";

UpdateCheckParams Direct(const LoopbackHttpServer& server, unsigned timeout, bool beta = false) {
  UpdateCheckParams params;
  params.connectHost = L"127.0.0.1";
  params.connectPort = server.Port();
  params.timeoutSeconds = timeout;
  params.beta = beta;
  params.buildNumber = 23105;
  return params;
}

TEST(UpdateExchange, DirectRequestGoesOutByteForByteWithTheUpdateHostInIt) {
  LoopbackHttpServer server({{std::string(kHeader) + "ver_tblf:23105.\r\n"}});
  ASSERT_TRUE(server.listening());
  const UpdateResult result = RunUpdateExchange(Direct(server, 6));
  EXPECT_EQ(result.outcome, UpdateOutcome::Equal);
  EXPECT_EQ(server.Requests(), std::vector<std::string>{kDirectRequest});
}

TEST(UpdateExchange, ProxyRequestCarriesTheAbsoluteUriAndHttp11) {
  LoopbackHttpServer server({{std::string(kHeader) + "ver_tblf:23106.\r\n"}});
  ASSERT_TRUE(server.listening());
  UpdateCheckParams params;
  params.proxyHost = L"127.0.0.1";
  params.proxyPort = server.Port();
  params.buildNumber = 23105;
  // A proxy wins over the test's direct target.
  params.connectHost = L"127.0.0.1";
  params.connectPort = std::to_wstring(test::UnusedLoopbackPort());
  const UpdateResult result = RunUpdateExchange(params);
  EXPECT_EQ(result.outcome, UpdateOutcome::Newer);
  EXPECT_EQ(result.published, 23106);
  EXPECT_EQ(server.Requests(), std::vector<std::string>{kProxyRequest});
}

struct TimedRun {
  UpdateCheckParams params;
  UpdateResult result;
  ULONGLONG elapsedMs = 0;
  ULONGLONG cpuMs = 0;
  ULONGLONG cpuSampledAtMs = 0;
};

DWORD WINAPI RunTimed(void* argument) {
  auto* run = static_cast<TimedRun*>(argument);
  run->result = RunUpdateExchange(run->params);
  return 0;
}

ULONGLONG Ms(const FILETIME& time) {
  return ((static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime) / 10000;
}

// Runs the exchange on a thread of its own and measures it. The thread's
// processor time is read while it still runs: Wine forgets it once the
// thread has ended.
void RunOnThread(TimedRun& run) {
  const ULONGLONG start = GetTickCount64();
  HANDLE thread = CreateThread(nullptr, 0, RunTimed, &run, 0, nullptr);
  ASSERT_NE(thread, nullptr);
  FILETIME created, ended, kernel, user;
  while (WaitForSingleObject(thread, 100) == WAIT_TIMEOUT) {
    if (GetThreadTimes(thread, &created, &ended, &kernel, &user)) {
      run.cpuMs = Ms(kernel) + Ms(user);
      run.cpuSampledAtMs = GetTickCount64() - start;
    }
  }
  run.elapsedMs = GetTickCount64() - start;
  CloseHandle(thread);
}

TEST(UpdateExchange, ReplyWithoutTheKeyIsNotFoundOnlyAfterTheTimeoutAndTheThreadWaitsIdle) {
  // The server closes after its reply, or keeps the connection open and silent.
  for (bool close : {true, false}) {
    SCOPED_TRACE(close ? "server closes" : "server holds the connection");
    LoopbackHttpServer server({{std::string(kHeader) + "no version here\r\n"}, 0, close});
    ASSERT_TRUE(server.listening());
    TimedRun run;
    run.params = Direct(server, 1);
    RunOnThread(run);
    EXPECT_EQ(run.result.outcome, UpdateOutcome::NotFound);
    // Whole seconds exceed a timeout of 1 from 2000 ms on (GetTickCount may lag a tick).
    EXPECT_GE(run.elapsedMs, 1950u);
    EXPECT_LT(run.elapsedMs, 4000u);
    ASSERT_GE(run.cpuSampledAtMs, 1500u);
    // Waiting costs nothing measurable; a polling thread took 12 % of the time even on a machine
    // loaded eight times over.
    EXPECT_LT(run.cpuMs, run.cpuSampledAtMs / 20) << "the thread polled instead of waiting";
  }
}

TEST(UpdateExchange, ConnectionFailuresComeAtOnce) {
  LoopbackHttpServer server({{std::string(kHeader) + "ver_tblf:23105.\r\n"}});
  ASSERT_TRUE(server.listening());
  struct Case {
    const char* name;
    std::wstring proxyHost, proxyPort, connectHost, connectPort;
  };
  // A 64-letter label is refused by the resolver itself, so no query leaves the machine.
  const std::wstring unresolvable = std::wstring(64, L'a') + L".invalid";
  const std::wstring unused = std::to_wstring(test::UnusedLoopbackPort());
  const Case cases[] = {
      {"proxy port 0", L"127.0.0.1", L"0", L"", L""},
      {"proxy port not a number", L"127.0.0.1", L"eighty-eighty", L"", L""},
      {"proxy port past 65535", L"127.0.0.1", std::to_wstring(65536 + server.port()), L"", L""},
      {"proxy host that does not resolve", unresolvable, server.Port(), L"", L""},
      {"direct host that does not resolve", L"", L"", unresolvable, server.Port()},
      {"nothing listening", L"", L"", L"127.0.0.1", unused},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    UpdateCheckParams params;
    params.proxyHost = c.proxyHost;
    params.proxyPort = c.proxyPort;
    params.connectHost = c.connectHost;
    params.connectPort = c.connectPort;
    TimedRun run;
    run.params = params;
    RunOnThread(run);
    EXPECT_EQ(run.result.outcome, UpdateOutcome::ConnectFailed);
    EXPECT_LT(run.elapsedMs, 5000u);
  }
  EXPECT_TRUE(server.Requests().empty());
}

// ---------------------------------------------------------------------------
// The worker

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
    values.exchange = Direct(server, timeout);
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
  ASSERT_TRUE(Write(settings::kHttpProxy, L"_", 0));
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

// ---------------------------------------------------------------------------
// tblfcli update-check

using test::CliRun;
using test::RunCli;

TEST(TblfcliUpdateCheck, PrintsTheOutcomeAndThePublishedNumber) {
  struct Case {
    const char* name;
    std::string reply;
    std::wstring options;
    std::string out;
    DWORD exitCode;
  };
  const Case cases[] = {
      {"older", "ver_tblf:23104.\r\n", L"--build 23105", "older 23104\r\n", 0},
      {"beta", "ver_tblf:23105.\r\nbetatblf:23200.\r\n", L"--build 23105 --beta", "newer 23200\r\n", 0},
      {"not found", "betatblf:23200.\r\n", L"--timeout 0", "not-found\r\n", 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    LoopbackHttpServer server({{std::string(kHeader) + c.reply}});
    ASSERT_TRUE(server.listening());
    const CliRun run = RunCli(L"update-check --connect-to 127.0.0.1:" + server.Port() + L" " + c.options);
    EXPECT_EQ(run.out, c.out);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.exitCode, c.exitCode);
  }
}

// "connect-failed" is printed for the full accept queue below.
TEST(TblfcliUpdateCheck, ProxyOptionAsksTheProxy) {
  LoopbackHttpServer server({{std::string(kHeader) + "ver_tblf:23105.\r\n"}});
  ASSERT_TRUE(server.listening());
  const CliRun run = RunCli(L"update-check --proxy 127.0.0.1:" + server.Port() + L" --build 23105");
  EXPECT_EQ(run.out, "equal 23105\r\n");
  EXPECT_EQ(run.exitCode, 0u);
  EXPECT_EQ(server.Requests(), std::vector<std::string>{kProxyRequest});
}

// Server faults end within the timeout with a word of their own; the old
// exchange took 135 s against the full queue with --timeout 2.
TEST(TblfcliUpdateCheck, ServerFaultsEndInBoundedTimeAndSayWhatHappened) {
  struct Case {
    const char* what;
    ScriptedReply reply;
    bool fullQueue;
    std::string out;
  };
  const Case cases[] = {
      {"error page holding the key", {{"HTTP/1.1 500 Internal Server Error\r\n\r\nver_tblf:99999.\r\n"}},
       false, "http-status 500\r\n"},
      {"silence", {{}, 0, false}, false, "no-reply\r\n"},
      {"full accept queue", {}, true, "connect-failed\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::wstring port;
    std::unique_ptr<LoopbackHttpServer> server;
    std::unique_ptr<test::FullAcceptQueue> queue;
    if (c.fullQueue) {
      queue = std::make_unique<test::FullAcceptQueue>();
      port = queue->Port();
    } else {
      server = std::make_unique<LoopbackHttpServer>(c.reply);
      ASSERT_TRUE(server->listening());
      port = server->Port();
    }
    const ULONGLONG start = GetTickCount64();
    const CliRun run = RunCli(L"update-check --timeout 2 --build 23105 --connect-to 127.0.0.1:" + port);
    const ULONGLONG elapsed = GetTickCount64() - start;
    std::printf("[ figure ] %s: %.1f s\n", c.what, elapsed / 1000.0);
    EXPECT_EQ(run.out, c.out);
    EXPECT_EQ(run.exitCode, 1u);
    EXPECT_LT(elapsed, 15000u) << "ms; the timeout is 2 s";
  }
}


// ---------------------------------------------------------------------------
// The update dialog

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
  LoopbackHttpServer server({{std::string(kHeader) + "betatblf:00001.\r\n" + kFiller}, 0, true, gate.event});
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
  LoopbackHttpServer server({{std::string(kHeader) + "ver_tblf:99999.\r\n"}, 0, true, gate.event});
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
