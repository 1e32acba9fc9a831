#include "shell/settings_dialog_win.h"

#include <string>

#include "base/help_topics.h"
#include "base/help_win.h"
#include "output/encoded_writer_win.h"
#include "output/encodings.h"
#include "resources/resource.h"
#include "settings/settings_table.h"
#include "base/dialog_win.h"
#include "base/message_box_win.h"
#include "base/process_basics.h"

namespace tblf {
namespace {

constexpr const wchar_t* kNewlines[] = {L"CR+LF", L"LF", L"CR"};

const BiText kCaption{L"設定", L"Settings"};
const BiText kNoCodePageText{L"コードページを指定して下さい。", L"Please specify a codepage."};
const BiText kUnusableCodePageText{L"指定されたコードページは、この環境では利用できません。",
                                   L"You cannot use this codepage on this environment."};

constexpr TooltipEntry kTipsJa[] = {
    {IDC_SAVE_PLACEMENT, L"このソフトウェア終了時点でのウィンドウ位置とサイズを、次回起動時に引き継ぎます。"},
    {IDC_SHOW_SAMPLE,
     L"メインウィンドウにて選択中のリストビューやツリービュー等の内容を参照するためのウィンドウを開きます。"},
    {IDC_SAMPLE_INDEPENDENT,
     L"サンプルウィンドウを、メインウィンドウの子ウィンドウとしないようにして、必ずしもメインウィンドウの前面にサンプルウィンドウが来ないようにします。"},
    {IDC_SAMPLE_POSSIZE, L"サンプルウィンドウを閉じる際、サンプルウィンドウの表示位置を保存します。"},
    {IDC_SAMPLE_FONT, L"サンプルウィンドウで使われるフォントを選択します。"},
    {IDC_ENCODING,
     L"テキストファイル出力を行う場合の、文字コードを指定します。環境情報の出力や、「アプリケーションで開く」の場合も含まれます。"},
    {IDC_CODE_PAGE, L"左の一覧で「その他」を選択した場合は、ここにコードページを入力します。"},
    {IDC_NEWLINE,
     L"テキストファイル出力を行う場合の、改行コードを指定します。環境情報の出力や、「アプリケーションで開く」の場合も含まれます。"},
    {IDC_QUOTE_WHEN_NEEDED,
     L"カンマ区切りの時(タブ区切りでないとき)、データ中にダブルコーテーション・カンマ・改行が含まれる場合のみ、ダブルコーテーションで囲むようにします。チェックしないと、必ずダブルコーテーションで囲まれます。"},
    {IDC_DOUBLE_QUOTES,
     L"カンマ区切りの時(タブ区切りでないとき)、データ中にダブルコーテーションが含まれていたら、ダブルコーテーションを2つ重ねるようにします。"},
    {IDC_READ_IN_PROCESS,
     L"対象プログラムの中で一覧を読み取ります(メッセージで1項目ずつ読むより大幅に速くなります)。フックDLLを嫌うセキュリティソフトがある場合はチェックを外してください。"},
    {IDC_RUN_AS_ADMIN,
     L"次回起動時より、本ソフトを管理者権限モードで立ち上げます。ユーザー アカウント制御(UAC)が有効な場合に必要な設定です。"},
    {IDOK, L"上記設定内容を保存して、このダイアログを閉じます。"},
    {IDC_HELP_BUTTON, L"このダイアログに関する説明を表示します。"},
    {IDCANCEL, L"上記設定内容を保存せず、このダイアログを閉じます。"},
};
constexpr TooltipEntry kTipsEn[] = {
    {IDC_SAVE_PLACEMENT, L"Saves the last position of the main window."},
    {IDC_SHOW_SAMPLE, L"Displays the sample for a selected item in the main window."},
    {IDC_SAMPLE_INDEPENDENT, L"Separates the sample window and the main window."},
    {IDC_SAMPLE_POSSIZE, L"Saves the last position of the sample window."},
    {IDC_SAMPLE_FONT, L"Selects the font in the sample window."},
    {IDC_ENCODING, L"Selects the encording for output file."},
    {IDC_CODE_PAGE, L"When you choose 'other' on the left combobox, you specify a codepage."},
    {IDC_NEWLINE, L"Selects the newline charactors for output file."},
    {IDC_QUOTE_WHEN_NEEDED,
     L"When a comma-delimited, only if the double quotes, comma, newline is included in the data, so that you "
     L"enclosed in double quotes. If this is not checked, it is surrounded by double quotes always."},
    {IDC_DOUBLE_QUOTES,
     L"When a comma-delimited, double quotation marks if it has been included in the data, so that you superimpose "
     L"two double quotes."},
    {IDC_READ_IN_PROCESS,
     L"Reads the list inside the target program (much faster than one message per item). Uncheck it when security "
     L"software objects to hook DLLs."},
    {IDC_RUN_AS_ADMIN,
     L"Than at the next startup, This application will launch with administrator privileges mode. This setting is "
     L"required when User Account Control is enabled."},
    {IDOK, L"Saves and Close this dialog box."},
    {IDC_HELP_BUTTON, L"Displays the help."},
    {IDCANCEL, L"Closes this dialog box."},
};
constexpr TooltipTables kTips{kTipsJa, kTipsEn};

int CALLBACK AddFontFace(const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM list) {
  const wchar_t* face = reinterpret_cast<const ENUMLOGFONTEXW*>(font)->elfLogFont.lfFaceName;
  HWND combo = reinterpret_cast<HWND>(list);
  if (face[0] != L'@' &&
      SendMessageW(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(face)) == CB_ERR) {
    SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(face));
  }
  return 1;
}

class SettingsDialog : public Dialog {
 protected:
  int TemplateJa() const override { return IDD_SETTINGS_JA; }
  int TemplateEn() const override { return IDD_SETTINGS_EN; }
  const TooltipTables* Tooltips() const override { return &kTips; }

