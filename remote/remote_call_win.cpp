#include "remote/remote_call_win.h"

#include <atomic>
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

// The helper thread's side: one call at a time, handed over through two
// events. A helper whose call did not return in time is left to it, with
// this, and a new one takes the next call; it ends when its call returns.
struct Helper {
  HANDLE request = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  HANDLE done = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  std::function<void()> call;
  std::atomic<bool> abandoned{false};
  ~Helper() {
    CloseHandle(request);
    CloseHandle(done);
  }
};

// The helper in service and the processes with a call still out. Never
// destroyed: a call that returns after the program has begun to end still
// reaches it.
struct Helpers {
  std::mutex lock;  // one call at a time
  std::shared_ptr<Helper> current;
  std::mutex outstandingLock;
  std::set<DWORD> outstanding;
};
Helpers& TheHelpers() {
  static Helpers* helpers = new Helpers;
  return *helpers;
}

DWORD WINAPI RunHelper(void* parameter) {
  std::unique_ptr<std::shared_ptr<Helper>> owned(static_cast<std::shared_ptr<Helper>*>(parameter));
  const std::shared_ptr<Helper> helper = *owned;
  while (WaitForSingleObject(helper->request, INFINITE) == WAIT_OBJECT_0) {
    helper->call();
    helper->call = nullptr;
    if (helper->abandoned.load()) break;
    SetEvent(helper->done);
  }
  return 0;
}

std::shared_ptr<Helper> StartHelper() {
  auto helper = std::make_shared<Helper>();
  if (helper->request == nullptr || helper->done == nullptr) return nullptr;
  auto* handedOver = new std::shared_ptr<Helper>(helper);
  HANDLE thread = CreateThread(nullptr, 64 * 1024, RunHelper, handedOver, STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
  if (thread == nullptr) {
    delete handedOver;
    return nullptr;
  }
  CloseHandle(thread);
  return helper;
}

}  // namespace

bool CallWithinLimit(HANDLE process, DWORD limitMs, const std::function<void(HANDLE process)>& call) {
  Helpers& helpers = TheHelpers();
  const DWORD processId = GetProcessId(process);
  {
    std::lock_guard<std::mutex> hold(helpers.outstandingLock);
    if (helpers.outstanding.count(processId) != 0) return false;
  }
  // The helper works on a handle of its own, which outlives a caller that
  // stopped waiting.
  HANDLE own = nullptr;
  if (!DuplicateHandle(GetCurrentProcess(), process, GetCurrentProcess(), &own, 0, FALSE, DUPLICATE_SAME_ACCESS))
    return false;
  std::lock_guard<std::mutex> serve(helpers.lock);
  if (!helpers.current) helpers.current = StartHelper();
  if (!helpers.current) {
    CloseHandle(own);
    return false;
  }
  {
    std::lock_guard<std::mutex> hold(helpers.outstandingLock);
    helpers.outstanding.insert(processId);
  }
  helpers.current->call = [call, own, processId, &helpers] {
    call(own);
    CloseHandle(own);
    std::lock_guard<std::mutex> hold(helpers.outstandingLock);
    helpers.outstanding.erase(processId);
  };
  SetEvent(helpers.current->request);
  if (WaitForSingleObject(helpers.current->done, limitMs) == WAIT_OBJECT_0) return true;
  helpers.current->abandoned.store(true);
  // The call may have returned right now: then the helper waits for a call
  // that never comes, one idle thread left behind.
  helpers.current.reset();
  return false;
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
