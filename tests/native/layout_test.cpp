#include "base/layout.h"

#include <gtest/gtest.h>

namespace tblf {
namespace {

// A control at (20, 30)-(120, 50) in a 200 x 100 client area that grows to
// 300 x 160: where each anchor puts it.
TEST(Layout, EachAnchorFollowsItsEdgesWhenTheDialogGrows) {
  const Box first{0, 0, 200, 100}, grown{0, 0, 300, 160}, control{20, 30, 120, 50};
  struct Case {
    Anchor anchor;
    bool move, size;
    int x, y, width, height;
  };
  const Case cases[] = {
      {Anchor::Right, true, false, 120, 30, 0, 0},
      {Anchor::Bottom, true, false, 20, 90, 0, 0},
      {Anchor::BottomRight, true, false, 120, 90, 0, 0},
      {Anchor::StretchWidth, false, true, 0, 0, 200, 20},
      {Anchor::Stretch, false, true, 0, 0, 200, 80},
      {Anchor::BottomStretchWidth, true, true, 20, 90, 200, 20},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.anchor));
    const std::optional<Placement> p = PlaceControl(MakeAnchorRecord(c.anchor, first, control), grown);
    ASSERT_TRUE(p);
    EXPECT_EQ(p->move, c.move);
    EXPECT_EQ(p->size, c.size);
    if (c.move) {
      EXPECT_EQ(p->x, c.x);
      EXPECT_EQ(p->y, c.y);
    }
    if (c.size) {
      EXPECT_EQ(p->width, c.width);
      EXPECT_EQ(p->height, c.height);
    }
  }
  EXPECT_FALSE(PlaceControl(MakeAnchorRecord(Anchor::Fixed, first, control), grown));
}

}  // namespace
}  // namespace tblf
