#pragma once
// The folder walk: depth first, pre-order, one row per entry below the root
// folder (the root itself gets none). Every folder is read by its full path;
// the process's current directory is only used to make a relative root
// folder full, and is never changed. The file system and the user interface
// are behind the two interfaces below, so the walk itself runs on an
// in-memory folder as well.
//
// A tree that links back into itself ends: a folder already on the path from
// the root (the same volume and file id) is listed but not entered again, and
// folder links are not entered at all unless the options ask for it. The walk
// keeps its levels on a list of its own rather than on the call stack, so any
// depth the file system allows is walked.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "filelist/file_entry.h"
#include "filelist/file_list_options.h"
#include "output/record_writer.h"

namespace tblf {

// Which folder a path leads to, links followed: the volume's serial number and
// the file id on it. A folder whose id the system cannot tell is never taken
// for another.
struct FolderId {
  std::uint32_t volume = 0;
  std::uint64_t file = 0;
  bool known = false;

  bool SameAs(const FolderId& other) const { return known && other.known && volume == other.volume && file == other.file; }
};

class FolderAccess {
 public:
  virtual ~FolderAccess() = default;
  // `path` made full against the current directory, without a trailing "\"
  // except a drive root's; nothing when it cannot be.
  virtual std::optional<std::wstring> FullPath(const std::wstring& path) = 0;
  // The folder at a full path, opened as the walk enters it: nothing when it
  // cannot be entered (missing, not a folder, no access).
  virtual std::optional<FolderId> Identify(const std::wstring& folder) = 0;
  // Every entry of the folder at a full path, in enumeration order, "." and
  // ".." included; empty when the enumeration cannot start.
  virtual std::vector<FileEntry> Enumerate(const std::wstring& folder) = 0;
  // The short form of a full path; nothing when the system gives none.
  virtual std::optional<std::wstring> ShortPath(const std::wstring& path) = 0;
  // FileTimeToLocalFileTime.
  virtual std::uint64_t ToLocalTime(std::uint64_t utc) = 0;
  // lstrcmpiW.
  virtual int CompareNames(const std::wstring& a, const std::wstring& b) = 0;
};

// The answer to a folder that cannot be entered.
enum class FolderErrorAnswer { Skip, SkipAndSilence, Cancel };

class WalkUi {
 public:
  virtual ~WalkUi() = default;
  // Shift is down as the run starts: folder errors of this run stay silent.
  virtual bool ShiftDown() = 0;
  // `name` as the level received it (the root path as given, or a folder's
  // own name below); `fullPath` is where it was looked for.
  virtual FolderErrorAnswer FolderError(const std::wstring& name, const std::wstring& fullPath) = 0;
  // The hint line: saved at the start, shows the relative path of the folder
  // being listed, put back at the end.
  virtual void SaveHint() = 0;
  virtual void ShowHint(const std::wstring& relativePath) = 0;
  virtual void RestoreHint() = 0;
  // Dispatches the pending paint messages of the frame window.
  virtual void LetPaintThrough() = 0;
  // The abort check after every template element: true ends the run.
  virtual bool AbortRequested() = 0;
};

// The whole run. True when the walk ended (folders skipped included); false
// when the user cancelled at a folder error or aborted. The hint line is as
// before, whatever the result.
bool WalkFileList(FolderAccess& folders, WalkUi& ui, RecordWriter& writer, const FileListOptions& options,
                  bool japanese);

// `folder` and `name` joined by one "\".
std::wstring JoinFolderPath(const std::wstring& folder, const std::wstring& name);

}  // namespace tblf
