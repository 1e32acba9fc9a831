#pragma once
// Every message to a window of another program goes through here: a send
// that gives up after 5000 ms, or at once when the system already considers
// the target hung.

#include <windows.h>

#include <cstdint>

namespace tblf {

constexpr UINT kTimedSendLimitMs = 5000;

// True when the exchange succeeded; *result then holds the message's result.
bool TimedSend(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);

inline HWND ToHwnd(std::uintptr_t id) { return reinterpret_cast<HWND>(id); }
inline std::uintptr_t FromHwnd(HWND hwnd) { return reinterpret_cast<std::uintptr_t>(hwnd); }

}  // namespace tblf
