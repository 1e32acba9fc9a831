#include "output/selection.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

namespace tblf {
namespace {

// The values a selection walks through, spelt out.
std::optional<std::vector<int>> Parsed(const wchar_t* text, int count) {
  const std::optional<Selection> selection = ParseSelection(text, count);
  if (!selection) return std::nullopt;
  return std::vector<int>(selection->begin(), selection->end());
}

TEST(ParseSelection, EveryListedSeparatorSplitsTokens) {
  const std::wstring separators = L" \t\r\n,+*/@%&;:._><^\\'\"!{}`";
  for (wchar_t c : separators) {
    const std::wstring text = std::wstring(L"1") + c + L"3";
    EXPECT_EQ(*Parsed(text.c_str(), 5), (std::vector<int>{1, 3})) << static_cast<int>(c);
  }
}

TEST(ParseSelection, AsciiLettersSeparateExceptILS) {
  for (wchar_t c = L'A'; c <= L'z'; ++c) {
    if (c > L'Z' && c < L'a') continue;
    const std::wstring text = std::wstring(L"1") + c + L"3";
    const auto list = *Parsed(text.c_str(), 5);
    switch (c) {
      case L'I': case L'i': case L'L': case L'l': case L'S': case L's':
        // The letter joins the token "1I3": a number followed by other text.
        EXPECT_EQ(list, std::vector<int>{1}) << static_cast<char>(c);
        break;
      default:
        EXPECT_EQ(list, (std::vector<int>{1, 3})) << static_cast<char>(c);
    }
  }
}

TEST(ParseSelection, CountsTokensRangesAndDigits) {
  struct {
    const wchar_t* text;
    int count;
    std::vector<int> expected;
  } cases[] = {
      // Column texts against five columns, 0 to 4.
      {L"2,0", 5, {2, 0}},
      {L"1-3", 5, {1, 2, 3}},
      {L"3-", 5, {3, 4}},
      {L"-", 5, {0, 1, 2, 3, 4}},
      {L"#,0", 5, {-2, 0}},
      {L"7", 5, {}},
      {L"2-9", 5, {2, 3, 4}},
      {L"9-2", 5, {4, 3, 2}},
      {L"-3", 5, {0, 1, 2, 3}},
      {L"1-2-3", 5, {1, 2}},
      {L"abc", 5, {}},
      {nullptr, 4, {0, 1, 2, 3}},  // no text selects everything
      {nullptr, -3, {}},           // a negative count acts as none
      {L"0 1 -", -3, {}},
      {L" ,, ;\t\r\n  ", 5, {}},  // no tokens
      {L"0 5 9", 10, {0, 5, 9}},   // rows in the order typed
      {L"#", 0, {-2}},             // pseudo columns do not depend on the count
      {L"# i I l L s S", 5, {-2, -3, -3, -4, -4, -5, -5}},
      {L"icon,LPARAM;state", 5, {-3, -4, -5}},
      {L"all columns please", 5, {-4, -4, -5, -4, -5}},  // read letter by letter: ll l s l s
      // Parentheses and non-ASCII text are token characters; a token that
      // does not begin with a number stands for 0.
      {L"(2)", 5, {0}},
      {L"2列", 5, {2}},
      {L"列2", 5, {0}},
      // Full-width digits, as a Japanese input method types them, are
      // digits; other scripts' digits are not.
      {L"１２", 20, {12}},
      {L"２-４", 5, {2, 3, 4}},
      {L"1２", 20, {12}},
      {L"\x0663", 5, {0}},
      {L"3-", 3, {}},            // open-ended ranges never run downwards
      {L"2-2", 5, {2}},
      {L"--3", 5, {0}},          // no leading number; the range 0 down to -3 keeps 0
      {L"#-3", 5, {0, 1, 2, 3}}, // a hyphen makes any token a range
      {L"-5-2", 5, {0, 1, 2, 3, 4}},  // the text after the first hyphen is "5-2"
      {L"4-2,0-1", 5, {4, 3, 2, 0, 1}},
      {L"1-3 1-3", 5, {1, 2, 3, 1, 2, 3}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(*Parsed(c.text, c.count), c.expected) << (&c - cases);
  }
}

TEST(ParseSelection, HugeNumbersSaturateWithoutLongLoops) {
  struct {
    const wchar_t* text;
    int count;
    std::vector<int> expected;
  } cases[] = {
      {L"99999999999999999999", 5, {}},
      {L"2147483648", 5, {}},
      {L"-99999999999999999999", 5, {0, 1, 2, 3, 4}},  // like "-3": -huge to +huge, clipped
      {L"99999999999999999999-", 3, {}},
      {L"-99999999999999999999-", 3, {0, 1, 2}},
      {L"0-99999999999999999999", 3, {0, 1, 2}},
      {L"99999999999999999999-0", 3, {2, 1, 0}},
      {L"-99999999999999999999-99999999999999999999", 2, {0, 1}},
      {L"99999999999999999999--99999999999999999999", 2, {1, 0}},
      {L"2147483646-", 2147483647, {2147483646}},
      {L"2147483647", 2147483647, {}},
      {L"2147483646", 2147483647, {2147483646}},
      {L"2147483647-2147483640", 2147483645, {2147483644, 2147483643, 2147483642, 2147483641, 2147483640}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(*Parsed(c.text, c.count), c.expected) << (&c - cases);
  }
}

// The resident memory of this process in KiB, from /proc.
long ResidentKiB() {
  std::ifstream status("/proc/self/status");
  std::string word;
  while (status >> word) {
    if (word == "VmRSS:") {
      long kib = 0;
      status >> kib;
      return kib;
    }
  }
  return -1;
}

// "0-," typed 10,600 times against 100,000 rows asks for 1.06 billion rows;
// the selection holds the 10,600 runs and walks them one value at a time.
TEST(ParseSelection, RepeatedOpenRangesCostMemoryByTheTextNotByTheRows) {
  std::wstring text;
  for (int i = 0; i < 10600; ++i) text += L"0-,";
  const long before = ResidentKiB();
  ASSERT_GT(before, 0);
  const std::optional<Selection> rows = ParseSelection(text.c_str(), 100000);
  const long grown = ResidentKiB() - before;
  ASSERT_TRUE(rows.has_value());
  std::printf("[ figure ] 10,600 x \"0-,\" against 100,000 rows: %llu rows, %.2f MB resident growth\n",
              static_cast<unsigned long long>(rows->Size()), grown / 1024.0);
  EXPECT_LT(grown, 4 * 1024) << "KiB";
  EXPECT_EQ(rows->Size(), 10600ULL * 100000ULL);
  Selection::Iterator at = rows->begin();
  for (int i = 0; i < 99999; ++i) ++at;
  EXPECT_EQ(*at++, 99999);
  EXPECT_EQ(*at, 0);  // the second run starts over
}

}  // namespace
}  // namespace tblf
