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

}  // namespace tblf
