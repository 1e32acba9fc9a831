#include "shell/startup.h"

namespace tblf {

StartOption ClassifyStartOption(std::wstring_view arguments) {
  if (arguments.empty() || arguments.front() != L'/') return StartOption::None;
  if (arguments == L"/o" || arguments == L"/O") return StartOption::IniMode;
  if (arguments == L"/?") return StartOption::Help;
  return StartOption::Unknown;
}

FramePlacement DecideFramePlacement(bool usePossize, int wMax, int wLeft, int wTop, int wWidth, int wHeight,
                                    bool cornerOnMonitor) {
  FramePlacement p;
  if (!usePossize) return p;
  p.maximized = wMax == 1;
  if (wLeft != kUseDefault && !cornerOnMonitor) return p;
  p.x = wLeft;
  p.y = wTop;
  p.width = wWidth;
  p.height = wHeight;
  return p;
}

}  // namespace tblf
