#pragma once
// The pieces of a remote call: the target's process handle and blocks of its
// memory, each in a small owner, so that one request reads as two nested
// scopes and no early return leaks a handle or a remote allocation.

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "remote/item_layouts.h"

namespace tblf {

// Access for reading and writing the target's memory (0x438).
constexpr DWORD kRemoteProcessAccess =
    PROCESS_QUERY_INFORMATION | PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE;

class ProcessHandle {
 public:
  ProcessHandle() = default;
  explicit ProcessHandle(HANDLE handle) : handle_(handle) {}
  ProcessHandle(const ProcessHandle&) = delete;
  ProcessHandle& operator=(const ProcessHandle&) = delete;
  ~ProcessHandle() {
    if (handle_ != nullptr) CloseHandle(handle_);
  }
  explicit operator bool() const { return handle_ != nullptr; }
  operator HANDLE() const { return handle_; }

 private:
  HANDLE handle_ = nullptr;
};

// Opens the process that owns `window` with kRemoteProcessAccess; a null
// handle when it cannot be opened.
HANDLE OpenWindowProcess(HWND window);

// The pointer width of the target: on a 64-bit build, a WOW64 target is a
// 32-bit one; a 32-bit build only ever meets targets of its own width.
PointerWidth TargetPointerWidth(HANDLE process);

// How long a remote memory call may take. Wine carries VirtualAllocEx and
// VirtualFreeEx out inside the target, so a target whose process is stopped
// never answers them; they run on a helper thread and are given up after
// this long. A release given up leaves the block to the target, which costs
// less than an allocation given up (a failed read), hence its shorter limit.
constexpr DWORD kRemoteAllocLimitMs = 2000;
constexpr DWORD kRemoteFreeLimitMs = 1000;

// Runs `call` with a handle of `process` on a helper thread and waits for it
// at most `limitMs`; false when it did not return in time (it then finishes,
// or waits for good, on its own, with its own handle). While a call for a
// process is still out, later ones for that process give up at once.
bool CallWithinLimit(HANDLE process, DWORD limitMs, const std::function<void(HANDLE process)>& call);

// A committed, zero-filled read-write block in the target, released on
// destruction. A failed allocation, or a size of 0, leaves it empty (address
// 0); so does one that did not return within the limit, and a release that
// does not return in time leaves the block to the target.
class RemoteBlock {
 public:
  RemoteBlock(HANDLE process, std::size_t size);
  RemoteBlock(const RemoteBlock&) = delete;
  RemoteBlock& operator=(const RemoteBlock&) = delete;
  ~RemoteBlock();

  explicit operator bool() const { return address_ != nullptr; }
  // The block's address in the target, as a message parameter or a pointer field.
  std::uint64_t address() const { return reinterpret_cast<std::uintptr_t>(address_); }
  LPARAM param() const { return reinterpret_cast<LPARAM>(address_); }
  std::size_t size() const { return size_; }

  bool Write(const std::vector<unsigned char>& bytes) const;
  // Reads the whole block; false (and an empty vector) when the read fails.
  bool Read(std::vector<unsigned char>* bytes) const;
  // One WriteProcessMemory or ReadProcessMemory of `size` bytes from the
  // block's start; false unless every byte went across.
  bool WriteFront(const unsigned char* bytes, std::size_t size) const;
  bool ReadFront(unsigned char* bytes, std::size_t size) const;

 private:
  HANDLE process_;
  void* address_ = nullptr;
  std::size_t size_;
};

// Reads a zero-terminated text at `address` in the target: at most maxChars
// characters, stopping at the first zero. The memory is read in pieces that
// never cross a page boundary, so an unreadable page further on keeps what
// was read before it; nothing readable gives an empty text.
std::wstring ReadRemoteText(HANDLE process, std::uint64_t address, std::size_t maxChars);

}  // namespace tblf
