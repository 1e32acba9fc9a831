#include "output/eucjp.h"

namespace tblf {

namespace {
bool IsJisLead(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xEF); }
bool IsExtensionLead(unsigned char b) { return b >= 0xF0 && b <= 0xFC; }
bool IsTrail(unsigned char b) { return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC); }
bool IsHalfWidthKatakana(unsigned char b) { return b >= 0xA1 && b <= 0xDF; }

void AppendGeta(std::string& out) {
  out.push_back(static_cast<char>(kEucJpGeta[0]));
  out.push_back(static_cast<char>(kEucJpGeta[1]));
}
}  // namespace

std::string ShiftJisToEucJp(std::string_view sjis) {
  std::string out;
  out.reserve(sjis.size() + sjis.size() / 2);
  const std::size_t n = sjis.size();
  for (std::size_t i = 0; i < n; ++i) {
    const auto b = static_cast<unsigned char>(sjis[i]);
    if (b < 0x80) {
      out.push_back(static_cast<char>(b));
      continue;
    }
    if (IsHalfWidthKatakana(b)) {
      out.push_back(static_cast<char>(0x8E));
      out.push_back(static_cast<char>(b));
      continue;
    }
    if (IsJisLead(b) || IsExtensionLead(b)) {
      if (i + 1 >= n) break;  // the trail byte is missing: the text ends here
      const auto t = static_cast<unsigned char>(sjis[i + 1]);
      if (!IsTrail(t)) {
        AppendGeta(out);
        continue;  // the next byte starts over
      }
      ++i;
      if (IsExtensionLead(b)) {
        AppendGeta(out);
        continue;
      }
      int s1 = b >= 0xE0 ? b - 0x40 : b;
      int s2 = t >= 0x80 ? t - 1 : t;
      int first, second;
      if (s2 >= 0x9E) {
        first = (s1 - 0x70) * 2 + 0x80;
        second = s2 - 0x7D + 0x80;
      } else {
        first = (s1 - 0x70) * 2 - 1 + 0x80;
        second = s2 - 0x1F + 0x80;
      }
      out.push_back(static_cast<char>(first));
      out.push_back(static_cast<char>(second));
      continue;
    }
    // 0x80, 0xA0, 0xFD-0xFF start no character of code page 932.
    AppendGeta(out);
  }
  return out;
}

}  // namespace tblf
