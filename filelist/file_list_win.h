#pragma once
// The file list on Windows: the folder walk by full paths ("\\?\" forms,
// so no 260-character limit) and FindFirstFileW, the main dialog's hint line
// and the folder error question.

#include <windows.h>

#include <functional>

#include "filelist/file_list_options.h"
#include "filelist/folder_walk.h"
#include "base/text.h"

namespace tblf {

// "Cannot change current folder:\n%s\n\nShift+OK : Ignored", %s the folder name.
extern const BiText kFolderErrorText;

class Win32FolderAccess : public FolderAccess {
 public:
  std::optional<std::wstring> FullPath(const std::wstring& path) override;
  std::optional<FolderId> Identify(const std::wstring& folder) override;
  std::vector<FileEntry> Enumerate(const std::wstring& folder) override;
  std::optional<std::wstring> ShortPath(const std::wstring& path) override;
  std::uint64_t ToLocalTime(std::uint64_t utc) override;
  int CompareNames(const std::wstring& a, const std::wstring& b) override;
};

// The main dialog's side of a run: its hint line (control 1035), the folder
// error question owned by it (OK / Cancel, Shift+OK silences the rest of the
// run), the frame window's paint messages. `abortRequested` is the Esc check.
class DialogWalkUi : public WalkUi {
 public:
  DialogWalkUi(HWND owner, HWND frame, std::function<bool()> abortRequested)
      : owner_(owner), frame_(frame), abortRequested_(std::move(abortRequested)) {}
  bool ShiftDown() override;
  FolderErrorAnswer FolderError(const std::wstring& name, const std::wstring& fullPath) override;
  void SaveHint() override;
  void ShowHint(const std::wstring& relativePath) override;
  void RestoreHint() override;
  void LetPaintThrough() override;
  bool AbortRequested() override { return abortRequested_ && abortRequested_(); }

 private:
  HWND owner_;
  HWND frame_;
  std::function<bool()> abortRequested_;
  std::wstring savedHint_;
};

// The run the output engine asks for: the walk with the dialog's UI.
bool RunFileListWalk(HWND owner, HWND frame, RecordWriter& writer, const FileListOptions& options,
                     std::function<bool()> abortRequested);

}  // namespace tblf
