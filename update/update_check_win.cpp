#include "update/update_check_win.h"

#include <process.h>
#include <shellapi.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <utility>

#include "settings/regw_win.h"
#include "settings/settings_table.h"
#include "base/message_box_win.h"
#include "base/process_basics.h"
#include "base/process_basics_win.h"
#include "base/publisher.h"

namespace tblf {

const BiText kCheckingLabel{L"チェック中...", L"Checking..."};
const BiText kCheckNowAgainLabel{L"今すぐチェックする(&C)", L"&Check now!"};

namespace {

// Shared by the UI thread and the worker without locks.
std::atomic<bool> g_checkRunning{false};
std::atomic<bool> g_manualRequestPending{false};
std::atomic<bool> g_workerAlive{false};
std::atomic<HWND> g_checkNowButton{nullptr};
std::atomic<HWND> g_startupCheckBox{nullptr};

std::mutex g_openerLock;
SiteOpener g_siteOpener;

const BiText kThreadFailedText{L"アップデートチェック用のスレッドの生成に失敗しました。",
                               L"Beginthread(Updatecheck) failed."};
const BiText kThreadFailedCaption{L"更新確認", L"Update check"};
const wchar_t* const kCaption = L"Tabulift";

struct OutcomeMessage {
  UpdateOutcome outcome;
  BiText text;
  UINT icon;
};

// Every outcome but "newer": silent in start-up mode unless a manual request came.
const OutcomeMessage kOutcomeMessages[] = {
    {UpdateOutcome::ConnectFailed, {L"接続を確立できませんでした。", L"Connect failed."}, MB_ICONERROR},
    {UpdateOutcome::NotFound,
     {L"アップデート情報を取得できませんでした。", L"Update Information was not found."},
     MB_ICONERROR},
    // The window tells a server fault as it always has: no update information.
    {UpdateOutcome::NoReply,
     {L"アップデート情報を取得できませんでした。", L"Update Information was not found."},
     MB_ICONERROR},
    {UpdateOutcome::HttpStatus,
     {L"アップデート情報を取得できませんでした。", L"Update Information was not found."},
     MB_ICONERROR},
    {UpdateOutcome::Older,
     {L"現在実行されているバージョンは、未公開のバージョンです。", L"This version is not released."},
     MB_ICONEXCLAMATION},
    {UpdateOutcome::Equal,
     {L"新しいバージョンは見つかりませんでした。\n現在実行されているバージョンは、最新のバージョンです。",
      L"The new version was not found."},
     MB_ICONINFORMATION},
};

std::wstring NewerVersionQuestion(UpdateMode mode, bool closeAfterOpening) {
  const bool startup = mode == UpdateMode::Startup;
  if (!g_japaneseUi) {
    return startup ? L"The new version was found. Do you browse Quillmark's web site?\n"
                     L"([Cencel] : It does not notify any longer.)"
                   : L"The new version was found. Do you browse Quillmark's web site?";
  }
  std::wstring text =
      L"現在実行中のバージョンより新しいバージョンが見つかりました。\nQuillmarkのWebサイトを表示しますか?\n\n";
  if (startup) text += L"[キャンセル]を押すと、自動通知機能をOFFにします。\n";
  text += closeAfterOpening
              ? L"(サイトを開いたら、「Tabulift」は自動的に終了します)"
              : L"(このままTabuliftをアップデートする場合は、ダウンロード前に、現在動作中のTabuliftを終了しておいてください)";
  return text;
}

HWND FrameWindow() { return reinterpret_cast<HWND>(g_frameWindow); }

INT_PTR OpenSite(HWND owner, const wchar_t* site, const wchar_t* directory) {
  {
    std::lock_guard<std::mutex> hold(g_openerLock);
    if (g_siteOpener) return g_siteOpener(owner, site, directory);
  }
  return reinterpret_cast<INT_PTR>(ShellExecuteW(owner, L"open", site, nullptr, directory, SW_SHOWNORMAL));
}

// Yes: the browser starts in the system directory, so that it never holds
// the program's folder (an installer may want to replace the program there).
void BrowsePublisherSite(bool closeAfterOpening) {
  wchar_t system[MAX_PATH + 1] = L"";
  const UINT n = GetSystemDirectoryW(system, MAX_PATH + 1);
  if (n == 0 || n > MAX_PATH) system[0] = L'\0';
  SetCurrentDirectoryW(system);
  const INT_PTR result = OpenSite(FrameWindow(), kWebSiteAddress, system);
  SetCurrentDirectoryToExeFolder();
  if (result <= 32) {
    const std::wstring text = g_japaneseUi ? std::wstring(L"ブラウザの起動に失敗しました。\nブラウザを起動し、") +
                                                 kWebSiteAddress + L" を開いてください。"
                                           : std::wstring(L"Running Browser was failed.");
    ShowMessageBox(FrameWindow(), text.c_str(), kCaption, MB_OK | MB_ICONERROR);
    return;
  }
  if (!closeAfterOpening) return;
  if (HWND button = g_checkNowButton.load()) SendMessageW(GetParent(button), WM_DESTROY, 0, 0);
  // The frame window's WM_DESTROY ends the program.
  SendMessageW(FrameWindow(), WM_DESTROY, 0, 0);
}

void AskToBrowse(UpdateMode mode, bool closeAfterOpening) {
  const UINT buttons = mode == UpdateMode::Startup ? MB_YESNOCANCEL : MB_YESNO;
  const std::wstring text = NewerVersionQuestion(mode, closeAfterOpening);
  const int answer = ShowMessageBox(FrameWindow(), text.c_str(), kCaption, buttons | MB_ICONQUESTION);
  if (answer == IDYES) {
    BrowsePublisherSite(closeAfterOpening);
  } else if (answer == IDCANCEL && mode == UpdateMode::Startup) {
    // The one setting the worker writes.
    Write(settings::kAutoUpdateCheck, 0, g_frameWindow);
    if (HWND box = g_startupCheckBox.load()) SendMessageW(box, BM_SETCHECK, BST_UNCHECKED, 0);
  }
}

void Report(UpdateMode mode, const UpdateCheckValues& values, UpdateOutcome outcome) {
  if (outcome == UpdateOutcome::Newer) {
    AskToBrowse(mode, values.closeAfterOpening);
    return;
  }
  if (mode == UpdateMode::Startup && !g_manualRequestPending.load()) return;
  for (const OutcomeMessage& m : kOutcomeMessages) {
    if (m.outcome == outcome) ShowMessageBox(FrameWindow(), m.text.get(), kCaption, MB_OK | m.icon);
  }
}

struct WorkerJob {
  UpdateMode mode;
  UpdateCheckValues values;
};

unsigned __stdcall UpdateWorker(void* argument) {
  std::unique_ptr<WorkerJob> job(static_cast<WorkerJob*>(argument));
  g_workerAlive = true;
  g_checkRunning = true;
  g_manualRequestPending = false;

  const UpdateResult result = RunUpdateExchange(job->values.exchange);
  Report(job->mode, job->values, result.outcome);

  g_checkRunning = false;
  g_manualRequestPending = false;
  if (HWND button = g_checkNowButton.load()) {
    SetWindowTextW(button, kCheckNowAgainLabel.get());
    EnableWindow(button, TRUE);
    SetForegroundWindow(GetParent(button));
  }
  job.reset();
  g_workerAlive = false;
  return 0;
}

}  // namespace

UpdateCheckValues UpdateValuesFromSettings(int buildNumber) {
  UpdateCheckValues values;
  std::wstring proxy = Read(settings::kHttpProxy).value_or(L"_");
  if (proxy == L"_") proxy.clear();
  values.exchange.proxyHost = proxy;
  values.exchange.proxyPort = std::to_wstring(Read(settings::kHttpProxyPort));
  // A negative stored timeout would never end the wait; it counts as 0.
  const int timeout = Read(settings::kHttpTimeout);
  values.exchange.timeoutSeconds = timeout < 0 ? 0u : static_cast<unsigned>(timeout);
  values.exchange.beta = Read(settings::kBetaUpdateCheck) != 0;
  values.exchange.buildNumber = buildNumber;
  values.closeAfterOpening = Read(settings::kCloseWindowWnve) != 0;
  return values;
}

bool StartUpdateCheck(UpdateMode mode, UpdateCheckValues values) {
  if (g_checkRunning.exchange(true)) {
    g_manualRequestPending = true;
    return true;
  }
  auto job = std::make_unique<WorkerJob>(WorkerJob{mode, std::move(values)});
  const uintptr_t thread = _beginthreadex(nullptr, 0, UpdateWorker, job.get(), 0, nullptr);
  if (thread == 0) {
    g_checkRunning = false;
    ShowMessageBox(FrameWindow(), kThreadFailedText.get(), kThreadFailedCaption.get(), MB_OK | MB_ICONERROR);
    return false;
  }
  job.release();
  CloseHandle(reinterpret_cast<HANDLE>(thread));
  return true;
}

void StartAutomaticUpdateCheck(int buildNumber) {
  if (Read(settings::kAutoUpdateCheck) == 0) return;
  StartUpdateCheck(UpdateMode::Startup, UpdateValuesFromSettings(buildNumber));
}

bool RegisterWithUpdateAgent(int buildNumber) {
  {
    REGW agent;
    if (!agent.OpenKey(HKEY_CURRENT_USER, kUpdateAgentKeyPath, REGW::kReadOnly)) return false;
    agent.CloseKey();
  }
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return false;
    if (n < path.size()) {
      path.resize(n);
      break;
    }
    path.resize(path.size() * 2);
  }
  REGW entry;
  const std::wstring entryPath = std::wstring(kUpdateAgentKeyPath) + L"\\TBLIFT";
  if (!entry.OpenKey(HKEY_CURRENT_USER, entryPath.c_str(), REGW::kCreate)) return false;
  const bool written = entry.WriteStringW(L"Name", L"TBLIFT") && entry.WriteStringW(L"DisplayName", L"Tabulift") &&
                       entry.WriteIntegerW(L"Build", buildNumber) && entry.WriteStringW(L"Path", path.c_str());
  entry.CloseKey();
  return written;
}

bool UpdateWorkerAlive() { return g_workerAlive.load(); }
bool UpdateCheckRunning() { return g_checkRunning.load(); }

void PublishUpdateDialog(HWND checkNowButton, HWND startupCheckBox) {
  g_checkNowButton = checkNowButton;
  g_startupCheckBox = startupCheckBox;
}

void SetSiteOpener(SiteOpener opener) {
  std::lock_guard<std::mutex> hold(g_openerLock);
  g_siteOpener = std::move(opener);
}

}  // namespace tblf
