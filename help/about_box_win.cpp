#include "help/about_box_win.h"

#include <richedit.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "envreport/env_report_dialog_win.h"
#include "help/version.h"
#include "resources/resource.h"
#include "base/dialog_win.h"
#include "base/message_box_win.h"
#include "base/process_basics_win.h"
#include "base/publisher.h"
#include "base/text.h"

namespace tblf {
namespace {

constexpr const wchar_t* kProductName = L"Tabulift";

// What the About box shows and what its buttons open.
struct AboutBlock {
  bool japanese;
  int iconId;
  const wchar_t* productName;
  const wchar_t* webSite;
  const wchar_t* contact;
  const wchar_t* contribution;
  const wchar_t* aboutText;
  void (*environmentReport)(HWND owner);
  const wchar_t* feedback;
};

const BiText kReleaseText{
    L"Tabulift は、起動中のプログラムのリストビュー・ツリービュー・リストボックス・コンボボックスに表示されているデータを、"
    L"CSVファイルなどのテキストへ出力するソフトウェアです。\r\n"
    L"\r\n"
    L"【利用条件】\r\n"
    L"・無料で使えます。個人・法人、用途を問わず、使用・複製・配布できます(MIT ライセンス)。\r\n"
    L"・無保証です。使用によって生じたいかなる損害についても、作成元は責任を負いません。\r\n"
    L"・ほかのプログラムのウィンドウを外部から読み取ります。読み取る相手のプログラムの利用条件と、"
    L"データの取り扱いに関する決まりを守ってお使いください。\r\n"
    L"\r\n"
    L"詳しい使い方と利用条件の全文は、ヘルプファイル(TBLIFT.CHM)をご覧ください。\r\n"
    L"\r\n"
    L"Microsoft、Windows は、米国 Microsoft Corporation の米国およびその他の国における登録商標または商標です。",
    L"Tabulift writes the data shown in the list views, tree views, list boxes and combo boxes of any running "
    L"program to a CSV file or another text.\r\n"
    L"\r\n"
    L"Terms of use\r\n"
    L"- Tabulift is free of charge. Anyone may use, copy and distribute it, for any purpose (MIT License).\r\n"
    L"- Tabulift comes without any warranty. The maker is not liable for any damage arising from its use.\r\n"
    L"- Tabulift reads the windows of other programs from outside. Respect the terms of use of those programs "
    L"and the rules that apply to their data.\r\n"
    L"\r\n"
    L"See the help file (TBLIFT.CHM) for how to use it and for the full terms.\r\n"
    L"\r\n"
    L"Microsoft and Windows are either registered trademarks or trademarks of Microsoft Corporation in the "
    L"United States and/or other countries."};

const BiText kDevelopmentNote{
    L"【開発版】\r\n"
    L"これは開発中の版です。十分に確かめられていない機能を含みますので、大切なデータで使う前には結果を必ず確かめてください。"
    L"不具合を見つけたときは、すぐに「フィードバック受付」からお知らせください。\r\n"
    L"\r\n",
    L"Development version\r\n"
    L"This is a development version. It contains features that have not been fully tried: check its results "
    L"before you rely on them. Please report any fault at once through \"Feedback\".\r\n"
    L"\r\n"};

const BiText kCaption{L"バージョン情報", L"About"};
const BiText kContributionLabel{L"開発支援金の受付について(&K)", L"Contribution(&K)"};
const BiText kCloseLabel{L"閉じる(&C)", L"&Close"};
const BiText kEnvironmentLabel{L"環境情報の表示(問合せの際にご活用下さい)(&E)", L"&Environment Information"};
const BiText kFeedbackLabel{L"フィードバック受付(&F)", L"&Feedback"};
const BiText kContactLabel{L"[連絡先]", L"[Contact]"};
const BiText kMailNote{
    L"　メールフィルタやサーバによるドメイン着信拒否の対象になっていることがあります。質問しているのに返信がなかなか届かない"
    L"場合は、ごみ箱や迷惑メールフォルダを確認するか、フィルタ作成者・サーバ管理者にご相談下さい。",
    L""};
const BiText kCannotOpenText{L"%sを開けませんでした。\n上記のファイルまたはURLを直接開いて下さい。", L"Cannot open %s."};
const BiText kCannotOpenLinkText{L"%sを開けませんでした。\n上記のURLを直接開いて下さい。", L"Cannot open a browser"};

constexpr TooltipEntry kTipsJa[] = {
    {IDC_ABOUT_CONTRIBUTION, L"開発支援金の受付について詳細を表示します"},
    {IDCANCEL, L"このダイアログを閉じます"},
    {IDC_ABOUT_ENVIRONMENT,
     L"環境情報を表示します。制作元に質問を出す場合には、これで表示された情報を添付して下さい"},
    {IDC_ABOUT_FEEDBACK,
     L"制作元へ連絡、感想、改善要望あるいは現状維持要望などを気軽に送りたい場合に利用します。インターネット接続が必要です"},
};
constexpr TooltipEntry kTipsEn[] = {
    {IDC_ABOUT_CONTRIBUTION, L"About contribution"},
    {IDCANCEL, L"Closes this dialog box."},
    {IDC_ABOUT_ENVIRONMENT, L"Displays Information of this environment."},
    {IDC_ABOUT_FEEDBACK, L"Opens feedback page."},
};
constexpr TooltipTables kTips{kTipsJa, kTipsEn};

// Predefined window classes of a dialog item, as their atoms.
constexpr WORD kButton = 0x0080, kEdit = 0x0081, kStatic = 0x0082;

// A dialog template with DS_SETFONT, built item by item.
class TemplateBuilder {
 public:
  TemplateBuilder(DWORD style, short width, short height, const wchar_t* caption, WORD points,
                  const wchar_t* face) {
    AddDword(style);
    AddDword(0);  // extended style
    count_ = words_.size();
    words_.push_back(0);  // item count, filled in by Add
    AddShorts(0, 0, width, height);
    words_.push_back(0);  // no menu
    words_.push_back(0);  // the standard dialog class
    AddString(caption);
    words_.push_back(points);
    AddString(face);
  }

