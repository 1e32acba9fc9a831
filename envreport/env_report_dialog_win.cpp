#include "envreport/env_report_dialog_win.h"

#include <cderr.h>
#include <commdlg.h>

#include <new>
#include <string>

#include "envreport/environment_win.h"
#include "envreport/report.h"
#include "output/encoded_writer_win.h"
#include "resources/resource.h"
#include "base/dialog_win.h"
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

// The clipboard, closed on every way out.
class OpenedClipboard {
 public:
  explicit OpenedClipboard(HWND owner) : open_(OpenClipboard(owner) != FALSE) {}
  ~OpenedClipboard() {
    if (open_) CloseClipboard();
  }
  explicit operator bool() const { return open_; }

 private:
  bool open_;
};

// A global block, freed unless it has been handed to the clipboard.
class GlobalBlock {
 public:
  explicit GlobalBlock(SIZE_T bytes) : block_(GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes)) {}
  ~GlobalBlock() {
    if (block_) GlobalFree(block_);
  }
  HGLOBAL get() const { return block_; }
  void Release() { block_ = nullptr; }

 private:
  HGLOBAL block_;
};

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
  // The save dialog's answer; empty when the user cancels. A name the dialog
  // calls invalid gets one more dialog with an empty name.
  std::wstring AskFileName() const {
    std::wstring filter = std::wstring(kTextFilesName.get()) + L'\0' + L"*.txt" + L'\0' + kAllFilesName.get() +
                          L'\0' + L"*.*" + L'\0';
    for (int attempt = 0; attempt < 2; ++attempt) {
      wchar_t file[MAX_PATH + 1] = L"";
      OPENFILENAMEW ofn{};
      ofn.lStructSize = sizeof ofn;
      ofn.hwndOwner = hwnd();
      ofn.lpstrFilter = filter.c_str();
      ofn.nFilterIndex = 1;
      ofn.lpstrFile = file;
      ofn.nMaxFile = MAX_PATH;
      ofn.lpstrTitle = kSaveTitle.get();
      ofn.Flags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST;
      ofn.lpstrDefExt = L"txt";
      if (GetSaveFileNameW(&ofn)) return file;
      if (CommDlgExtendedError() != FNERR_INVALIDFILENAME) break;
    }
    return {};
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
    OpenedClipboard clipboard(hwnd());
    if (!clipboard) return {&kNoClipboardText, MB_ICONERROR};
    HWND edit = Item(IDC_ENV_TEXT);
    const int length = GetWindowTextLengthW(edit);
    GlobalBlock block((static_cast<SIZE_T>(length) + 1) * sizeof(wchar_t));
    if (!block.get()) return {&kOutOfMemoryText, MB_ICONERROR};
    auto* data = static_cast<wchar_t*>(GlobalLock(block.get()));
    if (!data) return {&kLockFailedText, MB_ICONERROR};
    GetWindowTextW(edit, data, length + 1);
    GlobalUnlock(block.get());
    if (!EmptyClipboard()) return {&kEmptyFailedText, MB_ICONERROR};
    if (!SetClipboardData(CF_UNICODETEXT, block.get())) return {&kSetFailedText, MB_ICONERROR};
    block.Release();  // the clipboard owns it now
    return {&kCopiedText, MB_ICONINFORMATION};
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
