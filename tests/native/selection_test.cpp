#include "output/selection.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tblf {
namespace {

struct SelectionCase {
  const wchar_t* text;
  std::vector<int> expected;
};

// Five columns, 0 to 4.
TEST(ParseSelection, ColumnTextsAgainstFiveColumns) {
  const SelectionCase cases[] = {
      {L"2,0", {2, 0}},
      {L"1-3", {1, 2, 3}},
      {L"3-1", {3, 2, 1}},
      {L"3-", {3, 4}},
      {L"-", {0, 1, 2, 3, 4}},
      {L"Icon lParam State", {-3, -4, -5}},
      {L"#,0", {-2, 0}},
      {L"7", {}},
      {L"2-9", {2, 3, 4}},
      {L"9-2", {4, 3, 2}},
      {L"-3", {0, 1, 2, 3}},
      {L"1,1", {1, 1}},
      {L"1-2-3", {1, 2}},
      {L"abc", {}},
  };
  for (const SelectionCase& c : cases) {
    const auto list = ParseSelection(c.text, 5);
    ASSERT_TRUE(list.has_value()) << std::wstring(c.text).size();
    EXPECT_EQ(*list, c.expected) << "text index " << (&c - cases);
  }
}

TEST(ParseSelection, NoTextSelectsEverything) {
  EXPECT_EQ(*ParseSelection(nullptr, 4), (std::vector<int>{0, 1, 2, 3}));
  EXPECT_EQ(*ParseSelection(nullptr, 0), std::vector<int>{});
}

TEST(ParseSelection, RowTextInOrderAndNumberSignAlone) {
  EXPECT_EQ(*ParseSelection(L"0 5 9", 10), (std::vector<int>{0, 5, 9}));
  EXPECT_EQ(*ParseSelection(L"#", 10), std::vector<int>{-2});
}

}  // namespace
}  // namespace tblf
