#include "output/eucjp.h"

#include <gtest/gtest.h>

namespace tblf {
namespace {

struct EucCase {
  const char* situation;
  std::string sjis;
  std::string euc;
};

TEST(ShiftJisToEucJp, ConvertsEveryKindOfByte) {
  const EucCase cases[] = {
      {"ASCII unchanged", "Tabulift, 1\r\n", "Tabulift, 1\r\n"},
      {"empty", "", ""},
      {"U+65E5 (93 FA), trail above 0x9E", "\x93\xFA", "\xC6\xFC"},
      {"U+3000 (81 40), lowest trail", "\x81\x40", "\xA1\xA1"},
      {"trail 0x7E", "\x81\x7E", "\xA1\xDF"},
      {"trail 0x80 skips 0x7F", "\x81\x80", "\xA1\xE0"},
      {"trail 0x9E starts the even row", "\x81\x9E", "\xA1\xFE"},
      {"trail 0x9F", "\x81\x9F", "\xA2\xA1"},
      {"lead 0x9F, last before the gap", "\x9F\xFC", "\xDE\xFE"},
      {"lead 0xE0 (U+6F3E, E0 40)", "\xE0\x40", "\xDF\xA1"},
      {"half-width katakana range ends", "\xA1\xDF", "\x8E\xA1\x8E\xDF"},
      {"mixed text", "A\x93\xFA" "B\xB1" "C", "A\xC6\xFC" "B\x8E\xB1" "C"},
      {"user-defined lead F0 becomes geta, trail consumed", "\xF0\x40" "A", "\xA2\xAE" "A"},
      {"IBM extension FA 40 becomes geta", "\xFA\x40\x93\xFA", "\xA2\xAE\xC6\xFC"},
      {"lead FC with trail FC", "\xFC\xFC", "\xA2\xAE"},
      {"lone 0x80", "\x80" "A", "\xA2\xAE" "A"},
      {"lone 0xA0", "\xA0" "A", "\xA2\xAE" "A"},
      {"lone 0xFD 0xFE 0xFF", "\xFD\xFE\xFF", "\xA2\xAE\xA2\xAE\xA2\xAE"},
      {"lead followed by no trail byte keeps the next byte", "\x93 B", "\xA2\xAE B"},
      {"lead followed by a byte above the trail range", "\x93\xFD" "A", "\xA2\xAE\xA2\xAE" "A"},
      {"letters are trail bytes too", "\x93" "A", "\xC5\xA2"},
      {"lead at the end ends the text", "AB\x93", "AB"},
      {"extension lead at the end ends the text", "AB\xF5", "AB"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ShiftJisToEucJp(c.sjis), c.euc) << c.situation;
  }
}

TEST(ShiftJisToEucJp, NeverWritesAZeroByteForAnyPair) {
  for (int a = 1; a < 256; ++a) {
    for (int b = 1; b < 256; ++b) {
      // A carriage return is never a trail byte, so it and the Z must survive.
      const std::string in{static_cast<char>(a), static_cast<char>(b), '\r', 'Z'};
      const std::string out = ShiftJisToEucJp(in);
      ASSERT_EQ(out.find('\0'), std::string::npos) << a << " " << b;
      ASSERT_GE(out.size(), 3u);
      ASSERT_EQ(out.substr(out.size() - 2), "\rZ") << "the text after " << a << " " << b << " is kept";
    }
  }
}

}  // namespace
}  // namespace tblf
