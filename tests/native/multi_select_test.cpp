#include "remote/multi_select.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "tests/support/fake_desktop.h"

namespace tblf {
namespace {

using testing::FakeControl;
using testing::FakeDesktop;
using Writes = std::vector<std::pair<int, unsigned>>;

constexpr unsigned kSel = kLvisSelected;

TEST(MultiSelect, ConditionLinesEndAtEveryCarriageReturnAndLineFeedAndEmptyOnesDrop) {
  const std::pair<const wchar_t*, std::vector<std::wstring>> cases[] = {
      {L"", {}},
      {L"a", {L"a"}},
      {L"a\r\nb", {L"a", L"b"}},
      {L"a\r\n", {L"a"}},
      {L"\r\n\r\n", {}},
      {L"\ra\n\nb c\r", {L"a", L"b c"}},
  };
  for (const auto& [text, lines] : cases) EXPECT_EQ(SplitConditionLines(text), lines) << ::testing::PrintToString(text);
}

TEST(MultiSelect, FoldCaseLowersLatinFullWidthGreekAndCyrillicCapitals) {
  EXPECT_EQ(FoldCase(L"AZaz09ＡＺａÀÖ×ÞΑΩΣАЯЁ日本"), L"azaz09ａｚａàö×þαωσаяё日本");
}

// A list view whose column 0 holds `texts` (column 1: "r{i}").
FakeControl List(const std::vector<std::wstring>& texts) {
  FakeControl control;
  control.headers = {L"Name", L"Row"};
  for (size_t i = 0; i < texts.size(); ++i) control.cells.push_back({texts[i], L"r" + std::to_wstring(i)});
  return control;
}

struct RunCase {
  const char* what;
  SelectMode mode;
  const wchar_t* condition;
  bool ignoreCase;
  bool deselect;
  unsigned column;
  Writes writes;
  std::vector<unsigned> lineCounts;
};

TEST(MultiSelect, RunsWriteTheStateOfEveryItemWhoseTextMeetsTheCondition) {
  const std::vector<std::wstring> texts = {L"abc", L"ab", L"xabcx", L"ABC", L"", L"b"};
  const RunCase cases[] = {
      {"substrings: the first line that meets an item takes it", SelectMode::Substrings, L"b\r\nab", false, false, 0,
       {{0, kSel}, {1, kSel}, {2, kSel}, {5, kSel}}, {4, 0}},
      {"substrings ignoring case", SelectMode::Substrings, L"BC", true, false, 0, {{0, kSel}, {2, kSel}, {3, kSel}}, {3}},
      {"match strings: whole text only", SelectMode::MatchStrings, L"ab\r\nabc\r\n", false, false, 0,
       {{0, kSel}, {1, kSel}}, {1, 1}},
      {"match strings ignoring case", SelectMode::MatchStrings, L"abc", true, false, 0, {{0, kSel}, {3, kSel}}, {2}},
      {"match strings, deselect", SelectMode::MatchStrings, L"b\nab", false, true, 0, {{1, 0}, {5, 0}}, {1, 1}},
      {"regex must match the whole text", SelectMode::Regex, L"ab", false, false, 0, {{1, kSel}}, {}},
      {"regex ignoring case", SelectMode::Regex, L"a.C", true, false, 0, {{0, kSel}, {3, kSel}}, {}},
      {"regex, Perl syntax", SelectMode::Regex, L"(?:x)?\\w{2}c\\w*", false, false, 0, {{0, kSel}, {2, kSel}}, {}},
      {"deselect with no match", SelectMode::MatchStrings, L"zzz", false, true, 0, {}, {0}},
      {"other column", SelectMode::Regex, L"r[1-3]", false, false, 1, {{1, kSel}, {2, kSel}, {3, kSel}}, {}},
      {"a column past the last: empty texts match no line", SelectMode::Substrings, L"a\nb", false, false, 7, {}, {0, 0}},
      {"a column past the last: a pattern may match the empty text", SelectMode::Regex, L"\\w*", false, false, 7,
       {{0, kSel}, {1, kSel}, {2, kSel}, {3, kSel}, {4, kSel}, {5, kSel}}, {}},
      {"a column past the largest int is no pseudo column", SelectMode::Regex, L"0", false, false, 4294967291u, {}, {}},
  };
  for (const RunCase& c : cases) {
    SCOPED_TRACE(c.what);
    FakeDesktop desktop;
    const WindowId list = desktop.Add(List(texts));
    const SelectResult result =
        RunMultiSelect(desktop, list, {c.column, c.mode, c.ignoreCase, c.deselect, c.condition}, nullptr);
    EXPECT_EQ(result.outcome, SelectOutcome::Done);
    EXPECT_EQ(desktop.Control(list).stateWrites, c.writes);
    EXPECT_EQ(result.total, c.writes.size());
    EXPECT_EQ(result.lineCounts, c.lineCounts);
    EXPECT_FALSE(result.aborted);
  }
}

TEST(MultiSelect, NothingIsWrittenWhenTheConditionIsEmptyTheCountFailsOrThePatternIsWrong) {
  FakeDesktop desktop;
  const WindowId list = desktop.Add(List({L"a", L"b"}));
  FakeControl hungControl = List({L"a"});
  hungControl.hung = true;
  const WindowId hung = desktop.Add(hungControl);
  const std::pair<WindowId, SelectRequest> cases[] = {
      {list, {0, SelectMode::MatchStrings, false, false, L""}},
      {hung, {0, SelectMode::MatchStrings, false, false, L"a"}},
      {list, {0, SelectMode::Regex, false, false, L"(a"}},
      {list, {0, SelectMode::Regex, true, false, L"[b-a]"}},
  };
  const SelectOutcome outcomes[] = {SelectOutcome::EmptyCondition, SelectOutcome::CountFailed,
                                    SelectOutcome::BadPattern, SelectOutcome::BadPattern};
  for (size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(i);
    const SelectResult result = RunMultiSelect(desktop, cases[i].first, cases[i].second, nullptr);
    EXPECT_EQ(result.outcome, outcomes[i]);
    EXPECT_EQ(result.total, 0u);
  }
  EXPECT_TRUE(desktop.Control(list).stateWrites.empty());
  EXPECT_TRUE(desktop.Control(hung).stateWrites.empty());
}

TEST(MultiSelect, APatternTooComplexForAnItemStopsWithItsOwnMessageAndTheCountSoFar) {
  FakeDesktop desktop;
  // (a+)+$ on 2,000 letters: a valid pattern that no step budget can finish.
  const WindowId list = desktop.Add(List({L"x", L"x", std::wstring(2000, L'a') + L"!", L"x"}));
  const SelectResult result = RunMultiSelect(desktop, list, {0, SelectMode::Regex, false, false, L"x|(a+)+$"}, nullptr);
  EXPECT_EQ(result.outcome, SelectOutcome::TooComplex);
  EXPECT_EQ(result.total, 2u);
  EXPECT_EQ(desktop.Control(list).stateWrites, (Writes{{0, kSel}, {1, kSel}})) << "item 3 is never reached";
  const struct {
    bool japanese, deselect;
    unsigned total;
    const wchar_t* expected;
  } texts[] = {
      {false, false, 2, L"The regular expression is too complex; stopped.\n2 item(s) selected."},
      {false, true, 0, L"The regular expression is too complex; stopped.\nNo items selected."},
      {true, false, 2, L"正規表現が複雑すぎるため、中断しました。\n2個のアイテムを選択しました。"},
  };
  for (const auto& t : texts) {
    SelectResult counted = result;
    counted.total = t.total;
    EXPECT_EQ(SelectStoppedText(counted, t.deselect, t.japanese), t.expected);
  }

  // A long pattern, whose budget Boost would make grow with its square, ends too.
  std::wstring pattern;
  for (int i = 0; i < 60; ++i) pattern += L"(a|aa)*";
  const WindowId longText = desktop.Add(List({std::wstring(2047, L'a')}));
  EXPECT_EQ(RunMultiSelect(desktop, longText, {0, SelectMode::Regex, false, false, pattern + L"b"}, nullptr).outcome,
            SelectOutcome::TooComplex);
}

class EscapeAfter : public EscapePoll {
 public:
  explicit EscapeAfter(int items) : left_(items) {}
  bool EscapeHeld() override { return --left_ <= 0; }

