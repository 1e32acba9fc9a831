#include "base/layout.h"

namespace tblf {

AnchorRecord MakeAnchorRecord(Anchor anchor, const Box& client, const Box& control) {
  AnchorRecord r{anchor};
  switch (anchor) {
    case Anchor::Fixed:
      break;
    case Anchor::Right:
      r.d1 = client.right - control.left;
      r.d2 = control.top;
      break;
    case Anchor::Bottom:
      r.d1 = control.left;
      r.d2 = client.bottom - control.top;
      break;
    case Anchor::BottomRight:
      r.d1 = client.right - control.left;
      r.d2 = client.bottom - control.top;
      break;
    case Anchor::StretchWidth:
      r.d1 = client.width() - control.width();
      r.d2 = control.height();
      break;
    case Anchor::Stretch:
      r.d1 = client.width() - control.width();
      r.d2 = client.height() - control.height();
      break;
    case Anchor::BottomStretchWidth:
      r.d1 = client.width() - control.width();
      r.d2 = client.bottom - control.top;
      r.left = control.left;
      r.height = control.height();
      break;
  }
  return r;
}

std::optional<Placement> PlaceControl(const AnchorRecord& r, const Box& client) {
  Placement p;
  switch (r.anchor) {
    case Anchor::Fixed:
      return std::nullopt;
    case Anchor::Right:
      p.move = true;
      p.x = client.right - r.d1;
      p.y = r.d2;
      break;
    case Anchor::Bottom:
      p.move = true;
      p.x = r.d1;
      p.y = client.bottom - r.d2;
      break;
    case Anchor::BottomRight:
      p.move = true;
      p.x = client.right - r.d1;
      p.y = client.bottom - r.d2;
      break;
    case Anchor::StretchWidth:
      p.size = true;
      p.width = client.width() - r.d1;
      p.height = r.d2;
      break;
    case Anchor::Stretch:
      p.size = true;
      p.width = client.width() - r.d1;
      p.height = client.height() - r.d2;
      break;
    case Anchor::BottomStretchWidth:
      p.move = p.size = true;
      p.x = r.left;
      p.y = client.bottom - r.d2;
      p.width = client.width() - r.d1;
      p.height = r.height;
      break;
  }
  return p;
}

}  // namespace tblf
