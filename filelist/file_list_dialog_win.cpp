#include "filelist/file_list_dialog_win.h"

#include <shellapi.h>
#include <shlobj.h>

#include <cstdint>
#include <string>

#include "filelist/combobox_queue_win.h"
#include "filelist/ordering.h"
#include "filelist/template_renderer.h"
#include "filelist/token_reference.h"
#include "base/help_topics.h"
#include "base/help_win.h"
#include "resources/resource.h"
#include "settings/settings_table.h"
#include "base/dialog_win.h"
#include "base/message_box_win.h"
#include "base/text.h"

namespace tblf {
namespace {

const BiText kCaption{L"ファイル／フォルダ一覧の出力", L"Files and Folders List"};
const BiText kNoFolderText{L"出力対象のフォルダ名を入力してください。", L"Please input the folder name to be output."};
const BiText kNoTemplateText{L"出力情報の列を入力してください。", L"Please input the row of output information."};
const BiText kDefaultQuestion{L"デフォルトに戻してもよろしいですか?",
                              L"Are you sure you want to return to default format?"};
const BiText kBrowseTitle{L"フォルダの選択", L"Choose Folder"};
const BiText kMissingFolderText{L"フォルダが見つかりません：\n%s", L"Folder not found:\n%s"};

constexpr TooltipEntry kTipsJa[] = {
    {IDC_BROWSE, L"フォルダを一覧から選択します。"},
    {IDC_FL_INCLUDE_SUBFOLDERS, L"上で指定したフォルダより下の階層も、抽出の対象とします。"},
    {IDC_FL_FOLDERS_ONLY, L"一覧をフォルダのリストとします。ファイル名は抽出されません。"},
    {IDC_FL_LOCAL_TIME,
     L"ファイル更新日時等の日付時刻を、ローカル時刻となるように変換します。時刻がずれる(例えば9時間ずれる)場合に利用して下さい。"},
    {IDC_FL_FOLDER, L"ファイル一覧作成の起点となるフォルダをフルパスで指定します。"},
    {IDC_FL_TEMPLATE, L"出力情報を表す文字列を指定します。詳しくはヘルプを参照してください。"},
    {IDC_FL_DEFAULT, L"左の入力欄に、標準的な出力情報を設定します。"},
    {IDC_FL_ORDER, L"ファイル・フォルダの並び順を指定します。"},
    {IDC_FL_FOLDER_POSITION, L"並べ替えを行う場合に、一覧内でのフォルダの位置を指定します。"},
    {IDOK, L"上の一覧で選択した項目を、指定された方法で出力します。"},
    {IDC_HELP_BUTTON, L"このダイアログに関する説明を表示します。"},
    {IDCANCEL, L"このダイアログを閉じます。"},
};
constexpr TooltipEntry kTipsEn[] = {
    {IDC_BROWSE, L"Selects the folder."},
    {IDC_FL_INCLUDE_SUBFOLDERS, L"Includes sub folders."},
    {IDC_FL_FOLDERS_ONLY, L"Folder List only."},
    {IDC_FL_LOCAL_TIME, L"Uses Local Time."},
    {IDC_FL_DEFAULT, L"Default format."},
    {IDC_FL_ORDER, L"Select order for files or folders list."},
    {IDC_FL_FOLDER_POSITION, L"Select the folders' position."},
    {IDOK, L"Starts to output."},
    {IDC_HELP_BUTTON, L"Displays the help."},
    {IDCANCEL, L"Closes this dialog box."},
};
constexpr TooltipTables kTips{kTipsJa, kTipsEn};

constexpr LayoutEntry kLayout[] = {
    {IDC_FL_FOLDER_LABEL, Anchor::Fixed},
    {IDC_FL_INCLUDE_SUBFOLDERS, Anchor::Fixed},
    {IDC_FL_FOLDERS_ONLY, Anchor::Fixed},
    {IDC_FL_LOCAL_TIME, Anchor::Fixed},
    {IDC_FL_ORDER, Anchor::Fixed},
    {IDC_FL_FOLDER_POSITION, Anchor::Fixed},
    {IDC_FL_TEMPLATE_LABEL, Anchor::Fixed},
    {IDC_FL_SEPARATOR, Anchor::StretchWidth},
    {IDC_FL_FOLDER, Anchor::StretchWidth},
    {IDC_FL_TEMPLATE, Anchor::StretchWidth},
    {IDC_BROWSE, Anchor::Right},
    {IDC_FL_DEFAULT, Anchor::Right},
    {IDC_FL_TOKENS_FRAME, Anchor::Stretch},
    {IDC_FL_TOKENS, Anchor::Stretch},
    {IDOK, Anchor::BottomRight},
    {IDCANCEL, Anchor::BottomRight},
    {IDC_HELP_BUTTON, Anchor::BottomRight},
};
// The dialog may shrink this much below its first size, in pixels.
constexpr int kShrink = 50;

class FileListDialog : public Dialog {
 public:
  explicit FileListDialog(FileListOptions& options) : options_(options) {}

