// The multi-selection run with any condition text and any item texts, in
// every mode: no crash, and no hang either: a pattern that cannot be compiled
// ends the run with BadPattern, one too complex to match with TooComplex, and every item's match is held to
// a fixed number of steps. The condition lines the splitter gives are never
// empty, hold no line break, and together are the text without its breaks.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "remote/multi_select.h"

namespace {

// One list view of up to four items, column 0 only; writes are recorded.
class Items : public tblf::ControlReader {
 public:
  std::vector<std::wstring> texts;
  std::vector<int> written;

  std::optional<long> CountItems(tblf::WindowId, tblf::ControlKind) override { return static_cast<long>(texts.size()); }
  std::optional<std::wstring> GetListViewColumnText(tblf::WindowId, int) override { return std::nullopt; }
  int CountListViewColumns(tblf::WindowId) override { return 1; }
  std::optional<std::wstring> GetListViewCellText(int column, tblf::WindowId, int item) override {
    if (item < 0 || item >= static_cast<int>(texts.size())) std::abort();
    return column == 0 ? texts[item] : std::wstring();
  }
  bool SetListViewItemState(tblf::WindowId, int item, unsigned) override {
    written.push_back(item);
    return true;
  }
  std::optional<std::wstring> GetTreeViewItemText(tblf::WindowId, int, int*, tblf::TreeItemId*) override {
    return std::nullopt;
  }
  bool TreeAncestorHasNextSibling(tblf::WindowId, int, tblf::TreeItemId) override { return false; }
  std::optional<std::wstring> GetListBoxItemText(tblf::WindowId, int) override { return std::nullopt; }
  std::optional<std::wstring> GetComboBoxItemText(tblf::WindowId, int) override { return std::nullopt; }
};

void Fail(const char* why) {
  std::fprintf(stderr, "%s\n", why);
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  // One flag byte (mode, ignore case, column), then 16-bit units: the
  // condition, and after each zero unit the next item text (at most four).
  // Short ones: each match of a catastrophic pattern may take its whole
  // budget, which grows with text x condition^2 up to the cap, and the cap
  // costs seconds under the sanitizers.
  constexpr std::size_t kConditionUnits = 64, kTextUnits = 256;
  const std::uint8_t flags = data[0];
  tblf::SelectRequest request;
  request.mode = static_cast<tblf::SelectMode>((flags & 3) % 3);
  request.ignoreCase = (flags & 4) != 0;
  request.deselect = (flags & 8) != 0;
  request.column = (flags & 16) ? 1 : 0;
  std::vector<std::wstring> parts(1);
  for (std::size_t i = 1; i + 1 < size; i += 2) {
    const wchar_t c = static_cast<wchar_t>(data[i] | (data[i + 1] << 8));
    if (c != 0) {
      if (parts.back().size() < (parts.size() == 1 ? kConditionUnits : kTextUnits)) parts.back().push_back(c);
    } else if (parts.size() < 5) {
      parts.emplace_back();
    }
  }
  request.condition = parts[0];

  const std::vector<std::wstring> lines = tblf::SplitConditionLines(request.condition);
  std::wstring joined, unbroken;
  for (const std::wstring& line : lines) {
    if (line.empty()) Fail("an empty condition line");
    if (line.find_first_of(L"\r\n") != std::wstring::npos) Fail("a line break inside a condition line");
    joined += line;
  }
  for (wchar_t c : request.condition) {
    if (c != L'\r' && c != L'\n') unbroken += c;
  }
  if (joined != unbroken) Fail("the condition lines are not the text without its breaks");

  Items items;
  items.texts.assign(parts.begin() + 1, parts.end());
  const tblf::SelectResult result = tblf::RunMultiSelect(items, 1, request, nullptr);
  if ((result.outcome == tblf::SelectOutcome::BadPattern || result.outcome == tblf::SelectOutcome::TooComplex) &&
      request.mode != tblf::SelectMode::Regex)
    Fail("a string mode reported a pattern fault");
  if (result.outcome == tblf::SelectOutcome::EmptyCondition && !request.condition.empty())
    Fail("a condition taken for empty");
  if (result.total != items.written.size() || items.written.size() > items.texts.size())
    Fail("the total is not the number of items written");
  for (std::size_t i = 1; i < items.written.size(); ++i) {
    if (items.written[i] <= items.written[i - 1]) Fail("an item written twice or out of order");
  }
  if (request.mode != tblf::SelectMode::Regex) {
    unsigned sum = 0;
    for (unsigned n : result.lineCounts) sum += n;
    if (sum != result.total || result.lines != lines) Fail("the line counts do not add up");
  }
  return 0;
}