  BOOL OnInit() override {
    Check(IDC_SAVE_PLACEMENT, Read(settings::kWindowPosSize) != 0);
    const bool sample = Read(settings::kWindowSample) != 0;
    Check(IDC_SHOW_SAMPLE, sample);
    Check(IDC_SAMPLE_INDEPENDENT, Read(settings::kSampleIndependent) != 0);
    Check(IDC_SAMPLE_POSSIZE, Read(settings::kSamplePosSize) != 0);
    EnableSampleOptions(sample);
    FillFonts();
    Check(IDC_QUOTE_WHEN_NEEDED, Read(settings::kQuoteWhenNeeded) != 0);
    Check(IDC_DOUBLE_QUOTES, Read(settings::kDoubleQuotes) != 0);
    Check(IDC_READ_IN_PROCESS, Read(settings::kReadInProcess) != 0);

    for (const EncodingInfo& encoding : Encodings()) {
      wchar_t name[80];
      swprintf(name, 80, encoding.name.get(), GetACP());
      AddComboText(IDC_ENCODING, name);
    }
    const int charCode = Read(settings::kCharCode);
    SelectCombo(IDC_ENCODING, charCode);  // outside 0-11 nothing is selected
    if (charCode == OtherCodePageIndex()) {
      const int otherCp = Read(settings::kOtherCodePage);
      EnableItem(IDC_CODE_PAGE, true);
      SetItemText(IDC_CODE_PAGE, otherCp > 0 ? std::to_wstring(otherCp).c_str() : L"-");
    } else {
      ShowTableCodePage(charCode);
    }

    for (const wchar_t* newline : kNewlines) AddComboText(IDC_NEWLINE, newline);
    SelectCombo(IDC_NEWLINE, Read(settings::kRetCode));

    if (g_windowsVersion < kWindowsVista) {
      EnableItem(IDC_RUN_AS_ADMIN, false);
      EnableItem(IDC_RUN_AS_ADMIN_NOTE, false);
    } else {
      Check(IDC_RUN_AS_ADMIN, Read(settings::kRunAsAdmin) != 0);
    }
    return TRUE;
  }

  bool OnCommand(int id, int code, HWND) override {
    switch (id) {
      case IDC_ENCODING:
        if (code != CBN_SELCHANGE) return true;
        if (ComboSelection(IDC_ENCODING) == OtherCodePageIndex()) {
          EnableItem(IDC_CODE_PAGE, true);
          SetItemText(IDC_CODE_PAGE, L"");
        } else {
          ShowTableCodePage(ComboSelection(IDC_ENCODING));
        }
        return true;
      case IDC_SHOW_SAMPLE:
        if (code == BN_CLICKED) EnableSampleOptions(IsChecked(IDC_SHOW_SAMPLE));
        return true;
      case IDOK:
        if (code == BN_CLICKED) Confirm();
        return true;
      case IDCANCEL:
        End(0);
        return true;
      case IDC_HELP_BUTTON:
        OnHelp();
        return true;
      default:
        return false;
    }
  }