 protected:
  int TemplateJa() const override { return IDD_FILELIST_JA; }
  int TemplateEn() const override { return IDD_FILELIST_EN; }
  const TooltipTables* Tooltips() const override { return &kTips; }

  BOOL OnInit() override {
    SetItemText(IDC_FL_TOKENS, FileListTokenReference(g_japaneseUi).c_str());
    // A fixed-pitch face, so that the colons of the reference line up.
    tokenFont_ = CreateUiFont(g_japaneseUi ? L"MS Gothic" : L"Courier New", 9, FIXED_PITCH | FF_MODERN);
    if (tokenFont_) SendDlgItemMessageW(hwnd(), IDC_FL_TOKENS, WM_SETFONT, reinterpret_cast<WPARAM>(tokenFont_), FALSE);
    HANDLE icon = LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_FILELIST), IMAGE_ICON, 16, 16, LR_SHARED);
    SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));

    for (const BiText& name : kOrderKeyNames) AddComboText(IDC_FL_ORDER, name.get());
    for (const BiText& name : kFolderPositionNames) AddComboText(IDC_FL_FOLDER_POSITION, name.get());
    SelectCombo(IDC_FL_ORDER, 0);
    SelectCombo(IDC_FL_FOLDER_POSITION, 0);

    // In INI mode the queues offer "." and the default template and remember nothing.
    folderHistory_.Attach(kFolderHistoryValue, Item(IDC_FL_FOLDER), L".");
    templateHistory_.Attach(kTemplateHistoryValue, Item(IDC_FL_TEMPLATE), kDefaultFileListTemplate);

    SetItemText(IDC_FL_FOLDER, Read(settings::kFileListFolder).value_or(L".").c_str());
    SetItemText(IDC_FL_TEMPLATE, Read(settings::kFileListInfo).value_or(kDefaultFileListTemplate).c_str());
    Check(IDC_FL_INCLUDE_SUBFOLDERS, Read(settings::kFileListSubfolder) != 0);
    Check(IDC_FL_FOLDERS_ONLY, Read(settings::kFileListFolderOnly) != 0);
    Check(IDC_FL_LOCAL_TIME, Read(settings::kFileListLocalTime) != 0);
    // A stored value out of range shows the first entry, which OK then stores.
    SelectInRange(IDC_FL_ORDER, Read(settings::kFileListFilesOrder), kOrderKeyCount);
    SelectInRange(IDC_FL_FOLDER_POSITION, Read(settings::kFileListDirOrder), 3);

    layout().Build(hwnd(), kLayout);
    layout().ShrinkMinimum(kShrink, kShrink);
    return TRUE;
  }

  bool OnCommand(int id, int code, HWND) override {
    const bool click = code == BN_CLICKED;
    switch (id) {
      case IDOK:
        if (click) Confirm();
        return true;
      case IDCANCEL:
        End(0);
        return true;
      case IDC_BROWSE:
        if (click) Browse();
        return true;
      case IDC_FL_DEFAULT:
        if (click && ShowMessageBox(hwnd(), kDefaultQuestion.get(), kCaption.get(), MB_YESNO | MB_ICONQUESTION) == IDYES) {
          SetItemText(IDC_FL_TEMPLATE, kDefaultFileListTemplate);
        }
        return true;
      case IDC_HELP_BUTTON:
        if (click) OnHelp();
        return true;
      default:
        return false;
    }
  }

  bool OnMessage(UINT message, WPARAM w, LPARAM, INT_PTR& result) override {
    if (message != WM_DROPFILES) return false;
    DropFolder(reinterpret_cast<HDROP>(w));
    result = 0;
    return true;
  }

  void OnHelp() override { OpenHelpTopic(hwnd(), kHelpFileList); }

  void OnDestroy() override {
    folderHistory_.Release();
    templateHistory_.Release();
    if (tokenFont_) DeleteObject(tokenFont_);
    tokenFont_ = nullptr;
  }

 private:
  void SelectInRange(int id, int index, int count) const {
    SelectCombo(id, index >= 0 && index < count ? index : 0);
  }

  void Confirm() {
    const std::wstring folder = ItemText(IDC_FL_FOLDER);
    const std::wstring templateText = ItemText(IDC_FL_TEMPLATE);
    if (folder.empty() || templateText.empty()) {
      ShowMessageBox(hwnd(), (folder.empty() ? kNoFolderText : kNoTemplateText).get(), L"Tabulift", MB_ICONERROR);
      return;
    }
    // Checked before the save dialog, which would already create the file.
    const DWORD attributes = GetFileAttributesW(folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
      std::wstring text = kMissingFolderText.get();
      text.replace(text.find(L"%s"), 2, folder);
      ShowMessageBox(hwnd(), text.c_str(), L"Tabulift", MB_ICONERROR);
      SetFocus(Item(IDC_FL_FOLDER));
      return;
    }
    folderHistory_.Add(folder);
    templateHistory_.Add(templateText);

    const int order = ComboSelection(IDC_FL_ORDER);
    const int position = ComboSelection(IDC_FL_FOLDER_POSITION);
    const std::uintptr_t owner = reinterpret_cast<std::uintptr_t>(hwnd());
    auto flag = [this](int id) { return IsChecked(id) ? 1 : 0; };
    Write(settings::kFileListFolder, folder.c_str(), owner);
    Write(settings::kFileListInfo, templateText.c_str(), owner);
    Write(settings::kFileListSubfolder, flag(IDC_FL_INCLUDE_SUBFOLDERS), owner);
    Write(settings::kFileListFolderOnly, flag(IDC_FL_FOLDERS_ONLY), owner);
    Write(settings::kFileListLocalTime, flag(IDC_FL_LOCAL_TIME), owner);
    Write(settings::kFileListFilesOrder, order, owner);
    Write(settings::kFileListDirOrder, position, owner);

    options_.rootFolder = folder;
    options_.templateText = templateText;
    options_.orderKey = static_cast<unsigned char>(order >= 0 && order < kOrderKeyCount ? order : 0);
    options_.folderPosition = static_cast<FolderPosition>(position >= 0 && position < 3 ? position : 0);
    options_.includeSubfolders = IsChecked(IDC_FL_INCLUDE_SUBFOLDERS);
    options_.foldersOnly = IsChecked(IDC_FL_FOLDERS_ONLY);
    options_.localTime = IsChecked(IDC_FL_LOCAL_TIME);
    End(1);
  }

  void Browse() {
    BROWSEINFOW info{};
    info.hwndOwner = hwnd();
    info.lpszTitle = kBrowseTitle.get();
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    PIDLIST_ABSOLUTE chosen = SHBrowseForFolderW(&info);
    if (!chosen) return;
    wchar_t path[MAX_PATH] = L"";
    if (SHGetPathFromIDListW(chosen, path)) SetItemText(IDC_FL_FOLDER, path);
    CoTaskMemFree(chosen);
  }

  // The first dropped item becomes the folder, however long its path.
  void DropFolder(HDROP drop) {
    const UINT length = DragQueryFileW(drop, 0, nullptr, 0);
    std::wstring path(static_cast<size_t>(length) + 1, L'\0');
    path.resize(DragQueryFileW(drop, 0, path.data(), length + 1));
    DragFinish(drop);
    if (!path.empty()) SetItemText(IDC_FL_FOLDER, path.c_str());
    SetForegroundWindow(hwnd());
    SetFocus(Item(IDC_FL_FOLDER));
  }

  FileListOptions& options_;
  ComboboxQueue folderHistory_;
  ComboboxQueue templateHistory_;
  HFONT tokenFont_ = nullptr;
};

}  // namespace

bool AskFileListOptions(HWND owner, FileListOptions& options) {
  FileListDialog dialog(options);
  return dialog.RunModal(owner) == 1;
}

}  // namespace tblf