  // An item of a predefined class (`atom`) or of a named one (`className`).
  void Add(int id, WORD atom, const wchar_t* className, DWORD style, DWORD exStyle, short x, short y, short width,
           short height, const wchar_t* text) {
    if (words_.size() % 2 != 0) words_.push_back(0);  // items start on a DWORD
    AddDword(style | WS_CHILD | WS_VISIBLE);
    AddDword(exStyle);
    AddShorts(x, y, width, height);
    words_.push_back(static_cast<WORD>(id));
    if (className) {
      AddString(className);
    } else {
      words_.push_back(0xFFFF);
      words_.push_back(atom);
    }
    AddString(text);
    words_.push_back(0);  // no creation data
    ++words_[count_];
  }

  const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

 private:
  void AddDword(DWORD value) {
    words_.push_back(LOWORD(value));
    words_.push_back(HIWORD(value));
  }
  void AddShorts(short x, short y, short width, short height) {
    for (short v : {x, y, width, height}) words_.push_back(static_cast<WORD>(v));
  }
  void AddString(const wchar_t* text) {
    for (const wchar_t* c = text; *c; ++c) words_.push_back(static_cast<WORD>(*c));
    words_.push_back(0);
  }

  std::vector<WORD> words_;
  size_t count_ = 0;
};

std::wstring Filled(const wchar_t* format, const wchar_t* value) {
  std::wstring text = format;
  const size_t at = text.find(L"%s");
  if (at != std::wstring::npos) text.replace(at, 2, value);
  return text;
}

class AboutBox : public Dialog {
 public:
  AboutBox(const AboutBlock& block, bool richEdit) : block_(block), richEdit_(richEdit) {}

