#include "remote/tree_walk.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace tblf {
namespace {

// An in-memory tree answering the navigation messages, counting them, and
// failing on request.
class FakeTree {
 public:
  // depths in pre-order; items get ids 100, 101, ...
  explicit FakeTree(const std::vector<int>& depths) {
    std::vector<TreeItemId> lastAt;
    for (size_t i = 0; i < depths.size(); ++i) {
      const TreeItemId id = 100 + i;
      const int d = depths[i];
      lastAt.resize(d);
      const TreeItemId parent = d == 0 ? 0 : lastAt[d - 1];
      parent_[id] = parent;
      const TreeItemId prev = lastChild_[parent];
      if (prev != 0) next_[prev] = id; else firstChild_[parent] = id;
      lastChild_[parent] = id;
      lastAt.push_back(id);
    }
  }
  TreeNavigate Navigate() {
    return [this](unsigned code, TreeItemId from, TreeItemId* found) {
      ++messages;
      if (failAfter >= 0 && messages > failAfter) return false;
      switch (code) {
        case kTvgnRoot: *found = firstChild_[0]; break;
        case kTvgnChild: *found = firstChild_[from]; break;
        case kTvgnNext: *found = next_[from]; break;
        case kTvgnParent: *found = parent_[from]; break;
        default: *found = 0;
      }
      return true;
    };
  }
  int messages = 0;
  int failAfter = -1;

 private:
  std::map<TreeItemId, TreeItemId> parent_, firstChild_, lastChild_, next_;
};

const std::vector<int> kSeveralRoots = {0, 1, 2, 1, 2, 2, 0, 1, 0};

TEST(TreeWalk, PreOrderWithSeveralRootsAndDepthBackAtZero) {
  FakeTree tree(kSeveralRoots);
  for (size_t i = 0; i < kSeveralRoots.size(); ++i) {
    const TreeLocation at = LocateFromRoot(tree.Navigate(), static_cast<int>(i));
    EXPECT_EQ(at.item, 100 + i) << i;
    EXPECT_EQ(at.depth, kSeveralRoots[i]) << i;
  }
}

TEST(TreeWalk, PastTheEndGivesNoItemAndTheDepthAsReached) {
  FakeTree tree({0, 1, 2});
  const TreeLocation at = LocateFromRoot(tree.Navigate(), 3);
  EXPECT_EQ(at.item, 0u);
  EXPECT_EQ(at.depth, 0);
  EXPECT_EQ(LocateFromRoot(tree.Navigate(), -1).item, 0u);
  FakeTree empty({});
  EXPECT_EQ(LocateFromRoot(empty.Navigate(), 0).item, 0u);
}

TEST(TreeWalk, AFailedSendEndsTheWalkWithNoItem) {
  FakeTree tree(kSeveralRoots);
  tree.failAfter = 3;
  EXPECT_EQ(LocateFromRoot(tree.Navigate(), 5).item, 0u);
}

TEST(TreeWalker, SequentialReadEqualsTheRootWalkAndCostsLinearMessages) {
  std::vector<int> depths;
  for (int i = 0; i < 300; ++i) depths.push_back(std::vector<int>{0, 1, 2, 2, 1, 2, 2, 1, 2, 2}[i % 10]);
  FakeTree walked(depths), continued(depths);
  TreeWalker walker;
  for (int i = 0; i <= 300; ++i) {  // one past the end as well
    const TreeLocation a = LocateFromRoot(walked.Navigate(), i);
    const TreeLocation b = walker.Locate(7, i, continued.Navigate());
    EXPECT_EQ(a.item, b.item) << i;
    EXPECT_EQ(a.depth, b.depth) << i;
  }
  EXPECT_LT(continued.messages, 4 * 301);
  EXPECT_GT(walked.messages, 300 * 300 / 2);
}

TEST(TreeWalker, OtherRequestsWalkFromTheRoot) {
  FakeTree tree(kSeveralRoots);
  TreeWalker walker;
  walker.Locate(7, 3, tree.Navigate());
  // Same position again, a jump, a step back, another control: all from the root.
  for (const auto& request : std::vector<std::pair<WindowId, int>>{{7, 3}, {7, 6}, {7, 2}, {8, 3}}) {
    // Plain variables: clang 14 cannot capture structured bindings in the lambda below.
    const WindowId control = request.first;
    const int position = request.second;
    tree.messages = 0;
    const TreeLocation at = walker.Locate(control, position, tree.Navigate());
    EXPECT_EQ(at.item, 100u + position);
    const int rootWalkMessages = [&] {
      FakeTree fresh(kSeveralRoots);
      LocateFromRoot(fresh.Navigate(), position);
      return fresh.messages;
    }();
    EXPECT_EQ(tree.messages, rootWalkMessages) << control << "/" << position;
  }
}

TEST(TreeWalker, NothingIsRememberedPastTheEndOrAfterAFailure) {
  FakeTree tree({0, 0});
  TreeWalker walker;
  EXPECT_EQ(walker.Locate(7, 2, tree.Navigate()).item, 0u);
  EXPECT_EQ(walker.Locate(7, 3, tree.Navigate()).item, 0u);
  FakeTree failing({0, 0, 0});
  EXPECT_EQ(walker.Locate(9, 0, failing.Navigate()).item, 100u);
  failing.failAfter = failing.messages;
  EXPECT_EQ(walker.Locate(9, 1, failing.Navigate()).item, 0u);
  failing.failAfter = -1;
  EXPECT_EQ(walker.Locate(9, 2, failing.Navigate()).item, 102u) << "walks from the root again";
}

}  // namespace
}  // namespace tblf
