#pragma once
// The steps of putting a text on the clipboard; every step but Ok has its own
// message where the caller shows one.

namespace tblf {

enum class ClipboardResult { Ok, OpenFailed, AllocFailed, LockFailed, EmptyFailed, SetFailed };

}  // namespace tblf
