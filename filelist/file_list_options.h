#pragma once
// The choices of one file list run, as the file list dialog fills them and
// the command line's files verb gives them.

#include <string>

namespace tblf {

// 0 keeps the enumeration order; odd keys sort ascending, the even key after
// each its exact reverse (names, sizes, extensions, the three times,
// attributes; see kOrderKeyNames).
constexpr int kOrderKeyCount = 15;

// Where folders go in a sorted list.
enum class FolderPosition : unsigned char { Mixed = 0, AfterFiles = 1, BeforeFiles = 2 };

struct FileListOptions {
  std::wstring rootFolder;
  std::wstring templateText;
  unsigned char orderKey = 0;
  FolderPosition folderPosition = FolderPosition::Mixed;
  bool includeSubfolders = true;
  bool foldersOnly = false;
  bool localTime = false;
  // Descend into folder links (junctions, symbolic links) too; a link is
  // listed either way. The dialog leaves it off.
  bool followLinks = false;
};

}  // namespace tblf
