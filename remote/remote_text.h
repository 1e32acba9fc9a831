#pragma once
// Reading a zero-terminated text from another process's memory when all we
// have is its address: in pieces that never cross a page boundary, so that an
// unreadable page further on keeps what was read before it.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace tblf {

constexpr std::uint64_t kTextReadPiece = 4096;

// Reads up to `size` bytes at `address` into `out`; returns how many bytes
// arrived (0 when nothing is readable there).
using ReadMemory = std::function<std::size_t(std::uint64_t address, void* out, std::size_t size)>;

// At most maxChars UTF-16 characters, stopping at the first zero; whatever
// was readable when a piece fails; a character cut in half is dropped.
std::wstring ReadTextInPieces(const ReadMemory& read, std::uint64_t address, std::size_t maxChars);

// The lines of an edit control's text, split at CR LF, LF or a lone CR; a
// text that ends with a line break has no empty last line; no text, no line.
std::vector<std::wstring> SplitLines(const std::wstring& text);

}  // namespace tblf
