#include "remote/control_selector.h"

#include <cwctype>

namespace tblf {
namespace {

std::wstring Folded(const std::wstring& text) {
  std::wstring out = text;
  for (wchar_t& c : out) c = static_cast<wchar_t>(std::towlower(static_cast<std::wint_t>(c)));
  return out;
}

std::wstring WithoutExe(std::wstring name) {
  if (name.size() >= 4 && name.compare(name.size() - 4, 4, L".exe") == 0) name.resize(name.size() - 4);
  return name;
}

}  // namespace

const wchar_t* KindName(ControlKind kind) {
  const KindDescriptor* row = FindKind(kind);
  return row && row->cliWord ? row->cliWord : L"";
}

std::optional<ControlKind> KindOfName(const std::wstring& name) {
  const KindDescriptor* row = FindKindOfWord(name);
  if (!row) return std::nullopt;
  return row->kind;
}

bool SelectorMatches(const ControlSelector& selector, const Candidate& candidate) {
  if (selector.kind && *selector.kind != candidate.kind) return false;
  if (selector.program && WithoutExe(Folded(*selector.program)) != WithoutExe(Folded(candidate.program))) {
    return false;
  }
  if (selector.window && Folded(candidate.owner).find(Folded(*selector.window)) == std::wstring::npos) return false;
  return true;
}

std::vector<Candidate> SelectCandidates(const ControlSelector& selector, const std::vector<Candidate>& candidates) {
  std::vector<Candidate> matches;
  for (const Candidate& c : candidates) {
    if (SelectorMatches(selector, c)) matches.push_back(c);
  }
  if (!selector.nth) return matches;
  if (*selector.nth < 1 || static_cast<std::size_t>(*selector.nth) > matches.size()) return {};
  return {matches[static_cast<std::size_t>(*selector.nth) - 1]};
}

std::wstring DescribeSelector(const ControlSelector& selector) {
  std::wstring text;
  if (selector.program) text += L" --program \"" + *selector.program + L"\"";
  if (selector.window) text += L" --window \"" + *selector.window + L"\"";
  if (selector.kind) text += std::wstring(L" --kind ") + KindName(*selector.kind);
  if (selector.nth) text += L" --nth " + std::to_wstring(*selector.nth);
  return text.empty() ? text : text.substr(1);
}

}  // namespace tblf
