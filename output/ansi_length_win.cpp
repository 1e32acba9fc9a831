#include <windows.h>

#include "output/record_writer.h"

namespace tblf {

// Bytes of the text in the system ANSI code page, terminating zero included;
// 0 when the system cannot convert it.
int SystemAnsiLength(const std::wstring& text) {
  return WideCharToMultiByte(GetACP(), 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
}

}  // namespace tblf
