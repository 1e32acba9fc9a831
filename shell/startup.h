#pragma once
// The start-up decisions that need no window: what the command line asks
// for, where the frame window starts, and where the sample window goes.

#include <string_view>

namespace tblf {

// The text after the program name, when it begins with "/": "/o" or "/O"
// keeps the settings in the INI file, "/?" opens the help, anything else is
// refused. Text without a leading slash (a file name, say) is ignored.
enum class StartOption { None, IniMode, Help, Unknown };
StartOption ClassifyStartOption(std::wstring_view arguments);

constexpr int kUseDefault = static_cast<int>(0x80000000);  // CW_USEDEFAULT

struct FramePlacement {
  int x = kUseDefault, y = 0, width = kUseDefault, height = 0;
  bool maximized = false;
};
// The stored placement (when `possize` is on), or the defaults when the
// stored top-left corner lies on no monitor; a maximized frame stays
// maximized either way.
FramePlacement DecideFramePlacement(bool usePossize, int wMax, int wLeft, int wTop, int wWidth, int wHeight,
                                    bool cornerOnMonitor);

struct ScreenRect {
  int left, top, right, bottom;
};
// The sample window's default rectangle beside the frame: from the frame's
// right edge to the monitor's right edge R, or the last 100 pixels before R
// when the frame reaches R - 100; the frame's top and height.
ScreenRect SampleDefaultRect(const ScreenRect& frame, int monitorRight);

}  // namespace tblf
