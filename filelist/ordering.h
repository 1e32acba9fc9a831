#pragma once
// The order of the entries of one folder: fifteen order keys and three folder
// positions. Odd keys sort ascending, the even key after each gives the exact
// reverse of that order, the name tie-break included; the folder position
// stands outside the reversal.

#include <functional>
#include <string>
#include <vector>

#include "filelist/file_entry.h"
#include "filelist/file_list_options.h"
#include "base/text.h"

namespace tblf {

// The order list and the folder position list, in value order.
extern const BiText kOrderKeyNames[kOrderKeyCount];
extern const BiText kFolderPositionNames[3];

// Negative, zero or positive like lstrcmpiW (case-insensitive, locale-aware on Windows).
using NameCompare = std::function<int(const std::wstring&, const std::wstring&)>;

// A stand-in for lstrcmpiW where the system has none: letters compared
// without case (ASCII and Latin-1), everything else by code unit.
int CompareNamesWithoutCase(const std::wstring& a, const std::wstring& b);

// Sorts in place; key 0 (or a key out of range) keeps the enumeration order
// and ignores the folder position.
void SortEntries(std::vector<FileEntry>& entries, int orderKey, FolderPosition position, const NameCompare& compare);

}  // namespace tblf
