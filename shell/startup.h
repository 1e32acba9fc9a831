#pragma once
// The start-up decisions that need no window: what the command line asks
// for and where the frame window starts.

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

}  // namespace tblf
