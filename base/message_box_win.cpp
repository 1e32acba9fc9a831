#include "base/message_box_win.h"

#include <mutex>

namespace tblf {

namespace {
std::mutex g_hookMutex;
MessageBoxHook g_hook;
}  // namespace

int ShowMessageBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type) {
  MessageBoxHook hook;
  {
    std::lock_guard<std::mutex> lock(g_hookMutex);
    hook = g_hook;
  }
  if (hook) return hook(owner, text ? text : L"", caption ? caption : L"", type);
  return MessageBoxW(owner, text, caption, type);
}

void SetMessageBoxHook(MessageBoxHook hook) {
  std::lock_guard<std::mutex> lock(g_hookMutex);
  g_hook = std::move(hook);
}

}  // namespace tblf
