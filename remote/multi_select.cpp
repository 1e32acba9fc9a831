#include "remote/multi_select.h"

#include <climits>
#include <cstdio>
#include <exception>
#include <iterator>

// Boost gives a pattern over a text of known length a budget of matching
// steps of about length x (pattern length)^2: a long catastrophic pattern then
// runs for minutes on one item. Where that budget would pass this cap, the
// text goes through a plain bidirectional iterator, whose length Boost does not
// know, and gets the cap instead (about the budget Boost itself gives a
// 2047-character text under a short pattern).
#define BOOST_REGEX_MAX_STATE_COUNT 5000000
#include <boost/regex.hpp>

namespace tblf {

static_assert(kSelectMatchSteps == BOOST_REGEX_MAX_STATE_COUNT);

const BiText kSelectCaption{L"リストビュー複数項目選択補助", L"ListView Multiple Select Helper"};
const BiText kSelectDialogTitle{L"リストビュー複数選択補助（β版）", L"ListView Multi Selection Helper (Pilot ver.)"};
const BiText kSelectSingleSelectionText{L"複数選択不可のリストビューです。",
                                        L"Multiple items may not be selected on this ListView control."};
const BiText kSelectOwnerDrawText{
    L"オーナードローまたはオーナーデータのスタイルを持つため、文字列を正しく取得できない可能性があります。",
    L"ListView Control with LVS_OWNERDRAWFIXED/LVS_OWNERDATA gives incorrect string."};
const BiText kSelectColumnText{L"対象のカラム番号を指定してください。", L"Please specify a column number [0-]"};
const BiText kSelectNoMemoryText{L"メモリが足りません。", L"Not enough memory"};
const BiText kSelectEmptyConditionText{L"文字列を指定してください。", L"Please specify a string to search for."};
const BiText kSelectCountFailedText{L"対象となるリストビューからアイテム数を取得できません。",
                                    L"Cannot get number of items in a list-view control."};
const BiText kSelectBadPatternText{L"正規表現を確認してください。", L"Please correct the regular expression."};
const BiText kSelectTooComplexText{L"正規表現が複雑すぎるため、中断しました。",
                                   L"The regular expression is too complex; stopped."};

namespace {

const BiText kNoItemsText{L"選択したアイテムはありません。", L"No items selected."};
const BiText kSelectedSummary{L"%u個のアイテムを選択しました。\n", L"%u item(s) selected."};
const BiText kCanceledSummary{L"%u個のアイテムを選択解除しました。\n", L"%u item(s) canceled."};
// The English summary had no word for an aborted run; it gets one on a line of its own.
const BiText kAbortedNote{L"(中断しました)", L"\n(Aborted)"};
const BiText kCountNote{L"※本機能使用前にすでに選択済み/解除済みの項目についても、条件に合致した場合はカウントしています。",
                        L""};
const BiText kSelectedDetail{L" : %u個のアイテムを選択状態にしました\r\n", L" : %u item(s) selected.\r\n"};
const BiText kCanceledDetail{L" : %u個のアイテムを選択解除にしました\r\n", L" : %u item(s) canceled.\r\n"};

constexpr unsigned long kLvsSingleSel = 0x0004;
constexpr unsigned long kLvsOwnerBits = 0x1400;  // LVS_OWNERDRAWFIXED | LVS_OWNERDATA

std::wstring Format(const wchar_t* format, unsigned value) {
  wchar_t buffer[128];
  const int n = std::swprintf(buffer, 128, format, value);
  return n < 0 ? std::wstring() : std::wstring(buffer, static_cast<std::size_t>(n));
}

// A text position that Boost sees as bidirectional only (see the budget above).
class TextIterator {
 public:
  using iterator_category = std::bidirectional_iterator_tag;
  using value_type = wchar_t;
  using difference_type = std::ptrdiff_t;
  using pointer = const wchar_t*;
  using reference = const wchar_t&;

