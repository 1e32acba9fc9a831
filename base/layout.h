#pragma once
// Anchoring of dialog controls: each control keeps its distances to the
// dialog's edges while the dialog is resized. The arithmetic is here; the
// Win32 side (layout_win.h) reads rectangles and moves the controls.

#include <optional>

namespace tblf {

enum class Anchor : unsigned char {
  Fixed = 0,
  Right = 1,               // keeps its distance to the right edge
  Bottom = 2,              // keeps its distance to the bottom edge
  BottomRight = 3,         // follows the bottom-right corner
  StretchWidth = 4,        // the width grows, the height stays
  Stretch = 5,             // width and height grow
  BottomStretchWidth = 6,  // follows the bottom edge and grows in width
};

struct LayoutEntry {
  int id;
  Anchor anchor;
};

struct Box {
  int left, top, right, bottom;
  int width() const { return right - left; }
  int height() const { return bottom - top; }
};

// What one control keeps from the dialog's first size.
struct AnchorRecord {
  Anchor anchor;
  int d1 = 0, d2 = 0;       // two distances or sizes, by anchor
  int left = 0, height = 0;  // BottomStretchWidth only
};

AnchorRecord MakeAnchorRecord(Anchor anchor, const Box& client, const Box& control);

// Where a control goes in a client area of the new size: a position, a size,
// or both; nothing for a fixed control.
struct Placement {
  bool move = false;
  bool size = false;
  int x = 0, y = 0, width = 0, height = 0;
};
std::optional<Placement> PlaceControl(const AnchorRecord& record, const Box& client);

}  // namespace tblf
