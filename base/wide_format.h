#pragma once
// printf into a wide string, for the report texts built from format tables.

#include <string>

namespace tblf {

// The formatted text; empty only when the format itself is bad. A text longer
// than the first buffer is formatted again in a larger one, never cut.
std::wstring FormatWide(const wchar_t* format, ...);

}  // namespace tblf
