#include "output/encodings.h"

#include <gtest/gtest.h>

namespace tblf {
namespace {

// The stored CharCode values and tblfcli's numbers are the row indexes: the
// help lists them in order and the user's own code page stays last.
TEST(Encodings, HelpNamesEveryIndexInOrderAndOtherIsLast) {
  EXPECT_EQ(EncodingHelp(50),
            L"0 ANSI, 1 Shift-JIS, 2 JIS, 3 UTF-16 with BOM,\n4 UTF-16, 5 UTF-16BE with BOM, 6 UTF-16BE,\n"
            L"7 UTF-8 with BOM, 8 UTF-8, 9 UTF-7, 10 EUC-JP,\n11 the code page of setting File/OtherCP");
  EXPECT_EQ(OtherCodePageIndex(), 11);
  EXPECT_EQ(FindEncoding(12), nullptr);
}

}  // namespace
}  // namespace tblf
