#pragma once
// Small Win32 helpers the Wine tests share: the clipboard's text and a
// file's bytes.

#include <string>

namespace tblf::test {

// The clipboard's CF_UNICODETEXT, or a text in brackets saying why there is none.
std::wstring ClipboardText();
// Replaces the clipboard's contents with `text`; false when it cannot be opened.
bool PutOnClipboard(const std::wstring& text);
// Every byte of the file, or nothing when it cannot be opened.
std::string FileBytes(const std::wstring& path);

// Writes `bytes` as the whole file; false when it cannot be created.
bool PutFileBytes(const std::wstring& path, const std::string& bytes);

}  // namespace tblf::test
