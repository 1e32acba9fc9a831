#include "filelist/ordering.h"

#include <algorithm>

#include "filelist/template_renderer.h"

namespace tblf {

const BiText kOrderKeyNames[kOrderKeyCount] = {
    {L"指定しない", L"None"},
    {L"ファイル名（昇順）", L"FileName Asc"},
    {L"ファイル名（降順）", L"FileName Desc"},
    {L"サイズ（昇順）", L"Size Asc"},
    {L"サイズ（降順）", L"Size Desc"},
    {L"拡張子（昇順）", L"Ext Asc"},
    {L"拡張子（降順）", L"Ext Desc"},
    {L"最終更新日時（昇順）", L"LastWriteTime Asc"},
    {L"最終更新日時（降順）", L"LastWriteTime Desc"},
    {L"最終アクセス日時（昇順）", L"LastAccessTime Asc"},
    {L"最終アクセス日時（降順）", L"LastAccessTime Desc"},
    {L"作成日時（昇順）", L"CreationTime Asc"},
    {L"作成日時（降順）", L"CreationTime Desc"},
    {L"属性（昇順）", L"Attribute Asc"},
    {L"属性（降順）", L"Attribute Desc"},
};

const BiText kFolderPositionNames[3] = {
    {L"混在", L"None"},
    {L"ファイルの後にまとめる", L"After Files"},
    {L"ファイルの前にまとめる", L"Before Files"},
};

namespace {

wchar_t Fold(wchar_t c) {
  if ((c >= L'A' && c <= L'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) return static_cast<wchar_t>(c + 32);
  return c;
}

template <typename T>
int Compare(T a, T b) {
  return a < b ? -1 : (a > b ? 1 : 0);
}

// The ascending comparison of the key (1-based pair index), names deciding ties.
int CompareByKey(const FileEntry& a, const FileEntry& b, int pair, const NameCompare& names) {
  int c = 0;
  switch (pair) {
    case 1: return names(a.name, b.name);
    case 2: c = Compare(a.size, b.size); break;
    case 3: c = names(ExtensionOf(a.name), ExtensionOf(b.name)); break;
    case 4: c = Compare(a.lastWriteTime, b.lastWriteTime); break;
    case 5: c = Compare(a.lastAccessTime, b.lastAccessTime); break;
    case 6: c = Compare(a.creationTime, b.creationTime); break;
    case 7: c = Compare(a.attributes, b.attributes); break;
    default: return 0;
  }
  return c != 0 ? c : names(a.name, b.name);
}

}  // namespace

int CompareNamesWithoutCase(const std::wstring& a, const std::wstring& b) {
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    const wchar_t x = Fold(a[i]), y = Fold(b[i]);
    if (x != y) return x < y ? -1 : 1;
  }
  return Compare(a.size(), b.size());
}

void SortEntries(std::vector<FileEntry>& entries, int orderKey, FolderPosition position, const NameCompare& compare) {
  if (orderKey <= 0 || orderKey >= kOrderKeyCount) return;
  const int pair = (orderKey + 1) / 2;
  const bool descending = orderKey % 2 == 0;
  std::stable_sort(entries.begin(), entries.end(), [&](const FileEntry& a, const FileEntry& b) {
    if (position != FolderPosition::Mixed && a.IsFolder() != b.IsFolder()) {
      // After files: the file comes first; before files: the folder does.
      return position == FolderPosition::AfterFiles ? !a.IsFolder() : a.IsFolder();
    }
    const int c = CompareByKey(a, b, pair, compare);
    return descending ? c > 0 : c < 0;
  });
}

}  // namespace tblf
