#include "remote/control_kinds.h"

#include "resources/resource.h"

namespace tblf {

const BiText kListViewOwnerDrawNote{
    L"オーナードローまたはオーナーデータスタイルを持っているため、正しく文字列を取得できないかもしれません。",
    L"ListView Control with LVS_OWNERDRAWFIXED/LVS_OWNERDATA gives incorrect string."};
const BiText kListBoxOwnerDrawNote{
    L"オーナードロースタイルを持ち、LBS_HASSTRINGSスタイルを持たないため、正しく文字列を取得できないかもしれません。",
    L"Owner-drawn Listbox without LBS_HASSTRINGS gives incorrect string."};
const BiText kComboBoxOwnerDrawNote{
    L"オーナードロースタイルを持ち、CBS_HASSTRINGSスタイルを持たないため、正しく文字列を取得できないかもしれません。",
    L"Owner-drawn Combobox without CBS_HASSTRINGS gives incorrect string."};

namespace {

const BiText kListViewWarning{
    L"\r\nオーナードローまたはオーナーデータのスタイルを持つため、文字列を正しく取得できない可能性があります。\r\n",
    L"\r\nListView Control with LVS_OWNERDRAWFIXED/LVS_OWNERDATA gives incorrect string.\r\n"};
const BiText kComboBoxWarning{
    L"\r\nオーナードローのスタイルを持ち、CBS_HASSTRINGSスタイルを持たないため、文字列を正しく取得できない可能性があります。\r\n",
    L"\r\nOwner-drawn Combobox without CBS_HASSTRINGS gives incorrect string.\r\n"};
const BiText kListBoxWarning{
    L"\r\nオーナードローのスタイルを持ち、LBS_HASSTRINGSスタイルを持たないため、文字列を正しく取得できない可能性があります。\r\n",
    L"\r\nOwner-drawn Listbox without LBS_HASSTRINGS gives incorrect string.\r\n"};

// LVS_LIST (3) comes before LVS_REPORT (1) and LVS_SMALLICON (2), so a list
// mode list view is named once.
constexpr StyleName kListViewStyles[] = {
    {L"LVS_LIST", 0x3},           {L"LVS_REPORT", 0x1},          {L"LVS_SMALLICON", 0x2},
    {L"LVS_SINGLESEL", 0x4},      {L"LVS_SHOWSELALWAYS", 0x8},   {L"LVS_SORTASCENDING", 0x10},
    {L"LVS_SORTDESCENDING", 0x20}, {L"LVS_SHAREIMAGELISTS", 0x40}, {L"LVS_NOLABELWRAP", 0x80},
    {L"LVS_AUTOARRANGE", 0x100},  {L"LVS_EDITLABELS", 0x200},    {L"LVS_OWNERDATA", 0x1000},
    {L"LVS_NOSCROLL", 0x2000},    {L"LVS_ALIGNLEFT", 0x800},     {L"LVS_OWNERDRAWFIXED", 0x400},
    {L"LVS_NOCOLUMNHEADER", 0x4000}, {L"LVS_NOSORTHEADER", 0x8000},
};

constexpr StyleName kTreeViewStyles[] = {
    {L"TVS_HASBUTTONS", 0x1},       {L"TVS_HASLINES", 0x2},       {L"TVS_LINESATROOT", 0x4},
    {L"TVS_EDITLABELS", 0x8},       {L"TVS_DISABLEDRAGDROP", 0x10}, {L"TVS_SHOWSELALWAYS", 0x20},
    {L"TVS_RTLREADING", 0x40},      {L"TVS_NOTOOLTIPS", 0x80},    {L"TVS_CHECKBOXES", 0x100},
    {L"TVS_TRACKSELECT", 0x200},    {L"TVS_SINGLEEXPAND", 0x400}, {L"TVS_INFOTIP", 0x800},
    {L"TVS_FULLROWSELECT", 0x1000}, {L"TVS_NOSCROLL", 0x2000},    {L"TVS_NONEVENHEIGHT", 0x4000},
    {L"TVS_NOHSCROLL", 0x8000},
};

constexpr StyleName kListBoxStyles[] = {
    {L"LBS_NOTIFY", 0x1},            {L"LBS_SORT", 0x2},              {L"LBS_NOREDRAW", 0x4},
    {L"LBS_MULTIPLESEL", 0x8},       {L"LBS_OWNERDRAWFIXED", 0x10},   {L"LBS_OWNERDRAWVARIABLE", 0x20},
    {L"LBS_HASSTRINGS", 0x40},       {L"LBS_USETABSTOPS", 0x80},      {L"LBS_NOINTEGRALHEIGHT", 0x100},
    {L"LBS_MULTICOLUMN", 0x200},     {L"LBS_WANTKEYBOARDINPUT", 0x400}, {L"LBS_EXTENDEDSEL", 0x800},
    {L"LBS_DISABLENOSCROLL", 0x1000}, {L"LBS_NODATA", 0x2000},        {L"LBS_NOSEL", 0x4000},
    {L"LBS_COMBOBOX", 0x8000},
};

// CBS_DROPDOWNLIST (3) comes after CBS_SIMPLE (1) and CBS_DROPDOWN (2): a
// drop-down list is shown as the two names.
constexpr StyleName kComboBoxStyles[] = {
    {L"CBS_SIMPLE", 0x1},          {L"CBS_DROPDOWN", 0x2},          {L"CBS_DROPDOWNLIST", 0x3},
    {L"CBS_OWNERDRAWFIXED", 0x10}, {L"CBS_OWNERDRAWVARIABLE", 0x20}, {L"CBS_AUTOHSCROLL", 0x40},
    {L"CBS_OEMCONVERT", 0x80},     {L"CBS_SORT", 0x100},            {L"CBS_HASSTRINGS", 0x200},
    {L"CBS_NOINTEGRALHEIGHT", 0x400}, {L"CBS_DISABLENOSCROLL", 0x800}, {L"CBS_UPPERCASE", 0x2000},
    {L"CBS_LOWERCASE", 0x4000},
};

constexpr const wchar_t* kListViewClasses[] = {L"SysListView32"};
constexpr const wchar_t* kTreeViewClasses[] = {L"SysTreeView32"};
constexpr const wchar_t* kListBoxClasses[] = {L"ListBox"};
constexpr const wchar_t* kComboBoxClasses[] = {L"ComboBox"};
constexpr const wchar_t* kEditClasses[] = {L"Edit", L"RichEdit20W", L"RICHEDIT50W", L"RichEdit20A", L"RichEdit"};
constexpr const wchar_t* kStaticClasses[] = {L"Static"};
constexpr const wchar_t* kStatusBarClasses[] = {L"msctls_statusbar32"};
constexpr const wchar_t* kTabClasses[] = {L"SysTabControl32"};

// Count messages: LVM_GETITEMCOUNT, TVM_GETCOUNT, LB_GETCOUNT, CB_GETCOUNT.
constexpr unsigned kLvmGetItemCount = 0x1004;
constexpr unsigned kTvmGetCount = 0x1105;
constexpr unsigned kLbGetCount = 0x018B;
constexpr unsigned kCbGetCount = 0x0146;
constexpr std::uint32_t kOwnerDrawBits = 0x0030;  // *_OWNERDRAWFIXED | *_OWNERDRAWVARIABLE

constexpr KindDescriptor kKinds[] = {
    {ControlKind::ListView, kListViewClasses, {L"リストビュー コントロール", L"ListView"}, L"(ListView)", L"listview",
     IDI_LISTVIEW, 0xCC6600, KindOptions::RowColumn, RowShape::Table, nullptr, kLvmGetItemCount, true, true,
     kListViewStyles, 0x1400 /* LVS_OWNERDRAWFIXED | LVS_OWNERDATA */, 0, &kListViewOwnerDrawNote,
     &kListViewWarning, nullptr, false},
    {ControlKind::TreeView, kTreeViewClasses, {L"ツリービュー コントロール", L"TreeView"}, L"(TreeView)", L"treeview",
     IDI_TREEVIEW, 0x339900, KindOptions::Tree, RowShape::Tree, nullptr, kTvmGetCount, false, false, kTreeViewStyles,
     0, 0, nullptr, nullptr, nullptr, false},
    {ControlKind::ListBox, kListBoxClasses, {L"リストボックス", L"Listbox"}, L"(ListBox)", L"listbox", IDI_LISTBOX,
     0xCC3399, KindOptions::None, RowShape::Items, &ControlReader::GetListBoxItemText, kLbGetCount, false, false,
     kListBoxStyles, kOwnerDrawBits, 0x0040 /* LBS_HASSTRINGS */, &kListBoxOwnerDrawNote, &kListBoxWarning, nullptr, false},
    {ControlKind::ComboBox, kComboBoxClasses, {L"コンボボックス", L"Combobox"}, L"(ComboBox)", L"combobox",
     IDI_COMBOBOX, 0x0099CC, KindOptions::None, RowShape::Items, &ControlReader::GetComboBoxItemText, kCbGetCount,
     false, false, kComboBoxStyles, kOwnerDrawBits, 0x0200 /* CBS_HASSTRINGS */, &kComboBoxOwnerDrawNote,
     &kComboBoxWarning, nullptr, false},
    {ControlKind::FileList, {}, {L"ファイル一覧", L"File List"}, L"", nullptr, IDI_FILELIST, 0x808080,
     KindOptions::FileList, RowShape::Files, nullptr, 0, false, false, {}, 0, 0, nullptr, nullptr, nullptr, false},
    {ControlKind::Edit, kEditClasses, {L"エディット コントロール", L"Edit"}, L"(Edit)", L"edit", IDI_EDIT, 0x996633,
     KindOptions::None, RowShape::Lines, nullptr, 0, false, false, {}, 0, 0, nullptr, nullptr,
     &ControlReader::GetEditLines, true},
    {ControlKind::Static, kStaticClasses, {L"スタティック コントロール", L"Static"}, L"(Static)", L"static",
     IDI_STATIC, 0x669999, KindOptions::None, RowShape::Lines, nullptr, 0, false, false, {}, 0, 0, nullptr, nullptr,
     &ControlReader::GetStaticText, true},
    {ControlKind::StatusBar, kStatusBarClasses, {L"ステータスバー", L"StatusBar"}, L"(StatusBar)", L"statusbar",
     IDI_STATUSBAR, 0x336699, KindOptions::None, RowShape::Lines, nullptr, 0, false, false, {}, 0, 0, nullptr,
     nullptr, &ControlReader::GetStatusBarParts, true},
    {ControlKind::Tab, kTabClasses, {L"タブ コントロール", L"Tab"}, L"(Tab)", L"tab", IDI_TAB, 0x993366,
     KindOptions::None, RowShape::Lines, nullptr, 0, false, false, {}, 0, 0, nullptr, nullptr,
     &ControlReader::GetTabLabels, true},
};

}  // namespace

std::span<const KindDescriptor> ControlKinds() { return kKinds; }

const KindDescriptor* FindKind(ControlKind kind) {
  for (const KindDescriptor& k : kKinds) {
    if (k.kind == kind) return &k;
  }
  return nullptr;
}

const KindDescriptor* FindKindOfClass(const std::wstring& fullName) {
  // Classes registered under an activation context may carry their version
  // ("6.0.2600.2982!SysListView32", as Wine reports comctl32 v6 classes).
  const size_t bang = fullName.rfind(L'!');
  const std::wstring className = bang == std::wstring::npos ? fullName : fullName.substr(bang + 1);
  for (const KindDescriptor& k : kKinds) {
    for (const wchar_t* name : k.classNames) {
      if (className == name) return &k;
    }
  }
  return nullptr;
}

const KindDescriptor* FindKindOfWord(const std::wstring& word) {
  for (const KindDescriptor& k : kKinds) {
    if (k.cliWord && word == k.cliWord) return &k;
  }
  return nullptr;
}

std::wstring KindWords(const wchar_t* separator, const wchar_t* last) {
  std::wstring words;
  std::size_t count = 0;
  for (const KindDescriptor& k : kKinds) count += k.cliWord != nullptr;
  std::size_t written = 0;
  for (const KindDescriptor& k : kKinds) {
    if (!k.cliWord) continue;
    if (written > 0) words += written + 1 == count ? last : separator;
    words += k.cliWord;
    ++written;
  }
  return words;
}

bool OwnerDrawn(const KindDescriptor& kind, std::uint32_t style) {
  return (style & kind.ownerDrawBits) != 0 && (style & kind.hasStringsBit) == 0;
}

}  // namespace tblf
