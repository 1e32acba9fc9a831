#include "update/update_dialog_win.h"

#include <string>

#include "base/help_topics.h"
#include "base/help_win.h"
#include "help/version.h"
#include "resources/resource.h"
#include "settings/settings_table.h"
#include "base/dialog_win.h"
#include "base/process_basics.h"
#include "update/update_check_win.h"

namespace tblf {
namespace {

// The stored proxy "_" stands for no proxy; typed into the box it clears a
// stored proxy on Close.
constexpr const wchar_t* kNoProxy = L"_";

constexpr TooltipEntry kTipsJa[] = {
    {IDC_UPDATE_CHECK_NOW, L"インターネット経由で、最新の「Tabulift」が公開されているかどうかを問い合わせます。"},
    {IDC_UPDATE_AT_STARTUP,
     L"Tabuliftの起動時に、インターネット経由で最新の「Tabulift」が公開されているかどうかを問い合わせます。"},
    {IDC_UPDATE_BETA, L"最新版の問い合わせをする際、α版やβ版(開発途中のテストバージョン)も検出対象とします。"},
    {IDC_UPDATE_CLOSE_AFTER, L"上書きインストールの失敗を防ぐために、更新版が見つかったら「Tabulift」を終了します。"},
    {IDC_UPDATE_PROXY,
     L"プロキシサーバを経由したい場合のプロキシサーバ名(ここが空だと、プロキシサーバを経由せずに直接接続します)。"},
    {IDC_UPDATE_PROXY_PORT, L"プロキシサーバを経由したい場合のプロキシサーバのポート。"},
    {IDC_UPDATE_TIMEOUT, L"更新確認をあきらめるまでの秒数。"},
    {IDCANCEL, L"設定した内容を保存し、このダイアログを閉じます。"},
    {IDC_HELP_BUTTON, L"このダイアログに関する説明を表示します。"},
};
constexpr TooltipEntry kTipsEn[] = {
    {IDC_UPDATE_CHECK_NOW, L"Checks a new version with Internet."},
    {IDC_UPDATE_AT_STARTUP, L"Checks a new version with Internet in every boot time."},
    {IDC_UPDATE_BETA, L"Checks a new developping version."},
    {IDC_UPDATE_CLOSE_AFTER, L"Closes this application when a new version is found."},
    {IDC_UPDATE_PROXY, L"Address of Proxy server."},
    {IDC_UPDATE_PROXY_PORT, L"Port number of Proxy server."},
    {IDC_UPDATE_TIMEOUT, L"Seconds of timeout."},
    {IDOK, L"Saves this settings and closes this dialog box."},  // no such button here: skipped
    {IDCANCEL, L"Closes this dialog box."},
    {IDC_HELP_BUTTON, L"Displays the help."},
};
constexpr TooltipTables kTips{kTipsJa, kTipsEn};

class UpdateDialog : public Dialog {
 protected:
  int TemplateJa() const override { return IDD_UPDATE_JA; }
  int TemplateEn() const override { return IDD_UPDATE_EN; }
  const TooltipTables* Tooltips() const override { return &kTips; }

  BOOL OnInit() override {
    // Published before the settings and the check are looked at: a worker
    // that switches the start-up check off or ends in between finds the
    // dialog and clears the box or gives the button back itself.
    PublishUpdateDialog(Item(IDC_UPDATE_CHECK_NOW), Item(IDC_UPDATE_AT_STARTUP));
    std::wstring proxy = Read(settings::kHttpProxy).value_or(kNoProxy);
    if (proxy == kNoProxy) proxy.clear();
    SetItemText(IDC_UPDATE_PROXY, proxy.c_str());
    SetDlgItemInt(hwnd(), IDC_UPDATE_PROXY_PORT, static_cast<UINT>(Read(settings::kHttpProxyPort)), FALSE);
    SetDlgItemInt(hwnd(), IDC_UPDATE_TIMEOUT, static_cast<UINT>(Read(settings::kHttpTimeout)), FALSE);
    Check(IDC_UPDATE_AT_STARTUP, Read(settings::kAutoUpdateCheck) != 0);
    Check(IDC_UPDATE_BETA, Read(settings::kBetaUpdateCheck) != 0);
    Check(IDC_UPDATE_CLOSE_AFTER, Read(settings::kCloseWindowWnve) != 0);

    if (UpdateCheckRunning()) {
      ShowChecking(true);
      // The worker may have given the button back just before it was taken.
      if (!UpdateCheckRunning()) ShowChecking(false);
    }
    return TRUE;
  }