  INT_PTR Run(HWND owner) {
    const bool ja = block_.japanese;
    TemplateBuilder t(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_CENTER, 239, 261,
                      kCaption.get(ja), ja ? 9 : 8, ja ? L"ＭＳ Ｐゴシック" : L"MS Sans Serif");
    const wchar_t* null = L"(NULL)";
    t.Add(IDC_ABOUT_CONTRIBUTION, kButton, nullptr, BS_PUSHBUTTON | WS_TABSTOP, 0, 119, 137, 110, 14,
          kContributionLabel.get(ja));
    t.Add(IDC_ABOUT_TEXT, kEdit, nullptr, ES_READONLY | ES_MULTILINE | WS_VSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE, 7,
          156, 225, 80, null);
    t.Add(IDCANCEL, kButton, nullptr, BS_DEFPUSHBUTTON | WS_TABSTOP, 0, 7, 240, 50, 14, kCloseLabel.get(ja));
    t.Add(IDC_ABOUT_ENVIRONMENT, kButton, nullptr, BS_PUSHBUTTON | WS_TABSTOP, 0, 60, 240, 172, 14,
          kEnvironmentLabel.get(ja));
    const std::wstring icon = L"#" + std::to_wstring(block_.iconId);
    t.Add(IDC_ABOUT_ICON, kStatic, nullptr, SS_ICON, 0, 7, 7, 32, 32, icon.c_str());
    t.Add(IDC_ABOUT_VERSION, kEdit, nullptr, ES_READONLY | ES_MULTILINE | WS_TABSTOP, 0, 35, 7, 197, 37, null);
    // Without the rich edit library the addresses still show, in a plain
    // edit without links.
    t.Add(IDC_ABOUT_ADDRESSES, kEdit, richEdit_ ? RICHEDIT_CLASSW : nullptr, ES_READONLY | ES_MULTILINE | WS_TABSTOP,
          0, 7, 46, 225, 90, null);
    t.Add(IDC_ABOUT_FEEDBACK, kButton, nullptr, BS_PUSHBUTTON | WS_TABSTOP, 0, 7, 137, 110, 14,
          kFeedbackLabel.get(ja));
    return RunModalIndirect(owner, t.get());
  }

 protected:
  int TemplateJa() const override { return 0; }
  int TemplateEn() const override { return 0; }
  const TooltipTables* Tooltips() const override { return &kTips; }

  BOOL OnInit() override {
    // "(NULL)" stays when the version resource could not be read.
    if (g_versionValues.buildNumber != 0 || g_versionValues.versionString != L"TBLIFT") {
      SetItemText(IDC_ABOUT_VERSION, g_versionValues.versionString.c_str());
    }
    HWND addresses = Item(IDC_ABOUT_ADDRESSES);
    if (richEdit_) {
      SendMessageW(addresses, EM_AUTOURLDETECT, TRUE, 0);
      const LRESULT mask = SendMessageW(addresses, EM_GETEVENTMASK, 0, 0);
      SendMessageW(addresses, EM_SETEVENTMASK, 0, mask | ENM_LINK | ENM_SELCHANGE | ENM_MOUSEEVENTS);
      SendMessageW(addresses, EM_SETBKGNDCOLOR, 0, GetSysColor(COLOR_BTNFACE));
    }
    // "%s\r\n  %s\r\n%s\r\n  %s%s\r\n\r\n%s"
    const std::wstring text = std::wstring(L"[WebSite]\r\n  ") + block_.webSite + L"\r\n" +
                              kContactLabel.get(block_.japanese) + L"\r\n  " + block_.contact + L"\r\n\r\n" +
                              kMailNote.get(block_.japanese);
    SetWindowTextW(addresses, text.c_str());
    SetItemText(IDC_ABOUT_TEXT, block_.aboutText);
    SelectAllOnCtrlA(Item(IDC_ABOUT_TEXT));
    // Enter closes the box rather than opening the first button's page.
    SetFocus(Item(IDCANCEL));
    return FALSE;
  }