  void OnHelp() override { OpenHelpTopic(hwnd(), kHelpSettings); }

 private:
  void EnableSampleOptions(bool enable) const {
    EnableItem(IDC_SAMPLE_INDEPENDENT, enable);
    EnableItem(IDC_SAMPLE_POSSIZE, enable);
  }

  void FillFonts() {
    HWND combo = Item(IDC_SAMPLE_FONT);
    HDC dc = GetDC(hwnd());
    LOGFONTW all{};
    all.lfCharSet = DEFAULT_CHARSET;
    EnumFontFamiliesExW(dc, &all, AddFontFace, reinterpret_cast<LPARAM>(combo), 0);
    ReleaseDC(hwnd(), dc);
    const std::wstring face = Read(settings::kSampleFont).value_or(L"");
    const LRESULT at =
        SendMessageW(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(face.c_str()));
    // CB_FINDSTRINGEXACT ignores case; the stored face must match exactly.
    if (at != CB_ERR && ItemTextAt(combo, static_cast<int>(at)) == face) SelectCombo(IDC_SAMPLE_FONT, static_cast<int>(at));
  }

  static std::wstring ItemTextAt(HWND combo, int index) {
    const LRESULT length = SendMessageW(combo, CB_GETLBTEXTLEN, index, 0);
    if (length == CB_ERR) return L"";
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    SendMessageW(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(length));
    return text;
  }

  // A fixed encoding: the field is disabled and shows the table's code page.
  void ShowTableCodePage(int index) const {
    EnableItem(IDC_CODE_PAGE, false);
    const EncodingInfo* encoding = FindEncoding(index);
    unsigned codePage = encoding ? ShownCodePage(*encoding) : 0;
    if (codePage == kAnsiCodePage) codePage = GetACP();
    SetItemText(IDC_CODE_PAGE, codePage == 0 || codePage == kOtherCodePage ? L"-" : std::to_wstring(codePage).c_str());
  }

  void Confirm() {
    if (ComboSelection(IDC_ENCODING) == OtherCodePageIndex()) {
      const UINT codePage = GetDlgItemInt(hwnd(), IDC_CODE_PAGE, nullptr, FALSE);
      const BiText* problem = codePage == 0 ? &kNoCodePageText
                              : IsUsableCodePage(codePage) ? nullptr
                                                           : &kUnusableCodePageText;
      if (problem) {
        ShowMessageBox(hwnd(), problem->get(), kCaption.get(), MB_ICONERROR);
        return;
      }
    }
    const std::uintptr_t owner = g_frameWindow;
    auto flag = [this](int id) { return IsChecked(id) ? 1 : 0; };
    Write(settings::kWindowPosSize, flag(IDC_SAVE_PLACEMENT), owner);
    Write(settings::kWindowSample, flag(IDC_SHOW_SAMPLE), owner);
    Write(settings::kSampleIndependent, flag(IDC_SAMPLE_INDEPENDENT), owner);
    Write(settings::kSamplePosSize, flag(IDC_SAMPLE_POSSIZE), owner);
    // With no face selected (the stored one is not installed) the stored face stays.
    if (const int font = ComboSelection(IDC_SAMPLE_FONT); font >= 0) {
      Write(settings::kSampleFont, ItemTextAt(Item(IDC_SAMPLE_FONT), font).c_str(), owner);
    }
    Write(settings::kCharCode, ComboSelection(IDC_ENCODING), owner);
    Write(settings::kOtherCodePage, static_cast<int>(GetDlgItemInt(hwnd(), IDC_CODE_PAGE, nullptr, FALSE)), owner);
    Write(settings::kRetCode, ComboSelection(IDC_NEWLINE), owner);
    Write(settings::kQuoteWhenNeeded, flag(IDC_QUOTE_WHEN_NEEDED), owner);
    Write(settings::kDoubleQuotes, flag(IDC_DOUBLE_QUOTES), owner);
    Write(settings::kReadInProcess, flag(IDC_READ_IN_PROCESS), owner);
    Write(settings::kRunAsAdmin, flag(IDC_RUN_AS_ADMIN), owner);
    End(1);
  }
};

}  // namespace

INT_PTR RunSettingsDialog(HWND owner) {
  SettingsDialog dialog;
  return dialog.RunModal(owner);
}

}  // namespace tblf