  bool OnCommand(int id, int code, HWND) override {
    switch (id) {
      case IDC_UPDATE_CHECK_NOW:
        if (code == BN_CLICKED) CheckNow();
        return true;
      case IDCANCEL:
        Close();
        return true;
      case IDC_HELP_BUTTON:
        OnHelp();
        return true;
      default:
        return false;
    }
  }

  void OnHelp() override { OpenHelpTopic(hwnd(), kHelpUpdateCheck); }

  void OnDestroy() override { PublishUpdateDialog(nullptr, nullptr); }

 private:
  void ShowChecking(bool checking) const {
    EnableItem(IDC_UPDATE_CHECK_NOW, !checking);
    SetItemText(IDC_UPDATE_CHECK_NOW, checking ? kCheckingLabel.get() : kCheckNowAgainLabel.get());
  }

  unsigned ItemNumber(int id) const { return GetDlgItemInt(hwnd(), id, nullptr, FALSE); }

  // The values in the dialog, used for this one check and not stored.
  void CheckNow() {
    ShowChecking(true);
    UpdateCheckValues values;
    values.exchange.proxyHost = ItemText(IDC_UPDATE_PROXY);
    // "_" clears the proxy on Close; for the check it means no proxy, as stored.
    if (values.exchange.proxyHost == kNoProxy) values.exchange.proxyHost.clear();
    values.exchange.proxyPort = ItemText(IDC_UPDATE_PROXY_PORT);
    values.closeAfterOpening = IsChecked(IDC_UPDATE_CLOSE_AFTER);
    values.exchange.beta = IsChecked(IDC_UPDATE_BETA);
    // A timeout that would be stored as a negative number counts as 0, as
    // the stored one does.
    const unsigned timeout = ItemNumber(IDC_UPDATE_TIMEOUT);
    values.exchange.timeoutSeconds = static_cast<int>(timeout) < 0 ? 0u : timeout;
    values.exchange.buildNumber = static_cast<int>(g_versionValues.buildNumber);
    // No worker (the failure has been shown): the button must not stay disabled.
    if (!StartUpdateCheck(UpdateMode::Manual, std::move(values))) ShowChecking(false);
  }

  void Close() {
    const std::uintptr_t owner = g_frameWindow;
    const std::wstring proxy = ItemText(IDC_UPDATE_PROXY);
    // An empty box leaves the stored proxy as it was; "_" clears it.
    if (!proxy.empty()) Write(settings::kHttpProxy, proxy.c_str(), owner);
    Write(settings::kHttpProxyPort, static_cast<int>(ItemNumber(IDC_UPDATE_PROXY_PORT)), owner);
    Write(settings::kHttpTimeout, static_cast<int>(ItemNumber(IDC_UPDATE_TIMEOUT)), owner);
    auto flag = [this](int id) { return IsChecked(id) ? 1 : 0; };
    Write(settings::kAutoUpdateCheck, flag(IDC_UPDATE_AT_STARTUP), owner);
    Write(settings::kBetaUpdateCheck, flag(IDC_UPDATE_BETA), owner);
    Write(settings::kCloseWindowWnve, flag(IDC_UPDATE_CLOSE_AFTER), owner);
    End(0);
  }
};

}  // namespace

void ShowUpdateDialog(HWND owner) {
  UpdateDialog dialog;
  dialog.RunModal(owner);
}

}  // namespace tblf
