#pragma once
// An in-memory desktop for native tests: controls of every kind answer the
// ControlReader calls from tables, and can be made to hang or to end their
// process after a number of reads. Counters tell how often each call came.

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "remote/control_reader.h"

namespace tblf::testing {

struct FakeTreeItem {
  std::wstring text;
  int depth = 0;
};

struct FakeControl {
  ControlKind kind = ControlKind::ListView;
  // List view: header texts (empty: icon or list mode) and rows of cells.
  std::vector<std::wstring> headers;
  std::vector<std::vector<std::wstring>> cells;
  // Tree view, in pre-order.
  std::vector<FakeTreeItem> tree;
  // List box and combo box.
  std::vector<std::wstring> items;
  // The count message times out (a hung target).
  bool hung = false;
  // List view: the state written to each item (LVIS_SELECTED or 0), in order.
  std::vector<std::pair<int, unsigned>> stateWrites;
  // List view: state writes are not taken (a target that stopped answering).
  bool refusesStates = false;
  // After this many item or cell reads the process is gone: every later read
  // answers no text (-1: never).
  int readsBeforeGone = -1;
  // After this many item or cell reads the control stops answering: a list
  // view cell reads back empty, a tree item "(error)", a list item no text
  // (-1: never).
  int readsBeforeHung = -1;
  // Positions the control answers without a text (list box, combo box, tree).
  std::vector<int> noText;
  // List view: item states (the State column; missing items: 0), the column order the user
  // arranged (empty: none to give) and column widths (missing: 100).
  std::vector<unsigned> states;
  std::vector<int> columnOrder;
  std::vector<int> widths;
};

class FakeDesktop : public ControlReader {
 public:
  WindowId Add(FakeControl control);
  FakeControl& Control(WindowId id) { return controls_.at(id); }

  // Called before every item or cell read, with the number of reads so far.
  std::function<void(int)> onRead;

  int countCalls = 0;
  int cellReads = 0;
  int headerReads = 0;
  // Read sessions begun, and those begun but not yet ended.
  int sessionsBegun = 0;
  int sessionsOpen = 0;

  std::optional<long> CountItems(WindowId control, ControlKind kind) override;
  std::optional<std::wstring> GetListViewColumnText(WindowId control, int column) override;
  int CountListViewColumns(WindowId control) override;
  std::optional<std::wstring> GetListViewCellText(int column, WindowId control, int item) override;
  bool SetListViewItemState(WindowId control, int item, unsigned state) override;
  std::optional<std::vector<int>> GetListViewSelectedItems(WindowId control, long count) override;
  std::optional<std::vector<int>> GetListViewColumnOrder(WindowId control, int columns) override;
  std::optional<int> GetListViewColumnWidth(WindowId control, int column) override;
  std::optional<std::wstring> GetTreeViewItemText(WindowId control, int position, int* depth,
                                                  TreeItemId* item) override;
  bool TreeAncestorHasNextSibling(WindowId control, int levels, TreeItemId item) override;
  std::optional<std::wstring> GetListBoxItemText(WindowId control, int index) override;
  std::optional<std::wstring> GetComboBoxItemText(WindowId control, int index) override;
  void BeginSession(WindowId) override {
    ++sessionsBegun;
    ++sessionsOpen;
  }
  void EndSession() override { --sessionsOpen; }
  bool TargetLost() const override { return lost_; }

 private:
  FakeControl* Find(WindowId id);
  // Counts one read and tells how the control answers it.
  enum class Answer { Text, Gone, Hung };
  Answer Read(FakeControl& control);
  bool NoText(const FakeControl& control, int position) const;

  bool lost_ = false;

  std::map<WindowId, FakeControl> controls_;
  std::map<WindowId, int> reads_;
  WindowId next_ = 0x1000;
};

// A list view of `rows` x headers.size() cells named "r{row}c{column}".
FakeControl MakeListView(std::vector<std::wstring> headers, int rows);

}  // namespace tblf::testing

#include "remote/discovery.h"

namespace tblf::testing {

struct FakeWindow {
  std::optional<std::wstring> title;  // nothing: the title cannot be read
  std::wstring program = L"app.exe";
  std::vector<WindowId> descendants;
};

// The window enumeration of discovery over in-memory windows; the controls'
// classes and styles are given here, their contents by a FakeDesktop.
class FakeWindows : public DesktopWindows {
 public:
  std::vector<WindowId> order;  // top-level windows in Z order
  std::map<WindowId, FakeWindow> windows;
  std::map<WindowId, std::wstring> classes;
  std::map<WindowId, unsigned long> styles;

  std::vector<WindowId> TopLevelWindows() override { return order; }
  std::optional<std::wstring> WindowTitle(WindowId window) override { return windows.at(window).title; }
  std::wstring ProgramName(WindowId window) override { return windows.at(window).program; }
  std::vector<WindowId> Descendants(WindowId window) override { return windows.at(window).descendants; }
  std::optional<std::wstring> ClassName(WindowId window) override {
    auto it = classes.find(window);
    if (it == classes.end()) return std::nullopt;
    return it->second;
  }
  unsigned long Style(WindowId window) override { return styles.count(window) ? styles.at(window) : 0; }
};

}  // namespace tblf::testing