  bool OnCommand(int id, int code, HWND) override {
    if (code != BN_CLICKED) return false;
    switch (id) {
      case IDC_ABOUT_CONTRIBUTION:
        Open(block_.contribution, kCannotOpenText);
        return true;
      case IDC_ABOUT_FEEDBACK:
        Open(block_.feedback, kCannotOpenText);
        return true;
      case IDC_ABOUT_ENVIRONMENT:
        block_.environmentReport(hwnd());
        return true;
      case IDCANCEL:
      case IDOK:
        End(0);
        return true;
      default:
        return false;
    }
  }

  bool OnNotify(const NMHDR& header, LRESULT& result) override {
    if (header.idFrom != IDC_ABOUT_ADDRESSES || header.code != EN_LINK) return false;
    const auto& link = reinterpret_cast<const ENLINK&>(header);
    result = 0;
    if (link.msg != WM_LBUTTONDOWN || link.chrg.cpMax == -1 || link.chrg.cpMax - link.chrg.cpMin >= 2048) {
      return true;
    }
    CHARRANGE range = link.chrg;
    SendMessageW(header.hwndFrom, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
    wchar_t address[2049] = L"";
    SendMessageW(header.hwndFrom, EM_GETSELTEXT, 0, reinterpret_cast<LPARAM>(address));
    if (address[0] != L'\0') Open(address, kCannotOpenLinkText);
    return true;
  }

  bool OnMessage(UINT message, WPARAM w, LPARAM, INT_PTR& result) override {
    if (message != WM_TIMER || w != IDC_ABOUT_GUARD_TIMER) return false;
    KillTimer(hwnd(), IDC_ABOUT_GUARD_TIMER);
    EnableOpeners(true);
    result = TRUE;
    return true;
  }

 private:
  void EnableOpeners(bool enable) const {
    for (int id : {IDC_ABOUT_ENVIRONMENT, IDC_ABOUT_CONTRIBUTION, IDC_ABOUT_FEEDBACK}) EnableItem(id, enable);
  }

  // Opens an address in the browser; the three buttons that open something
  // rest for a second so that a double click opens one window. The browser
  // starts in the system folder, so that nothing of the program's folder is
  // locked; the previous current directory comes back.
  void Open(const wchar_t* address, const BiText& failure) {
    EnableOpeners(false);
    SetTimer(hwnd(), IDC_ABOUT_GUARD_TIMER, 1000, nullptr);
    wchar_t previous[MAX_PATH + 1] = L"", system[MAX_PATH + 1] = L"";
    const DWORD kept = GetCurrentDirectoryW(MAX_PATH + 1, previous);
    GetSystemDirectoryW(system, MAX_PATH + 1);
    SetCurrentDirectoryW(system);
    const auto result =
        reinterpret_cast<INT_PTR>(ShellExecuteW(hwnd(), L"open", address, nullptr, system, SW_SHOWNORMAL));
    if (kept > 0 && kept <= MAX_PATH) SetCurrentDirectoryW(previous);
    if (result > 32) return;
    const std::wstring text = Filled(failure.get(block_.japanese), address);
    ShowMessageBox(hwnd(), text.c_str(), block_.productName, MB_ICONERROR);
  }

  const AboutBlock& block_;
  const bool richEdit_;
};

}  // namespace

void ShowAboutBox(HWND owner) {
  const bool ja = g_japaneseUi;
  const std::wstring aboutText = g_versionValues.releaseKind != kReleaseKindRelease
                                     ? std::wstring(kDevelopmentNote.get(ja)) + kReleaseText.get(ja)
                                     : std::wstring(kReleaseText.get(ja));
  const AboutBlock block{ja,
                         IDI_PROGRAM,
                         kProductName,
                         kWebSiteAddress,
                         kContactAddress,
                         kContributionAddress,
                         aboutText.c_str(),
                         ShowEnvironmentReport,
                         kFeedbackAddress};
  // The rich edit shows the addresses as links; it lives only while the box is open.
  HMODULE richEdit = LoadSystemLibrary("RICHED20.DLL");
  AboutBox(block, richEdit != nullptr).Run(owner);
  if (richEdit) FreeLibrary(richEdit);
}

}  // namespace tblf
