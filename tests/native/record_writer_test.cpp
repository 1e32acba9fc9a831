#include "output/record_writer.h"

#include <gtest/gtest.h>

#include <iterator>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "base/process_basics.h"

namespace tblf {
namespace {

using Rows = std::vector<std::vector<std::wstring>>;

class UiLanguageGuard {
 public:
  explicit UiLanguageGuard(bool japanese) : saved_(g_japaneseUi) { SetUiLanguage(japanese); }
  ~UiLanguageGuard() { SetUiLanguage(saved_); }

 private:
  bool saved_;
};

struct Options {
  RecordFormat format = RecordFormat::Csv;
  bool quoteWhenNeeded = false;
  bool doubleQuotes = false;
  NewlineKind newline = NewlineKind::CrLf;
};

void WriteRows(RecordWriter& writer, const Options& o, const Rows& rows) {
  writer.BeginDocument(o.format, o.newline, o.quoteWhenNeeded, o.doubleQuotes);
  for (std::size_t r = 0; r < rows.size(); ++r) {
    writer.StartRow();
    for (const std::wstring& cell : rows[r]) writer.WriteCell(cell);
    writer.EndRow(r + 1 == rows.size());
  }
  writer.WriteFooter();
}

std::wstring Document(const Options& o, const Rows& rows) {
  RecordWriter writer;
  WriteRows(writer, o, rows);
  return writer.FlattenedText();
}

// One row of one cell, CR LF, so the cell treatment stands alone.
std::wstring OneCell(RecordFormat format, bool quoteWhenNeeded, bool doubleQuotes, const std::wstring& cell) {
  return Document({format, quoteWhenNeeded, doubleQuotes}, {{cell}});
}

// A code page 932-like measure: two bytes for every character outside ASCII.
int Dbcs(const std::wstring& text) {
  int bytes = 1;
  for (wchar_t c : text) bytes += c < 0x80 ? 1 : 2;
  return bytes;
}

// Records every piece; can be told to fail from a given write on.
class RecordingSink : public TextSink {
 public:
  RecordingSink(std::vector<std::wstring>* pieces, int failFromWrite = -1)
      : pieces_(pieces), failFromWrite_(failFromWrite) {}
  bool Write(const std::wstring& text, std::wstring& reason) override {
    if (failFromWrite_ >= 0 && writes_++ >= failFromWrite_) {
      reason = L"There is not enough space on the disk.";
      return false;
    }
    pieces_->push_back(text);
    return true;
  }

