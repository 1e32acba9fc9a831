#pragma once
// Putting text on the clipboard as CF_UNICODETEXT.

#include <windows.h>

#include <cstddef>
#include <functional>

#include "base/clipboard.h"

namespace tblf {

// Opens the clipboard for `owner` (may be null), takes a zeroed block of
// `length` + 1 characters, lets `fill` write at most `length` characters into
// it, and hands it to the clipboard. On every failure the block is freed and
// the clipboard closed before the answer returns.
ClipboardResult CopyTextToClipboard(HWND owner, std::size_t length, const std::function<void(wchar_t*)>& fill);

}  // namespace tblf
