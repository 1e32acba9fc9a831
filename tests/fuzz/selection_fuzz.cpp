// Selection texts of any content against any count: the parser never
// crashes, yields only pseudo columns or indexes below the count, and never
// yields more than count values per token.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <string>

#include "output/selection.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 3) return 0;
  // Two bytes of count (a few large counts through the top bit), one flag
  // byte, then the text as 16-bit units so both ASCII and non-ASCII occur.
  int count = data[0] | (data[1] << 8);
  if (count & 0x8000) count = (count & 0x7FFF) * 65536;
  const bool noText = (data[2] & 1) != 0;
  std::wstring text;
  for (std::size_t i = 3; i + 1 < size; i += 2) {
    const wchar_t c = static_cast<wchar_t>(data[i] | (data[i + 1] << 8));
    if (c == 0) break;
    text.push_back(c);
  }
  // Against a huge count a single "-" rightly asks for every index; huge
  // counts are kept for texts without ranges (where they test the number
  // reading), and ranges get a count that keeps tokens x count small.
  if (noText || text.find(L'-') != std::wstring::npos) {
    const int budget = static_cast<int>(std::max<std::size_t>(64, 100000 / std::max<std::size_t>(1, text.size())));
    count = std::min(count, budget);
  }

  const auto list = tblf::ParseSelection(noText ? nullptr : text.c_str(), count);
  if (!list) return 0;
  for (int v : *list) {
    if (!((v >= -5 && v <= -2) || (v >= 0 && v < count))) {
      std::fprintf(stderr, "value %d outside the selection range for count %d\n", v, count);
      std::abort();
    }
  }
  // Every token is at least one character and gives at most max(count, 1) values.
  const std::size_t tokens = noText ? 1 : (text.empty() ? 1 : text.size());
  const std::size_t perToken = count > 0 ? static_cast<std::size_t>(count) : 1;
  if (list->Size() > tokens * perToken) {
    std::fprintf(stderr, "%llu values from %zu characters, count %d\n", static_cast<unsigned long long>(list->Size()), text.size(), count);
    std::abort();
  }
  return 0;
}
