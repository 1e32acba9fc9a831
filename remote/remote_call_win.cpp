#include "remote/remote_call_win.h"

#include <memory>
#include <mutex>
#include <set>

#include "remote/remote_text.h"

namespace tblf {

HANDLE OpenWindowProcess(HWND window) {
  DWORD processId = 0;
  if (GetWindowThreadProcessId(window, &processId) == 0 || processId == 0) return nullptr;
  return OpenProcess(kRemoteProcessAccess, FALSE, processId);
}

PointerWidth TargetPointerWidth(HANDLE process) {
#if defined(_WIN64)
  BOOL wow64 = FALSE;
  if (IsWow64Process(process, &wow64) && wow64) return PointerWidth::Bits32;
  return PointerWidth::Bits64;
#else
  (void)process;
  return PointerWidth::Bits32;
#endif
}

namespace {

// One call on its helper thread; the thread owns it and lets it go.
struct MemoryCall {
  HANDLE process;  // the helper's own duplicate
  DWORD processId;
  std::function<void(HANDLE)> call;
};

// Processes with a call still out. Never destroyed: a helper thread that
// returns after the program has begun to end still reaches it.
struct OutstandingCalls {
  std::mutex lock;
  std::set<DWORD> processes;
};
OutstandingCalls& Outstanding() {
  static OutstandingCalls* calls = new OutstandingCalls;
  return *calls;
}

DWORD WINAPI RunMemoryCall(void* parameter) {
  std::unique_ptr<MemoryCall> work(static_cast<MemoryCall*>(parameter));
  work->call(work->process);
  CloseHandle(work->process);
  std::lock_guard<std::mutex> hold(Outstanding().lock);
  Outstanding().processes.erase(work->processId);
  return 0;
}

}  // namespace

bool CallWithinLimit(HANDLE process, DWORD limitMs, const std::function<void(HANDLE process)>& call) {
  const DWORD processId = GetProcessId(process);
  {
    std::lock_guard<std::mutex> hold(Outstanding().lock);
    if (Outstanding().processes.count(processId) != 0) return false;
  }
  auto work = std::make_unique<MemoryCall>();
  if (!DuplicateHandle(GetCurrentProcess(), process, GetCurrentProcess(), &work->process, 0, FALSE,
                       DUPLICATE_SAME_ACCESS))
    return false;
  work->processId = processId;
  work->call = call;
  {
    std::lock_guard<std::mutex> hold(Outstanding().lock);
    Outstanding().processes.insert(processId);
  }
  MemoryCall* handedOver = work.get();
  HANDLE thread = CreateThread(nullptr, 64 * 1024, RunMemoryCall, handedOver, STACK_SIZE_PARAM_IS_A_RESERVATION,
                               nullptr);
  if (thread == nullptr) {
    CloseHandle(work->process);
    std::lock_guard<std::mutex> hold(Outstanding().lock);
    Outstanding().processes.erase(processId);
    return false;
  }
  work.release();
  const bool done = WaitForSingleObject(thread, limitMs) == WAIT_OBJECT_0;
  CloseHandle(thread);
  return done;
}

RemoteBlock::RemoteBlock(HANDLE process, std::size_t size) : process_(process), size_(size) {
  if (size == 0) return;
  // The address comes back through a shared cell: a call that returns too
  // late writes where nobody looks any more.
  auto address = std::make_shared<void*>(nullptr);
  if (CallWithinLimit(process, kRemoteAllocLimitMs, [address, size](HANDLE target) {
        *address = VirtualAllocEx(target, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
      }))
    address_ = *address;
}

RemoteBlock::~RemoteBlock() {
  if (address_ == nullptr) return;
  void* address = address_;
  CallWithinLimit(process_, kRemoteFreeLimitMs, [address](HANDLE target) { VirtualFreeEx(target, address, 0, MEM_RELEASE); });
}

bool RemoteBlock::Write(const std::vector<unsigned char>& bytes) const {
  if (address_ == nullptr || bytes.size() > size_) return false;
  SIZE_T written = 0;
  return WriteProcessMemory(process_, address_, bytes.data(), bytes.size(), &written) && written == bytes.size();
}

bool RemoteBlock::Read(std::vector<unsigned char>* bytes) const {
  bytes->assign(size_, 0);
  SIZE_T read = 0;
  if (address_ == nullptr || !ReadProcessMemory(process_, address_, bytes->data(), size_, &read) ||
      read != size_) {
    bytes->clear();
    return false;
  }
  return true;
}

bool RemoteBlock::WriteFront(const unsigned char* bytes, std::size_t size) const {
  if (address_ == nullptr || size > size_) return false;
  SIZE_T written = 0;
  return WriteProcessMemory(process_, address_, bytes, size, &written) && written == size;
}

bool RemoteBlock::ReadFront(unsigned char* bytes, std::size_t size) const {
  if (address_ == nullptr || size > size_) return false;
  SIZE_T read = 0;
  return ReadProcessMemory(process_, address_, bytes, size, &read) && read == size;
}

std::wstring ReadRemoteText(HANDLE process, std::uint64_t address, std::size_t maxChars) {
  const ReadMemory read = [process](std::uint64_t at, void* out, std::size_t size) -> std::size_t {
    SIZE_T got = 0;
    // A piece never crosses a page, so it is readable whole or not at all; a
    // partial copy still reports what it got.
    if (!ReadProcessMemory(process, reinterpret_cast<const void*>(static_cast<std::uintptr_t>(at)), out, size, &got))
      return got <= size ? static_cast<std::size_t>(got) : 0;
    return static_cast<std::size_t>(got);
  };
  return ReadTextInPieces(read, address, maxChars);
}

}  // namespace tblf
