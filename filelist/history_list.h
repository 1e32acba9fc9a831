#pragma once
// The history behind ComboboxQueue: at most 16 texts, most recent first, and
// their REG_MULTI_SZ form.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tblf {

class HistoryList {
 public:
  static constexpr std::size_t kCapacity = 16;

  const std::vector<std::wstring>& Entries() const { return entries_; }
  // Takes the decoded stored value (at most kCapacity entries are kept).
  void Assign(std::vector<std::wstring> entries);
  // Puts `text` first: an entry equal to it (exactly, case included) moves
  // up, a new one pushes the oldest out when the list is full. False when
  // nothing changed (it was first already), so nothing needs storing. An
  // empty text is never added: the stored form could not hold it.
  bool Add(const std::wstring& text);

 private:
  std::vector<std::wstring> entries_;
};

// REG_MULTI_SZ data: every entry followed by one zero, then one more zero;
// an empty list is a single zero.
std::wstring EncodeMultiString(const std::vector<std::wstring>& entries);
// The strings of REG_MULTI_SZ data, in order, up to the empty string that
// ends the list or `limit` entries; a last string without its zero (a value
// written by someone else) is taken as it stands.
std::vector<std::wstring> DecodeMultiString(std::wstring_view data, std::size_t limit);

}  // namespace tblf
