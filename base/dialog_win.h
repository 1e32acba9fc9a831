#pragma once
// The one dialog abstraction of the program: a small class over the dialog's
// window with the dialog procedure written once. A dialog derives from
// Dialog, names its templates, keeps its tooltip and layout tables as data
// beside it, and overrides the handlers it needs (OnInit, OnCommand,
// OnNotify, OnSize, OnHelp, OnDestroy).

#include <windows.h>

#include <initializer_list>
#include <span>
#include <string>
#include <vector>

#include "base/layout.h"

namespace tblf {

// (control id, tooltip text); one table per dialog and UI language.
struct TooltipEntry {
  int id;
  const wchar_t* text;
};
struct TooltipTables {
  std::span<const TooltipEntry> ja;
  std::span<const TooltipEntry> en;
  std::span<const TooltipEntry> get() const;
};

// One tooltip window owned by the dialog, a tool per entry (the control's
// window as id, subclassed); tips wrap at the client width x 5 / 4.
void AttachTooltips(HWND dialog, std::span<const TooltipEntry> table);

// The anchoring of a dialog's controls, built from the dialog's first size.
class DialogLayout {
 public:
  void Build(HWND dialog, std::span<const LayoutEntry> table);
  void Apply(bool repaint) const;
  // Minimum tracking size: the window size at Build; maximum when set.
  void TrackingSizes(MINMAXINFO& info) const;
  void SetMaximum(int width, int height) { maxWidth_ = width, maxHeight_ = height; }
  void Free() { records_.clear(), dialog_ = nullptr; }
  bool Built() const { return dialog_ != nullptr; }
  // Lets the dialog shrink below its first size by this many pixels.
  void ShrinkMinimum(int dx, int dy) { minWidth_ -= dx, minHeight_ -= dy; }

 private:
  struct Record {
    HWND control;
    AnchorRecord anchor;
  };
  HWND dialog_ = nullptr;
  std::vector<Record> records_;
  int minWidth_ = 0, minHeight_ = 0;
  int maxWidth_ = -1, maxHeight_ = -1;
};

class Dialog {
 public:
  virtual ~Dialog() = default;
  HWND hwnd() const { return hwnd_; }

  // DialogBoxParamW with the template of the UI language; the value given to End.
  INT_PTR RunModal(HWND owner);
  // DialogBoxIndirectParamW with a template built in memory (TemplateJa/En unused).
  INT_PTR RunModalIndirect(HWND owner, const DLGTEMPLATE* dialogTemplate);
  // CreateDialogParamW with the template of the UI language; null on failure.
  HWND CreateModeless(HWND parent);

  // Short helpers over the dialog's items.
  HWND Item(int id) const { return GetDlgItem(hwnd_, id); }
  void EnableItem(int id, bool enable) const { EnableWindow(Item(id), enable); }
  void ShowItem(int id, bool show) const { ShowWindow(Item(id), show ? SW_SHOW : SW_HIDE); }
  bool IsChecked(int id) const { return IsDlgButtonChecked(hwnd_, id) == BST_CHECKED; }
  void Check(int id, bool on) const { CheckDlgButton(hwnd_, id, on ? BST_CHECKED : BST_UNCHECKED); }
  void SetItemText(int id, const wchar_t* text) const { SetDlgItemTextW(hwnd_, id, text); }
  std::wstring ItemText(int id) const;
  int ComboSelection(int id) const { return static_cast<int>(SendDlgItemMessageW(hwnd_, id, CB_GETCURSEL, 0, 0)); }
  void SelectCombo(int id, int index) const { SendDlgItemMessageW(hwnd_, id, CB_SETCURSEL, index, 0); }
  void AddComboText(int id, const wchar_t* text) const;

 protected:
  // The templates: the Japanese and the English resource.
  virtual int TemplateJa() const = 0;
  virtual int TemplateEn() const = 0;
  // Data beside the dialog: its anchors and its tooltips (none by default).
  virtual std::span<const LayoutEntry> LayoutTable() const { return {}; }
  virtual const TooltipTables* Tooltips() const { return nullptr; }

  // The value of WM_INITDIALOG (TRUE lets the system set the focus).
  virtual BOOL OnInit() { return TRUE; }
  // True when the command was handled.
  virtual bool OnCommand(int /*id*/, int /*code*/, HWND /*control*/) { return false; }
  virtual bool OnNotify(const NMHDR& /*header*/, LRESULT& /*result*/) { return false; }
  // After the layout has been applied.
  virtual void OnSize() {}
  virtual void OnHelp() {}
  virtual void OnDestroy() {}
  // Any other message; true when handled, with the dialog procedure's value.
  virtual bool OnMessage(UINT /*message*/, WPARAM /*w*/, LPARAM /*l*/, INT_PTR& /*result*/) { return false; }

  // Ends a modal dialog with `result`, destroys a modeless one.
  void End(INT_PTR result);
  DialogLayout& layout() { return layout_; }

 private:
  static INT_PTR CALLBACK Procedure(HWND window, UINT message, WPARAM w, LPARAM l);
  INT_PTR Dispatch(UINT message, WPARAM w, LPARAM l);

  HWND hwnd_ = nullptr;
  bool modal_ = false;
  DialogLayout layout_;
};

// The shared modal message dialog: a caption, a message line and a longer
// scrollable text, one OK button.
void ShowMessageDialog(HWND owner, const std::wstring& caption, const std::wstring& message,
                       const std::wstring& text);

// Ctrl+A (the character code 1) selects all text of the edit control.
void SelectAllOnCtrlA(HWND edit);

// The character set of the UI language: SHIFTJIS_CHARSET in the Japanese
// program, so that a missing face falls back to an installed Japanese one;
// DEFAULT_CHARSET in the English one, so that `\` and `_` stay themselves.
BYTE UiCharSet();
// A font of `points` points at the screen's resolution in the UI language's
// character set; the caller deletes it. With FIXED_PITCH | FF_MODERN any
// monospaced face serves when `face` is missing.
HFONT CreateUiFont(const wchar_t* face, int points, BYTE pitchAndFamily);
// The same from a whole description; its character set is replaced.
HFONT CreateUiFont(const LOGFONTW& font);

// The fonts of a report dialog: the report in a monospaced face, so that its
// columns line up, the other controls in the UI face (the stock GUI font in
// the English program). The fonts live as long as this object.
class ReportFonts {
 public:
  ReportFonts() = default;
  ReportFonts(const ReportFonts&) = delete;
  ReportFonts& operator=(const ReportFonts&) = delete;
  ~ReportFonts();
  void Apply(HWND dialog, int reportId, std::initializer_list<int> otherIds);

 private:
  HFONT report_ = nullptr;
  HFONT ui_ = nullptr;
};

}  // namespace tblf
