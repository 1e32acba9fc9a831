#include "output/record_writer.h"

namespace tblf {

// Stand-in for the system ANSI code page on systems without one: a
// double-byte code page where everything outside ASCII takes two bytes.
// Like WideCharToMultiByte with length -1, it stops at the first zero and
// counts the terminator.
int SystemAnsiLength(const std::wstring& text) {
  long long bytes = 1;
  for (wchar_t c : text) {
    if (c == L'\0') break;
    bytes += static_cast<unsigned long>(c) < 0x80 ? 1 : 2;
    if (bytes > 0x7FFFFFFF) return 0x7FFFFFFF;
  }
  return static_cast<int>(bytes);
}

}  // namespace tblf