  TextIterator() = default;
  explicit TextIterator(const wchar_t* at) : at_(at) {}
  reference operator*() const { return *at_; }
  pointer operator->() const { return at_; }
  TextIterator& operator++() {
    ++at_;
    return *this;
  }
  TextIterator operator++(int) { return TextIterator(at_++); }
  TextIterator& operator--() {
    --at_;
    return *this;
  }
  TextIterator operator--(int) { return TextIterator(at_--); }
  bool operator==(const TextIterator& other) const { return at_ == other.at_; }
  bool operator!=(const TextIterator& other) const { return at_ != other.at_; }

 private:
  const wchar_t* at_ = nullptr;
};

// Whether Boost's own budget for a text of `length` under a pattern of
// `patternLength` stays within the cap (the larger of length x patternLength^2
// and length^2, each plus 100000; the second is capped already).
bool OwnBudgetWithinCap(std::size_t length, std::size_t patternLength) {
  const std::size_t n = length == 0 ? 1 : length;
  const std::size_t s = patternLength == 0 ? 1 : patternLength;
  if (n > static_cast<std::size_t>(kSelectMatchSteps) || s > 3000) return false;
  return static_cast<unsigned long long>(n) * s * s + 100000 <= static_cast<unsigned long long>(kSelectMatchSteps);
}

// The text of the chosen column; a column number past the largest int would
// turn into a pseudo column, and has no text like any column past the last.
std::optional<std::wstring> ItemText(ControlReader& reader, WindowId target, unsigned column, int item) {
  if (column > static_cast<unsigned>(INT_MAX)) return std::wstring();
  return reader.GetListViewCellText(static_cast<int>(column), target, item);
}

}  // namespace

struct SelectPattern::Compiled {
  boost::wregex regex;
};

SelectPattern::SelectPattern(Compiled* compiled) : compiled_(compiled) {}
SelectPattern::SelectPattern(SelectPattern&& other) noexcept : compiled_(other.compiled_) { other.compiled_ = nullptr; }
SelectPattern& SelectPattern::operator=(SelectPattern&& other) noexcept {
  if (this != &other) {
    delete compiled_;
    compiled_ = other.compiled_;
    other.compiled_ = nullptr;
  }
  return *this;
}
SelectPattern::~SelectPattern() { delete compiled_; }

std::optional<SelectPattern> SelectPattern::Compile(const std::wstring& pattern, bool ignoreCase) {
  try {
    boost::regex_constants::syntax_option_type flags = boost::regex_constants::perl;
    if (ignoreCase) flags |= boost::regex_constants::icase;
    return SelectPattern(new Compiled{boost::wregex(pattern, flags)});
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

std::optional<bool> SelectPattern::Matches(const std::wstring& text) const {
  if (!compiled_) return std::nullopt;
  try {
    const wchar_t* begin = text.c_str();
    const wchar_t* end = begin + text.size();
    if (OwnBudgetWithinCap(text.size(), compiled_->regex.size())) return boost::regex_match(begin, end, compiled_->regex);
    return boost::regex_match(TextIterator(begin), TextIterator(end), compiled_->regex);
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

std::vector<std::wstring> SplitConditionLines(const std::wstring& text) {
  std::vector<std::wstring> lines;
  std::size_t from = 0;
  while (from <= text.size()) {
    std::size_t end = text.find_first_of(L"\r\n", from);
    if (end == std::wstring::npos) end = text.size();
    if (end > from) lines.push_back(text.substr(from, end - from));
    from = end + 1;
  }
  return lines;
}

std::wstring FoldCase(std::wstring text) {
  for (wchar_t& c : text) {
    const unsigned u = static_cast<unsigned>(c);
    if ((u >= L'A' && u <= L'Z') || (u >= 0xFF21 && u <= 0xFF3A) || (u >= 0xC0 && u <= 0xDE && u != 0xD7) ||
        (u >= 0x391 && u <= 0x3A9 && u != 0x3A2) || (u >= 0x410 && u <= 0x42F)) {
      c = static_cast<wchar_t>(u + 0x20);
    } else if (u >= 0x400 && u <= 0x40F) {
      c = static_cast<wchar_t>(u + 0x50);
    }
  }
  return text;
}

bool LineMatches(const std::wstring& itemText, const std::wstring& line, SelectMode mode, bool ignoreCase) {
  if (line.empty()) return false;
  if (ignoreCase) return LineMatches(FoldCase(itemText), FoldCase(line), mode, false);
  if (mode == SelectMode::Substrings) return itemText.find(line) != std::wstring::npos;
  return itemText == line;
}

SelectResult RunMultiSelect(ControlReader& reader, WindowId target, const SelectRequest& request,
                            EscapePoll* escape) {
  SelectResult result;
  if (request.condition.empty()) {
    result.outcome = SelectOutcome::EmptyCondition;
    return result;
  }
  const std::optional<long> count = reader.CountItems(target, ControlKind::ListView);
  if (!count) {
    result.outcome = SelectOutcome::CountFailed;
    return result;
  }
  const unsigned state = request.deselect ? 0 : kLvisSelected;

  if (request.mode == SelectMode::Regex) {
    std::optional<SelectPattern> pattern = SelectPattern::Compile(request.condition, request.ignoreCase);
    if (!pattern) {
      result.outcome = SelectOutcome::BadPattern;
      return result;
    }
    for (long item = 0; item < *count; ++item) {
      const std::optional<std::wstring> text = ItemText(reader, target, request.column, static_cast<int>(item));
      if (text) {
        const std::optional<bool> matched = pattern->Matches(*text);
        if (!matched) {
          // The pattern itself is sound; this text made it run past its step
          // limit (or stack). The items already written stay written.
          result.outcome = SelectOutcome::TooComplex;
          return result;
        }
        if (*matched && reader.SetListViewItemState(target, static_cast<int>(item), state)) ++result.total;
      }
      if (escape != nullptr && escape->EscapeHeld()) {
        result.aborted = true;
        break;
      }
    }
    return result;
  }

  result.lines = SplitConditionLines(request.condition);
  result.lineCounts.assign(result.lines.size(), 0);
  std::vector<std::wstring> compared = result.lines;
  if (request.ignoreCase) {
    for (std::wstring& line : compared) line = FoldCase(line);
  }
  for (long item = 0; item < *count; ++item) {
    std::optional<std::wstring> text = ItemText(reader, target, request.column, static_cast<int>(item));
    if (!text) continue;
    if (request.ignoreCase) *text = FoldCase(std::move(*text));
    for (std::size_t i = 0; i < compared.size(); ++i) {
      if (!LineMatches(*text, compared[i], request.mode, false)) continue;
      // The first line that meets the condition takes the item.
      if (reader.SetListViewItemState(target, static_cast<int>(item), state)) {
        ++result.total;
        ++result.lineCounts[i];
      }
      break;
    }
  }
  return result;
}

std::wstring SelectSummaryText(const SelectResult& result, bool deselect, bool japanese) {
  if (result.total == 0) return kNoItemsText.get(japanese);
  std::wstring text = Format((deselect ? kCanceledSummary : kSelectedSummary).get(japanese), result.total);
  text += (result.aborted ? kAbortedNote : kCountNote).get(japanese);
  return text;
}

std::wstring SelectStoppedText(const SelectResult& result, bool deselect, bool japanese) {
  std::wstring count = result.total == 0
                           ? std::wstring(kNoItemsText.get(japanese))
                           : Format((deselect ? kCanceledSummary : kSelectedSummary).get(japanese), result.total);
  while (!count.empty() && count.back() == L'\n') count.pop_back();
  return std::wstring(kSelectTooComplexText.get(japanese)) + L"\n" + count;
}

std::wstring SelectDetailText(const SelectResult& result, bool deselect, bool japanese) {
  std::wstring text;
  const wchar_t* format = (deselect ? kCanceledDetail : kSelectedDetail).get(japanese);
  for (std::size_t i = 0; i < result.lines.size(); ++i) text += result.lines[i] + Format(format, result.lineCounts[i]);
  return text;
}

SelectTargetCheck CheckSelectTarget(unsigned long style) {
  if (style & kLvsSingleSel) return SelectTargetCheck::SingleSelection;
  if (style & kLvsOwnerBits) return SelectTargetCheck::OwnerDrawWarning;
  return SelectTargetCheck::Fine;
}

}  // namespace tblf
