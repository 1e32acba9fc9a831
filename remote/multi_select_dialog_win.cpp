#include "remote/multi_select_dialog_win.h"

#include <new>
#include <string>

#include "base/help_topics.h"
#include "base/help_win.h"
#include "remote/control_reader_win.h"
#include "remote/multi_select_win.h"
#include "remote/timed_send_win.h"
#include "resources/resource.h"
#include "settings/settings_table.h"
#include "base/dialog_win.h"
#include "base/message_box_win.h"
#include "base/text.h"

namespace tblf {
namespace {

constexpr TooltipEntry kTipsJa[] = {
    {IDC_SELECT_REGEX, L"下の入力ボックス欄に、正規表現を1つ指定し、それに合致した項目を選択状態にします"},
    {IDC_SELECT_MATCH, L"下の入力ボックス欄に、改行区切りで文字列を指定し、それらに合致した項目を選択状態にします"},
    {IDC_SELECT_SUBSTRING, L"下の入力ボックス欄に、改行区切りで文字列を指定し、それらを含む項目を選択状態にします"},
    {IDC_SELECT_IGNORE_CASE, L"アルファベットの大文字と小文字の区別を行いません"},
    {IDOK, L"選択を開始します"},
    {IDC_HELP_BUTTON, L"ヘルプを開きます"},
    {IDCANCEL, L"このダイアログを閉じます"},
};
constexpr TooltipEntry kTipsEn[] = {
    {IDC_SELECT_REGEX, L"Specifies Conditions with regular expressions."},
    {IDC_SELECT_MATCH, L"Specifies Conditions with strings matched."},
    {IDC_SELECT_SUBSTRING, L"Specifies Conditions with strings included."},
    {IDC_SELECT_IGNORE_CASE, L"Case Insensitive."},
    {IDOK, L"Starts to select items."},
    {IDC_HELP_BUTTON, L"Displays the help."},
    {IDCANCEL, L"Closes this dialog box."},
};
constexpr TooltipTables kTips{kTipsJa, kTipsEn};

constexpr LayoutEntry kLayout[] = {
    {IDC_SELECT_DESCRIPTION, Anchor::StretchWidth},
    {IDC_SELECT_CONDITION, Anchor::Stretch},
    {IDOK, Anchor::BottomRight},
    {IDCANCEL, Anchor::BottomRight},
    {IDC_HELP_BUTTON, Anchor::BottomRight},
};

// How long an aborted run waits for Esc to be let go before it goes on.
constexpr DWORD kEscapeReleaseWaitMs = 5000;

// The run holds the thread, so the Esc that stopped it (and its repeats) is
// still queued when it ends; delivered, it would dismiss the summary at once
// and then close the helper. The keys pressed meanwhile are dropped once Esc
// is up.
void DropKeysOfAbortedRun() {
  for (DWORD waited = 0; (GetAsyncKeyState(VK_ESCAPE) & 0x8000) != 0 && waited < kEscapeReleaseWaitMs; waited += 20) {
    Sleep(20);
  }
  MSG message;
  while (PeekMessageW(&message, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) {
  }
}

class MultiSelectDialog : public Dialog {
 public:
  explicit MultiSelectDialog(HWND target) : target_(target) {}

 protected:
  int TemplateJa() const override { return IDD_MULTI_SELECT_JA; }
  int TemplateEn() const override { return IDD_MULTI_SELECT_EN; }
  std::span<const LayoutEntry> LayoutTable() const override { return kLayout; }
  const TooltipTables* Tooltips() const override { return &kTips; }

  BOOL OnInit() override {
    const int radio = Read(settings::kMulSelRadio);
    const int mode = radio == static_cast<int>(SelectMode::Regex)        ? IDC_SELECT_REGEX
                     : radio == static_cast<int>(SelectMode::Substrings) ? IDC_SELECT_SUBSTRING
                                                                         : IDC_SELECT_MATCH;
    CheckRadioButton(hwnd(), IDC_SELECT_REGEX, IDC_SELECT_SUBSTRING, mode);
    Check(IDC_SELECT_IGNORE_CASE, Read(settings::kMulSelCaseI) != 0);
    Check(IDC_SELECT_DESELECT, Read(settings::kMulSelCancel) != 0);
    SetDlgItemInt(hwnd(), IDC_SELECT_COLUMN, static_cast<UINT>(Read(settings::kMulSelColumn)), FALSE);
    return TRUE;
  }

  bool OnCommand(int id, int code, HWND) override {
    switch (id) {
      case IDOK:
        if (code == BN_CLICKED) Run();
        return true;
      case IDCANCEL:
        SaveSettings();
        End(0);
        return true;
      case IDC_HELP_BUTTON:
        if (code == BN_CLICKED) OnHelp();
        return true;
      default:
        return false;
    }
  }

  void OnHelp() override { OpenHelpTopic(hwnd(), kHelpMultiSelection); }

 private:
  SelectMode CheckedMode() const {
    if (IsChecked(IDC_SELECT_MATCH)) return SelectMode::MatchStrings;
    if (IsChecked(IDC_SELECT_SUBSTRING)) return SelectMode::Substrings;
    return SelectMode::Regex;
  }

  void Error(const BiText& text, int focusId = 0) {
    ShowMessageBox(hwnd(), text.get(), kSelectCaption.get(), MB_ICONERROR);
    if (focusId != 0) SetFocus(Item(focusId));
  }

  void Run() {
    SelectRequest request;
    BOOL isNumber = FALSE;
    request.column = GetDlgItemInt(hwnd(), IDC_SELECT_COLUMN, &isNumber, FALSE);
    if (!isNumber) return Error(kSelectColumnText, IDC_SELECT_COLUMN);
    try {
      request.condition = ItemText(IDC_SELECT_CONDITION);
    } catch (const std::bad_alloc&) {
      return Error(kSelectNoMemoryText);
    }
    if (request.condition.empty()) return Error(kSelectEmptyConditionText, IDC_SELECT_CONDITION);
    request.mode = CheckedMode();
    request.ignoreCase = IsChecked(IDC_SELECT_IGNORE_CASE);
    request.deselect = IsChecked(IDC_SELECT_DESELECT);

    Win32ControlReader reader;
    AsyncEscapePoll escape;
    const bool regex = request.mode == SelectMode::Regex;
    SelectResult result;
    try {
      result = RunMultiSelect(reader, FromHwnd(target_), request, regex ? &escape : nullptr);
    } catch (const std::bad_alloc&) {
      return Error(kSelectNoMemoryText);
    }
    if (result.aborted) DropKeysOfAbortedRun();
    switch (result.outcome) {
      case SelectOutcome::Done: break;
      case SelectOutcome::EmptyCondition: return Error(kSelectEmptyConditionText, IDC_SELECT_CONDITION);
      case SelectOutcome::CountFailed: return Error(kSelectCountFailedText);
      case SelectOutcome::BadPattern: return Error(kSelectBadPatternText, IDC_SELECT_CONDITION);
      case SelectOutcome::TooComplex: {
        const std::wstring text = SelectStoppedText(result, request.deselect, g_japaneseUi);
        ShowMessageBox(hwnd(), text.c_str(), kSelectCaption.get(), MB_ICONERROR);
        return;
      }
    }
    const std::wstring summary = SelectSummaryText(result, request.deselect, g_japaneseUi);
    if (result.total == 0 || regex) {
      ShowMessageBox(hwnd(), summary.c_str(), kSelectCaption.get(), MB_ICONINFORMATION);
    } else {
      ShowMessageDialog(hwnd(), kSelectCaption.get(), summary, SelectDetailText(result, request.deselect, g_japaneseUi));
    }
  }

  void SaveSettings() {
    const std::uintptr_t owner = reinterpret_cast<std::uintptr_t>(hwnd());
    const SelectMode mode = IsChecked(IDC_SELECT_REGEX)       ? SelectMode::Regex
                            : IsChecked(IDC_SELECT_SUBSTRING) ? SelectMode::Substrings
                                                              : SelectMode::MatchStrings;
    Write(settings::kMulSelRadio, static_cast<int>(mode), owner);
    Write(settings::kMulSelCaseI, IsChecked(IDC_SELECT_IGNORE_CASE) ? 1 : 0, owner);
    Write(settings::kMulSelCancel, IsChecked(IDC_SELECT_DESELECT) ? 1 : 0, owner);
    BOOL isNumber = FALSE;
    const UINT column = GetDlgItemInt(hwnd(), IDC_SELECT_COLUMN, &isNumber, FALSE);
    Write(settings::kMulSelColumn, isNumber ? static_cast<int>(column) : 0, owner);
  }

  HWND target_;
};

}  // namespace

void ShowMultiSelectDialog(HWND owner, HWND target) {
  // The target's style decides before the dialog shows: a single-selection
  // list view is refused (nothing is read or saved), an owner-drawn one warned about.
  switch (CheckSelectTarget(target)) {
    case SelectTargetCheck::SingleSelection:
      ShowMessageBox(owner, kSelectSingleSelectionText.get(), kSelectCaption.get(), MB_ICONERROR);
      return;
    case SelectTargetCheck::OwnerDrawWarning:
      ShowMessageBox(owner, kSelectOwnerDrawText.get(), kSelectCaption.get(), MB_ICONWARNING);
      break;
    case SelectTargetCheck::Fine:
      break;
  }
  MultiSelectDialog dialog(target);
  dialog.RunModal(owner);
}

}  // namespace tblf