 private:
  int left_;
};

TEST(MultiSelect, EscStopsARegexRunAfterTheCurrentItem) {
  FakeDesktop desktop;
  const WindowId list = desktop.Add(List({L"a", L"b", L"a", L"a"}));
  EscapeAfter escape(3);
  const SelectResult result = RunMultiSelect(desktop, list, {0, SelectMode::Regex, false, false, L"a"}, &escape);
  EXPECT_TRUE(result.aborted);
  EXPECT_EQ(desktop.Control(list).stateWrites, (Writes{{0, kSel}, {2, kSel}}));
  EXPECT_EQ(SelectSummaryText(result, false, false), L"2 item(s) selected.\n(Aborted)");
  EXPECT_EQ(SelectSummaryText(result, false, true), L"2個のアイテムを選択しました。\n(中断しました)");
}

TEST(MultiSelect, ItemsWithoutTextOrWhoseStateIsNotTakenAreNotCounted) {
  FakeDesktop desktop;
  FakeControl gone = List({L"a", L"a", L"a", L"a"});
  gone.readsBeforeGone = 2;  // then the process cannot be opened: no text
  const WindowId goneList = desktop.Add(gone);
  SelectResult result = RunMultiSelect(desktop, goneList, {0, SelectMode::Regex, false, false, L".*"}, nullptr);
  EXPECT_EQ(desktop.Control(goneList).stateWrites, (Writes{{0, kSel}, {1, kSel}}));
  EXPECT_EQ(result.total, 2u);

  FakeControl deaf = List({L"a", L"a"});
  deaf.refusesStates = true;
  const WindowId deafList = desktop.Add(deaf);
  result = RunMultiSelect(desktop, deafList, {0, SelectMode::MatchStrings, false, false, L"a"}, nullptr);
  EXPECT_EQ(result.total, 0u);
  EXPECT_EQ(result.lineCounts, std::vector<unsigned>{0});
  EXPECT_EQ(SelectSummaryText(result, false, false), L"No items selected.");
}

TEST(MultiSelect, SummaryAndDetailTextsInBothLanguages) {
  SelectResult result;
  result.total = 3;
  result.lines = {L"ab", L"c"};
  result.lineCounts = {3, 0};
  const wchar_t* note = L"※本機能使用前にすでに選択済み/解除済みの項目についても、条件に合致した場合はカウントしています。";
  EXPECT_EQ(SelectSummaryText(result, false, false), L"3 item(s) selected.");
  EXPECT_EQ(SelectSummaryText(result, true, false), L"3 item(s) canceled.");
  EXPECT_EQ(SelectSummaryText(result, false, true), std::wstring(L"3個のアイテムを選択しました。\n") + note);
  EXPECT_EQ(SelectSummaryText(result, true, true), std::wstring(L"3個のアイテムを選択解除しました。\n") + note);
  EXPECT_EQ(SelectDetailText(result, false, false), L"ab : 3 item(s) selected.\r\nc : 0 item(s) selected.\r\n");
  EXPECT_EQ(SelectDetailText(result, true, false), L"ab : 3 item(s) canceled.\r\nc : 0 item(s) canceled.\r\n");
  EXPECT_EQ(SelectDetailText(result, false, true),
            L"ab : 3個のアイテムを選択状態にしました\r\nc : 0個のアイテムを選択状態にしました\r\n");
  EXPECT_EQ(SelectDetailText(result, true, true),
            L"ab : 3個のアイテムを選択解除にしました\r\nc : 0個のアイテムを選択解除にしました\r\n");
  result.total = 0;
  EXPECT_EQ(SelectSummaryText(result, true, false), L"No items selected.");
  EXPECT_EQ(SelectSummaryText(result, true, true), L"選択したアイテムはありません。");
}

TEST(MultiSelect, SingleSelectionIsRefusedAndOwnerDrawnListsWarned) {
  EXPECT_EQ(CheckSelectTarget(0x50010001), SelectTargetCheck::Fine);
  EXPECT_EQ(CheckSelectTarget(0x50010005), SelectTargetCheck::SingleSelection);
  EXPECT_EQ(CheckSelectTarget(0x1404), SelectTargetCheck::SingleSelection);
  EXPECT_EQ(CheckSelectTarget(0x1001), SelectTargetCheck::OwnerDrawWarning);
  EXPECT_EQ(CheckSelectTarget(0x0401), SelectTargetCheck::OwnerDrawWarning);
}

}  // namespace
}  // namespace tblf
