#include "remote/tree_walk.h"

namespace tblf {

bool TreeSuccessor(const TreeNavigate& navigate, TreeLocation* at) {
  const TreeItemId x = at->item;
  TreeItemId found = 0;
  if (!navigate(kTvgnChild, x, &found)) return at->item = 0, false;
  if (found != 0) {
    at->item = found;
    ++at->depth;
    return true;
  }
  if (!navigate(kTvgnNext, x, &found)) return at->item = 0, false;
  if (found != 0) {
    at->item = found;
    return true;
  }
  TreeItemId parent = 0;
  if (!navigate(kTvgnParent, x, &parent)) return at->item = 0, false;
  while (parent != 0) {
    --at->depth;
    if (!navigate(kTvgnNext, parent, &found)) return at->item = 0, false;
    if (found != 0) {
      at->item = found;
      return true;
    }
    if (!navigate(kTvgnParent, parent, &parent)) return at->item = 0, false;
  }
  at->item = 0;
  return false;
}

TreeLocation LocateFromRoot(const TreeNavigate& navigate, int position) {
  TreeLocation at;
  if (position < 0) return at;
  if (!navigate(kTvgnRoot, 0, &at.item)) at.item = 0;
  for (int i = 0; i < position && at.item != 0; ++i) TreeSuccessor(navigate, &at);
  return at;
}

TreeLocation TreeWalker::Locate(WindowId control, int position, const TreeNavigate& navigate) {
  TreeLocation at;
  if (valid_ && control == control_ && position_ + 1 == position) {
    at = last_;
    TreeSuccessor(navigate, &at);
  } else {
    at = LocateFromRoot(navigate, position);
  }
  valid_ = at.item != 0;
  control_ = control;
  position_ = position;
  last_ = at;
  return at;
}

}  // namespace tblf
