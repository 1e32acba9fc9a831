#pragma once
// The folder walk: depth first, pre-order, one row per entry below the root
// folder (the root itself gets none). It works as the program always has, by
// making each folder the process's current directory in turn; the file
// system and the user interface are behind the two interfaces below, so the
// walk itself runs on an in-memory folder as well.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "filelist/file_entry.h"
#include "filelist/file_list_options.h"
#include "output/record_writer.h"

namespace tblf {

class FolderAccess {
 public:
  virtual ~FolderAccess() = default;
  // The full path of the current directory, however long; nothing when it
  // cannot be read.
  virtual std::optional<std::wstring> CurrentDirectory() = 0;
  // Changes the current directory (a full path, or a name relative to it).
  virtual bool ChangeDirectory(const std::wstring& path) = 0;
  // Every entry of "*.*" in the current directory in enumeration order,
  // "." and ".." included; empty when the enumeration cannot start.
  virtual std::vector<FileEntry> Enumerate() = 0;
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
  // `name` as the level received it (the root path, or a folder's own name
  // below); `parent` is the directory it was entered from.
  virtual FolderErrorAnswer FolderError(const std::wstring& name, const std::wstring& parent) = 0;
  // The hint line: saved at the start, shows the relative path of the folder
  // being listed, put back at the end.
  virtual void SaveHint() = 0;
  virtual void ShowHint(const std::wstring& relativePath) = 0;
  virtual void RestoreHint() = 0;
  // Dispatches the pending paint messages of the frame window.
  virtual void LetPaintThrough() = 0;
  // The Esc check after every template element: true ends the run.
  virtual bool AbortRequested() = 0;
};

// The whole run. True when the walk ended (folders skipped included); false
// when the user cancelled at a folder error or aborted. The current
// directory and the hint line are as before, whatever the result.
bool WalkFileList(FolderAccess& folders, WalkUi& ui, RecordWriter& writer, const FileListOptions& options,
                  bool japanese);

}  // namespace tblf
