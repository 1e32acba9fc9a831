#include "remote/item_layouts.h"

#include <cstdio>
#include <cwchar>

namespace tblf {
namespace {

//                                     mask iItem iSub state sMask psz cch img lPar ind grp cCol puCol size
constexpr ListViewItemLayout kListViewItem32{0, 4, 8, 12, 16, 20, 24, 28, 32, 36, 40, 44, 48, 52};
constexpr ListViewItemLayout kListViewItem64{0, 4, 8, 12, 16, 24, 32, 36, 40, 48, 52, 56, 64, 72};
//                                         mask fmt cx psz cch iSub img ord size
constexpr ListViewColumnLayout kListViewColumn32{0, 4, 8, 12, 16, 20, 24, 28, 32};
constexpr ListViewColumnLayout kListViewColumn64{0, 4, 8, 16, 24, 28, 32, 36, 40};
//                                       mask hItem state sMask psz cch img selImg cChild lPar size
constexpr TreeViewItemLayout kTreeViewItem32{0, 4, 8, 12, 16, 20, 24, 28, 32, 36, 40};
constexpr TreeViewItemLayout kTreeViewItem64{0, 8, 16, 20, 24, 32, 36, 40, 44, 48, 56};

std::size_t PointerSize(PointerWidth width) { return width == PointerWidth::Bits32 ? 4 : 8; }

void Put(std::vector<unsigned char>& bytes, std::size_t offset, std::uint64_t value, std::size_t size) {
  for (std::size_t i = 0; i < size; ++i) bytes[offset + i] = static_cast<unsigned char>(value >> (8 * i));
}
void Put32(std::vector<unsigned char>& bytes, std::size_t offset, std::uint32_t value) { Put(bytes, offset, value, 4); }

std::uint64_t Get(const std::vector<unsigned char>& bytes, std::size_t offset, std::size_t size) {
  std::uint64_t value = 0;
  for (std::size_t i = 0; i < size; ++i) value |= static_cast<std::uint64_t>(bytes[offset + i]) << (8 * i);
  return value;
}
std::uint32_t Get32(const std::vector<unsigned char>& bytes, std::size_t offset) {
  return static_cast<std::uint32_t>(Get(bytes, offset, 4));
}

}  // namespace

const ListViewItemLayout& ListViewItemLayoutFor(PointerWidth width) {
  return width == PointerWidth::Bits32 ? kListViewItem32 : kListViewItem64;
}
const ListViewColumnLayout& ListViewColumnLayoutFor(PointerWidth width) {
  return width == PointerWidth::Bits32 ? kListViewColumn32 : kListViewColumn64;
}
const TreeViewItemLayout& TreeViewItemLayoutFor(PointerWidth width) {
  return width == PointerWidth::Bits32 ? kTreeViewItem32 : kTreeViewItem64;
}

std::vector<unsigned char> EncodeListViewItem(const ListViewItemFields& f, PointerWidth width) {
  const ListViewItemLayout& l = ListViewItemLayoutFor(width);
  const std::size_t ptr = PointerSize(width);
  std::vector<unsigned char> bytes(l.size, 0);
  Put32(bytes, l.mask, f.mask);
  Put32(bytes, l.iItem, static_cast<std::uint32_t>(f.iItem));
  Put32(bytes, l.iSubItem, static_cast<std::uint32_t>(f.iSubItem));
  Put32(bytes, l.state, f.state);
  Put32(bytes, l.stateMask, f.stateMask);
  Put(bytes, l.pszText, f.pszText, ptr);
  Put32(bytes, l.cchTextMax, static_cast<std::uint32_t>(f.cchTextMax));
  Put32(bytes, l.iImage, static_cast<std::uint32_t>(f.iImage));
  Put(bytes, l.lParam, f.lParam, ptr);
  return bytes;
}

std::vector<unsigned char> EncodeListViewColumn(const ListViewColumnFields& f, PointerWidth width) {
  const ListViewColumnLayout& l = ListViewColumnLayoutFor(width);
  std::vector<unsigned char> bytes(l.size, 0);
  Put32(bytes, l.mask, f.mask);
  Put32(bytes, l.fmt, static_cast<std::uint32_t>(f.fmt));
  Put32(bytes, l.cx, static_cast<std::uint32_t>(f.cx));
  Put(bytes, l.pszText, f.pszText, PointerSize(width));
  Put32(bytes, l.cchTextMax, static_cast<std::uint32_t>(f.cchTextMax));
  Put32(bytes, l.iSubItem, static_cast<std::uint32_t>(f.iSubItem));
  Put32(bytes, l.iImage, static_cast<std::uint32_t>(f.iImage));
  Put32(bytes, l.iOrder, static_cast<std::uint32_t>(f.iOrder));
  return bytes;
}

std::vector<unsigned char> EncodeTreeViewItem(const TreeViewItemFields& f, PointerWidth width) {
  const TreeViewItemLayout& l = TreeViewItemLayoutFor(width);
  const std::size_t ptr = PointerSize(width);
  std::vector<unsigned char> bytes(l.size, 0);
  Put32(bytes, l.mask, f.mask);
  Put(bytes, l.hItem, f.hItem, ptr);
  Put32(bytes, l.state, f.state);
  Put32(bytes, l.stateMask, f.stateMask);
  Put(bytes, l.pszText, f.pszText, ptr);
  Put32(bytes, l.cchTextMax, static_cast<std::uint32_t>(f.cchTextMax));
  Put32(bytes, l.iImage, static_cast<std::uint32_t>(f.iImage));
  Put32(bytes, l.iSelectedImage, static_cast<std::uint32_t>(f.iSelectedImage));
  Put32(bytes, l.cChildren, static_cast<std::uint32_t>(f.cChildren));
  Put(bytes, l.lParam, f.lParam, ptr);
  return bytes;
}

bool DecodeListViewItem(const std::vector<unsigned char>& bytes, PointerWidth width, ListViewItemFields* f) {
  const ListViewItemLayout& l = ListViewItemLayoutFor(width);
  if (bytes.size() < l.size) return false;
  const std::size_t ptr = PointerSize(width);
  f->mask = Get32(bytes, l.mask);
  f->iItem = static_cast<std::int32_t>(Get32(bytes, l.iItem));
  f->iSubItem = static_cast<std::int32_t>(Get32(bytes, l.iSubItem));
  f->state = Get32(bytes, l.state);
  f->stateMask = Get32(bytes, l.stateMask);
  f->pszText = Get(bytes, l.pszText, ptr);
  f->cchTextMax = static_cast<std::int32_t>(Get32(bytes, l.cchTextMax));
  f->iImage = static_cast<std::int32_t>(Get32(bytes, l.iImage));
  f->lParam = Get(bytes, l.lParam, ptr);
  return true;
}

bool DecodeTreeViewItem(const std::vector<unsigned char>& bytes, PointerWidth width, TreeViewItemFields* f) {
  const TreeViewItemLayout& l = TreeViewItemLayoutFor(width);
  if (bytes.size() < l.size) return false;
  const std::size_t ptr = PointerSize(width);
  f->mask = Get32(bytes, l.mask);
  f->hItem = Get(bytes, l.hItem, ptr);
  f->state = Get32(bytes, l.state);
  f->stateMask = Get32(bytes, l.stateMask);
  f->pszText = Get(bytes, l.pszText, ptr);
  f->cchTextMax = static_cast<std::int32_t>(Get32(bytes, l.cchTextMax));
  f->iImage = static_cast<std::int32_t>(Get32(bytes, l.iImage));
  f->iSelectedImage = static_cast<std::int32_t>(Get32(bytes, l.iSelectedImage));
  f->cChildren = static_cast<std::int32_t>(Get32(bytes, l.cChildren));
  f->lParam = Get(bytes, l.lParam, ptr);
  return true;
}

std::wstring FormatPointerValue(std::uint64_t value, PointerWidth width) {
  wchar_t text[24];
  if (width == PointerWidth::Bits32) {
    std::swprintf(text, 24, L"0x%08llX", static_cast<unsigned long long>(value & 0xFFFFFFFFull));
  } else {
    std::swprintf(text, 24, L"0x%016llX", static_cast<unsigned long long>(value));
  }
  return text;
}

std::wstring FormatStateWord(std::uint32_t state) {
  wchar_t text[16];
  std::swprintf(text, 16, L"0x%08X", static_cast<unsigned>(state));
  return text;
}

std::optional<std::uint32_t> ParseStateWord(const std::wstring& text) {
  if (text.size() != 10 || text.compare(0, 2, L"0x") != 0) return std::nullopt;
  std::uint32_t value = 0;
  for (std::size_t i = 2; i < text.size(); ++i) {
    const wchar_t c = text[i];
    const int digit = c >= L'0' && c <= L'9' ? c - L'0' : c >= L'A' && c <= L'F' ? c - L'A' + 10 : -1;
    if (digit < 0) return std::nullopt;
    value = value << 4 | static_cast<std::uint32_t>(digit);
  }
  return value;
}

std::wstring TextFromBlock(const std::vector<unsigned char>& bytes, std::size_t maxChars) {
  std::wstring text;
  const std::size_t chars = bytes.size() / 2;
  for (std::size_t i = 0; i < chars && i < maxChars; ++i) {
    const wchar_t c = static_cast<wchar_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
    if (c == L'\0') break;
    text += c;
  }
  return text;
}

}  // namespace tblf
