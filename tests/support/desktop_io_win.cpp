#include "tests/support/desktop_io_win.h"

#include <windows.h>

#include <algorithm>

namespace tblf::test {

std::wstring ClipboardText() {
  if (!OpenClipboard(nullptr)) return L"(clipboard cannot be opened)";
  std::wstring text;
  HANDLE data = GetClipboardData(CF_UNICODETEXT);
  if (data == nullptr) {
    text = L"(no CF_UNICODETEXT)";
  } else {
    const auto* chars = static_cast<const wchar_t*>(GlobalLock(data));
    text = chars ? chars : L"(lock failed)";
    GlobalUnlock(data);
  }
  CloseClipboard();
  return text;
}

bool PutOnClipboard(const std::wstring& text) {
  if (!OpenClipboard(nullptr)) return false;
  EmptyClipboard();
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
  bool ok = false;
  if (block != nullptr) {
    auto* target = static_cast<wchar_t*>(GlobalLock(block));
    std::copy(text.c_str(), text.c_str() + text.size() + 1, target);
    GlobalUnlock(block);
    ok = SetClipboardData(CF_UNICODETEXT, block) != nullptr;
    if (!ok) GlobalFree(block);
  }
  CloseClipboard();
  return ok;
}

std::string FileBytes(const std::wstring& path) {
  std::string bytes;
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return bytes;
  char buffer[65536];
  DWORD read = 0;
  while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) bytes.append(buffer, read);
  CloseHandle(file);
  return bytes;
}

bool PutFileBytes(const std::wstring& path, const std::string& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_ARCHIVE, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                  written == bytes.size();
  CloseHandle(file);
  return ok;
}

}  // namespace tblf::test
