#include "base/dialog_win.h"

#include <commctrl.h>

#include <cstring>
#include <vector>

#include "resources/resource.h"
#include "base/text.h"

namespace tblf {
namespace {

// Words past a menu or class field of an extended template (none, an
// ordinal, or a string).
size_t FieldWords(const WORD* p) {
  if (p[0] == 0) return 1;
  if (p[0] == 0xFFFF) return 2;
  return wcslen(reinterpret_cast<const wchar_t*>(p)) + 1;
}

// The dialog template `id`. The system creates a template's font in the
// default character set (Wine does, whatever the template says), so where
// the Japanese face is missing the text would show as boxes: when the face
// that the template's character set picks differs from the named one, the
// template is copied into `copy` with that face instead.
const DLGTEMPLATE* LoadDialogTemplate(int id, std::vector<BYTE>& copy) {
  HMODULE module = GetModuleHandleW(nullptr);
  HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), RT_DIALOG);
  const auto* base = found ? static_cast<const BYTE*>(LockResource(LoadResource(module, found))) : nullptr;
  if (!base) return nullptr;
  const auto* words = reinterpret_cast<const WORD*>(base);
  const DWORD style = *reinterpret_cast<const DWORD*>(base + 12);
  if (words[0] != 1 || words[1] != 0xFFFF || !(style & DS_SETFONT)) return reinterpret_cast<const DLGTEMPLATE*>(base);
  const WORD* p = words + 13;  // the menu, after the fixed part of DLGTEMPLATEEX
  p += FieldWords(p);
  p += FieldWords(p);
  p += wcslen(reinterpret_cast<const wchar_t*>(p)) + 1;  // the title
  if (p[0] == 0x7FFF) return reinterpret_cast<const DLGTEMPLATE*>(base);
  const BYTE charset = HIBYTE(p[2]);
  const auto* face = reinterpret_cast<const wchar_t*>(p + 3);
  if (charset == DEFAULT_CHARSET || charset == ANSI_CHARSET) return reinterpret_cast<const DLGTEMPLATE*>(base);

  wchar_t chosen[LF_FACESIZE] = L"";
  HDC screen = GetDC(nullptr);
  HFONT probe = CreateFontW(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, charset, OUT_DEFAULT_PRECIS,
                            CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, face);
  HGDIOBJ old = SelectObject(screen, probe);
  GetTextFaceW(screen, LF_FACESIZE, chosen);
  SelectObject(screen, old);
  DeleteObject(probe);
  ReleaseDC(nullptr, screen);
  if (!chosen[0] || lstrcmpiW(chosen, face) == 0) return reinterpret_cast<const DLGTEMPLATE*>(base);

  // Items start on a DWORD boundary; the copy keeps them on one.
  const size_t faceAt = reinterpret_cast<const BYTE*>(face) - base;
  const size_t oldEnd = faceAt + (wcslen(face) + 1) * sizeof(wchar_t);
  const size_t itemsAt = (oldEnd + 3) & ~size_t{3};
  const size_t size = SizeofResource(module, found);
  copy.assign(base, base + faceAt);
  const auto* chosenBytes = reinterpret_cast<const BYTE*>(chosen);
  copy.insert(copy.end(), chosenBytes, chosenBytes + (wcslen(chosen) + 1) * sizeof(wchar_t));
  copy.resize((copy.size() + 3) & ~size_t{3}, 0);
  if (itemsAt < size) copy.insert(copy.end(), base + itemsAt, base + size);
  return reinterpret_cast<const DLGTEMPLATE*>(copy.data());
}

}  // namespace

std::span<const TooltipEntry> TooltipTables::get() const { return g_japaneseUi ? ja : en; }

