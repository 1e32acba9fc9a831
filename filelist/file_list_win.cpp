#include "filelist/file_list_win.h"

#include "base/message_box_win.h"

namespace tblf {

const BiText kFolderErrorText{
    L"カレントフォルダを移動できません：\n%s\n\n※Shiftキーを押しながらOKボタンを押下すると、以降このメッセージは表示しません。",
    L"Cannot change current folder:\n%s\n\nShift+OK : Ignored"};

namespace {

constexpr int kHintLine = 1035;

std::uint64_t Join(const FILETIME& t) { return (static_cast<std::uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime; }

}  // namespace

std::optional<std::wstring> Win32FolderAccess::CurrentDirectory() {
  // The buffer grows to what the system asks for: paths past MAX_PATH stay whole.
  std::wstring path(MAX_PATH, L'\0');
  for (int attempt = 0; attempt < 4; ++attempt) {
    const DWORD n = GetCurrentDirectoryW(static_cast<DWORD>(path.size()), path.data());
    if (n == 0) return std::nullopt;
    if (n < path.size()) {
      path.resize(n);
      return path;
    }
    path.resize(n);  // n counts the terminating zero here
  }
  return std::nullopt;
}

bool Win32FolderAccess::ChangeDirectory(const std::wstring& path) { return SetCurrentDirectoryW(path.c_str()) != 0; }

std::vector<FileEntry> Win32FolderAccess::Enumerate() {
  std::vector<FileEntry> entries;
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW(L"*.*", &data);
  if (find == INVALID_HANDLE_VALUE) return entries;
  do {
    FileEntry entry;
    entry.attributes = data.dwFileAttributes;
    entry.creationTime = Join(data.ftCreationTime);
    entry.lastAccessTime = Join(data.ftLastAccessTime);
    entry.lastWriteTime = Join(data.ftLastWriteTime);
    entry.size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    entry.name = data.cFileName;
    entry.shortName = data.cAlternateFileName;
    entries.push_back(std::move(entry));
  } while (FindNextFileW(find, &data));
  FindClose(find);
  return entries;
}

std::optional<std::wstring> Win32FolderAccess::ShortPath(const std::wstring& path) {
  std::wstring shortPath(MAX_PATH, L'\0');
  for (int attempt = 0; attempt < 4; ++attempt) {
    const DWORD n = GetShortPathNameW(path.c_str(), shortPath.data(), static_cast<DWORD>(shortPath.size()));
    if (n == 0) return std::nullopt;
    if (n < shortPath.size()) {
      shortPath.resize(n);
      return shortPath;
    }
    shortPath.resize(n);
  }
  return std::nullopt;
}

std::uint64_t Win32FolderAccess::ToLocalTime(std::uint64_t utc) {
  FILETIME in{static_cast<DWORD>(utc), static_cast<DWORD>(utc >> 32)};
  FILETIME out;
  return FileTimeToLocalFileTime(&in, &out) ? Join(out) : utc;
}

int Win32FolderAccess::CompareNames(const std::wstring& a, const std::wstring& b) {
  return lstrcmpiW(a.c_str(), b.c_str());
}

bool DialogWalkUi::ShiftDown() { return GetKeyState(VK_SHIFT) < 0; }

FolderErrorAnswer DialogWalkUi::FolderError(const std::wstring& name, const std::wstring&) {
  std::wstring text = kFolderErrorText.get();
  text.replace(text.find(L"%s"), 2, name);
  if (ShowMessageBox(owner_, text.c_str(), L"Tabulift", MB_OKCANCEL | MB_ICONEXCLAMATION) == IDCANCEL) {
    return FolderErrorAnswer::Cancel;
  }
  return GetKeyState(VK_SHIFT) < 0 ? FolderErrorAnswer::SkipAndSilence : FolderErrorAnswer::Skip;
}

void DialogWalkUi::SaveHint() {
  savedHint_.clear();
  HWND hint = owner_ ? GetDlgItem(owner_, kHintLine) : nullptr;
  if (hint == nullptr) return;
  savedHint_.resize(static_cast<std::size_t>(GetWindowTextLengthW(hint)) + 1);
  savedHint_.resize(GetWindowTextW(hint, savedHint_.data(), static_cast<int>(savedHint_.size())));
}

void DialogWalkUi::ShowHint(const std::wstring& relativePath) {
  if (owner_ != nullptr) SetDlgItemTextW(owner_, kHintLine, relativePath.c_str());
}

void DialogWalkUi::RestoreHint() { ShowHint(savedHint_); }

void DialogWalkUi::LetPaintThrough() {
  if (frame_ == nullptr) return;
  MSG msg;
  while (PeekMessageW(&msg, frame_, WM_PAINT, WM_PAINT, PM_REMOVE)) DispatchMessageW(&msg);
}

bool RunFileListWalk(HWND owner, HWND frame, RecordWriter& writer, const FileListOptions& options,
                     std::function<bool()> abortRequested) {
  Win32FolderAccess folders;
  DialogWalkUi ui(owner, frame, std::move(abortRequested));
  return WalkFileList(folders, ui, writer, options, g_japaneseUi);
}

}  // namespace tblf
