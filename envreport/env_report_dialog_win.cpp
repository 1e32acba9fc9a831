#include "envreport/env_report_dialog_win.h"

#include <algorithm>
#include <new>
#include <string>

#include "envreport/environment_win.h"
#include "envreport/report.h"
#include "output/encoded_writer_win.h"
#include "resources/resource.h"
#include "base/clipboard_win.h"
#include "base/dialog_win.h"
#include "base/file_dialog_win.h"
#include "base/message_box_win.h"
#include "base/text.h"

namespace tblf {
namespace {

const BiText kCaption{L"環境情報の表示", L"PRBX"};
const BiText kSaveTitle{L"PRBXレポートをファイルへ保存", L"PRBX"};
const BiText kTextFilesName{L"テキストファイル(*.txt)", L"Text Files(*.txt)"};
const BiText kAllFilesName{L"すべてのファイル(*.*)", L"All Files(*.*)"};
const BiText kOutOfMemoryText{L"作業用のメモリが足りません。", L"Out of memory."};
const BiText kSavedText{L"環境情報をファイルへ保存しました。", L"Writing data to file was completed."};
const BiText kCopiedText{L"クリップボードへコピーしました。", L"Writing data to Clipboard."};
const BiText kNoClipboardText{L"クリップボードを開けません。", L"Cannot open clipboard."};
const BiText kLockFailedText{L"GlobalLock失敗。", L"GlobalLock error."};
const BiText kEmptyFailedText{L"クリップボードを空にできません。", L"EmptyClipboard error."};
const BiText kSetFailedText{L"クリップボードへのコピーに失敗しました。", L"Clipboard error."};

constexpr TooltipEntry kTipsJa[] = {
    {IDC_ENV_SAVE, L"上の調査結果をファイルへ出力します"},
    {IDC_ENV_COPY, L"上の調査結果をクリップボードへコピーします"},
    {IDCANCEL, L"このダイアログを閉じます"},
};
constexpr TooltipEntry kTipsEn[] = {
    {IDC_ENV_SAVE, L"Outputs a report to a file."},
    {IDC_ENV_COPY, L"Outputs a report to the clipboard."},
    {IDCANCEL, L"Closes this dialog box."},
};
constexpr TooltipTables kTips{kTipsJa, kTipsEn};

constexpr LayoutEntry kLayout[] = {
    {IDC_ENV_NOTE, Anchor::StretchWidth}, {IDC_ENV_TEXT, Anchor::Stretch}, {IDC_ENV_SAVE, Anchor::Bottom},
    {IDC_ENV_COPY, Anchor::Bottom},       {IDCANCEL, Anchor::BottomRight},
};

void ShowResult(HWND owner, const wchar_t* text, UINT icon) {
  ShowMessageBox(owner, text, kCaption.get(), icon);
}

class EnvironmentReportDialog : public Dialog {
 protected:
  int TemplateJa() const override { return IDD_ENV_REPORT_JA; }
  int TemplateEn() const override { return IDD_ENV_REPORT_EN; }
  std::span<const LayoutEntry> LayoutTable() const override { return kLayout; }
  const TooltipTables* Tooltips() const override { return &kTips; }

  BOOL OnInit() override {
    icon_ = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_ENV_REPORT), IMAGE_ICON,
                                          GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
    if (icon_) SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));
    fonts_.Apply(hwnd(), IDC_ENV_TEXT, {IDC_ENV_NOTE, IDC_ENV_SAVE, IDC_ENV_COPY, IDCANCEL});
    HWND edit = Item(IDC_ENV_TEXT);
    SendMessageW(edit, EM_SETLIMITTEXT, 0, 0);  // no limit: the report may pass 32K characters
    SetWindowTextW(edit, EnvironmentReportText(g_japaneseUi).c_str());
    SelectAllOnCtrlA(edit);
    // The report opens at its top with nothing selected (a dialog selects
    // the whole text of an edit that it gives the focus to).
    SetFocus(edit);
    SendMessageW(edit, EM_SETSEL, 0, 0);
    return FALSE;
  }

  bool OnCommand(int id, int code, HWND) override {
    if (code != BN_CLICKED) return false;
    switch (id) {
      case IDC_ENV_SAVE:
        Save();
        return true;
      case IDC_ENV_COPY:
        Copy();
        return true;
      case IDCANCEL:
      case IDOK:
        End(0);
        return true;
      default:
        return false;
    }
  }

  void OnDestroy() override {
    if (icon_) DestroyIcon(icon_);
    icon_ = nullptr;
  }

 private:
  // The save dialog's answer; empty when the user cancels.
  std::wstring AskFileName() const {
    FileDialogRequest request;
    request.owner = hwnd();
    request.title = kSaveTitle.get();
    request.filters = {{kTextFilesName.get(), L"*.txt"}, {kAllFilesName.get(), L"*.*"}};
    request.defaultExtension = L"txt";
    return AskSaveFileName(request).value_or(std::wstring());
  }

  void Save() {
    const std::wstring file = AskFileName();
    if (file.empty()) return;
    std::wstring text;
    try {
      text = ItemText(IDC_ENV_TEXT);
    } catch (const std::bad_alloc&) {
      ShowResult(hwnd(), kOutOfMemoryText.get(), MB_ICONERROR);
      return;
    }
    const wchar_t* reason = L"";
    if (WriteEncodedText(file.c_str(), nullptr, text.c_str(), &reason)) {
      ShowResult(hwnd(), kSavedText.get(), MB_ICONINFORMATION);
      return;
    }
    std::wstring message = env::kReportWriteFailedText.get();
    message.replace(message.find(L"%s"), 2, reason ? reason : L"");
    ShowResult(hwnd(), message.c_str(), MB_ICONERROR);
  }

  struct CopyResult {
    const BiText* text;
    UINT icon;
  };

  // Every failure is an error; the block goes back to the system unless the
  // clipboard took it, and the clipboard is closed before any message shows.
  CopyResult CopyToClipboard() const {
    HWND edit = Item(IDC_ENV_TEXT);
    const int length = GetWindowTextLengthW(edit);
    const ClipboardResult result =
        CopyTextToClipboard(hwnd(), static_cast<std::size_t>(std::max(length, 0)),
                            [edit, length](wchar_t* data) { GetWindowTextW(edit, data, length + 1); });
    switch (result) {
      case ClipboardResult::Ok: return {&kCopiedText, MB_ICONINFORMATION};
      case ClipboardResult::OpenFailed: return {&kNoClipboardText, MB_ICONERROR};
      case ClipboardResult::AllocFailed: return {&kOutOfMemoryText, MB_ICONERROR};
      case ClipboardResult::LockFailed: return {&kLockFailedText, MB_ICONERROR};
      case ClipboardResult::EmptyFailed: return {&kEmptyFailedText, MB_ICONERROR};
      case ClipboardResult::SetFailed: break;
    }
    return {&kSetFailedText, MB_ICONERROR};
  }

  void Copy() {
    const CopyResult result = CopyToClipboard();
    ShowResult(hwnd(), result.text->get(), result.icon);
  }

  HICON icon_ = nullptr;
  ReportFonts fonts_;
};

}  // namespace

void ShowEnvironmentReport(HWND owner) { EnvironmentReportDialog().RunModal(owner); }

}  // namespace tblf
