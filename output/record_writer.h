#pragma once
// The record writer: rows of cell texts become the text of one output
// document in one of the seven record formats. Memory mode keeps one chunk per
// row (clipboard, sample window); file mode streams the text to a TextSink
// whenever more than kFlushThreshold characters are buffered.

#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

#include "output/text_sink.h"
#include "base/text.h"

namespace tblf {

// Index in the main dialog's format list and the setting MainDialog/format.
enum class RecordFormat : unsigned char {
  Csv = 0,
  Tsv = 1,
  Html = 2,
  CArray = 3,
  Space = 4,
  Json = 5,
  Markdown = 6
};
constexpr std::size_t kRecordFormatCount = 7;
// Setting File/RetCode.
enum class NewlineKind : unsigned char { CrLf = 0, Lf = 1, Cr = 2 };

// The format list entries.
extern const BiText kRecordFormatNames[kRecordFormatCount];

// A text as a JSON string, quotes included, escaped as the JSON format
// escapes its cells.
std::wstring JsonString(const std::wstring& text);

// Byte length of a text in the system ANSI code page, terminating zero
// included (WideCharToMultiByte with GetACP and length -1 on Windows).
using AnsiLengthFn = std::function<int(const std::wstring&)>;
// The platform's measure: GetACP on Windows; on other systems a stand-in that
// counts 1 byte below U+0080 and 2 above, plus the terminator.
int SystemAnsiLength(const std::wstring& text);

// Raised by the file mode when a write fails; carries the encoded text
// writer's reason. The output engine catches it.
class FileWriteError : public std::runtime_error {
 public:
  explicit FileWriteError(std::wstring reason)
      : std::runtime_error("file write failed"), reason_(std::move(reason)) {}
  const std::wstring& reason() const { return reason_; }

 private:
  std::wstring reason_;
};

class RecordWriter {
 public:
  static constexpr std::size_t kFlushThreshold = 0xFC00;  // 64,512 characters

  explicit RecordWriter(AnsiLengthFn ansiLength = SystemAnsiLength);
  ~RecordWriter();
  RecordWriter(const RecordWriter&) = delete;
  RecordWriter& operator=(const RecordWriter&) = delete;

  // Gives the writer its output file (file mode). Before BeginDocument.
  void SetOutputFile(std::unique_ptr<TextSink> file);
  bool InFileMode() const { return file_ != nullptr; }

  void BeginDocument(RecordFormat format, NewlineKind newline, bool quoteWhenNeeded, bool doubleQuotes);
  void StartRow();
  // Starts the row of column headers (a list view's header row). JSON puts
  // its cells into "columns", Markdown into the table's header; every other
  // format writes it like any row.
  void StartHeaderRow();
  // Separator when the row already has a cell, then the treated text, padded
  // to `width` bytes (ANSI code page, terminator counted) when width > 0.
  void WriteCell(const std::wstring& text, int width = 0);
  void AppendSeparator();
  void AppendRaw(const std::wstring& text);
  // Treated like a cell, without separator and without counting a cell.
  void WriteEscaped(const std::wstring& text);
  void EndRow(bool last);
  void WriteFooter();

  // True for CSV with the quote-only-when-needed option off.
  bool AlwaysQuoted() const;
  // The field separator of the format (the file list builds its prefixes from it).
  std::wstring_view Separator() const;

  // Test seam for the two allocations whose failure the writer survives (the
  // padded copy of a cell, the flattened copy): called with the number of
  // characters about to be allocated; false makes that allocation fail.
  using AllocationGate = std::function<bool(std::size_t)>;
  void SetAllocationGate(AllocationGate gate) { allocationGate_ = std::move(gate); }

  // One contiguous, zero-terminated copy of the chunk list; the previous copy
  // is released first. "(Not enough memory)" / "(メモリ不足)" when the copy
  // cannot be made. Valid until the next call or ReleaseFlattened().
  const wchar_t* FlattenedText();
  void ReleaseFlattened();

  // Characters moved into the chunk list so far, and the chunks themselves;
  // the clipboard copy may pop chunks as it copies them.
  std::size_t TotalLength() const { return totalLength_; }
  std::deque<std::wstring>& Chunks() { return chunks_; }

  int CellCount() const { return cellCount_; }
  int RowCount() const { return rowCount_; }
  RecordFormat Format() const { return format_; }
  // Characters waiting in the row buffer (file mode keeps at most the
  // threshold plus one row).
  std::size_t BufferedLength() const { return row_.size(); }

 private:
  void AppendTreated(const std::wstring& text, int width);
  void AppendTreatedText(const std::wstring& text);
  void MoveBufferOut();
  // JSON and Markdown hold the fields of a row as strings of their own: the
  // raw text, escaped text and separators that make up the row are tracked so
  // that every field is opened, escaped and closed whatever order they come in.
  bool FieldFormat() const { return format_ == RecordFormat::Json || format_ == RecordFormat::Markdown; }
  void OpenField();
  void CloseField();
  void EndFieldRow();
  void EndMarkdownRow();
  void CloseJsonColumns();
  // Markdown without a header row: the header (column numbers) waits until
  // the held rows are written out, so it can be as wide as the widest of them.
  void PutMarkdownHeader(std::size_t at, int columns, bool newTable);

  enum class Field : unsigned char { None, Open, Closed };
  bool MayAllocate(std::size_t chars) const { return !allocationGate_ || allocationGate_(chars); }

  AnsiLengthFn ansiLength_;
  std::unique_ptr<TextSink> file_;
  std::deque<std::wstring> chunks_;
  std::wstring row_;
  std::wstring padded_;  // the padded copy of the current cell
  bool quoteWhenNeeded_ = false;
  bool doubleQuotes_ = false;
  RecordFormat format_ = RecordFormat::Csv;
  NewlineKind newline_ = NewlineKind::CrLf;
  int cellCount_ = 0;
  int rowCount_ = 0;
  std::size_t totalLength_ = 0;
  std::unique_ptr<wchar_t[]> flattened_;
  AllocationGate allocationGate_;

  // Row state of the field formats.
  Field field_ = Field::None;
  std::size_t fieldStart_ = 0;  // where the open field's text begins in row_
  std::size_t rowStart_ = 0;    // where the current row begins in row_
  int separators_ = 0;          // separators written in the current row
  bool headerRow_ = false;      // the current row is the header row
  bool sawHeader_ = false;
  // JSON: "columns" is still open; data rows written.
  bool jsonColumnsOpen_ = false;
  long long jsonRows_ = 0;
  // Markdown: columns of the current table (0 before its header), and the
  // widest row held while the header waits.
  int markdownColumns_ = 0;
  int markdownWidest_ = 0;
};

}  // namespace tblf
