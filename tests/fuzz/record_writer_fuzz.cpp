// The record writer's cell treatment on any text, format, options and width:
// no crash, bounded growth, one cell counted, and file mode gives exactly the
// memory text. The escaping rules themselves are pinned by the writer's tests.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "output/record_writer.h"

namespace {

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "record writer fuzz: %s\n", what);
  std::abort();
}

class StringSink : public tblf::TextSink {
 public:
  explicit StringSink(std::wstring* out) : out_(out) {}
  bool Write(const std::wstring& text, std::wstring&) override {
    out_->append(text);
    return true;
  }

 private:
  std::wstring* out_;
};

int Dbcs(const std::wstring& text) {
  int bytes = 1;
  for (wchar_t c : text) {
    if (c == 0) break;
    bytes += c < 0x80 ? 1 : 2;
  }
  return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using tblf::RecordFormat;
  if (size < 2) return 0;
  const auto format = static_cast<RecordFormat>(data[0] % tblf::kRecordFormatCount);
  const bool quoteWhenNeeded = (data[0] & 0x10) != 0;
  const bool doubleQuotes = (data[0] & 0x20) != 0;
  const int width = data[1] & 0x80 ? data[1] & 0x7F : 0;
  std::wstring text;
  for (std::size_t i = 2; i + 1 < size; i += 2) text.push_back(static_cast<wchar_t>(data[i] | (data[i + 1] << 8)));

  // As a header row, so that Markdown writes it at once rather than hold it
  // for a numbered header; the other formats write it like any row.
  tblf::RecordWriter memory(Dbcs);
  memory.BeginDocument(format, tblf::NewlineKind::Lf, quoteWhenNeeded, doubleQuotes);
  const std::size_t headerLength = memory.BufferedLength();
  memory.StartHeaderRow();
  const std::size_t rowStartLength = memory.BufferedLength() - headerLength;
  memory.WriteCell(text, width);
  const std::size_t cellLength = memory.BufferedLength() - headerLength - rowStartLength;
  memory.WriteEscaped(text);
  memory.EndRow(true);
  memory.WriteFooter();
  // Cells may hold zeros, which the zero-terminated flattened copy cannot
  // show; the chunks carry the whole text.
  std::wstring all;
  for (const std::wstring& chunk : memory.Chunks()) all += chunk;
  if (std::wstring(memory.FlattenedText()) != all.substr(0, all.find(L'\0'))) Fail("flattened copy differs");

  // An escape is at most six characters per character; padding adds at most
  // `width` characters; quotes add two.
  // Markdown writes a space at either end as a five-character reference.
  const std::size_t ends = format == tblf::RecordFormat::Markdown ? 8 : 0;
  if (cellLength > 6 * text.size() + static_cast<std::size_t>(width) + 2 + ends) Fail("cell grew beyond its bound");
  if (memory.CellCount() != 1) Fail("escaped text changed the cell counter");

  std::wstring fileText;
  tblf::RecordWriter file(Dbcs);
  file.SetOutputFile(std::make_unique<StringSink>(&fileText));
  file.BeginDocument(format, tblf::NewlineKind::Lf, quoteWhenNeeded, doubleQuotes);
  file.StartHeaderRow();
  file.WriteCell(text, width);
  file.WriteEscaped(text);
  file.EndRow(true);
  file.WriteFooter();
  if (fileText != all) Fail("file mode differs from memory mode");
  return 0;
}
