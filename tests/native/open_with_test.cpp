#include "output/open_with.h"

#include <gtest/gtest.h>

#include <set>

namespace tblf {
namespace {

TEST(PutPathIntoCommand, EveryMarkerGetsThePathAndAMarkerInsideThePathStays) {
  const struct {
    const wchar_t* command;
    const wchar_t* path;
    const wchar_t* expected;
  } cases[] = {
      {L"NOTEPAD \"%s\"", L"C:\\t\\a.csv", L"NOTEPAD \"C:\\t\\a.csv\""},
      {L"cmp \"%s\" \"%s\"", L"x.csv", L"cmp \"x.csv\" \"x.csv\""},
      {L"calc", L"x.csv", L"calc"},
      {L"a %s b", L"C:\\100%s\\t.csv", L"a C:\\100%s\\t.csv b"},
      {L"%s%s", L"%", L"%%"},
      {L"%", L"x", L"%"},
  };
  for (const auto& c : cases) EXPECT_EQ(PutPathIntoCommand(c.command, c.path), c.expected) << c.command;
}

TEST(HistoryWrites, TheTextMovesToTheFrontWithoutADuplicate) {
  using Writes = std::vector<std::pair<int, std::wstring>>;
  EXPECT_EQ(HistoryWrites({}, L"n"), (Writes{{0, L"n"}}));
  EXPECT_EQ(HistoryWrites({L"a", L"b"}, L"n"), (Writes{{0, L"n"}, {1, L"a"}, {2, L"b"}}));
  // Chosen again from the third place: the two before it move down, the rest keep their keys.
  EXPECT_EQ(HistoryWrites({L"a", L"b", L"c", L"d"}, L"c"), (Writes{{0, L"c"}, {1, L"a"}, {2, L"b"}}));
  EXPECT_EQ(HistoryWrites({L"a", L"b"}, L"a"), (Writes{{0, L"a"}}));
  // A full history drops its last entry.
  const std::vector<std::wstring> full{L"0", L"1", L"2", L"3", L"4", L"5", L"6", L"7", L"8", L"9"};
  const Writes writes = HistoryWrites(full, L"n");
  ASSERT_EQ(writes.size(), 10u);
  EXPECT_EQ(writes.back(), (std::pair<int, std::wstring>{9, L"8"}));
}

TEST(TemporaryFileName, TakesTheFirstNumberFreeWithAndWithoutTheExtension) {
  std::set<std::wstring> files{L"C:\\T\\tblftmp1", L"C:\\T\\tblftmp2.csv", L"C:\\T\\tblftmp3.txt"};
  auto exists = [&](const std::wstring& f) { return files.count(f) == 1; };
  EXPECT_EQ(TemporaryFileName(L"C:\\T", L".csv", exists), L"C:\\T\\tblftmp3.csv");
  EXPECT_EQ(TemporaryFileName(L"C:\\T\\", L".txt", exists), L"C:\\T\\tblftmp2.txt");
  EXPECT_EQ(TemporaryFileName(L"\\", L".html", exists), L"\\tblftmp1.html");
}

}  // namespace
}  // namespace tblf
