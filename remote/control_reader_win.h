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
// An edit's or a static's text is read up to this many characters; the rest
// is left out.
constexpr std::size_t kWindowTextLimit = 4u << 20;
// At most this many status bar parts (the control keeps 256) and tabs.
constexpr long kStatusBarPartLimit = 256;
constexpr long kTabLimit = 65536;

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
  std::optional<std::vector<int>> GetListViewSelectedItems(WindowId control, long count) override;
  std::optional<std::vector<int>> GetListViewColumnOrder(WindowId control, int columns) override;
  std::optional<int> GetListViewColumnWidth(WindowId control, int column) override;

  std::optional<std::wstring> GetTreeViewItemText(WindowId control, int position, int* depth,
                                                  TreeItemId* item) override;
  bool TreeAncestorHasNextSibling(WindowId control, int levels, TreeItemId item) override;

  std::optional<std::wstring> GetListBoxItemText(WindowId control, int index) override;
  std::optional<std::wstring> GetComboBoxItemText(WindowId control, int index) override;

  bool TargetLost() const override { return lost_; }
  std::optional<std::vector<std::wstring>> GetEditLines(WindowId control) override;
  std::optional<std::vector<std::wstring>> GetStaticText(WindowId control) override;
  std::optional<std::vector<std::wstring>> GetStatusBarParts(WindowId control) override;
  std::optional<std::vector<std::wstring>> GetTabLabels(WindowId control) override;

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
  // One text of the target through a remote block: `message` (wParam
  // `index`) fills a zeroed block of `chars` characters; `structure` (an
  // encoded request, empty for none) goes before it and gets the text's
  // address at `pointerAt`. Nothing when the exchange fails.
  std::optional<std::wstring> GetRemoteText(ReadSession& session, UINT message, WPARAM index, std::size_t chars,
                                            std::vector<unsigned char> structure, std::size_t pointerAt);
  // The run's session when it is for `control`, else `single`, made for it.
  ReadSession& SessionFor(HWND control, std::unique_ptr<ReadSession>& single);
  // The same session, opened; nothing (and the target marked lost when its
  // window is gone) when its process cannot be opened.
  ReadSession* OpenedSessionFor(HWND control, std::unique_ptr<ReadSession>& single);
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
