#pragma once
// The readers of list views, tree views, list boxes and combo boxes of any
// process on the desktop. A request that carries a structure goes through a
// ReadSession: outside a session it is one self-contained remote call (open
// the target process, allocate, write, timed send, read back, free, close);
// inside the session of an output run the process handle and the remote
// block stay for the run, and a list view row is one write, one timed send
// per cell and one read. Besides the session only the tree position
// remembered for sequential tree reads survives between calls.

#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "remote/control_reader.h"
#include "remote/item_layouts.h"
#include "remote/read_session_win.h"
#include "remote/tree_walk.h"
#include "base/text.h"

namespace tblf {

// Sizes of the remote text blocks and what the controls are told.
constexpr std::size_t kListViewTextBlockBytes = 4096;
constexpr int kListViewTextChars = 2048;
constexpr std::size_t kTreeViewTextBlockBytes = 2048;
constexpr int kTreeViewTextChars = 1024;
constexpr std::size_t kListTextResultChars = 2048;

// Returned for a tree item that cannot be read.
extern const BiText kTreeItemErrorText;

class Win32ControlReader : public ControlReader {
 public:
  std::optional<long> CountItems(WindowId control, ControlKind kind) override;

  std::optional<std::wstring> GetListViewColumnText(WindowId control, int column) override;
  int CountListViewColumns(WindowId control) override;
  std::optional<std::wstring> GetListViewCellText(int column, WindowId control, int item) override;
  std::vector<std::optional<std::wstring>> GetListViewRowTexts(WindowId control, int item,
                                                              const std::vector<int>& columns) override;
  bool SetListViewItemState(WindowId control, int item, unsigned state) override;

  std::optional<std::wstring> GetTreeViewItemText(WindowId control, int position, int* depth,
                                                  TreeItemId* item) override;
  bool TreeAncestorHasNextSibling(WindowId control, int levels, TreeItemId item) override;

  std::optional<std::wstring> GetListBoxItemText(WindowId control, int index) override;
  std::optional<std::wstring> GetComboBoxItemText(WindowId control, int index) override;

  bool TargetLost() const override { return lost_; }

  void BeginSession(WindowId control) override;
  void EndSession() override;

  // TVM_GETNEXTITEM messages sent so far (for the benchmark and the tests).
  std::uint64_t TreeNavigationMessages() const { return treeNavigationMessages_; }
  // Makes every tree position walk from the root, as the plain algorithm does
  // (a test compares the two).
  void SetTreeContinuation(bool on) { treeContinuation_ = on; }

 private:
  TreeNavigate NavigatorFor(HWND tree, PointerWidth width);
  std::optional<std::wstring> GetListItemText(HWND control, int index, bool combo);
  // The run's session when it is for `control`, else `single`, made for it.
  ReadSession& SessionFor(HWND control, std::unique_ptr<ReadSession>& single);
  // Cells `at` of a row (indexes into `columns`, at most kRowExchangeCells)
  // in one exchange.
  void ReadRowCells(ReadSession& session, int item, const std::vector<int>& columns, const std::vector<std::size_t>& at,
                    std::vector<std::optional<std::wstring>>& cells);

  // Opening the target's process failed: lost when its window is gone too
  // (a process that refuses access still shows its control).
  void OpenFailed(HWND control) {
    if (!IsWindow(control)) lost_ = true;
  }

  std::unique_ptr<ReadSession> session_;
  bool lost_ = false;
  TreeWalker treeWalker_;
  bool treeContinuation_ = true;
  std::uint64_t treeNavigationMessages_ = 0;
};

}  // namespace tblf
