#pragma once
// What the output engine, control discovery and the multi-selection helper
// ask of a control of another process. The Windows build answers through
// Win32ControlReader (remote calls and timed sends); native tests answer from
// an in-memory desktop.
//
// Texts are returned as owned strings: an empty optional is "no text", which
// callers keep distinct from an empty text.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tblf {

// A window handle as a number, so that portable code can carry it.
using WindowId = std::uintptr_t;
// A tree view's own item handle (HTREEITEM of the target); opaque here.
using TreeItemId = std::uint64_t;

// The kind of a candidate control; what belongs to each kind is its row in
// remote/control_kinds.h.
enum class ControlKind : unsigned char {
  ListView = 0,
  TreeView = 1,
  ComboBox = 2,
  ListBox = 3,
  FileList = 4,
  Edit = 5,
  Static = 6,
  StatusBar = 7,
  Tab = 8,
};

// Pseudo columns: item attributes offered as extra list view columns.
constexpr int kColumnRowNumber = -2;  // "#"
constexpr int kColumnIcon = -3;       // "Icon"
constexpr int kColumnLParam = -4;     // "lParam"
constexpr int kColumnState = -5;      // "State"

constexpr unsigned kLvisFocused = 0x0001;
constexpr unsigned kLvisSelected = 0x0002;
// The state image index (bits 12-15); a check-box list view shows 1 for an
// unchecked and 2 for a checked item.
constexpr unsigned kLvisStateImageMask = 0xF000;

class ControlReader {
 public:
  virtual ~ControlReader() = default;

  // One timed send of the kind's count message (LVM_GETITEMCOUNT,
  // TVM_GETCOUNT, CB_GETCOUNT, LB_GETCOUNT); nothing when the exchange fails.
  // It starts TargetLost afresh.
  virtual std::optional<long> CountItems(WindowId control, ControlKind kind) = 0;

  // List view header text of a column or pseudo column.
  virtual std::optional<std::wstring> GetListViewColumnText(WindowId control, int column) = 0;
  // Number of columns whose header can be read (0 for icon or list mode).
  virtual int CountListViewColumns(WindowId control) = 0;
  // One cell; no text only when the target process cannot be opened.
  virtual std::optional<std::wstring> GetListViewCellText(int column, WindowId control, int item) = 0;
  // The cells of one item in the given columns, each as GetListViewCellText
  // gives it; a reader may fetch them in one exchange.
  virtual std::vector<std::optional<std::wstring>> GetListViewRowTexts(WindowId control, int item,
                                                                      const std::vector<int>& columns) {
    std::vector<std::optional<std::wstring>> cells;
    cells.reserve(columns.size());
    for (int column : columns) cells.push_back(GetListViewCellText(column, control, item));
    return cells;
  }
  // Sets or clears only the selected bit of one item (-1: every item); false
  // when the control did not take it (no answer, no such item).
  virtual bool SetListViewItemState(WindowId control, int item, unsigned state) = 0;
  // The selected items of `count`, as the control walks them from the top
  // (LVM_GETNEXTITEM, LVNI_SELECTED); nothing when the control did not answer.
  virtual std::optional<std::vector<int>> GetListViewSelectedItems(WindowId control, long count) {
    (void)control, (void)count;
    return std::nullopt;
  }
  // The column indexes of `columns` columns in the order the user arranged
  // them (LVM_GETCOLUMNORDERARRAY); nothing when the control did not answer.
  virtual std::optional<std::vector<int>> GetListViewColumnOrder(WindowId control, int columns) {
    (void)control, (void)columns;
    return std::nullopt;
  }
  // A column's width in pixels (LVM_GETCOLUMNWIDTH); nothing when the
  // control did not answer.
  virtual std::optional<int> GetListViewColumnWidth(WindowId control, int column) {
    (void)control, (void)column;
    return std::nullopt;
  }

  // Text of the item at a pre-order position, or the error text "(error)" /
  // "(取得失敗)"; no text when the process cannot be opened. depth and item
  // may be null; item is 0 past the end.
  virtual std::optional<std::wstring> GetTreeViewItemText(WindowId control, int position, int* depth,
                                                          TreeItemId* item) = 0;
  // Whether the ancestor `levels` above the item (0: the item) has a next sibling.
  virtual bool TreeAncestorHasNextSibling(WindowId control, int levels, TreeItemId item) = 0;

  virtual std::optional<std::wstring> GetListBoxItemText(WindowId control, int index) = 0;
  virtual std::optional<std::wstring> GetComboBoxItemText(WindowId control, int index) = 0;

  // Whether the target was found gone or not answering since the last count
  // that answered: its process ended, its window went, or a timed send or a
  // transfer of its memory failed. What a read gave then (no text, empty
  // cells) is not what the control shows, so the output engine stops there
  // rather than write it. A control that answers "no such item" is not lost.
  virtual bool TargetLost() const { return false; }

  // The rows of a text control, read at once and bounded: an edit's lines
  // (split at hard line breaks), a static's text (nothing when it has none),
  // a status bar's parts, a tab control's labels. Nothing when the control
  // does not answer.
  virtual std::optional<std::vector<std::wstring>> GetEditLines(WindowId control) {
    (void)control;
    return std::nullopt;
  }
  virtual std::optional<std::vector<std::wstring>> GetStaticText(WindowId control) {
    (void)control;
    return std::nullopt;
  }
  virtual std::optional<std::vector<std::wstring>> GetStatusBarParts(WindowId control) {
    (void)control;
    return std::nullopt;
  }
  virtual std::optional<std::vector<std::wstring>> GetTabLabels(WindowId control) {
    (void)control;
    return std::nullopt;
  }

  // A read session: from BeginSession until EndSession the reader may keep
  // what it needs to reach `control` (the target's process, its memory) and
  // reuse it for every read of that control; reads of other controls go on
  // as single reads. EndSession gives everything back. The output engine
  // holds one session per run.
  virtual void BeginSession(WindowId control) { (void)control; }
  virtual void EndSession() {}
};

}  // namespace tblf