 private:
  std::vector<std::wstring>* pieces_;
  int failFromWrite_;
  int writes_ = 0;
};

std::wstring Joined(const std::vector<std::wstring>& pieces) {
  std::wstring all;
  for (const std::wstring& p : pieces) all += p;
  return all;
}

// --- formats -----------------------------------------------------------

const Rows kWorkedRow = {{L"a", L"b\"c", L"d,e"}};

TEST(RecordWriterFormats, WorkedRowInEveryFormat) {
  EXPECT_EQ(Document({RecordFormat::Csv, false, false}, kWorkedRow), L"\"a\",\"b\"c\",\"d,e\"\r\n");
  EXPECT_EQ(Document({RecordFormat::Csv, true, true}, kWorkedRow), L"a,\"b\"\"c\",\"d,e\"\r\n");
  EXPECT_EQ(Document({RecordFormat::Tsv}, kWorkedRow), L"a\tb\"c\td,e\r\n");
  EXPECT_EQ(Document({RecordFormat::Html}, kWorkedRow),
            L"<html><head></head>\r\n<body><table>\r\n<tr><td>a</td><td>b&quot;c</td><td>d,e</td></tr>\r\n"
            L"</table></body>\r\n</html>\r\n");
  EXPECT_EQ(Document({RecordFormat::CArray}, kWorkedRow), L"{{\"a\",\"b\\\"c\",\"d,e\"}\r\n};");
  EXPECT_EQ(Document({RecordFormat::Space}, kWorkedRow), L"a b\"c d,e\r\n");
}

TEST(RecordWriterFormats, NewlineKindEndsEveryRowButHtmlFramingKeepsCrLf) {
  const Rows two = {{L"a"}, {L"b"}};
  EXPECT_EQ(Document({RecordFormat::Tsv, false, false, NewlineKind::Lf}, two), L"a\nb\n");
  EXPECT_EQ(Document({RecordFormat::Tsv, false, false, NewlineKind::Cr}, two), L"a\rb\r");
  EXPECT_EQ(Document({RecordFormat::CArray, false, false, NewlineKind::Lf}, two), L"{{\"a\"},\n{\"b\"}\n};");
  EXPECT_EQ(Document({RecordFormat::Html, false, false, NewlineKind::Cr}, two),
            L"<html><head></head>\r\n<body><table>\r\n<tr><td>a</td></tr>\r<tr><td>b</td></tr>\r"
            L"</table></body>\r\n</html>\r\n");
  EXPECT_EQ(Document({RecordFormat::Html, false, false, NewlineKind::Lf}, {}),
            L"<html><head></head>\r\n<body><table>\r\n</table></body>\r\n</html>\r\n");
}

TEST(RecordWriterFormats, DocumentsWithNoRowsOrRowsWithoutCells) {
  const std::wstring html = L"<html><head></head>\r\n<body><table>\r\n", end = L"</table></body>\r\n</html>\r\n";
  const Rows empty = {{}, {}};
  const std::tuple<RecordFormat, Rows, std::wstring> cases[] = {
      {RecordFormat::Csv, {}, L""},
      {RecordFormat::Tsv, {}, L""},
      {RecordFormat::Space, {}, L""},
      {RecordFormat::Html, {}, html + end},
      {RecordFormat::CArray, {}, L"{};"},
      {RecordFormat::Csv, empty, L"\r\n\r\n"},
      {RecordFormat::Html, empty, html + L"<tr><td></td></tr>\r\n<tr><td></td></tr>\r\n" + end},
      {RecordFormat::CArray, empty, L"{{},\r\n{}\r\n};"},
  };
  for (const auto& [format, rows, expected] : cases) {
    EXPECT_EQ(Document({format}, rows), expected) << static_cast<int>(format) << " " << rows.size();
  }
}

TEST(RecordWriterFormats, CArrayHeaderRowWithZeroItems) {
  RecordWriter writer;
  writer.BeginDocument(RecordFormat::CArray, NewlineKind::CrLf, false, false);
  writer.StartRow();
  writer.WriteCell(L"Name");
  writer.EndRow(false);
  writer.WriteFooter();
  EXPECT_EQ(std::wstring(writer.FlattenedText()), L"{{\"Name\"},\r\n};");
}

// --- cell treatment ----------------------------------------------------

struct CellCase {
  const char* situation;
  RecordFormat format;
  bool quoteWhenNeeded;
  bool doubleQuotes;
  std::wstring cell;
  std::wstring expected;  // the row without its newline
};

TEST(RecordWriterCells, TreatmentByFormatAndOptions) {
  const CellCase cases[] = {
      {"csv when needed, plain cell bare", RecordFormat::Csv, true, false, L"abc", L"abc"},
      {"csv when needed, CR alone quoted", RecordFormat::Csv, true, false, L"a\rb", L"\"a\rb\""},
      {"csv when needed, LF alone quoted", RecordFormat::Csv, true, false, L"a\nb", L"\"a\nb\""},
      {"csv when needed, comma quoted", RecordFormat::Csv, true, false, L"a,b", L"\"a,b\""},
      {"csv when needed, quote quoted and kept single", RecordFormat::Csv, true, false, L"a\"b", L"\"a\"b\""},
      {"csv when needed, TAB stays bare", RecordFormat::Csv, true, false, L"a\tb", L"a\tb"},
      {"csv always, quote stays single", RecordFormat::Csv, false, false, L"a\"b", L"\"a\"b\""},
      {"csv always, doubled quotes", RecordFormat::Csv, false, true, L"a\"b\"", L"\"a\"\"b\"\"\""},
      {"csv when needed + doubled, lone quote gives four", RecordFormat::Csv, true, true, L"\"", L"\"\"\"\""},
      {"csv always, empty cell gives two quotes", RecordFormat::Csv, false, false, L"", L"\"\""},
      {"csv when needed, empty cell gives nothing", RecordFormat::Csv, true, false, L"", L""},
      {"csv doubled without quotes unchanged", RecordFormat::Csv, true, true, L"x y", L"x y"},
      {"tsv keeps TAB CR LF and quotes", RecordFormat::Tsv, false, true, L"a\tb\r\nc\"", L"a\tb\r\nc\""},
      {"space keeps everything", RecordFormat::Space, false, false, L"a \"b\",", L"a \"b\","},
      {"html entities", RecordFormat::Html, false, false, L"<b>&", L"<tr><td>&lt;b&gt;&amp;</td></tr>"},
      {"html quote", RecordFormat::Html, false, false, L"say \"hi\"", L"<tr><td>say &quot;hi&quot;</td></tr>"},
      {"html keeps line breaks and apostrophe", RecordFormat::Html, false, false, L"a\r\nb'",
       L"<tr><td>a\r\nb'</td></tr>"},
      {"c backslash doubled", RecordFormat::CArray, false, false, L"\\", L"{\"\\\\\"}"},
      {"c quote escaped", RecordFormat::CArray, false, false, L"\"", L"{\"\\\"\"}"},
      {"c raw line break and TAB kept", RecordFormat::CArray, false, false, L"a\r\nb\tc", L"{\"a\r\nb\tc\"}"},
      {"c empty cell quoted", RecordFormat::CArray, false, false, L"", L"{\"\"}"},
      {"non-ASCII untouched", RecordFormat::Csv, true, false, L"日本語", L"日本語"},
  };
  for (const CellCase& c : cases) {
    std::wstring expected = c.expected;
    std::wstring got = OneCell(c.format, c.quoteWhenNeeded, c.doubleQuotes, c.cell);
    if (c.format == RecordFormat::Html) {
      expected = L"<html><head></head>\r\n<body><table>\r\n" + expected + L"\r\n</table></body>\r\n</html>\r\n";
    } else if (c.format == RecordFormat::CArray) {
      expected = L"{" + expected + L"\r\n};";
    } else {
      expected += L"\r\n";
    }
    EXPECT_EQ(got, expected) << c.situation;
  }
}

TEST(RecordWriterCells, EmptyCsvCellsBetweenSeparators) {
  EXPECT_EQ(Document({RecordFormat::Csv, true, false}, {{L"a", L"", L"b"}}), L"a,,b\r\n");
  EXPECT_EQ(Document({RecordFormat::Csv, false, false}, {{L"a", L"", L"b"}}), L"\"a\",\"\",\"b\"\r\n");
}

TEST(RecordWriterCells, RawEscapedAndSeparatorOperations) {
  RecordWriter writer;
  writer.BeginDocument(RecordFormat::Csv, NewlineKind::Lf, false, true);
  writer.StartRow();
  writer.AppendRaw(L"raw\",");
  writer.WriteEscaped(L"e\"x");
  EXPECT_EQ(writer.CellCount(), 0);
  writer.WriteCell(L"first");  // no separator: no cell counted yet
  writer.AppendSeparator();
  EXPECT_EQ(writer.CellCount(), 1);
  writer.WriteCell(L"second");
  EXPECT_EQ(writer.CellCount(), 2);
  writer.EndRow(true);
  writer.WriteFooter();
  EXPECT_EQ(writer.RowCount(), 1);
  EXPECT_EQ(std::wstring(writer.FlattenedText()), L"raw\",\"e\"\"x\"\"first\",,\"second\"\n");
}

// --- space filling -----------------------------------------------------

TEST(RecordWriterWidths, DoubleByteTextEndsAtTheSameByteColumn) {
  RecordWriter writer(Dbcs);
  const std::vector<std::wstring> column = {L"Name", L"ab", L"日本"};
  int width = 0;
  for (const std::wstring& text : column) width = std::max(width, Dbcs(text));
  ASSERT_EQ(width, 5);
  writer.BeginDocument(RecordFormat::Space, NewlineKind::CrLf, false, false);
  for (std::size_t r = 0; r < column.size(); ++r) {
    writer.StartRow();
    writer.WriteCell(column[r], width);
    writer.WriteCell(L"x", 2);
    writer.EndRow(r + 1 == column.size());
  }
  writer.WriteFooter();
  EXPECT_EQ(std::wstring(writer.FlattenedText()), L"Name x\r\nab   x\r\n日本 x\r\n");
  ASSERT_EQ(writer.Chunks().size(), 3u);
  for (const std::wstring& row : writer.Chunks()) EXPECT_EQ(Dbcs(row), Dbcs(L"Name x\r\n"));
}

TEST(RecordWriterWidths, LastCellIsPaddedTooAndShortWidthsChangeNothing) {
  RecordWriter writer(Dbcs);
  writer.BeginDocument(RecordFormat::Space, NewlineKind::Lf, false, false);
  writer.StartRow();
  writer.WriteCell(L"abc", 4);   // exactly the length: unchanged
  writer.WriteCell(L"abc", 2);   // shorter: unchanged
  writer.WriteCell(L"a", 6);     // last cell padded to 5 characters
  writer.EndRow(true);
  writer.WriteFooter();
  EXPECT_EQ(std::wstring(writer.FlattenedText()), L"abc abc a    \n");
}

TEST(RecordWriterWidths, PaddingIsTreatedWithTheCell) {
  RecordWriter writer(Dbcs);
  writer.BeginDocument(RecordFormat::Csv, NewlineKind::CrLf, false, false);
  writer.StartRow();
  writer.WriteCell(L"a", 4);
  writer.EndRow(true);
  writer.WriteFooter();
  EXPECT_EQ(std::wstring(writer.FlattenedText()), L"\"a  \"\r\n");
}

TEST(RecordWriterWidths, FailedPaddedCopyLeavesTheCellOutButCountsIt) {
  RecordWriter writer(Dbcs);
  writer.SetAllocationGate([](std::size_t chars) { return chars < 100; });
  writer.BeginDocument(RecordFormat::Space, NewlineKind::CrLf, false, false);
  writer.StartRow();
  writer.WriteCell(L"a", 3);
  writer.WriteCell(L"lost", 500);
  writer.WriteCell(L"b", 3);
  EXPECT_EQ(writer.CellCount(), 3);
  writer.EndRow(true);
  writer.WriteFooter();
  EXPECT_EQ(std::wstring(writer.FlattenedText()), L"a   b \r\n");
}

TEST(RecordWriterWidths, StandInMeasureCountsTwoBytesOutsideAsciiAndTheTerminator) {
  EXPECT_EQ(SystemAnsiLength(L""), 1);
  EXPECT_EQ(SystemAnsiLength(L"ab"), 3);
  EXPECT_EQ(SystemAnsiLength(L"\x7F\x80"), 4);
  EXPECT_EQ(SystemAnsiLength(L"日本"), 5);
  EXPECT_EQ(SystemAnsiLength(std::wstring(L"a\0bc", 4)), 2);  // stops at the zero like length -1
}

// --- memory mode -------------------------------------------------------

TEST(RecordWriterMemory, OneChunkPerRowHeaderWithTheFirst) {
  RecordWriter writer;
  WriteRows(writer, {RecordFormat::Html}, {{L"a"}, {L"b"}});
  const auto& chunks = writer.Chunks();
  ASSERT_EQ(chunks.size(), 3u);
  EXPECT_EQ(chunks[0], L"<html><head></head>\r\n<body><table>\r\n<tr><td>a</td></tr>\r\n");
  EXPECT_EQ(chunks[1], L"<tr><td>b</td></tr>\r\n");
  EXPECT_EQ(chunks[2], L"</table></body>\r\n</html>\r\n");
  std::size_t total = 0;
  for (const auto& c : chunks) total += c.size();
  EXPECT_EQ(writer.TotalLength(), total);
  EXPECT_EQ(writer.BufferedLength(), 0u);
}

TEST(RecordWriterMemory, FlattenedCopyIsRenewedAndSurvivesConsumedChunks) {
  RecordWriter writer;
  WriteRows(writer, {RecordFormat::Tsv}, {{L"a"}, {L"b"}, {L"c"}});
  EXPECT_EQ(std::wstring(writer.FlattenedText()), L"a\r\nb\r\nc\r\n");
  writer.Chunks().pop_front();  // the clipboard copy consumes chunks
  EXPECT_EQ(std::wstring(writer.FlattenedText()), L"b\r\nc\r\n");
  writer.ReleaseFlattened();
  writer.Chunks().push_back(L"more than the total counted");
  EXPECT_EQ(std::wstring(writer.FlattenedText()), L"b\r\nc\r\nmore than the total counted");
}

TEST(RecordWriterMemory, FlattenedCopyFailureGivesTheStandInText) {
  RecordWriter writer;
  WriteRows(writer, {RecordFormat::Tsv}, {{L"a"}});
  writer.SetAllocationGate([](std::size_t) { return false; });
  {
    UiLanguageGuard english(false);
    EXPECT_STREQ(writer.FlattenedText(), L"(Not enough memory)");
  }
  writer.SetAllocationGate(nullptr);
  EXPECT_STREQ(writer.FlattenedText(), L"a\r\n");
}

// --- file mode ---------------------------------------------------------

Rows ManyRows(int count) {
  Rows rows;
  for (int i = 0; i < count; ++i) {
    rows.push_back({L"row " + std::to_wstring(i), L"with \"quote\", comma", std::wstring(i % 97, L'x'), L"日本"});
  }
  return rows;
}

TEST(RecordWriterFile, LargeOutputInPiecesEqualsTheMemoryText) {
  const Rows rows = ManyRows(6000);
  for (RecordFormat format : {RecordFormat::Csv, RecordFormat::Html, RecordFormat::CArray}) {
    const Options o{format, true, true};
    const std::wstring memory = Document(o, rows);
    ASSERT_GT(memory.size(), 3 * RecordWriter::kFlushThreshold);

    std::vector<std::wstring> pieces;
    RecordWriter writer;
    writer.SetOutputFile(std::make_unique<RecordingSink>(&pieces));
    ASSERT_TRUE(writer.InFileMode());
    writer.BeginDocument(o.format, o.newline, o.quoteWhenNeeded, o.doubleQuotes);
    std::size_t longestRow = 0;
    for (std::size_t r = 0; r < rows.size(); ++r) {
      const std::size_t before = writer.BufferedLength();
      writer.StartRow();
      for (const std::wstring& cell : rows[r]) writer.WriteCell(cell);
      writer.EndRow(r + 1 == rows.size());
      longestRow = std::max(longestRow, writer.BufferedLength() - std::min(before, writer.BufferedLength()));
      ASSERT_LE(writer.BufferedLength(), RecordWriter::kFlushThreshold + 400) << "row " << r;
    }
    writer.WriteFooter();
    EXPECT_EQ(writer.BufferedLength(), 0u);
    EXPECT_TRUE(writer.Chunks().empty());
    EXPECT_EQ(writer.TotalLength(), 0u);
    ASSERT_GE(pieces.size(), 3u);
    for (std::size_t i = 0; i + 1 < pieces.size(); ++i) {
      EXPECT_GT(pieces[i].size(), RecordWriter::kFlushThreshold);
      EXPECT_LE(pieces[i].size(), RecordWriter::kFlushThreshold + longestRow);
    }
    EXPECT_EQ(Joined(pieces), memory) << static_cast<int>(format);
  }
}

TEST(RecordWriterFile, FlushesOnlyPastTheThreshold) {
  std::vector<std::wstring> pieces;
  RecordWriter writer;
  writer.SetOutputFile(std::make_unique<RecordingSink>(&pieces));
  writer.BeginDocument(RecordFormat::Tsv, NewlineKind::CrLf, false, false);
  writer.StartRow();
  writer.WriteCell(std::wstring(RecordWriter::kFlushThreshold - 2, L'a'));
  writer.EndRow(false);  // exactly the threshold: kept
  EXPECT_TRUE(pieces.empty());
  EXPECT_EQ(writer.BufferedLength(), RecordWriter::kFlushThreshold);
  writer.StartRow();
  writer.WriteCell(L"b");
  writer.EndRow(true);  // one row more: written out
  ASSERT_EQ(pieces.size(), 1u);
  EXPECT_EQ(pieces[0].size(), RecordWriter::kFlushThreshold + 3);
  EXPECT_EQ(writer.BufferedLength(), 0u);
  writer.WriteFooter();
  EXPECT_EQ(pieces.size(), 1u);
}

TEST(RecordWriterFile, EmptyDocumentWritesNothing) {
  std::vector<std::wstring> pieces;
  RecordWriter writer;
  writer.SetOutputFile(std::make_unique<RecordingSink>(&pieces));
  WriteRows(writer, {RecordFormat::Csv}, {});
  EXPECT_TRUE(pieces.empty());
}

TEST(RecordWriterFile, FailedWriteRaisesTheSinkReasonAndKeepsEarlierPieces) {
  std::vector<std::wstring> pieces;
  RecordWriter writer;
  writer.SetOutputFile(std::make_unique<RecordingSink>(&pieces, 1));
  writer.BeginDocument(RecordFormat::Tsv, NewlineKind::CrLf, false, false);
  const std::wstring cell(1000, L'z');
  bool raised = false;
  int rowsWritten = 0;
  try {
    for (int r = 0; r < 1000; ++r) {
      writer.StartRow();
      writer.WriteCell(cell);
      writer.EndRow(false);
      ++rowsWritten;
    }
  } catch (const FileWriteError& e) {
    raised = true;
    EXPECT_EQ(e.reason(), L"There is not enough space on the disk.");
  }
  ASSERT_TRUE(raised);
  ASSERT_EQ(pieces.size(), 1u);  // the first piece stays written
  EXPECT_GT(pieces[0].size(), RecordWriter::kFlushThreshold);
  EXPECT_LT(rowsWritten, 200);
}

}  // namespace
}  // namespace tblf
