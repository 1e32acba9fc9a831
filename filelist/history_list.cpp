#include "filelist/history_list.h"

#include <algorithm>

namespace tblf {

void HistoryList::Assign(std::vector<std::wstring> entries) {
  if (entries.size() > kCapacity) entries.resize(kCapacity);
  entries_ = std::move(entries);
}

bool HistoryList::Add(const std::wstring& text) {
  if (text.empty()) return false;
  const auto found = std::find(entries_.begin(), entries_.end(), text);
  if (found != entries_.end()) {
    if (found == entries_.begin()) return false;
    std::rotate(entries_.begin(), found, found + 1);
    return true;
  }
  if (entries_.size() >= kCapacity) entries_.resize(kCapacity - 1);
  entries_.insert(entries_.begin(), text);
  return true;
}

std::wstring EncodeMultiString(const std::vector<std::wstring>& entries) {
  std::wstring data;
  for (const std::wstring& entry : entries) {
    data += entry;
    data.push_back(L'\0');
  }
  data.push_back(L'\0');
  return data;
}

std::vector<std::wstring> DecodeMultiString(std::wstring_view data, std::size_t limit) {
  std::vector<std::wstring> entries;
  std::size_t from = 0;
  while (from < data.size() && entries.size() < limit) {
    std::size_t end = data.find(L'\0', from);
    if (end == std::wstring_view::npos) end = data.size();
    if (end == from) break;
    entries.emplace_back(data.substr(from, end - from));
    from = end + 1;
  }
  return entries;
}

}  // namespace tblf
