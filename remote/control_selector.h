#pragma once
// Choosing a candidate control by what it is rather than by its handle,
// which changes every time the target program starts: by program name,
// owner window title and kind, and the N-th of the matches. Scripts use it
// through tblfcli's selector options.

#include <optional>
#include <string>
#include <vector>

#include "remote/discovery.h"

namespace tblf {

struct ControlSelector {
  // The executable's name, any case, ".exe" optional.
  std::optional<std::wstring> program;
  // Text that the owner window's title contains, any case.
  std::optional<std::wstring> window;
  std::optional<ControlKind> kind;
  // 1-based, in discovery order; absent: every match.
  std::optional<int> nth;
};

// The selector's word for a kind (its row's --kind word; empty for a kind
// without one), and back.
const wchar_t* KindName(ControlKind kind);
std::optional<ControlKind> KindOfName(const std::wstring& name);

bool SelectorMatches(const ControlSelector& selector, const Candidate& candidate);
// The candidates that match, in order; with `nth`, only that one (none when
// there are fewer matches).
std::vector<Candidate> SelectCandidates(const ControlSelector& selector, const std::vector<Candidate>& candidates);
// The selector as options, for messages: "--program a.exe --kind treeview".
std::wstring DescribeSelector(const ControlSelector& selector);

}  // namespace tblf
