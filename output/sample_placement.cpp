#include "output/sample_placement.h"

namespace tblf {

ScreenRect SampleDefaultRect(const ScreenRect& frame, int monitorRight) {
  ScreenRect r{frame.right, frame.top, monitorRight, frame.bottom};
  if (frame.right >= monitorRight - 100) r.left = monitorRight - 100;
  return r;
}

}  // namespace tblf
