#include "shell/main_dialog_win.h"

#include <commctrl.h>
#include <shellapi.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "envreport/env_report_dialog_win.h"
#include "filelist/file_list_dialog_win.h"
#include "filelist/file_list_win.h"
#include "help/about_box_win.h"
#include "base/help_topics.h"
#include "base/help_win.h"
#include "output/record_formats.h"
#include "output/sample_window_win.h"
#include "output/start_output_win.h"
#include "remote/discovery_win.h"
#include "remote/multi_select_dialog_win.h"
#include "remote/property_dialog_win.h"
#include "resources/resource.h"
#include "settings/settings_table.h"
#include "base/dialog_win.h"
#include "base/message_box_win.h"
#include "base/process_basics.h"
#include "base/process_basics_win.h"
#include "base/publisher.h"
#include "shell/finder_win.h"
#include "shell/settings_dialog_win.h"
#include "update/update_dialog_win.h"

namespace tblf {

HWND g_mainDialog = nullptr;

namespace {

const BiText kDestinationNames[] = {
    {L"ファイルへ出力", L"Writes data to file"},
    {L"クリップボードへコピー", L"Writes data to Clipboard"},
    {L"開く", L"Open"},
};
const BiText kSelectItemText{L"出力したい項目を選択してください。", L"Please select an item."};
const BiText kSampleFirstText{L"出力サンプルを表示したい項目を選択してください。", L"Please select an item."};
const BiText kSampleAgainText{L"出力サンプルを表示したい項目を改めて選択してください。", L"Please select an item."};
const BiText kCancelButtonText{L"中止(&C)", L"&Cancel"};
const wchar_t kNoticeText[] =
    L"■■「ヘルプ」メニューの「フィードバック」から、作者への連絡・感想・改善要望・現状維持要望等をお送り下さい■■";
const BiText kWebSiteCaption{L"QuillmarkのWebサイトを表示", L"Browse"};
const BiText kFeedbackCaption{L"フィードバックページを表示", L"Browse"};
const BiText kFinderNoRowText{L"一覧にありません (読み取れる項目がありません)", L"not in the list (nothing to read)"};
const BiText kBrowserFailedText{
    L"ブラウザを起動できませんでした。\nブラウザが正しくインストールされているか確認するか、次のアドレスを直接開いてください。\n%s",
    L"Cannot open web page."};

constexpr LayoutEntry kLayout[] = {
    {IDC_DESCRIPTION, Anchor::Fixed},      {IDC_MAIN_LIST, Anchor::Stretch},
    {IDC_FINDER_TEXT, Anchor::StretchWidth},
    {IDC_OTHER_CONTROLS, Anchor::Right},   {IDC_TEXT_CONTROLS, Anchor::Right},
    {IDC_ONLY_LINES, Anchor::Bottom},
    {IDC_LINES, Anchor::Bottom},           {IDC_ONLY_COLUMNS, Anchor::Bottom},
    {IDC_COLUMNS, Anchor::Bottom},         {IDC_FILELIST_HINT, Anchor::Bottom},
    {IDC_NOTICE, Anchor::Bottom},          {IDC_REFRESH, Anchor::Bottom},
    {IDC_TREE_SHIFT, Anchor::Bottom},      {IDC_TREE_GRAPH, Anchor::Bottom},
    {IDC_FORMAT_LABEL, Anchor::Bottom},    {IDC_FORMAT, Anchor::Bottom},
    {IDC_DESTINATION_LABEL, Anchor::BottomRight}, {IDC_DESTINATION, Anchor::BottomRight},
    {IDOK, Anchor::BottomRight},           {IDC_EXIT, Anchor::BottomRight},
    {IDC_HELP_BUTTON, Anchor::BottomRight}, {IDC_PROGRESS, Anchor::BottomStretchWidth},
    {IDC_PROGRESS_TEXT, Anchor::BottomRight},
    {IDC_WITH_CHECKED, Anchor::Bottom},    {IDC_WITH_SELECTED, Anchor::Bottom},
    {IDC_WITH_FOCUSED, Anchor::Bottom},    {IDC_SELECTED_ONLY, Anchor::Bottom},
    {IDC_AS_SHOWN, Anchor::Bottom},
};

// The list view extras' check boxes and their settings.
struct ExtraBox {
  int id;
  const IntSetting* setting;
  bool ListExtras::*flag;
};
constexpr ExtraBox kExtraBoxes[] = {
    {IDC_WITH_CHECKED, &settings::kWithChecked, &ListExtras::withChecked},
    {IDC_WITH_SELECTED, &settings::kWithSelected, &ListExtras::withSelected},
    {IDC_WITH_FOCUSED, &settings::kWithFocused, &ListExtras::withFocused},
    {IDC_SELECTED_ONLY, &settings::kSelectedOnly, &ListExtras::selectedOnly},
    {IDC_AS_SHOWN, &settings::kAsShown, &ListExtras::asShown},
};

// What a running output leaves alone: the controls that would start or
// change an output are disabled until it ends (button 1 becomes Cancel).
constexpr int kRunLockedIds[] = {IDC_MAIN_LIST,  IDC_OTHER_CONTROLS, IDC_TEXT_CONTROLS, IDC_FORMAT,
                                 IDC_DESTINATION, IDC_ONLY_LINES,    IDC_LINES,         IDC_ONLY_COLUMNS,
                                 IDC_COLUMNS,    IDC_TREE_SHIFT,     IDC_TREE_GRAPH,    IDC_REFRESH,
                                 IDC_WITH_CHECKED, IDC_WITH_SELECTED, IDC_WITH_FOCUSED, IDC_SELECTED_ONLY,
                                 IDC_AS_SHOWN, IDC_FINDER};
// The commands that would start or change an output (menus, accelerators).
constexpr int kRunLockedCommands[] = {IDC_REFRESH,  IDC_OTHER_CONTROLS, IDC_TEXT_CONTROLS, IDM_OUTPUT_FILELIST,
                                      IDM_SETTINGS, IDM_PROPERTY,       IDM_MULTI_SELECT};

constexpr TooltipEntry kTipsJa[] = {
    {IDC_FORMAT,
     L"出力形式を選びます。\nカンマ区切り … いわゆるCSV形式。項目間を、カンマと、場合によってはダブルコーテーションで区切ります。\n"
     L"タブ区切り … 項目間をタブ記号で区切ります。\nTABLEタグ … HTMLのTABLEタグを使って表現します。\n"
     L"C言語配列 … C言語の文字列配列を使って表現します。\nスペース区切り(リストビュー用) … 適度なスペースで区切って表現します。"},
    {IDC_DESTINATION, L"「出力開始」を押したときに行われる挙動を指定します。"},
    {IDC_REFRESH, L"上の一覧の内容を最新の情報に更新します。"},
    {IDC_OTHER_CONTROLS,
     L"リストビュー、ツリービュー、コンボボックス、リストボックスを抽出対象にします。\nチェックを外すと、リストビューのみを抽出対象にします。"},
    {IDC_ONLY_COLUMNS, L"指定した列のみを抜き出します。\r\n(指定された縦一列のデータを抜き出します。"},
    {IDC_COLUMNS,
     L"抜き出したい列番号を0以上の整数で指定します。\nカンマやハイフンを使った連続指定・順序指定が可能です(詳しい指定方法はヘルプ「リストビューの出力設定」参照))。"},
    {IDC_ONLY_LINES, L"指定した行のみを抜き出します。\r\n(指定された横一列のデータを抜き出します。"},
    {IDC_LINES,
     L"抜き出したい行番号を0以上の整数で指定します。\nカンマやハイフンを使った連続指定・順序指定が可能です(詳しい指定方法はヘルプ「リストビューの出力設定」参照))。"},
    {IDC_TREE_SHIFT,
     L"ツリーの階層が下がるごとに、右にずれるように出力します。\r\nカンマ区切りの場合はカンマが、タブ区切りの場合はタブが、各項目の左に挿入されます。"},
    {IDC_TREE_GRAPH,
     L"'│', '├', '─', '└' の記号を使って、ツリー状態をテキストで表現します。\n出力されたテキストは、固定幅のフォントで見ることをお薦めします。"},
    {IDC_WITH_CHECKED, L"各行のチェックボックスがチェックされていれば1、されていなければ0の列を、最後に加えます。"},
    {IDC_WITH_SELECTED, L"各行が選択されていれば1、されていなければ0の列を、最後に加えます。"},
    {IDC_WITH_FOCUSED, L"各行がフォーカスを持っていれば1、持っていなければ0の列を、最後に加えます。"},
    {IDC_SELECTED_ONLY, L"対象のリストビューで選択されている行だけを出力します。\n行の指定があるときは、その行の中から選択されている行を残します。"},
    {IDC_AS_SHOWN,
     L"列を、利用者が並べ替えた表示どおりの順に出力し、幅0の列を除きます。\n列の指定は、この表示上の位置で数えます。"},
    {IDOK, L"上の一覧で選択した項目を、指定された方法で出力します。"},
    {IDC_HELP_BUTTON, L"本ソフトウェアに関する説明を表示します。"},
    {IDC_EXIT, L"本ソフトウェアを終了します。"},
    {IDC_FINDER,
     L"この照準を、出力したいコントロールの上までドラッグして離すと、一覧のその行を選択します。\nEscキーで取り消します。"},
};
constexpr TooltipEntry kTipsEn[] = {
    {IDC_FORMAT, L"Selects the output format."},
    {IDC_DESTINATION, L"Selects where you want to output."},
    {IDC_REFRESH, L"Refreshs the control list."},
    {IDC_OTHER_CONTROLS, L"Displays Listviews, Treeviews Comboboxes and Listboxes."},
    {IDC_ONLY_COLUMNS, L"Specifies Conditions for Columns."},
    {IDC_ONLY_LINES, L"Specifies Conditions for Lines."},
    {IDC_TREE_SHIFT, L"Specifies Conditions for Columns."},
    {IDC_TREE_GRAPH, L"Uses Tree Symbols."},
    {IDC_WITH_CHECKED, L"Adds a column: 1 for a row whose check box is checked, else 0."},
    {IDC_WITH_SELECTED, L"Adds a column: 1 for a selected row, else 0."},
    {IDC_WITH_FOCUSED, L"Adds a column: 1 for the row with the focus, else 0."},
    {IDC_SELECTED_ONLY, L"Only the rows selected in the list view (of the specified lines)."},
    {IDC_AS_SHOWN,
     L"The columns in the order shown, zero-width columns left out;\nthe specified columns count these positions."},
    {IDOK, L"Starts to output."},
    {IDC_HELP_BUTTON, L"Displays the help."},
    {IDC_EXIT, L"Closes this application."},
    {IDC_FINDER, L"Drag this crosshair onto a control and release it to select its row.\nEsc cancels."},
};
constexpr TooltipTables kTips{kTipsJa, kTipsEn};

// The controls of each option group a kind's row names; the rest of
// kOptionIds are hidden.
constexpr int kOptionIds[] = {IDC_ONLY_LINES,    IDC_LINES,         IDC_ONLY_COLUMNS, IDC_COLUMNS,
                              IDC_WITH_CHECKED,  IDC_WITH_SELECTED, IDC_WITH_FOCUSED, IDC_SELECTED_ONLY,
                              IDC_AS_SHOWN,      IDC_TREE_SHIFT,    IDC_TREE_GRAPH,   IDC_FILELIST_HINT,
                              IDC_NOTICE};
struct OptionGroup {
  std::optional<KindOptions> options;  // nothing: no row selected
  int shown[9];                        // 0 ends the list
};
constexpr OptionGroup kOptionGroups[] = {
    {KindOptions::RowColumn,
     {IDC_ONLY_LINES, IDC_LINES, IDC_ONLY_COLUMNS, IDC_COLUMNS, IDC_WITH_CHECKED, IDC_WITH_SELECTED, IDC_WITH_FOCUSED,
      IDC_SELECTED_ONLY, IDC_AS_SHOWN}},
    {KindOptions::Tree, {IDC_TREE_SHIFT, IDC_TREE_GRAPH}},
    {KindOptions::FileList, {IDC_FILELIST_HINT}},
    {KindOptions::None, {IDC_NOTICE}},
    {std::nullopt, {IDC_NOTICE}},
};

HWND MainList() { return GetDlgItem(g_mainDialog, IDC_MAIN_LIST); }

int SelectedRow() {
  return static_cast<int>(SendMessageW(MainList(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

class MainDialog : public Dialog {
 protected:
  int TemplateJa() const override { return IDD_MAIN_JA; }
  int TemplateEn() const override { return IDD_MAIN_EN; }
  std::span<const LayoutEntry> LayoutTable() const override { return kLayout; }
  const TooltipTables* Tooltips() const override { return &kTips; }

  BOOL OnInit() override {
    g_mainDialog = hwnd();
    HANDLE icon = LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_PROGRAM), IMAGE_ICON, 0, 0,
                             LR_DEFAULTSIZE | LR_SHARED);
    SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    for (std::size_t f = 0; f < kRecordFormatCount; ++f) AddComboText(IDC_FORMAT, kRecordFormatNames[f].get());
    for (const BiText& name : kDestinationNames) AddComboText(IDC_DESTINATION, name.get());
    ReadSettings();
    SetUpMainList(MainList());
    RefreshMainList(MainList(), otherControls_, textControls_);
    if (g_japaneseUi) SetItemText(IDC_NOTICE, GetTickCount() % 7 == 0 ? kNoticeText : L"");
    contextMenu_ = LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(g_japaneseUi ? IDM_CONTEXT_JA : IDM_CONTEXT_EN));
    SetMenuDefaultItem(GetSubMenu(contextMenu_, 0), 0, TRUE);
    if (HMENU menu = GetMenu(GetParent(hwnd()))) SetMenuDefaultItem(GetSubMenu(menu, 0), 0, TRUE);
    ShowOptionGroup(std::nullopt);
    finder_.Attach(Item(IDC_FINDER), Item(IDC_FINDER_TEXT), GetParent(hwnd()),
                   [this](HWND picked) { SelectPickedControl(picked); });
    if (Read(settings::kWindowSample) != 0) CreateSampleWindow(kSampleFirstText.get());
    return TRUE;
  }

  bool OnCommand(int id, int code, HWND control) override {
    // Buttons act on a click only (menus and accelerators send code 0 or 1
    // without a control).
    const bool click = code == BN_CLICKED || control == nullptr;
    if (OutputRunning()) {
      for (int locked : kRunLockedCommands) {
        if (id == locked) return true;
      }
      if (id == IDOK) {
        // Button 1 is Cancel now; the menu's and Enter's start does nothing.
        if (code == BN_CLICKED && control != nullptr) CancelOutput();
        return true;
      }
      if (id == IDCANCEL) {
        NoteEscapeDuringOutput();
        return true;
      }
    }
    if (id == IDCANCEL && finder_.Dragging()) {
      finder_.Cancel();
      return true;
    }
    switch (id) {
      case IDOK:
        if (click) StartOutputCommand();
        return true;
      case IDC_REFRESH:
        if (click) Refresh();
        return true;
      case IDC_EXIT:
        if (click && MayClose()) DestroyWindow(GetParent(hwnd()));
        return true;
      case IDC_OTHER_CONTROLS:
        if (!click) return true;
        otherControls_ = IsChecked(IDC_OTHER_CONTROLS);
        Refresh();
        return true;
      case IDC_TEXT_CONTROLS:
        if (!click) return true;
        textControls_ = IsChecked(IDC_TEXT_CONTROLS);
        Refresh();
        return true;
      case IDC_ONLY_LINES:
      case IDC_ONLY_COLUMNS:
        if (!click) return true;
        EnableItem(id == IDC_ONLY_LINES ? IDC_LINES : IDC_COLUMNS, IsChecked(id));
        if (g_sampleWindow) UpdateForSelection();
        return true;
      case IDC_TREE_SHIFT:
      case IDC_TREE_GRAPH:
      case IDC_WITH_CHECKED:
      case IDC_WITH_SELECTED:
      case IDC_WITH_FOCUSED:
      case IDC_SELECTED_ONLY:
      case IDC_AS_SHOWN:
      case IDC_COLUMNS:
      case IDC_LINES:
        if (g_sampleWindow) UpdateForSelection();
        return true;
      case IDC_FORMAT:
        if (code == CBN_SELCHANGE && g_sampleWindow) UpdateForSelection();
        return true;
      case IDM_SETTINGS:
        SettingsCommand();
        return true;
      case IDM_ABOUT:
        ShowAboutBox(hwnd());
        return true;
      case IDM_ENVIRONMENT:
        ShowEnvironmentReport(hwnd());
        return true;
      case IDM_UPDATE_CHECK:
        ShowUpdateDialog(hwnd());
        return true;
      case IDM_OUTPUT_FILELIST:
        OutputFileListCommand();
        return true;
      case IDM_PROPERTY:
        PropertyCommand();
        return true;
      case IDM_MULTI_SELECT:
        MultiSelectCommand();
        return true;
      case IDC_HELP_BUTTON:
        if (click) OpenHelpTopic(hwnd(), kHelpMainWindow);
        return true;
      case IDM_DONATION:
        OpenHelpTopic(hwnd(), kHelpContribution);
        return true;
      case IDM_WEB_SITE:
        OpenPage(kWebSiteAddress, kWebSiteCaption);
        return true;
      case IDM_FEEDBACK:
        OpenPage(kFeedbackAddress, kFeedbackCaption);
        return true;
      default:
        return false;
    }
  }

  bool OnNotify(const NMHDR& header, LRESULT&) override {
    if (header.idFrom != IDC_MAIN_LIST) return false;
    if (header.code == LVN_ITEMCHANGED) {
      const int row = SelectedRow();
      if (row != lastRow_) {
        lastRow_ = row;
        UpdateForSelection();
      }
      return true;
    }
    if (header.code == NM_DBLCLK) {
      if (SelectedRow() >= 0 && !OutputRunning()) StartRequest();
      return true;
    }
    return false;
  }

  bool OnMessage(UINT message, WPARAM w, LPARAM l, INT_PTR& result) override {
    switch (message) {
      case kOutputProgressMessage:
        ShowProgress(static_cast<long>(w), static_cast<long>(l));
        return true;
      case kOutputCallMessage:
        RunOutputCall(l);
        return true;
      case kOutputDoneMessage:
        EndRun(l);
        return true;
      default:
        break;
    }
    if (message != WM_CONTEXTMENU || reinterpret_cast<HWND>(w) != MainList()) return false;
    HMENU popup = GetSubMenu(contextMenu_, 0);
    const int row = SelectedRow();
    const KindDescriptor* kind = row >= 0 ? ReadRowKind(MainList(), row) : nullptr;
    auto gray = [popup](int id, bool grayed) { EnableMenuItem(popup, id, MF_BYCOMMAND | (grayed ? MF_GRAYED : MF_ENABLED)); };
    gray(IDOK, row < 0 || OutputRunning());
    gray(IDM_PROPERTY, row < 0 || (kind && !kind->IsControl()));
    gray(IDM_MULTI_SELECT, !kind || !kind->multiSelect);
    POINT at{};
    GetCursorPos(&at);
    TrackPopupMenuEx(popup, 0, at.x, at.y, hwnd(), nullptr);
    result = TRUE;
    return true;
  }

  void OnHelp() override { OpenHelpTopic(hwnd(), kHelpMainWindow); }

  void OnDestroy() override {
    const std::uintptr_t owner = reinterpret_cast<std::uintptr_t>(hwnd());
    Write(settings::kFormat, ComboSelection(IDC_FORMAT), owner);
    Write(settings::kOtherControls, IsChecked(IDC_OTHER_CONTROLS) ? 1 : 0, owner);
    Write(settings::kTextControls, IsChecked(IDC_TEXT_CONTROLS) ? 1 : 0, owner);
    Write(settings::kWayOut, ComboSelection(IDC_DESTINATION), owner);
    Write(settings::kTreeColumn, IsChecked(IDC_TREE_SHIFT) ? 1 : 0, owner);
    Write(settings::kTreeGraph, IsChecked(IDC_TREE_GRAPH) ? 1 : 0, owner);
    for (const ExtraBox& box : kExtraBoxes) Write(*box.setting, IsChecked(box.id) ? 1 : 0, owner);
    Write(settings::kListViewColumns, IsChecked(IDC_ONLY_COLUMNS) ? ItemText(IDC_COLUMNS).c_str() : L"", owner);
    Write(settings::kListViewLines, IsChecked(IDC_ONLY_LINES) ? ItemText(IDC_LINES).c_str() : L"", owner);
    if (contextMenu_) DestroyMenu(contextMenu_);
    contextMenu_ = nullptr;
  }

 private:
  // The File List row, selected, then the start-output command as for a click on Start.
  void OutputFileListCommand() {
    const int count = static_cast<int>(SendMessageW(MainList(), LVM_GETITEMCOUNT, 0, 0));
    if (count <= 0) return;
    LVITEMW item{};
    item.state = item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(MainList(), LVM_SETITEMSTATE, count - 1, reinterpret_cast<LPARAM>(&item));
    SendMessageW(MainList(), LVM_ENSUREVISIBLE, count - 1, FALSE);
    StartOutputCommand();
  }

  // The finder was let go over `control` (null: over none): its row is
  // selected and shown, after a refresh that lists its kind, the option
  // for that turned on when it was off.
  void SelectPickedControl(HWND control) {
    if (!control) {
      MessageBeep(MB_ICONWARNING);
      return;
    }
    wchar_t className[100] = L"";
    GetClassNameW(control, className, 100);
    const KindDescriptor* kind = FindKindOfClass(className);
    if (!kind) return;
    if (kind->textControl && !textControls_) {
      textControls_ = true;
      Check(IDC_TEXT_CONTROLS, true);
    } else if (!kind->textControl && !kind->listedAlways && !otherControls_) {
      otherControls_ = true;
      Check(IDC_OTHER_CONTROLS, true);
    }
    Refresh();
    const int count = static_cast<int>(SendMessageW(MainList(), LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < count; ++row) {
      if (ReadRowHandle(MainList(), row) != control) continue;
      LVITEMW item{};
      item.state = item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
      SendMessageW(MainList(), LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
      SendMessageW(MainList(), LVM_ENSUREVISIBLE, row, FALSE);
      SendMessageW(hwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(MainList()), TRUE);
      return;
    }
    // Discovery leaves out a control with nothing to read.
    SetItemText(IDC_FINDER_TEXT, (ClassAndHandle(control) + L": " + kFinderNoRowText.get()).c_str());
    MessageBeep(MB_ICONWARNING);
  }

  // The property report of the selected row's control.
  void PropertyCommand() {
    const int row = SelectedRow();
    if (row < 0) return;
    const KindDescriptor* kind = ReadRowKind(MainList(), row);
    const std::optional<HWND> target = ReadRowHandle(MainList(), row);
    if (!kind || !target || !kind->IsControl()) return;
    ShowPropertyDialog(hwnd(), *target, kind->kind);
  }

  // The multi-selection helper for the selected row's list view.
  void MultiSelectCommand() {
    const int row = SelectedRow();
    if (row < 0) return;
    const KindDescriptor* kind = ReadRowKind(MainList(), row);
    const std::optional<HWND> target = ReadRowHandle(MainList(), row);
    if (!kind || !kind->multiSelect || !target) return;
    ShowMultiSelectDialog(hwnd(), *target);
  }

  void ReadSettings() {
    otherControls_ = Read(settings::kOtherControls) != 0;
    Check(IDC_OTHER_CONTROLS, otherControls_);
    textControls_ = Read(settings::kTextControls) != 0;
    Check(IDC_TEXT_CONTROLS, textControls_);
    Check(IDC_TREE_SHIFT, Read(settings::kTreeColumn) != 0);
    Check(IDC_TREE_GRAPH, Read(settings::kTreeGraph) != 0);
    for (const ExtraBox& box : kExtraBoxes) Check(box.id, Read(*box.setting) != 0);
    auto selectionOption = [this](const StringSetting& setting, int checkId, int editId) {
      const std::optional<std::wstring> text = Read(setting);
      if (!text || text->empty() || *text == L"---") return;
      Check(checkId, true);
      EnableItem(editId, true);
      SetItemText(editId, text->c_str());
    };
    selectionOption(settings::kListViewColumns, IDC_ONLY_COLUMNS, IDC_COLUMNS);
    selectionOption(settings::kListViewLines, IDC_ONLY_LINES, IDC_LINES);
    const int wayOut = Read(settings::kWayOut);
    SelectCombo(IDC_DESTINATION, wayOut >= 0 && wayOut <= 2 ? wayOut : 0);
    const int format = Read(settings::kFormat);
    SelectCombo(IDC_FORMAT, format >= 0 && format < static_cast<int>(kRecordFormatCount) ? format : 0);
  }

  void ShowOptionGroup(std::optional<KindOptions> options) {
    for (const OptionGroup& group : kOptionGroups) {
      if (group.options != options) continue;
      for (int id : kOptionIds) {
        bool shown = false;
        for (int s : group.shown) shown = shown || s == id;
        ShowItem(id, shown);
      }
    }
  }

  // The selected row changed, or an option the preview depends on did.
  void UpdateForSelection() {
    const int row = SelectedRow();
    const KindDescriptor* kind = row >= 0 ? ReadRowKind(MainList(), row) : nullptr;
    ShowOptionGroup(kind ? std::optional<KindOptions>(kind->options) : std::nullopt);
    if (!g_sampleWindow) return;
    SetDlgItemTextW(g_sampleWindow, kSampleTextId, L"");
    if (row < 0 || (kind && !kind->IsControl())) return;
    if (std::optional<OutputRequest> request = BuildRequest()) StartSampleRenderer(request->job);
  }

 public:
  // Closing while an output runs asks whether to abort; yes cancels the run
  // and closes the window when it has ended.
  bool MayClose() {
    if (!OutputRunning()) return true;
    if (ShowMessageBox(hwnd(), kAbortQuestion.get(), kAbortCaption.get(), MB_YESNO | MB_ICONQUESTION) == IDYES) {
      closeAfterRun_ = true;
      CancelOutput();
    }
    return false;
  }

 private:
  // Button 1 becomes Cancel, the progress shows, the rest waits.
  void BeginRun() {
    idleCaption_ = ItemText(IDOK);
    SetItemText(IDOK, kCancelButtonText.get());
    locked_.clear();
    for (int id : kRunLockedIds) {
      if (IsWindowEnabled(Item(id))) {
        locked_.push_back(id);
        EnableItem(id, false);
      }
    }
    SendDlgItemMessageW(hwnd(), IDC_PROGRESS, PBM_SETPOS, 0, 0);
    SetItemText(IDC_PROGRESS_TEXT, L"");
    ShowItem(IDC_PROGRESS, true);
    ShowItem(IDC_PROGRESS_TEXT, true);
    SendMessageW(hwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(IDOK)), TRUE);
  }

  // Rows done of rows to read; the file list, whose total is not known,
  // shows a moving bar and the entries so far.
  void ShowProgress(long done, long total) {
    if (!OutputRunning()) return;
    HWND bar = Item(IDC_PROGRESS);
    const bool marquee = total < 0;
    const LONG_PTR style = GetWindowLongPtrW(bar, GWL_STYLE);
    if (marquee != ((style & PBS_MARQUEE) != 0)) {
      SetWindowLongPtrW(bar, GWL_STYLE, marquee ? style | PBS_MARQUEE : style & ~static_cast<LONG_PTR>(PBS_MARQUEE));
      SendMessageW(bar, PBM_SETMARQUEE, marquee, 50);
    }
    if (!marquee) {
      SendMessageW(bar, PBM_SETRANGE32, 0, total);
      SendMessageW(bar, PBM_SETPOS, done, 0);
    }
    std::wstring text = std::to_wstring(done);
    if (!marquee) text += L" / " + std::to_wstring(total);
    SetItemText(IDC_PROGRESS_TEXT, text.c_str());
  }

  // The worker has ended: the dialog comes back, then the run's messages.
  void EndRun(LPARAM run) {
    const std::vector<OutputNotice> notices = FinishOutput(run);
    ShowItem(IDC_PROGRESS, false);
    ShowItem(IDC_PROGRESS_TEXT, false);
    for (int id : locked_) EnableItem(id, true);
    locked_.clear();
    SetItemText(IDOK, idleCaption_.c_str());
    SendMessageW(hwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(MainList()), TRUE);
    if (closeAfterRun_) {
      DestroyWindow(GetParent(hwnd()));
      return;
    }
    ShowOutputNotices(hwnd(), notices);
    // A closed message box gives the focus back where the frame last had it;
    // the main list is where the user goes on.
    SendMessageW(hwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(MainList()), TRUE);
  }

  void Refresh() {
    RefreshMainList(MainList(), otherControls_, textControls_);
    lastRow_ = -1;
    UpdateForSelection();
  }

  void StartOutputCommand() {
    if (SelectedRow() < 0) {
      ShowMessageBox(hwnd(), kSelectItemText.get(), L"Tabulift", MB_ICONERROR);
      return;
    }
    StartRequest();
  }

  // The text of an option edit while its check box is on; absent otherwise
  // or when the edit is empty.
  std::optional<std::wstring> OptionText(int checkId, int editId) const {
    if (!IsChecked(checkId)) return std::nullopt;
    std::wstring text = ItemText(editId);
    if (text.empty()) return std::nullopt;
    return text;
  }

  // The output the dialog's state describes for the selected row; nothing
  // without a selected row.
  std::optional<OutputRequest> BuildRequest() const {
    const int row = SelectedRow();
    if (row < 0) return std::nullopt;
    OutputRequest request;
    OutputJob& job = request.job;
    const KindDescriptor* rowKind = ReadRowKind(MainList(), row);
    const KindDescriptor& kind = rowKind ? *rowKind : ControlKinds().front();
    job.kind = kind.kind;
    if (kind.IsControl()) {
      const std::optional<HWND> target = ReadRowHandle(MainList(), row);
      job.target = target ? reinterpret_cast<WindowId>(*target) : 0;
      request.targetGone = !target || !IsWindow(*target);
    }
    const int format = ComboSelection(IDC_FORMAT);
    job.format = static_cast<RecordFormat>(format >= 0 && format < static_cast<int>(kRecordFormatCount) ? format : 0);
    job.owner = reinterpret_cast<WindowId>(hwnd());
    if (kind.options == KindOptions::RowColumn) {
      job.columnSelection = OptionText(IDC_ONLY_COLUMNS, IDC_COLUMNS);
      job.rowSelection = OptionText(IDC_ONLY_LINES, IDC_LINES);
      for (const ExtraBox& box : kExtraBoxes) job.extras.*box.flag = IsChecked(box.id);
    } else if (kind.options == KindOptions::Tree) {
      job.treeLevelShift = IsChecked(IDC_TREE_SHIFT);
      job.treeGraph = IsChecked(IDC_TREE_GRAPH);
    }
    job.quoteWhenNeeded = Read(settings::kQuoteWhenNeeded) != 0;
    job.doubleQuotes = Read(settings::kDoubleQuotes) != 0;
    job.encoding = Read(settings::kCharCode);
    const int way = ComboSelection(IDC_DESTINATION);
    request.way = static_cast<OutputWay>(way >= 0 && way <= 2 ? way : 0);
    // The clipboard always takes CR LF; files take the stored newline.
    const int newline = Read(settings::kRetCode);
    job.newline = request.way == OutputWay::Clipboard
                      ? NewlineKind::CrLf
                      : static_cast<NewlineKind>(newline >= 0 && newline <= 2 ? newline : 0);
    request.frame = g_frameWindow;
    return request;
  }

  // Button 1's output of the selected row; the file list asks for its
  // options first.
  void StartRequest() {
    std::optional<OutputRequest> request = BuildRequest();
    if (!request) return;
    // While the dialogs before the run are up, nothing starts a second one.
    EnableStartButtons(false);
    if (FindKind(request->job.kind)->options == KindOptions::FileList) {
      FileListOptions options;
      if (!AskFileListOptions(hwnd(), options)) {
        EnableStartButtons(true);
        return;
      }
      HWND dialog = hwnd();
      HWND frame = reinterpret_cast<HWND>(g_frameWindow);
      request->fileList = [dialog, frame, options](RecordWriter& writer, const std::function<bool()>& abortRequested) {
        return RunFileListWalk(dialog, frame, writer, options, abortRequested);
      };
    }
    const bool started = StartOutput(*request);
    EnableStartButtons(true);
    if (started) BeginRun();
  }

  void EnableStartButtons(bool enable) const {
    for (int id : {IDC_REFRESH, IDOK, IDC_EXIT, IDC_HELP_BUTTON}) EnableItem(id, enable);
  }

  // The sample window follows the new settings: gone when it is switched
  // off, made again when its independence or font changed, kept otherwise.
  void SettingsCommand() {
    const int independent = Read(settings::kSampleIndependent);
    const std::wstring font = Read(settings::kSampleFont).value_or(L"");
    RunSettingsDialog(hwnd());
    if (Read(settings::kWindowSample) == 0) {
      DestroySampleWindow();
      return;
    }
    if (g_sampleWindow) {
      if (Read(settings::kSampleIndependent) == independent && Read(settings::kSampleFont).value_or(L"") == font) return;
      DestroySampleWindow();
    }
    CreateSampleWindow(kSampleAgainText.get());
  }

  // The browser opens with the system folder as the current directory, so
  // that nothing of the program's folder is locked; the folder comes back.
  void OpenPage(const wchar_t* address, const BiText& caption) {
    wchar_t system[MAX_PATH] = L"";
    GetSystemDirectoryW(system, MAX_PATH);
    SetCurrentDirectoryW(system);
    const auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteW(hwnd(), L"open", address, nullptr, system, SW_SHOWNORMAL));
    SetCurrentDirectoryToExeFolder();
    if (result > 32) return;
    std::wstring text = kBrowserFailedText.get();
    if (const size_t at = text.find(L"%s"); at != std::wstring::npos) text.replace(at, 2, address);
    ShowMessageBox(hwnd(), text.c_str(), caption.get(), MB_ICONERROR);
  }

  bool otherControls_ = true;
  bool textControls_ = false;
  std::wstring idleCaption_;      // button 1's caption while no output runs
  std::vector<int> locked_;       // the controls a running output disabled
  bool closeAfterRun_ = false;    // the user closed the window during the run
  int lastRow_ = -1;
  HMENU contextMenu_ = nullptr;
  Finder finder_;
};

MainDialog g_mainDialogObject;

}  // namespace

HWND CreateMainDialog(HWND frame) { return g_mainDialogObject.CreateModeless(frame); }

bool MainListHasSelection() { return g_mainDialog && SelectedRow() >= 0; }

bool MainDialogMayClose() { return g_mainDialogObject.MayClose(); }

}  // namespace tblf
