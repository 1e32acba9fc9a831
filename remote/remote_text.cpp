#include "remote/remote_text.h"

#include <vector>

#include "remote/item_layouts.h"

namespace tblf {

std::wstring ReadTextInPieces(const ReadMemory& read, std::uint64_t address, std::size_t maxChars) {
  const std::size_t wanted = maxChars * 2;
  std::vector<unsigned char> bytes;
  bytes.reserve(wanted);
  std::uint64_t at = address;
  while (bytes.size() < wanted) {
    const std::uint64_t toPageEnd = kTextReadPiece - (at % kTextReadPiece);
    const std::size_t left = wanted - bytes.size();
    const std::size_t piece = toPageEnd < left ? static_cast<std::size_t>(toPageEnd) : left;
    const std::size_t before = bytes.size();
    bytes.resize(before + piece);
    std::size_t got = read(at, bytes.data() + before, piece);
    if (got > piece) got = 0;
    bytes.resize(before + got);
    // Stop as soon as a terminating zero has arrived (characters are counted
    // from the text's start, so an odd address changes nothing here).
    for (std::size_t i = before - before % 2; i + 1 < bytes.size(); i += 2) {
      if (bytes[i] == 0 && bytes[i + 1] == 0) return TextFromBlock(bytes, maxChars);
    }
    if (got < piece) break;
    at += piece;
  }
  return TextFromBlock(bytes, maxChars);
}

std::vector<std::wstring> SplitLines(const std::wstring& text) {
  std::vector<std::wstring> lines;
  if (text.empty()) return lines;
  std::size_t from = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != L'\r' && text[i] != L'\n') continue;
    lines.push_back(text.substr(from, i - from));
    if (text[i] == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') ++i;
    from = i + 1;
  }
  // A text that ends with a line break has no further line.
  if (from < text.size()) lines.push_back(text.substr(from));
  return lines;
}

}  // namespace tblf
