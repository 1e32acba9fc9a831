#include "remote/property_report.h"

#include <utility>

#include "base/wide_format.h"

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

// "%p": upper-case hexadecimal, zero-padded to the pointer width.
std::wstring Pointer(std::uint64_t value, int pointerBits) {
  if (pointerBits < 64) value &= (std::uint64_t{1} << pointerBits) - 1;
  return FormatWide(L"%0*llX", pointerBits / 4, static_cast<unsigned long long>(value));
}

// The parenthesis line under a style line; nothing for style 0.
std::wstring DecodedLine(std::uint32_t style, std::initializer_list<StyleTable> tables) {
  if (style == 0) return std::wstring();
  return L"          (" + DecodeStyle(style, tables) + L")\r\n";
}

}  // namespace

const StyleTable kWindowStyleNames{kWindowStyles};
const StyleTable kExtendedStyleNames{kExtendedStyles};

StyleTable StyleNamesOfKind(ControlKind kind) {
  const KindDescriptor* row = FindKind(kind);
  return row ? row->styleNames : StyleTable{};
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
    text += FormatWide(L"%08X", static_cast<unsigned>(rest));
  }
  return text;
}

std::wstring BuildPropertyReport(ControlKind kind, const ControlFacts& facts, bool japanese, int pointerBits) {
  std::wstring report = kKindLabel.get(japanese);
  const KindDescriptor* row = FindKind(kind);
  if ((row && !row->IsControl()) || !facts.isWindow) return report + kNoControl.get(japanese);

  if (row) {
    report += row->label.get(japanese);
    report += L"\r\n";
  } else {
    report += kKindOther.get(japanese);
  }
  report += kClassLabel.get(japanese);
  if (row) report += row->classNames.front();
  report += L"\r\n";

  if (facts.caption) {
    report += kCaptionLabel.get(japanese);
    report += L"\"" + *facts.caption + L"\"\r\n";
  } else {
    report += kCaptionError.get(japanese);
  }

  report += FormatWide(kStyleLine.get(japanese), static_cast<unsigned>(facts.style));
  report += DecodedLine(facts.style, {kWindowStyleNames, StyleNamesOfKind(kind)});
  const BiText* warning = row && OwnerDrawn(*row, facts.style) ? row->ownerDrawWarning : nullptr;

  report += FormatWide(kExStyleLine.get(japanese), static_cast<unsigned>(facts.exStyle));
  report += DecodedLine(facts.exStyle, {kExtendedStyleNames});

  const std::pair<const BiText*, std::uint64_t> pointers[] = {
      {&kProcedureLabel, facts.procedure}, {&kInstanceLabel, facts.instance}, {&kHandleLabel, facts.handle},
      {&kParentLabel, facts.parent},       {&kControlIdLabel, facts.controlId}, {&kUserDataLabel, facts.userData},
  };
  for (const auto& [label, value] : pointers) report += label->get(japanese) + Pointer(value, pointerBits) + L"\r\n";

  const WindowRect& s = facts.screen;
  const WindowRect& c = facts.client;
  report += FormatWide(kScreenLine.get(japanese), s.left, s.top, s.right, s.bottom);
  report += FormatWide(kClientLine.get(japanese), c.left, c.top, c.right, c.bottom);

  if (warning) report += warning->get(japanese);

  report += FormatWide(kProcessLine.get(japanese), static_cast<unsigned>(facts.processId));
  report += facts.processOpened ? FormatWide(L" (%dbit)\r\n", pointerBits) : std::wstring(kProcessNotOpened.get(japanese));
  return report;
}

std::wstring PropertyDialogTitle(WindowId handle, bool japanese, int pointerBits) {
  return FormatWide(kTitle.get(japanese), Pointer(handle, pointerBits).c_str()).substr(0, 72);
}

}  // namespace tblf
