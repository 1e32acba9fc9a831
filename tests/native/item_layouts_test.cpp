#include "remote/item_layouts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace tblf {
namespace {

std::uint64_t Read(const std::vector<unsigned char>& b, std::size_t offset, std::size_t size) {
  std::uint64_t v = 0;
  for (std::size_t i = 0; i < size; ++i) v |= static_cast<std::uint64_t>(b[offset + i]) << (8 * i);
  return v;
}

struct LayoutCase {
  const char* name;
  PointerWidth width;
  std::size_t listItemSize, listPszText, listCchTextMax, listIImage, listLParam;
  std::size_t columnSize, columnPszText, columnCchTextMax;
  std::size_t treeSize, treeHItem, treePszText, treeCchTextMax;
  std::size_t pointerSize;
};

const LayoutCase kLayouts[] = {
    {"32-bit target", PointerWidth::Bits32, 52, 20, 24, 28, 32, 32, 12, 16, 40, 4, 16, 20, 4},
    {"64-bit target", PointerWidth::Bits64, 72, 24, 32, 36, 40, 40, 16, 24, 56, 8, 24, 32, 8},
};

constexpr std::uint64_t kWideAddress = 0x1122334455667788ull;

TEST(ItemLayouts, ListViewItemBytesByWidth) {
  for (const LayoutCase& c : kLayouts) {
    SCOPED_TRACE(c.name);
    ListViewItemFields f;
    f.mask = 0x1;
    f.iItem = 7;
    f.iSubItem = 3;
    f.state = 0x2;
    f.stateMask = 0xFFFFFFFF;
    f.pszText = kWideAddress;
    f.cchTextMax = 2048;
    f.iImage = -1;
    f.lParam = kWideAddress;
    const std::vector<unsigned char> b = EncodeListViewItem(f, c.width);
    ASSERT_EQ(b.size(), c.listItemSize);
    EXPECT_EQ(Read(b, 0, 4), 0x1u);
    EXPECT_EQ(Read(b, 4, 4), 7u);
    EXPECT_EQ(Read(b, 8, 4), 3u);
    EXPECT_EQ(Read(b, 12, 4), 0x2u);
    EXPECT_EQ(Read(b, 16, 4), 0xFFFFFFFFu);
    const std::uint64_t expectedPointer = c.pointerSize == 4 ? 0x55667788u : kWideAddress;
    EXPECT_EQ(Read(b, c.listPszText, c.pointerSize), expectedPointer);
    EXPECT_EQ(Read(b, c.listCchTextMax, 4), 2048u);
    EXPECT_EQ(Read(b, c.listIImage, 4), 0xFFFFFFFFu);
    EXPECT_EQ(Read(b, c.listLParam, c.pointerSize), expectedPointer);
    // Nothing else is written: padding and the unused tail stay zero.
    std::vector<unsigned char> rest = b;
    for (std::size_t o : {0u, 4u, 8u, 12u, 16u}) std::fill_n(rest.begin() + o, 4, 0);
    std::fill_n(rest.begin() + c.listPszText, c.pointerSize, 0);
    std::fill_n(rest.begin() + c.listCchTextMax, 4, 0);
    std::fill_n(rest.begin() + c.listIImage, 4, 0);
    std::fill_n(rest.begin() + c.listLParam, c.pointerSize, 0);
    EXPECT_EQ(rest, std::vector<unsigned char>(c.listItemSize, 0));

    // Read back, every field comes out as written: encoded again, the same bytes.
    ListViewItemFields back;
    ASSERT_TRUE(DecodeListViewItem(b, c.width, &back));
    EXPECT_EQ(EncodeListViewItem(back, c.width), b);
    EXPECT_EQ(back.lParam, expectedPointer);
  }
}

TEST(ItemLayouts, ListViewColumnBytesByWidth) {
  for (const LayoutCase& c : kLayouts) {
    SCOPED_TRACE(c.name);
    ListViewColumnFields f;
    f.mask = 0x4;
    f.pszText = kWideAddress;
    f.cchTextMax = 2048;
    const std::vector<unsigned char> b = EncodeListViewColumn(f, c.width);
    ASSERT_EQ(b.size(), c.columnSize);
    EXPECT_EQ(Read(b, 0, 4), 0x4u);
    EXPECT_EQ(Read(b, c.columnPszText, c.pointerSize), c.pointerSize == 4 ? 0x55667788u : kWideAddress);
    EXPECT_EQ(Read(b, c.columnCchTextMax, 4), 2048u);
    if (c.pointerSize == 4) {
      EXPECT_EQ(Read(b, 16, 4), 2048u) << "no padding before cchTextMax";
    }
  }
}

TEST(ItemLayouts, TreeViewItemBytesByWidth) {
  for (const LayoutCase& c : kLayouts) {
    SCOPED_TRACE(c.name);
    TreeViewItemFields f;
    f.mask = 0x11;
    f.hItem = kWideAddress;
    f.pszText = 0xABCDEF0012345678ull;
    f.cchTextMax = 1024;
    const std::vector<unsigned char> b = EncodeTreeViewItem(f, c.width);
    ASSERT_EQ(b.size(), c.treeSize);
    EXPECT_EQ(Read(b, 0, 4), 0x11u);
    EXPECT_EQ(Read(b, c.treeHItem, c.pointerSize), c.pointerSize == 4 ? 0x55667788u : kWideAddress);
    EXPECT_EQ(Read(b, c.treePszText, c.pointerSize), c.pointerSize == 4 ? 0x12345678u : 0xABCDEF0012345678ull);
    EXPECT_EQ(Read(b, c.treeCchTextMax, 4), 1024u);
    if (c.pointerSize == 8) {
      EXPECT_EQ(Read(b, 4, 4), 0u) << "padding after mask";
    }

    TreeViewItemFields back;
    ASSERT_TRUE(DecodeTreeViewItem(b, c.width, &back));
    EXPECT_EQ(EncodeTreeViewItem(back, c.width), b);
  }
}

TEST(ItemLayouts, A32BitStructureReadBackZeroExtendsPointers) {
  std::vector<unsigned char> b(52, 0);
  b[32] = 0xFF; b[33] = 0xFF; b[34] = 0xFF; b[35] = 0xFF;  // lParam = -1 in the target
  ListViewItemFields f;
  ASSERT_TRUE(DecodeListViewItem(b, PointerWidth::Bits32, &f));
  EXPECT_EQ(f.lParam, 0xFFFFFFFFull);
  EXPECT_EQ(FormatPointerValue(f.lParam, PointerWidth::Bits32), L"0xFFFFFFFF");
}

TEST(ItemLayouts, ShortBlocksAreRefused) {
  ListViewItemFields f;
  f.iItem = 42;
  EXPECT_FALSE(DecodeListViewItem(std::vector<unsigned char>(51), PointerWidth::Bits32, &f));
  EXPECT_FALSE(DecodeListViewItem(std::vector<unsigned char>(71), PointerWidth::Bits64, &f));
  EXPECT_EQ(f.iItem, 42);
  TreeViewItemFields t;
  EXPECT_FALSE(DecodeTreeViewItem(std::vector<unsigned char>(39), PointerWidth::Bits32, &t));
}

TEST(PseudoColumnFormat, PointerDigitsFollowTheTargetWidth) {
  struct Case {
    std::uint64_t value;
    PointerWidth width;
    const wchar_t* text;
  };
  const Case cases[] = {
      {0, PointerWidth::Bits32, L"0x00000000"},
      {0, PointerWidth::Bits64, L"0x0000000000000000"},
      {0x1234, PointerWidth::Bits64, L"0x0000000000001234"},
      {0xabcdef, PointerWidth::Bits32, L"0x00ABCDEF"},
      {~0ull, PointerWidth::Bits64, L"0xFFFFFFFFFFFFFFFF"},
      {0x1122334455667788ull, PointerWidth::Bits32, L"0x55667788"},
  };
  for (const Case& c : cases) EXPECT_EQ(FormatPointerValue(c.value, c.width), c.text);
  EXPECT_EQ(FormatStateWord(0), L"0x00000000");
  EXPECT_EQ(FormatStateWord(0x204), L"0x00000204");
  EXPECT_EQ(FormatStateWord(0xFFFFFFFFu), L"0xFFFFFFFF");
  EXPECT_EQ(ParseStateWord(FormatStateWord(0xF00A)), 0xF00Au);
  for (const wchar_t* odd : {L"", L"0x0000F00", L"0x0000f00a", L"0X0000F00A", L"0x0000F00A0"}) {
    EXPECT_EQ(ParseStateWord(odd), std::nullopt) << odd;
  }
}

std::vector<unsigned char> Utf16(const std::u16string& s, std::size_t blockSize) {
  std::vector<unsigned char> b(blockSize, 0);
  for (std::size_t i = 0; i < s.size() && 2 * i + 1 < blockSize; ++i) {
    b[2 * i] = static_cast<unsigned char>(s[i] & 0xFF);
    b[2 * i + 1] = static_cast<unsigned char>(s[i] >> 8);
  }
  return b;
}

TEST(TextFromBlock, StopsAtZeroOrAtTheLimit) {
  EXPECT_EQ(TextFromBlock(Utf16(u"", 4096), 2047), L"");
  EXPECT_EQ(TextFromBlock(Utf16(u"ab\u65E5", 4096), 2047), L"ab\u65E5");
  EXPECT_EQ(TextFromBlock(Utf16(std::u16string(3000, u'x'), 4096), 2047), std::wstring(2047, L'x'));
  EXPECT_EQ(TextFromBlock(Utf16(u"abcdef", 8), 2047), L"abcd") << "a block without a zero ends at its end";
  EXPECT_EQ(TextFromBlock(std::vector<unsigned char>{'a', 0, 'b'}, 10), L"a") << "half a character is dropped";
}

}  // namespace
}  // namespace tblf
