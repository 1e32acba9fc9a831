#pragma once
// The request structures of the list view and tree view messages, as bytes in
// the layout of the target process. A 64-bit program reading a 32-bit target
// must write the 32-bit layouts (pointer fields of 4 bytes, no padding), and
// the 64-bit layouts otherwise; the same code encodes both, so both can be
// checked without a Windows desktop.
//
// The list view layouts are those without the Vista additions (piColFmt,
// iGroup; cxMin, cxDefault, cxIdeal): the reader never sets a mask that
// makes a control look at them.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tblf {

enum class PointerWidth : unsigned char { Bits32 = 32, Bits64 = 64 };

// Field offsets and size of one structure in one pointer width.
struct ListViewItemLayout {
  std::size_t mask, iItem, iSubItem, state, stateMask, pszText, cchTextMax, iImage, lParam, iIndent,
      iGroupId, cColumns, puColumns, size;
};
struct ListViewColumnLayout {
  std::size_t mask, fmt, cx, pszText, cchTextMax, iSubItem, iImage, iOrder, size;
};
struct TreeViewItemLayout {
  std::size_t mask, hItem, state, stateMask, pszText, cchTextMax, iImage, iSelectedImage, cChildren, lParam,
      size;
};

const ListViewItemLayout& ListViewItemLayoutFor(PointerWidth width);
const ListViewColumnLayout& ListViewColumnLayoutFor(PointerWidth width);
const TreeViewItemLayout& TreeViewItemLayoutFor(PointerWidth width);

// The fields the reader fills or reads back. Pointer-sized fields are carried
// as 64-bit numbers; in the 32-bit layout they are cut to their low 32 bits
// on encoding and zero-extended on decoding.
struct ListViewItemFields {
  std::uint32_t mask = 0;
  std::int32_t iItem = 0;
  std::int32_t iSubItem = 0;
  std::uint32_t state = 0;
  std::uint32_t stateMask = 0;
  std::uint64_t pszText = 0;
  std::int32_t cchTextMax = 0;
  std::int32_t iImage = 0;
  std::uint64_t lParam = 0;
};
struct ListViewColumnFields {
  std::uint32_t mask = 0;
  std::int32_t fmt = 0;
  std::int32_t cx = 0;
  std::uint64_t pszText = 0;
  std::int32_t cchTextMax = 0;
  std::int32_t iSubItem = 0;
  std::int32_t iImage = 0;
  std::int32_t iOrder = 0;
};
struct TreeViewItemFields {
  std::uint32_t mask = 0;
  std::uint64_t hItem = 0;
  std::uint32_t state = 0;
  std::uint32_t stateMask = 0;
  std::uint64_t pszText = 0;
  std::int32_t cchTextMax = 0;
  std::int32_t iImage = 0;
  std::int32_t iSelectedImage = 0;
  std::int32_t cChildren = 0;
  std::uint64_t lParam = 0;
};

// Encoded structures are zero-filled apart from the fields given.
std::vector<unsigned char> EncodeListViewItem(const ListViewItemFields& fields, PointerWidth width);
std::vector<unsigned char> EncodeListViewColumn(const ListViewColumnFields& fields, PointerWidth width);
std::vector<unsigned char> EncodeTreeViewItem(const TreeViewItemFields& fields, PointerWidth width);

// Decoding reads `bytes`, which must hold at least the layout's size; false
// (and the fields untouched) when it is shorter.
bool DecodeListViewItem(const std::vector<unsigned char>& bytes, PointerWidth width, ListViewItemFields* fields);
bool DecodeTreeViewItem(const std::vector<unsigned char>& bytes, PointerWidth width, TreeViewItemFields* fields);

// Pseudo column texts: "0x" and the value in upper-case hexadecimal with as
// many digits as the target's pointers have (8 or 16), and the state word
// as "0x%08X".
std::wstring FormatPointerValue(std::uint64_t value, PointerWidth width);
std::wstring FormatStateWord(std::uint32_t state);
// The state word back from its text; nothing for any other text (an empty
// cell of a control that did not answer).
std::optional<std::uint32_t> ParseStateWord(const std::wstring& text);

// The text of a block the control wrote into: up to the first zero, at most
// maxChars characters (a block without a zero is cut there).
std::wstring TextFromBlock(const std::vector<unsigned char>& bytes, std::size_t maxChars);

}  // namespace tblf