void AttachTooltips(HWND dialog, std::span<const TooltipEntry> table) {
  if (table.empty()) return;
  HWND tips = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                              CW_USEDEFAULT, CW_USEDEFAULT, dialog, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (!tips) return;
  RECT client{};
  GetClientRect(dialog, &client);
  SendMessageW(tips, TTM_SETMAXTIPWIDTH, 0, (client.right - client.left) * 5 / 4);
  for (const TooltipEntry& entry : table) {
    HWND control = GetDlgItem(dialog, entry.id);
    if (!control) continue;
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = dialog;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = const_cast<wchar_t*>(entry.text);
    SendMessageW(tips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  }
}

namespace {

Box ToBox(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

}  // namespace

void DialogLayout::Build(HWND dialog, std::span<const LayoutEntry> table) {
  dialog_ = dialog;
  records_.clear();
  RECT client{}, window{};
  GetClientRect(dialog, &client);
  GetWindowRect(dialog, &window);
  minWidth_ = window.right - window.left;
  minHeight_ = window.bottom - window.top;
  for (const LayoutEntry& entry : table) {
    HWND control = GetDlgItem(dialog, entry.id);
    if (!control) continue;  // a control this template lacks
    RECT r{};
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    records_.push_back({control, MakeAnchorRecord(entry.anchor, ToBox(client), ToBox(r))});
  }
}

void DialogLayout::Apply(bool repaint) const {
  if (!dialog_) return;
  RECT client{};
  GetClientRect(dialog_, &client);
  for (const Record& record : records_) {
    const std::optional<Placement> p = PlaceControl(record.anchor, ToBox(client));
    if (!p) continue;
    UINT flags = SWP_NOZORDER;
    if (!p->move) flags |= SWP_NOMOVE;
    if (!p->size) flags |= SWP_NOSIZE;
    SetWindowPos(record.control, nullptr, p->x, p->y, p->width, p->height, flags);
  }
  if (repaint) InvalidateRect(dialog_, nullptr, TRUE);
}

void DialogLayout::TrackingSizes(MINMAXINFO& info) const {
  info.ptMinTrackSize = {minWidth_, minHeight_};
  if (maxWidth_ >= 0 && maxHeight_ >= 0) info.ptMaxTrackSize = {maxWidth_, maxHeight_};
}

std::wstring Dialog::ItemText(int id) const {
  HWND item = Item(id);
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(item)) + 1, L'\0');
  text.resize(GetWindowTextW(item, text.data(), static_cast<int>(text.size())));
  return text;
}

void Dialog::AddComboText(int id, const wchar_t* text) const {
  SendDlgItemMessageW(hwnd_, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
}

INT_PTR Dialog::RunModal(HWND owner) {
  modal_ = true;
  std::vector<BYTE> copy;
  return DialogBoxIndirectParamW(GetModuleHandleW(nullptr),
                                 LoadDialogTemplate(g_japaneseUi ? TemplateJa() : TemplateEn(), copy), owner,
                                 Procedure, reinterpret_cast<LPARAM>(this));
}

INT_PTR Dialog::RunModalIndirect(HWND owner, const DLGTEMPLATE* dialogTemplate) {
  modal_ = true;
  return DialogBoxIndirectParamW(GetModuleHandleW(nullptr), dialogTemplate, owner, Procedure,
                                 reinterpret_cast<LPARAM>(this));
}

HWND Dialog::CreateModeless(HWND parent) {
  modal_ = false;
  std::vector<BYTE> copy;
  return CreateDialogIndirectParamW(GetModuleHandleW(nullptr),
                                    LoadDialogTemplate(g_japaneseUi ? TemplateJa() : TemplateEn(), copy), parent,
                                    Procedure, reinterpret_cast<LPARAM>(this));
}

void Dialog::End(INT_PTR result) {
  if (modal_) {
    EndDialog(hwnd_, result);
  } else {
    DestroyWindow(hwnd_);
  }
}

INT_PTR CALLBACK Dialog::Procedure(HWND window, UINT message, WPARAM w, LPARAM l) {
  Dialog* self = nullptr;
  if (message == WM_INITDIALOG) {
    self = reinterpret_cast<Dialog*>(l);
    self->hwnd_ = window;
    SetWindowLongPtrW(window, DWLP_USER, l);
  } else {
    self = reinterpret_cast<Dialog*>(GetWindowLongPtrW(window, DWLP_USER));
  }
  if (!self) return FALSE;
  const INT_PTR result = self->Dispatch(message, w, l);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(window, DWLP_USER, 0);
    self->hwnd_ = nullptr;
  }
  return result;
}

INT_PTR Dialog::Dispatch(UINT message, WPARAM w, LPARAM l) {
  switch (message) {
    case WM_INITDIALOG: {
      if (const TooltipTables* tips = Tooltips()) AttachTooltips(hwnd_, tips->get());
      const BOOL focus = OnInit();
      if (!LayoutTable().empty()) layout_.Build(hwnd_, LayoutTable());
      return focus;
    }
    case WM_COMMAND:
      return OnCommand(LOWORD(w), HIWORD(w), reinterpret_cast<HWND>(l)) ? TRUE : FALSE;
    case WM_NOTIFY: {
      LRESULT result = 0;
      if (!OnNotify(*reinterpret_cast<const NMHDR*>(l), result)) return FALSE;
      SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, result);
      return TRUE;
    }
    case WM_SIZE:
      layout_.Apply(false);
      OnSize();
      return TRUE;
    case WM_GETMINMAXINFO:
      if (!layout_.Built()) return FALSE;
      layout_.TrackingSizes(*reinterpret_cast<MINMAXINFO*>(l));
      return TRUE;
    case WM_HELP:
      OnHelp();
      return TRUE;
    case WM_DESTROY:
      OnDestroy();
      layout_.Free();
      return TRUE;
    default: {
      INT_PTR result = FALSE;
      return OnMessage(message, w, l, result) ? result : FALSE;
    }
  }
}

