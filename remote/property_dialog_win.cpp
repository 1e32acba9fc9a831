#include "remote/property_dialog_win.h"

#include <string>

#include "base/help_topics.h"
#include "base/help_win.h"
#include "remote/control_kinds.h"
#include "remote/property_report_win.h"
#include "remote/timed_send_win.h"
#include "resources/resource.h"
#include "base/dialog_win.h"
#include "base/text.h"

namespace tblf {
namespace {

constexpr TooltipEntry kTipsJa[] = {
    {IDC_HELP_BUTTON, L"このダイアログに関するヘルプを表示します"},
    {IDCANCEL, L"このダイアログを閉じます"},
};
constexpr TooltipEntry kTipsEn[] = {
    {IDC_HELP_BUTTON, L"Displays the help."},
    {IDCANCEL, L"Closes this dialog box."},
};
constexpr TooltipTables kTips{kTipsJa, kTipsEn};

constexpr LayoutEntry kLayout[] = {
    {IDC_PROPERTY_REPORT, Anchor::Stretch},
    {IDCANCEL, Anchor::BottomRight},
    {IDC_HELP_BUTTON, Anchor::BottomRight},
};

class PropertyDialog : public Dialog {
 public:
  PropertyDialog(HWND target, ControlKind kind) : target_(target), kind_(kind), row_(FindKind(kind)) {}

 protected:
  int TemplateJa() const override { return IDD_PROPERTY_JA; }
  int TemplateEn() const override { return IDD_PROPERTY_EN; }
  std::span<const LayoutEntry> LayoutTable() const override { return kLayout; }
  const TooltipTables* Tooltips() const override { return &kTips; }

  BOOL OnInit() override {
    fonts_.Apply(hwnd(), IDC_PROPERTY_REPORT, {IDCANCEL, IDC_HELP_BUTTON});

    // A vanished control (or the file list row) keeps the template's title.
    if (row_ && row_->IsControl() && IsWindow(target_)) {
      SetWindowTextW(hwnd(), PropertyDialogTitle(FromHwnd(target_), g_japaneseUi).c_str());
      SetKindIcon();
    }
    SetItemText(IDC_PROPERTY_REPORT, ControlPropertyReport(target_, kind_).c_str());
    // The caret at the start instead of the whole report selected, ready for Ctrl+A.
    SetFocus(Item(IDC_PROPERTY_REPORT));
    SendDlgItemMessageW(hwnd(), IDC_PROPERTY_REPORT, EM_SETSEL, 0, 0);
    return FALSE;
  }

  bool OnCommand(int id, int code, HWND) override {
    switch (id) {
      case IDCANCEL:
        End(0);
        return true;
      case IDC_HELP_BUTTON:
        if (code == BN_CLICKED) OnHelp();
        return true;
      default:
        return false;
    }
  }

  void OnHelp() override { OpenHelpTopic(hwnd(), kHelpProperty); }

  void OnDestroy() override {
    if (icon_) DestroyIcon(icon_);
    icon_ = nullptr;
  }

 private:
  void SetKindIcon() {
    icon_ = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(row_->icon), IMAGE_ICON,
                                          GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
    if (icon_) SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));
  }

  HWND target_;
  ControlKind kind_;
  const KindDescriptor* row_;  // nullptr for a kind no row has
  HICON icon_ = nullptr;
  ReportFonts fonts_;
};

}  // namespace

void ShowPropertyDialog(HWND owner, HWND target, ControlKind kind) {
  PropertyDialog dialog(target, kind);
  dialog.RunModal(owner);
}

}  // namespace tblf
