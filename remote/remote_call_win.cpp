#include "remote/remote_call_win.h"

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

RemoteBlock::RemoteBlock(HANDLE process, std::size_t size) : process_(process), size_(size) {
  if (size > 0) address_ = VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
}

RemoteBlock::~RemoteBlock() {
  if (address_ != nullptr) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
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
