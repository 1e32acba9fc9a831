#include "output/open_with.h"

namespace tblf {

const wchar_t* TemporaryExtension(OpenWay way) {
  switch (way) {
    case OpenWay::Csv:
    case OpenWay::CommandLine:
      return L".csv";
    case OpenWay::Txt:
      return L".txt";
    case OpenWay::Html:
      return L".html";
    default:
      return L"";
  }
}

std::wstring PutPathIntoCommand(const std::wstring& command, const std::wstring& path) {
  std::wstring out;
  std::size_t from = 0;
  for (std::size_t at; (at = command.find(L"%s", from)) != std::wstring::npos; from = at + 2) {
    out.append(command, from, at - from);
    out += path;
  }
  out.append(command, from, std::wstring::npos);
  return out;
}

std::vector<std::pair<int, std::wstring>> HistoryWrites(const std::vector<std::wstring>& entries,
                                                        const std::wstring& text) {
  std::vector<std::pair<int, std::wstring>> writes{{0, text}};
  for (std::size_t i = 0; i < 9 && i < entries.size(); ++i) {
    if (entries[i] == text) break;
    writes.emplace_back(static_cast<int>(i) + 1, entries[i]);
  }
  return writes;
}

std::wstring TemporaryFileName(const std::wstring& folder, const std::wstring& extension,
                               const std::function<bool(const std::wstring&)>& exists) {
  std::wstring prefix = folder;
  if (prefix.empty() || prefix.back() != L'\\') prefix += L'\\';
  prefix += L"tblftmp";
  for (unsigned n = 1;; ++n) {
    const std::wstring base = prefix + std::to_wstring(n);
    if (!exists(base) && !exists(base + extension)) return base + extension;
  }
}

}  // namespace tblf