namespace {

class MessageDialog : public Dialog {
 public:
  MessageDialog(const std::wstring& caption, const std::wstring& message, const std::wstring& text)
      : caption_(caption), message_(message), text_(text) {}

 protected:
  int TemplateJa() const override { return IDD_MESSAGE_JA; }
  int TemplateEn() const override { return IDD_MESSAGE_EN; }
  std::span<const LayoutEntry> LayoutTable() const override { return kLayout; }
  BOOL OnInit() override {
    SetWindowTextW(hwnd(), caption_.c_str());
    SetItemText(IDC_MESSAGE_LINE, message_.c_str());
    SetItemText(IDC_MESSAGE_TEXT, text_.c_str());
    // The focus on OK: the text is not shown all selected, Enter closes.
    SetFocus(Item(IDCANCEL));
    return FALSE;
  }
  bool OnCommand(int id, int, HWND) override {
    if (id != IDCANCEL && id != IDOK) return false;
    End(0);
    return true;
  }

 private:
  static constexpr LayoutEntry kLayout[] = {{IDC_MESSAGE_TEXT, Anchor::Stretch}, {IDCANCEL, Anchor::Bottom}};
  std::wstring caption_, message_, text_;
};

}  // namespace

void ShowMessageDialog(HWND owner, const std::wstring& caption, const std::wstring& message,
                       const std::wstring& text) {
  MessageDialog(caption, message, text).RunModal(owner);
}

namespace {

LRESULT CALLBACK CtrlASelectsAll(HWND edit, UINT message, WPARAM w, LPARAM l, UINT_PTR id, DWORD_PTR) {
  if (message == WM_CHAR && w == 1) {
    SendMessageW(edit, EM_SETSEL, 0, -1);
    return 0;  // no beep for the control character
  }
  if (message == WM_NCDESTROY) RemoveWindowSubclass(edit, CtrlASelectsAll, id);
  return DefSubclassProc(edit, message, w, l);
}

}  // namespace

void SelectAllOnCtrlA(HWND edit) { SetWindowSubclass(edit, CtrlASelectsAll, 0, 0); }

BYTE UiCharSet() { return g_japaneseUi ? SHIFTJIS_CHARSET : DEFAULT_CHARSET; }

HFONT CreateUiFont(const LOGFONTW& wanted) {
  LOGFONTW font = wanted;
  font.lfCharSet = UiCharSet();
  HFONT made = CreateFontIndirectW(&font);
  if (!made || font.lfCharSet == DEFAULT_CHARSET || (font.lfPitchAndFamily & 3) == DEFAULT_PITCH) return made;
  // Where the face is missing, the font mapper may prefer the pitch to the
  // character set (Wine takes its fixed-pitch stand-in, which has no
  // Japanese); the character set wins then.
  HDC screen = GetDC(nullptr);
  HGDIOBJ old = SelectObject(screen, made);
  const bool drawsIt = GetTextCharset(screen) == font.lfCharSet;
  SelectObject(screen, old);
  ReleaseDC(nullptr, screen);
  if (drawsIt) return made;
  DeleteObject(made);
  font.lfPitchAndFamily = static_cast<BYTE>((font.lfPitchAndFamily & ~3) | DEFAULT_PITCH);
  return CreateFontIndirectW(&font);
}

HFONT CreateUiFont(const wchar_t* face, int points, BYTE pitchAndFamily) {
  HDC screen = GetDC(nullptr);
  LOGFONTW font{};
  font.lfHeight = -MulDiv(points, GetDeviceCaps(screen, LOGPIXELSY), 72);
  ReleaseDC(nullptr, screen);
  font.lfWeight = FW_NORMAL;
  font.lfPitchAndFamily = pitchAndFamily;
  lstrcpynW(font.lfFaceName, face, LF_FACESIZE);
  return CreateUiFont(font);
}

ReportFonts::~ReportFonts() {
  if (report_) DeleteObject(report_);
  if (ui_) DeleteObject(ui_);
}

void ReportFonts::Apply(HWND dialog, int reportId, std::initializer_list<int> otherIds) {
  if (!report_) report_ = CreateUiFont(g_japaneseUi ? L"ＭＳ ゴシック" : L"Courier New", 9, FIXED_PITCH | FF_MODERN);
  if (!ui_ && g_japaneseUi) ui_ = CreateUiFont(L"MS UI Gothic", 9, VARIABLE_PITCH | FF_SWISS);
  if (report_) SendDlgItemMessageW(dialog, reportId, WM_SETFONT, reinterpret_cast<WPARAM>(report_), FALSE);
  const WPARAM ui = reinterpret_cast<WPARAM>(ui_ ? ui_ : GetStockObject(DEFAULT_GUI_FONT));
  for (int id : otherIds) SendDlgItemMessageW(dialog, id, WM_SETFONT, ui, FALSE);
}

}  // namespace tblf
