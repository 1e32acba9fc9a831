#pragma once
// What the readers keep while they read one control: the target's process
// handle, its pointer width and one block of its memory for the requests and
// texts of an exchange. An output run keeps one for the whole run, so a row
// costs one write, its messages and one read; a single read makes its own
// and lets it go at once. Everything is given back when the session goes.

#include <windows.h>

#include <cstddef>
#include <memory>

#include "remote/item_layouts.h"
#include "remote/remote_call_win.h"

namespace tblf {

class ReadSession {
 public:
  explicit ReadSession(HWND control) : control_(control) {}
  ReadSession(const ReadSession&) = delete;
  ReadSession& operator=(const ReadSession&) = delete;
  ~ReadSession() { Release(); }

  HWND control() const { return control_; }

  // Opens the target's process on first use; false when it cannot be opened
  // (the next call tries again, as a fresh remote call would).
  bool Open();
  HANDLE process() const { return process_ ? static_cast<HANDLE>(*process_) : nullptr; }
  PointerWidth width() const { return width_; }

  // A block of at least `size` bytes in the target after Open: the one kept,
  // or a larger one in its place. It holds what the last exchange left, so
  // every exchange writes its whole area first, text space zeroed, as a fresh
  // block would be. Null when the allocation fails; the caller then sends
  // nothing.
  RemoteBlock* Memory(std::size_t size);

  // Asked after a failed exchange: true when the target process has ended.
  // The session then lets go of it, so the next Open fails like the remote
  // call of a process that is gone.
  bool TargetEnded();

  // Frees the block and closes the process.
  void Release();

 private:
  HWND control_;
  std::unique_ptr<ProcessHandle> process_;
  PointerWidth width_ = PointerWidth::Bits64;
  // Declared after the process: freed before the handle closes.
  std::unique_ptr<RemoteBlock> block_;
};

}  // namespace tblf
