#pragma once
// The list view multi-selection helper: selects, or deselects, the items of a
// list view whose text in one column meets a condition (a regular expression,
// one of several exact strings, or one of several substrings). The run reads
// and writes through ControlReader, so it works the same on another program's
// list view and on an in-memory one; the dialog and tblfcli only show its
// result.

#include <optional>
#include <string>
#include <vector>

#include "remote/control_reader.h"
#include "base/text.h"

namespace tblf {

// The values of setting MulSelLv/Radio.
enum class SelectMode : int {
  Regex = 0,
  MatchStrings = 1,
  Substrings = 2,
};

struct SelectRequest {
  unsigned column = 0;
  SelectMode mode = SelectMode::MatchStrings;
  bool ignoreCase = false;
  bool deselect = false;
  std::wstring condition;
};

enum class SelectOutcome {
  Done,            // the run went through every item, or was stopped with Esc
  EmptyCondition,  // nothing was done
  CountFailed,     // nothing was done
  BadPattern,      // the pattern cannot be compiled: nothing was done
  TooComplex,      // matching hit the step limit; the states written before it stay, `total` counts them
};

struct SelectResult {
  SelectOutcome outcome = SelectOutcome::Done;
  unsigned total = 0;    // items whose state was written
  bool aborted = false;  // Esc stopped the regular expression run
  // String modes: the non-empty condition lines and how many items each took.
  std::vector<std::wstring> lines;
  std::vector<unsigned> lineCounts;
};

// Asked after each item of a regular expression run.
class EscapePoll {
 public:
  virtual ~EscapePoll() = default;
  virtual bool EscapeHeld() = 0;
};

// Every carriage return and every line feed ends a line; empty lines are left
// out, so "a\r\nb\r\n" gives "a" and "b".
std::vector<std::wstring> SplitConditionLines(const std::wstring& text);

// Simple case folding: A-Z, the full-width Ａ-Ｚ, and the capitals of Latin-1,
// Greek and Cyrillic become their small letters.
std::wstring FoldCase(std::wstring text);

// The condition of one line in a string mode.
bool LineMatches(const std::wstring& itemText, const std::wstring& line, SelectMode mode, bool ignoreCase);

// At most this many steps of the matching machine for one item text (Boost's
// own budget, smaller for short texts under short patterns, is kept below it);
// past them the match ends with an error. About 0.05 s of one core.
constexpr long kSelectMatchSteps = 5000000;

// A compiled pattern (Perl syntax) that must match an item text as a whole.
class SelectPattern {
 public:
  // Nothing when the pattern cannot be compiled.
  static std::optional<SelectPattern> Compile(const std::wstring& pattern, bool ignoreCase);
  // Nothing when matching fails with an error, as a pattern too complex for
  // the text does after kSelectMatchSteps, however long it and the pattern are.
  std::optional<bool> Matches(const std::wstring& text) const;

  SelectPattern(SelectPattern&&) noexcept;
  SelectPattern& operator=(SelectPattern&&) noexcept;
  ~SelectPattern();

 private:
  struct Compiled;
  explicit SelectPattern(Compiled* compiled);
  Compiled* compiled_;
};

// Runs the helper over every item of `target`: the state written is
// LVIS_SELECTED, or 0 when deselecting. `escape` may be null.
SelectResult RunMultiSelect(ControlReader& reader, WindowId target, const SelectRequest& request,
                            EscapePoll* escape);

// The summary after a completed run: "No items selected." when nothing was
// acted on, else the count, and in Japanese the note (or the abort mark).
std::wstring SelectSummaryText(const SelectResult& result, bool deselect, bool japanese);
// A run stopped by a pattern too complex for an item: the message, then how
// many items were acted on before it ("No items selected." when none).
std::wstring SelectStoppedText(const SelectResult& result, bool deselect, bool japanese);
// String modes: one line per condition line with its count, each ending in CR LF.
std::wstring SelectDetailText(const SelectResult& result, bool deselect, bool japanese);

// What the target's window style says before the helper may run on it.
enum class SelectTargetCheck {
  Fine,
  OwnerDrawWarning,  // LVS_OWNERDRAWFIXED or LVS_OWNERDATA: texts may be wrong, the run may go on
  SingleSelection,   // LVS_SINGLESEL: refused
};
SelectTargetCheck CheckSelectTarget(unsigned long style);

// The helper's texts.
extern const BiText kSelectCaption;              // message box caption
extern const BiText kSelectDialogTitle;
extern const BiText kSelectSingleSelectionText;  // error icon; the dialog closes
extern const BiText kSelectOwnerDrawText;        // warning icon
extern const BiText kSelectColumnText;           // error icon
extern const BiText kSelectNoMemoryText;         // error icon
extern const BiText kSelectEmptyConditionText;   // error icon
extern const BiText kSelectCountFailedText;      // error icon
extern const BiText kSelectBadPatternText;       // error icon
extern const BiText kSelectTooComplexText;       // error icon

}  // namespace tblf
