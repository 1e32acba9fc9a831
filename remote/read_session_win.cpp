#include "remote/read_session_win.h"

namespace tblf {

namespace {

// Blocks are committed in whole pages anyway.
constexpr std::size_t kPage = 4096;

}  // namespace

bool ReadSession::Open() {
  if (process_) return true;
  HANDLE handle = OpenWindowProcess(control_);
  if (handle == nullptr) return false;
  process_ = std::make_unique<ProcessHandle>(handle);
  width_ = TargetPointerWidth(handle);
  return true;
}

RemoteBlock* ReadSession::Memory(std::size_t size) {
  if (!process_) return nullptr;
  if (block_ && block_->size() >= size) return block_.get();
  block_.reset();
  auto block = std::make_unique<RemoteBlock>(*process_, (size + kPage - 1) / kPage * kPage);
  if (!*block) return nullptr;
  block_ = std::move(block);
  return block_.get();
}

bool ReadSession::TargetEnded() {
  if (!process_) return false;
  DWORD code = 0;
  if (!GetExitCodeProcess(*process_, &code) || code == STILL_ACTIVE) return false;
  Release();
  return true;
}

void ReadSession::Release() {
  block_.reset();
  process_.reset();
}

}  // namespace tblf
