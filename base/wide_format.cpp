#include "base/wide_format.h"

#include <cstdarg>
#include <cwchar>
#include <vector>

namespace tblf {

std::wstring FormatWide(const wchar_t* format, ...) {
  // vswprintf answers -1 both for a bad format and for a buffer too small,
  // so the buffer grows up to a bound that no report line comes near.
  constexpr std::size_t kLargest = std::size_t{1} << 20;
  std::vector<wchar_t> buffer(512);
  while (true) {
    va_list args;
    va_start(args, format);
    const int n = std::vswprintf(buffer.data(), buffer.size(), format, args);
    va_end(args);
    if (n >= 0) return std::wstring(buffer.data(), static_cast<std::size_t>(n));
    if (buffer.size() >= kLargest) return std::wstring();
    buffer.resize(buffer.size() * 4);
  }
}

}  // namespace tblf
