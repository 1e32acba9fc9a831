#pragma once
// Shift_JIS (code page 932 bytes) to EUC-JP, the last step of the EUC-JP
// output encoding.

#include <string>
#include <string_view>

namespace tblf {

// The geta mark (U+3013) in EUC-JP: stands for a character that EUC-JP
// cannot hold.
constexpr unsigned char kEucJpGeta[2] = {0xA2, 0xAE};

// Converts left to right:
//  - a double-byte character (lead 0x81-0x9F or 0xE0-0xEF with a trail byte
//    0x40-0x7E or 0x80-0xFC) becomes its JIS X 0208 code with the high bits set;
//  - a half-width katakana byte (0xA1-0xDF) becomes 0x8E and that byte;
//  - ASCII (0x01-0x7F) is kept;
//  - a lead byte 0xF0-0xFC (user-defined and IBM extension characters, which
//    have no JIS X 0208 code) with its trail byte becomes one geta mark;
//  - a byte that starts no character of code page 932 (0x80, 0xA0,
//    0xFD-0xFF), and a lead byte whose next byte is no trail byte, becomes one
//    geta mark and the next byte is converted on its own;
//  - a lead byte at the very end (the trail byte is missing) ends the text.
// The output never holds a zero byte that the input did not have; the input
// is the converted text before its terminating zero, so it has none.
std::string ShiftJisToEucJp(std::string_view sjis);

}  // namespace tblf
