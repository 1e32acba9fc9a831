#pragma once
// Where the sample window goes when no stored rectangle applies.

namespace tblf {

struct ScreenRect {
  int left, top, right, bottom;
};
// The sample window's default rectangle beside the frame: from the frame's
// right edge to the monitor's right edge R, or the last 100 pixels before R
// when the frame reaches R - 100; the frame's top and height.
ScreenRect SampleDefaultRect(const ScreenRect& frame, int monitorRight);

}  // namespace tblf
