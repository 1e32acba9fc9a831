#include "base/dialog_win.h"

#include <commctrl.h>

#include "resources/resource.h"
#include "base/text.h"

namespace tblf {

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
  return DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(g_japaneseUi ? TemplateJa() : TemplateEn()),
                         owner, Procedure, reinterpret_cast<LPARAM>(this));
}

INT_PTR Dialog::RunModalIndirect(HWND owner, const DLGTEMPLATE* dialogTemplate) {
  modal_ = true;
  return DialogBoxIndirectParamW(GetModuleHandleW(nullptr), dialogTemplate, owner, Procedure,
                                 reinterpret_cast<LPARAM>(this));
}

HWND Dialog::CreateModeless(HWND parent) {
  modal_ = false;
  return CreateDialogParamW(GetModuleHandleW(nullptr),
                            MAKEINTRESOURCEW(g_japaneseUi ? TemplateJa() : TemplateEn()), parent, Procedure,
                            reinterpret_cast<LPARAM>(this));
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

}  // namespace tblf
