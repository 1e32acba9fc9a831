#pragma once
// The update check on its worker thread: at most one worker, its outcome
// turned into a message box (silent at start-up unless a newer version
// exists), the publisher's site opened on request. The update dialog and the
// program's start reach it only through these functions.

#include <windows.h>

#include <functional>

#include "base/text.h"
#include "update/update_exchange_win.h"

namespace tblf {

// The thread's argument: 1 at start-up, 0 from "Check now".
enum class UpdateMode : int { Manual = 0, Startup = 1 };

// Everything one check needs, handed to the worker, which owns it until it ends.
struct UpdateCheckValues {
  UpdateCheckParams exchange;
  bool closeAfterOpening = true;  // close Tabulift once the site is opened
};

// The stored "Update" settings: the proxy ("_" means none), its port as
// decimal text, the timeout, beta and close-after-opening.
UpdateCheckValues UpdateValuesFromSettings(int buildNumber);

// Starts a worker unless one runs; while one runs, only makes it report
// every outcome as a manual check would. False when no worker could be
// started (the failure is shown, owned by the frame window).
bool StartUpdateCheck(UpdateMode mode, UpdateCheckValues values);

// Start-up: when Update/AutoUpdateCheck is on, a start-up mode check with
// the stored settings.
void StartAutomaticUpdateCheck(int buildNumber);

// Start-up: when HKEY_CURRENT_USER\<kUpdateAgentKeyPath> exists (the
// publisher's update utility is installed), records Tabulift under it in the
// subkey "TBLIFT": Name "TBLIFT", DisplayName "Tabulift", Build (DWORD) and
// Path (the executable). False when the key is absent or a write failed.
constexpr const wchar_t* kUpdateAgentKeyPath = L"Software\\QuillmarkHive\\UpdateAgent\\Programs";
bool RegisterWithUpdateAgent(int buildNumber);

// True from the start of a worker to its very end.
bool UpdateWorkerAlive();
// True from a start request until the worker has reacted to its outcome.
bool UpdateCheckRunning();

// The update dialog publishes its "Check now" button (1045) and its start-up
// check box (1002) while it is open, and nulls when it closes. When the check
// ends the button gets its label back, is enabled and its dialog comes to the
// front; Cancel in start-up mode clears the box.
void PublishUpdateDialog(HWND checkNowButton, HWND startupCheckBox);

// The label of "Check now" while a worker runs, and the one it gets back.
extern const BiText kCheckingLabel;
extern const BiText kCheckNowAgainLabel;

// Opens the site (ShellExecuteW's result). Replaceable so that tests never
// start a browser; an empty opener restores ShellExecuteW.
using SiteOpener = std::function<INT_PTR(HWND owner, const wchar_t* site, const wchar_t* directory)>;
void SetSiteOpener(SiteOpener opener);

}  // namespace tblf
