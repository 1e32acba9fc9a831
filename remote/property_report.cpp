#include "remote/property_report.h"

#include <cstdarg>
#include <cwchar>
#include <utility>

namespace tblf {

namespace {

const StyleName kWindowStyles[] = {
    {L"WS_POPUP", 0x80000000},      {L"WS_CHILD", 0x40000000},     {L"WS_MINIMIZE", 0x20000000},
    {L"WS_VISIBLE", 0x10000000},    {L"WS_DISABLED", 0x08000000},  {L"WS_CLIPSIBLINGS", 0x04000000},
    {L"WS_CLIPCHILDREN", 0x02000000}, {L"WS_MAXIMIZE", 0x01000000}, {L"WS_BORDER", 0x00800000},
    {L"WS_DLGFRAME", 0x00400000},   {L"WS_VSCROLL", 0x00200000},   {L"WS_HSCROLL", 0x00100000},
    {L"WS_SYSMENU", 0x00080000},    {L"WS_THICKFRAME", 0x00040000}, {L"WS_GROUP", 0x00020000},
    {L"WS_TABSTOP", 0x00010000},
};

// LVS_LIST (3) comes before LVS_REPORT (1) and LVS_SMALLICON (2), so a list
// mode list view is named once.
const StyleName kListViewStyles[] = {
    {L"LVS_LIST", 0x3},           {L"LVS_REPORT", 0x1},          {L"LVS_SMALLICON", 0x2},
    {L"LVS_SINGLESEL", 0x4},      {L"LVS_SHOWSELALWAYS", 0x8},   {L"LVS_SORTASCENDING", 0x10},
    {L"LVS_SORTDESCENDING", 0x20}, {L"LVS_SHAREIMAGELISTS", 0x40}, {L"LVS_NOLABELWRAP", 0x80},
    {L"LVS_AUTOARRANGE", 0x100},  {L"LVS_EDITLABELS", 0x200},    {L"LVS_OWNERDATA", 0x1000},
    {L"LVS_NOSCROLL", 0x2000},    {L"LVS_ALIGNLEFT", 0x800},     {L"LVS_OWNERDRAWFIXED", 0x400},
    {L"LVS_NOCOLUMNHEADER", 0x4000}, {L"LVS_NOSORTHEADER", 0x8000},
};

const StyleName kTreeViewStyles[] = {
    {L"TVS_HASBUTTONS", 0x1},       {L"TVS_HASLINES", 0x2},       {L"TVS_LINESATROOT", 0x4},
    {L"TVS_EDITLABELS", 0x8},       {L"TVS_DISABLEDRAGDROP", 0x10}, {L"TVS_SHOWSELALWAYS", 0x20},
    {L"TVS_RTLREADING", 0x40},      {L"TVS_NOTOOLTIPS", 0x80},    {L"TVS_CHECKBOXES", 0x100},
    {L"TVS_TRACKSELECT", 0x200},    {L"TVS_SINGLEEXPAND", 0x400}, {L"TVS_INFOTIP", 0x800},
    {L"TVS_FULLROWSELECT", 0x1000}, {L"TVS_NOSCROLL", 0x2000},    {L"TVS_NONEVENHEIGHT", 0x4000},
    {L"TVS_NOHSCROLL", 0x8000},
};

const StyleName kListBoxStyles[] = {
    {L"LBS_NOTIFY", 0x1},            {L"LBS_SORT", 0x2},              {L"LBS_NOREDRAW", 0x4},
    {L"LBS_MULTIPLESEL", 0x8},       {L"LBS_OWNERDRAWFIXED", 0x10},   {L"LBS_OWNERDRAWVARIABLE", 0x20},
    {L"LBS_HASSTRINGS", 0x40},       {L"LBS_USETABSTOPS", 0x80},      {L"LBS_NOINTEGRALHEIGHT", 0x100},
    {L"LBS_MULTICOLUMN", 0x200},     {L"LBS_WANTKEYBOARDINPUT", 0x400}, {L"LBS_EXTENDEDSEL", 0x800},
    {L"LBS_DISABLENOSCROLL", 0x1000}, {L"LBS_NODATA", 0x2000},        {L"LBS_NOSEL", 0x4000},
    {L"LBS_COMBOBOX", 0x8000},
};

// CBS_DROPDOWNLIST (3) comes after CBS_SIMPLE (1) and CBS_DROPDOWN (2): a
// drop-down list is shown as the two names.
const StyleName kComboBoxStyles[] = {
    {L"CBS_SIMPLE", 0x1},          {L"CBS_DROPDOWN", 0x2},          {L"CBS_DROPDOWNLIST", 0x3},
    {L"CBS_OWNERDRAWFIXED", 0x10}, {L"CBS_OWNERDRAWVARIABLE", 0x20}, {L"CBS_AUTOHSCROLL", 0x40},
    {L"CBS_OEMCONVERT", 0x80},     {L"CBS_SORT", 0x100},            {L"CBS_HASSTRINGS", 0x200},
    {L"CBS_NOINTEGRALHEIGHT", 0x400}, {L"CBS_DISABLENOSCROLL", 0x800}, {L"CBS_UPPERCASE", 0x2000},
    {L"CBS_LOWERCASE", 0x4000},
};

const StyleName kExtendedStyles[] = {
    {L"WS_EX_DLGMODALFRAME", 0x1},      {L"WS_EX_NOPARENTNOTIFY", 0x4},   {L"WS_EX_TOPMOST", 0x8},
    {L"WS_EX_ACCEPTFILES", 0x10},       {L"WS_EX_TRANSPARENT", 0x20},     {L"WS_EX_MDICHILD", 0x40},
    {L"WS_EX_TOOLWINDOW", 0x80},        {L"WS_EX_WINDOWEDGE", 0x100},     {L"WS_EX_CLIENTEDGE", 0x200},
    {L"WS_EX_CONTEXTHELP", 0x400},      {L"WS_EX_RIGHT", 0x1000},         {L"WS_EX_RTLREADING", 0x2000},
    {L"WS_EX_LEFTSCROLLBAR", 0x4000},   {L"WS_EX_CONTROLPARENT", 0x10000}, {L"WS_EX_STATICEDGE", 0x20000},
    {L"WS_EX_APPWINDOW", 0x40000},      {L"WS_EX_LAYERED", 0x80000},      {L"WS_EX_NOINHERITLAYOUT", 0x100000},
    {L"WS_EX_LAYOUTRTL", 0x400000},     {L"WS_EX_COMPOSITED", 0x2000000}, {L"WS_EX_NOACTIVATE", 0x8000000},
};

const BiText kKindLabel{L"種別　　　　　　：", L"Control         : "};
const BiText kKindListView{L"リストビュー コントロール\r\n", L"ListView\r\n"};
const BiText kKindTreeView{L"ツリービュー コントロール\r\n", L"TreeView\r\n"};
const BiText kKindComboBox{L"コンボボックス\r\n", L"Combobox\r\n"};
const BiText kKindListBox{L"リストボックス\r\n", L"Listbox\r\n"};
const BiText kKindOther{L"不明*\r\n", L"Unknown*\r\n"};
const BiText kNoControl{L"不明\r\n", L"Unknown\r\n"};
const BiText kClassLabel{L"クラス名　　　　：", L"Class name      : "};
const BiText kCaptionLabel{L"キャプション　　：", L"Caption         : "};
const BiText kCaptionError{L"キャプション　　：取得不可（応答なし）\r\n", L"Caption         : [error]\r\n"};
const BiText kStyleLine{L"スタイル　　　　：%08X\r\n", L"Style           : %08X\r\n"};
const BiText kExStyleLine{L"拡張スタイル　　：%08X\r\n", L"Extended Style  : %08X\r\n"};
const BiText kProcedureLabel{L"プロシージャ　　：", L"Procedure       : "};
const BiText kInstanceLabel{L"インスタンス　　：", L"Instance        : "};
const BiText kHandleLabel{L"ハンドル　　　　：", L"Window Handle   : "};
const BiText kParentLabel{L"親ウィンドウ　　：", L"Parent Window   : "};
const BiText kControlIdLabel{L"コントロールID　：", L"Control ID      : "};
const BiText kUserDataLabel{L"ユーザデータ　　：", L"UserData        : "};
const BiText kScreenLine{L"スクリーン座標　：(%ld,%ld)-(%ld,%ld)\r\n", L"Position(Screen): (%ld,%ld)-(%ld,%ld)\r\n"};
const BiText kClientLine{L"クライアント座標：(%ld,%ld)-(%ld,%ld)\r\n", L"Position(Client): (%ld,%ld)-(%ld,%ld)\r\n"};
const BiText kProcessLine{L"\r\nプロセスID  　　：%08X", L"\r\nProcess ID      : %08X"};
const BiText kProcessNotOpened{L"\r\nプロセス情報の取得に失敗しました。\r\n", L"\r\nCannot Open the Process ID.\r\n"};
const BiText kTitle{L"ウィンドウハンドル %ls - プロパティ", L"Window Handle : %ls - Property"};

const BiText kListViewWarning{
    L"\r\nオーナードローまたはオーナーデータのスタイルを持つため、文字列を正しく取得できない可能性があります。\r\n",
    L"\r\nListView Control with LVS_OWNERDRAWFIXED/LVS_OWNERDATA gives incorrect string.\r\n"};
const BiText kComboBoxWarning{
    L"\r\nオーナードローのスタイルを持ち、CBS_HASSTRINGSスタイルを持たないため、文字列を正しく取得できない可能性があります。\r\n",
    L"\r\nOwner-drawn Combobox without CBS_HASSTRINGS gives incorrect string.\r\n"};
const BiText kListBoxWarning{
    L"\r\nオーナードローのスタイルを持ち、LBS_HASSTRINGSスタイルを持たないため、文字列を正しく取得できない可能性があります。\r\n",
    L"\r\nOwner-drawn Listbox without LBS_HASSTRINGS gives incorrect string.\r\n"};

constexpr std::uint32_t kListViewOwnerBits = 0x1400;  // LVS_OWNERDRAWFIXED | LVS_OWNERDATA
constexpr std::uint32_t kOwnerDrawBits = 0x0030;      // *_OWNERDRAWFIXED | *_OWNERDRAWVARIABLE
constexpr std::uint32_t kCbsHasStrings = 0x0200;
constexpr std::uint32_t kLbsHasStrings = 0x0040;

std::wstring Format(const wchar_t* format, ...) {
  wchar_t buffer[256];
  va_list args;
  va_start(args, format);
  const int n = std::vswprintf(buffer, 256, format, args);
  va_end(args);
  return n < 0 ? std::wstring() : std::wstring(buffer, static_cast<std::size_t>(n));
}

// "%p": upper-case hexadecimal, zero-padded to the pointer width.
std::wstring Pointer(std::uint64_t value, int pointerBits) {
  if (pointerBits < 64) value &= (std::uint64_t{1} << pointerBits) - 1;
  return Format(L"%0*llX", pointerBits / 4, static_cast<unsigned long long>(value));
}

const BiText* KindLine(ControlKind kind) {
  switch (kind) {
    case ControlKind::ListView: return &kKindListView;
    case ControlKind::TreeView: return &kKindTreeView;
    case ControlKind::ComboBox: return &kKindComboBox;
    case ControlKind::ListBox: return &kKindListBox;
    default: return &kKindOther;
  }
}

const BiText* OwnerDrawWarning(ControlKind kind, std::uint32_t style) {
  switch (kind) {
    case ControlKind::ListView: return (style & kListViewOwnerBits) ? &kListViewWarning : nullptr;
    case ControlKind::ComboBox:
      return ((style & kOwnerDrawBits) && !(style & kCbsHasStrings)) ? &kComboBoxWarning : nullptr;
    case ControlKind::ListBox:
      return ((style & kOwnerDrawBits) && !(style & kLbsHasStrings)) ? &kListBoxWarning : nullptr;
    default: return nullptr;
  }
}

// The parenthesis line under a style line; nothing for style 0.
std::wstring DecodedLine(std::uint32_t style, std::initializer_list<StyleTable> tables) {
  if (style == 0) return std::wstring();
  return L"          (" + DecodeStyle(style, tables) + L")\r\n";
}

}  // namespace

const StyleTable kWindowStyleNames{kWindowStyles};
const StyleTable kListViewStyleNames{kListViewStyles};
const StyleTable kTreeViewStyleNames{kTreeViewStyles};
const StyleTable kListBoxStyleNames{kListBoxStyles};
const StyleTable kComboBoxStyleNames{kComboBoxStyles};
const StyleTable kExtendedStyleNames{kExtendedStyles};

StyleTable StyleNamesOfKind(ControlKind kind) {
  switch (kind) {
    case ControlKind::ListView: return kListViewStyleNames;
    case ControlKind::TreeView: return kTreeViewStyleNames;
    case ControlKind::ComboBox: return kComboBoxStyleNames;
    case ControlKind::ListBox: return kListBoxStyleNames;
    default: return {};
  }
}

const wchar_t* ClassNameOfKind(ControlKind kind) {
  switch (kind) {
    case ControlKind::ListView: return L"SysListView32";
    case ControlKind::TreeView: return L"SysTreeView32";
    case ControlKind::ComboBox: return L"ComboBox";
    case ControlKind::ListBox: return L"ListBox";
    default: return L"";
  }
}

std::wstring DecodeStyle(std::uint32_t style, std::initializer_list<StyleTable> tables) {
  std::wstring text;
  std::uint32_t rest = style;
  for (const StyleTable& table : tables) {
    for (const StyleName& entry : table) {
      if ((rest & entry.value) != entry.value) continue;
      if (!text.empty()) text += L" | ";
      text += entry.name;
      rest &= ~entry.value;
    }
  }
  if (rest != 0) {
    if (!text.empty()) text += L" | ";
    text += Format(L"%08X", static_cast<unsigned>(rest));
  }
  return text;
}

std::wstring BuildPropertyReport(ControlKind kind, const ControlFacts& facts, bool japanese, int pointerBits) {
  std::wstring report = kKindLabel.get(japanese);
  if (kind == ControlKind::FileList || !facts.isWindow) return report + kNoControl.get(japanese);

  report += KindLine(kind)->get(japanese);
  report += kClassLabel.get(japanese);
  report += ClassNameOfKind(kind);
  report += L"\r\n";

  if (facts.caption) {
    report += kCaptionLabel.get(japanese);
    report += L"\"" + *facts.caption + L"\"\r\n";
  } else {
    report += kCaptionError.get(japanese);
  }

  report += Format(kStyleLine.get(japanese), static_cast<unsigned>(facts.style));
  report += DecodedLine(facts.style, {kWindowStyleNames, StyleNamesOfKind(kind)});
  const BiText* warning = OwnerDrawWarning(kind, facts.style);

  report += Format(kExStyleLine.get(japanese), static_cast<unsigned>(facts.exStyle));
  report += DecodedLine(facts.exStyle, {kExtendedStyleNames});

  const std::pair<const BiText*, std::uint64_t> pointers[] = {
      {&kProcedureLabel, facts.procedure}, {&kInstanceLabel, facts.instance}, {&kHandleLabel, facts.handle},
      {&kParentLabel, facts.parent},       {&kControlIdLabel, facts.controlId}, {&kUserDataLabel, facts.userData},
  };
  for (const auto& [label, value] : pointers) report += label->get(japanese) + Pointer(value, pointerBits) + L"\r\n";

  const WindowRect& s = facts.screen;
  const WindowRect& c = facts.client;
  report += Format(kScreenLine.get(japanese), s.left, s.top, s.right, s.bottom);
  report += Format(kClientLine.get(japanese), c.left, c.top, c.right, c.bottom);

  if (warning) report += warning->get(japanese);

  report += Format(kProcessLine.get(japanese), static_cast<unsigned>(facts.processId));
  report += facts.processOpened ? Format(L" (%dbit)\r\n", pointerBits) : std::wstring(kProcessNotOpened.get(japanese));
  return report;
}

std::wstring PropertyDialogTitle(WindowId handle, bool japanese, int pointerBits) {
  return Format(kTitle.get(japanese), Pointer(handle, pointerBits).c_str()).substr(0, 72);
}

}  // namespace tblf
