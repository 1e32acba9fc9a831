#include "output/record_writer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tblf {
namespace {

std::wstring Document(RecordFormat format, bool quoteWhenNeeded, bool doubleQuotes,
                      const std::vector<std::vector<std::wstring>>& rows, NewlineKind newline = NewlineKind::CrLf) {
  RecordWriter writer;
  writer.BeginDocument(format, newline, quoteWhenNeeded, doubleQuotes);
  for (std::size_t r = 0; r < rows.size(); ++r) {
    writer.StartRow();
    for (const std::wstring& cell : rows[r]) writer.WriteCell(cell);
    writer.EndRow(r + 1 == rows.size());
  }
  writer.WriteFooter();
  return writer.FlattenedText();
}

const std::vector<std::vector<std::wstring>> kWorkedRow = {{L"a", L"b\"c", L"d,e"}};

TEST(RecordWriter, WorkedRowInEveryFormat) {
  EXPECT_EQ(Document(RecordFormat::Csv, false, false, kWorkedRow), L"\"a\",\"b\"c\",\"d,e\"\r\n");
  EXPECT_EQ(Document(RecordFormat::Csv, true, true, kWorkedRow), L"a,\"b\"\"c\",\"d,e\"\r\n");
  EXPECT_EQ(Document(RecordFormat::Tsv, false, false, kWorkedRow), L"a\tb\"c\td,e\r\n");
  EXPECT_EQ(Document(RecordFormat::Html, false, false, kWorkedRow),
            L"<html><head></head>\r\n<body><table>\r\n<tr><td>a</td><td>b&quot;c</td><td>d,e</td></tr>\r\n"
            L"</table></body>\r\n</html>\r\n");
  EXPECT_EQ(Document(RecordFormat::CArray, false, false, kWorkedRow), L"{{\"a\",\"b\\\"c\",\"d,e\"}\r\n};");
  EXPECT_EQ(Document(RecordFormat::Space, false, false, kWorkedRow), L"a b\"c d,e\r\n");
}

}  // namespace
}  // namespace tblf
