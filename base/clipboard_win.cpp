#include "base/clipboard_win.h"

namespace tblf {
namespace {

// The clipboard, closed on every way out.
class OpenedClipboard {
 public:
  explicit OpenedClipboard(HWND owner) : open_(OpenClipboard(owner) != FALSE) {}
  OpenedClipboard(const OpenedClipboard&) = delete;
  OpenedClipboard& operator=(const OpenedClipboard&) = delete;
  ~OpenedClipboard() {
    if (open_) CloseClipboard();
  }
  explicit operator bool() const { return open_; }

 private:
  bool open_;
};

// A global block, freed unless it has been handed to the clipboard.
class GlobalBlock {
 public:
  explicit GlobalBlock(SIZE_T bytes) : block_(GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes)) {}
  GlobalBlock(const GlobalBlock&) = delete;
  GlobalBlock& operator=(const GlobalBlock&) = delete;
  ~GlobalBlock() {
    if (block_) GlobalFree(block_);
  }
  HGLOBAL get() const { return block_; }
  void Release() { block_ = nullptr; }

 private:
  HGLOBAL block_;
};

}  // namespace

ClipboardResult CopyTextToClipboard(HWND owner, std::size_t length, const std::function<void(wchar_t*)>& fill) {
  OpenedClipboard clipboard(owner);
  if (!clipboard) return ClipboardResult::OpenFailed;
  GlobalBlock block((length + 1) * sizeof(wchar_t));
  if (!block.get()) return ClipboardResult::AllocFailed;
  auto* data = static_cast<wchar_t*>(GlobalLock(block.get()));
  if (!data) return ClipboardResult::LockFailed;
  fill(data);
  GlobalUnlock(block.get());
  if (!EmptyClipboard()) return ClipboardResult::EmptyFailed;
  if (!SetClipboardData(CF_UNICODETEXT, block.get())) return ClipboardResult::SetFailed;
  block.Release();  // the clipboard owns it now
  return ClipboardResult::Ok;
}

}  // namespace tblf
