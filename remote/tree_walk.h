#pragma once
// Finding a tree view item by its pre-order position with the navigation
// messages alone (TVM_GETNEXTITEM: root, next sibling, parent, first child).
//
// Reading a whole tree asks for positions 0, 1, 2, ... in turn; walking from
// the root for each would cost N²/2 steps. TreeWalker remembers the item and
// depth it found last, and a request for the position right after it on the
// same control continues from there. Any other request walks from the root.

#include <cstdint>
#include <functional>

#include "remote/control_reader.h"

namespace tblf {

constexpr unsigned kTvgnRoot = 0;
constexpr unsigned kTvgnNext = 1;
constexpr unsigned kTvgnParent = 3;
constexpr unsigned kTvgnChild = 4;

// One navigation message: false when the exchange failed; *found is the
// item the control answered (0: none).
using TreeNavigate = std::function<bool(unsigned code, TreeItemId from, TreeItemId* found)>;

struct TreeLocation {
  TreeItemId item = 0;  // 0: no such item (past the end, or a failed send)
  int depth = 0;        // of the item, or as reached when the walk ended early
};

// The successor step in pre-order. Moves `at` and returns true; false at the
// end of the tree or on a failed send (at.item is then 0, the depth as reached).
bool TreeSuccessor(const TreeNavigate& navigate, TreeLocation* at);

// Walks from the root to `position`.
TreeLocation LocateFromRoot(const TreeNavigate& navigate, int position);

class TreeWalker {
 public:
  TreeLocation Locate(WindowId control, int position, const TreeNavigate& navigate);
  void Forget() { valid_ = false; }

 private:
  bool valid_ = false;
  WindowId control_ = 0;
  int position_ = 0;
  TreeLocation last_;
};

}  // namespace tblf
