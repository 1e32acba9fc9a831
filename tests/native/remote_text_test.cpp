#include "remote/remote_text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace tblf {
namespace {

// A target's memory: bytes from `base` on, readable up to `readableEnd`;
// each read is recorded so that the pieces can be checked.
struct FakeMemory {
  std::uint64_t base = 0x10000;
  std::vector<unsigned char> bytes = std::vector<unsigned char>(4 * 4096, 0);
  std::uint64_t readableEnd = 0x10000 + 4 * 4096;
  std::vector<std::pair<std::uint64_t, std::size_t>> reads;
  bool partialCopies = true;  // a read across readableEnd gives the readable part

  ReadMemory Reader() {
    return [this](std::uint64_t at, void* out, std::size_t size) -> std::size_t {
      reads.push_back({at, size});
      if (at < base || at >= readableEnd) return 0;
      std::size_t n = size;
      if (at + n > readableEnd) {
        if (!partialCopies) return 0;
        n = static_cast<std::size_t>(readableEnd - at);
      }
      std::memcpy(out, bytes.data() + (at - base), n);
      return n;
    };
  }
  void Put(std::uint64_t at, const std::u16string& text, bool terminate = true) {
    for (std::size_t i = 0; i < text.size(); ++i) {
      bytes[at - base + 2 * i] = static_cast<unsigned char>(text[i] & 0xFF);
      bytes[at - base + 2 * i + 1] = static_cast<unsigned char>(text[i] >> 8);
    }
    if (terminate) bytes[at - base + 2 * text.size()] = bytes[at - base + 2 * text.size() + 1] = 0;
  }
};

TEST(ReadTextInPieces, ShortTextStopsAtItsZeroInOnePiece) {
  FakeMemory m;
  m.Put(0x10100, u"hello \u65E5");
  EXPECT_EQ(ReadTextInPieces(m.Reader(), 0x10100, 2047), L"hello \u65E5");
  ASSERT_EQ(m.reads.size(), 1u);
  EXPECT_EQ(m.reads[0].second, 4096u - 0x100) << "the first piece ends at the page";
}

TEST(ReadTextInPieces, LongTextIsCutAtTheLimitAndPiecesNeverCrossAPage) {
  FakeMemory m;
  m.Put(0x10F00, std::u16string(3000, u'z'));
  EXPECT_EQ(ReadTextInPieces(m.Reader(), 0x10F00, 2047), std::wstring(2047, L'z'));
  for (auto [at, size] : m.reads) EXPECT_LE(at % 4096 + size, 4096u) << at;
  std::size_t total = 0;
  for (auto read : m.reads) total += read.second;
  EXPECT_EQ(total, 2047u * 2) << "never more than the limit is asked for";
}

TEST(ReadTextInPieces, AnUnreadablePageKeepsWhatCameBefore) {
  for (bool partial : {true, false}) {
    SCOPED_TRACE(partial ? "partial copies" : "all-or-nothing reads");
    FakeMemory m;
    m.partialCopies = partial;
    m.readableEnd = 0x12000;
    m.Put(0x12000 - 12, u"edge!!", false);  // runs into the unreadable page, no zero
    EXPECT_EQ(ReadTextInPieces(m.Reader(), 0x12000 - 12, 2047), L"edge!!");
    // A text spanning a whole readable page and then some.
    m.Put(0x11000 - 4, std::u16string(2 + 2048, u'k'), false);
    EXPECT_EQ(ReadTextInPieces(m.Reader(), 0x11000 - 4, 4000), std::wstring(2 + 2048, L'k'));
  }
}

TEST(ReadTextInPieces, NothingReadableGivesAnEmptyText) {
  FakeMemory m;
  EXPECT_EQ(ReadTextInPieces(m.Reader(), 0x2000, 2047), L"");
  EXPECT_EQ(ReadTextInPieces(m.Reader(), 0, 2047), L"");
  EXPECT_EQ(ReadTextInPieces(m.Reader(), 0x10000, 0), L"");
}

TEST(ReadTextInPieces, OddAddressAndAHalfCharacterAtTheEdge) {
  FakeMemory m;
  // Starts one byte before a page boundary: the first character straddles it.
  m.Put(0x10FFF, u"ab");
  EXPECT_EQ(ReadTextInPieces(m.Reader(), 0x10FFF, 2047), L"ab");
  // Five readable bytes before the unreadable page: two characters, half a third.
  FakeMemory e;
  e.readableEnd = 0x11000;
  e.Put(0x11000 - 5, u"cd", false);
  e.bytes[0x11000 - 1 - e.base] = 'e';
  EXPECT_EQ(ReadTextInPieces(e.Reader(), 0x11000 - 5, 2047), L"cd");
}

TEST(ReadTextInPieces, AReaderThatClaimsTooMuchCountsAsAFailure) {
  const ReadMemory liar = [](std::uint64_t, void* out, std::size_t size) -> std::size_t {
    std::memset(out, 'x', size);
    return size + 1;
  };
  EXPECT_EQ(ReadTextInPieces(liar, 0x10000, 2047), L"");
}

TEST(SplitLines, HardLineBreaksOfEveryKindAndNoEmptyLineAfterTheLast) {
  struct Case {
    const wchar_t* text;
    std::vector<std::wstring> lines;
  };
  const Case cases[] = {
      {L"", {}},
      {L"one", {L"one"}},
      {L"a\r\nb\nc\rd", {L"a", L"b", L"c", L"d"}},
      {L"a\r\n\r\nb\r\n", {L"a", L"", L"b"}},
      {L"\n", {L""}},
      {L"a\n\r\nb", {L"a", L"", L"b"}},
  };
  for (const Case& c : cases) EXPECT_EQ(SplitLines(c.text), c.lines) << testing::PrintToString(std::wstring(c.text));
}

}  // namespace
}  // namespace tblf
