#pragma once
// Row and column selection texts ("2,0", "3-1", "Icon lParam State", "#")
// turned into index lists. Negative values are the pseudo columns
// (kColumnRowNumber ... kColumnState in remote/control_reader.h).

#include <optional>
#include <vector>

namespace tblf {

// No text (null): 0 ... count-1. Otherwise the values of the tokens, left to
// right, ranges clipped to 0 ... count-1. Nothing when memory runs out.
std::optional<std::vector<int>> ParseSelection(const wchar_t* text, int count);

}  // namespace tblf
