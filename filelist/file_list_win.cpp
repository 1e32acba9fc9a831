#include "filelist/file_list_win.h"

#include "base/message_box_win.h"

namespace tblf {

const BiText kFolderErrorText{
    L"カレントフォルダを移動できません：\n%s\n\n※Shiftキーを押しながらOKボタンを押下すると、以降このメッセージは表示しません。",
    L"Cannot change current folder:\n%s\n\nShift+OK : Ignored"};

namespace {

constexpr int kHintLine = 1035;

std::uint64_t Join(const FILETIME& t) { return (static_cast<std::uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime; }

// The form that lifts the 260-character limit: "\\?\C:\..." or
// "\\?\UNC\server\share\...".
std::wstring LongPath(const std::wstring& full) {
  if (full.rfind(L"\\\\?\\", 0) == 0) return full;
  if (full.rfind(L"\\\\", 0) == 0) return L"\\\\?\\UNC\\" + full.substr(2);
  return L"\\\\?\\" + full;
}

// The same path as people write it.
std::wstring PlainPath(const std::wstring& path) {
  if (path.rfind(L"\\\\?\\UNC\\", 0) == 0) return L"\\\\" + path.substr(8);
  if (path.rfind(L"\\\\?\\", 0) == 0) return path.substr(4);
  return path;
}

}  // namespace

std::optional<std::wstring> Win32FolderAccess::FullPath(const std::wstring& path) {
  if (path.empty()) return std::nullopt;
  // The buffer grows to what the system asks for: paths past MAX_PATH stay whole.
  std::wstring full(MAX_PATH, L'\0');
  for (int attempt = 0; attempt < 4; ++attempt) {
    const DWORD n = GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (n == 0) return std::nullopt;
    if (n < full.size()) {
      full.resize(n);
      full = PlainPath(full);
      // "C:\dir\" names the folder "C:\dir"; a drive root keeps its "\".
      while (full.size() > 3 && full.back() == L'\\') full.pop_back();
      return full;
    }
    full.resize(n);  // n counts the terminating zero here
  }
  return std::nullopt;
}

std::optional<FolderId> Win32FolderAccess::Identify(const std::wstring& folder) {
  const std::wstring path = LongPath(folder);
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) return std::nullopt;
  // Opened without FILE_FLAG_OPEN_REPARSE_POINT: a link gives its target's id.
  HANDLE handle = CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return std::nullopt;
  BY_HANDLE_FILE_INFORMATION info{};
  FolderId id;
  if (GetFileInformationByHandle(handle, &info)) {
    id.volume = info.dwVolumeSerialNumber;
    id.file = (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    id.known = true;
  }
  CloseHandle(handle);
  return id;
}

std::vector<FileEntry> Win32FolderAccess::Enumerate(const std::wstring& folder) {
  std::vector<FileEntry> entries;
  WIN32_FIND_DATAW data;
  // "*" finds what "*.*" finds.
  const std::wstring pattern = JoinFolderPath(LongPath(folder), L"*");
  HANDLE find = FindFirstFileW(pattern.c_str(), &data);
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
  const std::wstring longPath = LongPath(path);
  std::wstring shortPath(MAX_PATH, L'\0');
  for (int attempt = 0; attempt < 4; ++attempt) {
    const DWORD n = GetShortPathNameW(longPath.c_str(), shortPath.data(), static_cast<DWORD>(shortPath.size()));
    if (n == 0) return std::nullopt;
    if (n < shortPath.size()) {
      shortPath.resize(n);
      return PlainPath(shortPath);
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
