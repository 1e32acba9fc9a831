#include "output/record_writer.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <string_view>
#include <utility>

namespace tblf {

const BiText kRecordFormatNames[kRecordFormatCount] = {
    {L"カンマ区切り", L"comma-separated format"},
    {L"タブ区切り", L"TAB-separated format"},
    {L"<TABLE>タグ(HTML)", L"<TABLE>Tag(HTML format)"},
    {L"C言語配列", L"C Language Array"},
    {L"スペース区切り(リストビュー用)", L"space separated"},
    {L"JSON", L"JSON"},
    {L"Markdown の表", L"Markdown table"},
};

namespace {

// The fixed texts of one record format. The HTML header and footer carry
// their own CR LF whatever the newline kind.
// Views, so that appending them needs no length count per cell.
struct FormatTexts {
  std::wstring_view header;
  std::wstring_view rowStart;
  std::wstring_view separator;
  std::wstring_view rowEnd;
  std::wstring_view lastRowEnd;
  std::wstring_view footer;
};

// JSON and Markdown frame their rows in code (the field formats below); only
// their separators come from here.
constexpr FormatTexts kFormats[kRecordFormatCount] = {
    /* Csv    */ {L"", L"", L",", L"", L"", L""},
    /* Tsv    */ {L"", L"", L"\t", L"", L"", L""},
    /* Html   */
    {L"<html><head></head>\r\n<body><table>\r\n", L"<tr><td>", L"</td><td>", L"</td></tr>", L"</td></tr>",
     L"</table></body>\r\n</html>\r\n"},
    /* CArray */ {L"{", L"{", L",", L"},", L"}", L"};"},
    /* Space  */ {L"", L"", L" ", L"", L"", L""},
    /* Json   */ {L"{\"columns\":[", L"", L",", L"", L"", L""},
    /* Markdown */ {L"", L"", L" | ", L"", L"", L""},
};

constexpr std::wstring_view kNewlines[3] = {L"\r\n", L"\n", L"\r"};

const BiText kNotEnoughMemory = {L"(メモリ不足)", L"(Not enough memory)"};

constexpr std::size_t kRowBufferReserve = 65536;

const FormatTexts& TextsOf(RecordFormat format) {
  const auto index = static_cast<std::size_t>(format);
  return kFormats[index < kRecordFormatCount ? index : 0];
}

std::wstring_view NewlineOf(NewlineKind kind) {
  const auto index = static_cast<std::size_t>(kind);
  return kNewlines[index < 3 ? index : 0];
}

// A plain loop: find_first_of searches the set once per character, which
// made this test the largest single cost of CSV output.
bool NeedsCsvQuotes(const std::wstring& text) {
  for (wchar_t c : text) {
    if (c == L',' || c == L'"' || c == L'\r' || c == L'\n') return true;
  }
  return false;
}

bool IsHighSurrogate(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(wchar_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// The UTF-16 unit at i belongs to no valid pair.
bool LoneSurrogate(const std::wstring& text, std::size_t i) {
  const wchar_t c = text[i];
  if (IsHighSurrogate(c)) return i + 1 >= text.size() || !IsLowSurrogate(text[i + 1]);
  if (IsLowSurrogate(c)) return i == 0 || !IsHighSurrogate(text[i - 1]);
  return false;
}

void AppendHex4(std::wstring& out, unsigned value) {
  static const wchar_t kDigits[] = L"0123456789ABCDEF";
  out += L"\\u";
  for (int shift = 12; shift >= 0; shift -= 4) out.push_back(kDigits[(value >> shift) & 0xF]);
}

// The inside of a JSON string: the quote, the backslash and the control
// characters escaped (the controls as \u00XX), and a surrogate without its
// partner as its own \uD8XX escape, so that the text stays valid in UTF-8
// and loses nothing.
void AppendJsonText(std::wstring& out, const std::wstring& text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    const wchar_t c = text[i];
    if (c == L'"' || c == L'\\') {
      out.push_back(L'\\');
      out.push_back(c);
    } else if (static_cast<unsigned>(c) < 0x20 || LoneSurrogate(text, i)) {
      AppendHex4(out, static_cast<unsigned>(c));
    } else {
      out.push_back(c);
    }
  }
}

// Characters that mean something inside a GitHub table cell: the cell
// separator, and everything that opens an inline construct (emphasis, code,
// links, raw HTML, entities, strikethrough) or escapes the next character.
bool MarkdownSpecial(wchar_t c) {
  switch (c) {
    case L'|': case L'\\': case L'`': case L'*': case L'_': case L'[': case L']':
    case L'<': case L'>': case L'&': case L'~': case L'!':
      return true;
    default:
      return false;
  }
}

// Text of a Markdown table cell. A line break (CR LF, CR or LF) becomes
// <br>; a TAB and a space where the cell begins become character references,
// because the table trims white space around a cell. A surrogate without its
// partner cannot be written in any Unicode encoding and becomes U+FFFD.
void AppendMarkdownText(std::wstring& out, const std::wstring& text, bool atFieldStart) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    const wchar_t c = text[i];
    const bool first = atFieldStart && i == 0;
    if (c == L'\r' || c == L'\n') {
      if (c == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') ++i;
      out += L"<br>";
    } else if (c == L'\t') {
      out += L"&#9;";
    } else if (c == L' ' && first) {
      out += L"&#32;";
    } else if (MarkdownSpecial(c)) {
      out.push_back(L'\\');
      out.push_back(c);
    } else if (LoneSurrogate(text, i)) {
      out.push_back(static_cast<wchar_t>(0xFFFD));
    } else {
      out.push_back(c);
    }
  }
}

}  // namespace

std::wstring JsonString(const std::wstring& text) {
  std::wstring out = L"\"";
  AppendJsonText(out, text);
  out.push_back(L'"');
  return out;
}

RecordWriter::RecordWriter(AnsiLengthFn ansiLength) : ansiLength_(std::move(ansiLength)) {
  if (!ansiLength_) ansiLength_ = SystemAnsiLength;
}

// The sink closes the output file when it goes.
RecordWriter::~RecordWriter() = default;

void RecordWriter::SetOutputFile(std::unique_ptr<TextSink> file) { file_ = std::move(file); }

void RecordWriter::BeginDocument(RecordFormat format, NewlineKind newline, bool quoteWhenNeeded,
                                 bool doubleQuotes) {
  format_ = format;
  newline_ = newline;
  quoteWhenNeeded_ = quoteWhenNeeded;
  doubleQuotes_ = doubleQuotes;
  cellCount_ = 0;
  rowCount_ = 0;
  row_.reserve(kRowBufferReserve);
  row_.assign(TextsOf(format_).header);
  field_ = Field::None;
  separators_ = 0;
  headerRow_ = false;
  sawHeader_ = false;
  jsonColumnsOpen_ = format_ == RecordFormat::Json;
  jsonRows_ = 0;
  markdownColumns_ = 0;
  markdownWidest_ = 0;
}

void RecordWriter::StartRow() {
  cellCount_ = 0;
  if (FieldFormat()) {
    headerRow_ = false;
    field_ = Field::None;
    separators_ = 0;
    if (format_ == RecordFormat::Json) {
      // The comma goes before a row, not after it: a run that stops early or
      // leaves out its last row still ends in valid JSON.
      CloseJsonColumns();
      if (jsonRows_ > 0) row_.push_back(L',');
      row_.append(NewlineOf(newline_));
      rowStart_ = row_.size();
      row_.push_back(L'[');
    } else {
      rowStart_ = row_.size();
      row_.append(L"| ");
    }
    return;
  }
  row_.append(TextsOf(format_).rowStart);
}

void RecordWriter::StartHeaderRow() {
  // Only the first row can be the header; a later one is an ordinary row.
  const bool first = rowCount_ == 0 && !sawHeader_;
  if (format_ == RecordFormat::Json && first) {
    // The header's cells go into "columns", which is still open.
    cellCount_ = 0;
    field_ = Field::None;
    separators_ = 0;
    rowStart_ = row_.size();
  } else {
    StartRow();
  }
  if (!FieldFormat() || !first) return;
  headerRow_ = true;
  sawHeader_ = true;
}

void RecordWriter::WriteCell(const std::wstring& text, int width) {
  if (cellCount_ > 0) AppendSeparator();
  if (FieldFormat()) {
    OpenField();
    AppendTreated(text, width);
    CloseField();
  } else {
    AppendTreated(text, width);
  }
  ++cellCount_;
}

void RecordWriter::AppendSeparator() {
  if (FieldFormat()) {
    // A separator right after another (or at the start of a row) stands for
    // an empty field.
    if (field_ == Field::None && format_ == RecordFormat::Json) row_.append(L"\"\"");
    CloseField();
    field_ = Field::None;
    ++separators_;
  }
  row_.append(TextsOf(format_).separator);
}

void RecordWriter::AppendRaw(const std::wstring& text) {
  if (FieldFormat()) {
    // The tree prefix: raw for the other formats, but in these two it must be
    // escaped like any text to keep the document valid.
    OpenField();
    AppendTreatedText(text);
    return;
  }
  row_.append(text);
}

void RecordWriter::WriteEscaped(const std::wstring& text) {
  if (FieldFormat()) OpenField();
  AppendTreated(text, 0);
}

void RecordWriter::EndRow(bool last) {
  ++rowCount_;
  if (FieldFormat()) {
    EndFieldRow();
    return;
  }
  const FormatTexts& texts = TextsOf(format_);
  row_.append(last ? texts.lastRowEnd : texts.rowEnd);
  row_.append(NewlineOf(newline_));
  if (file_) {
    if (row_.size() > kFlushThreshold) MoveBufferOut();
  } else {
    MoveBufferOut();
  }
}

void RecordWriter::WriteFooter() {
  if (format_ == RecordFormat::Json) {
    CloseJsonColumns();
    if (jsonRows_ > 0) row_.append(NewlineOf(newline_));
    row_.append(L"]}");
    row_.append(NewlineOf(newline_));
  } else if (format_ == RecordFormat::Markdown && markdownColumns_ == 0 && markdownWidest_ > 0) {
    PutMarkdownHeader(0, markdownWidest_, false);
  }
  row_.append(TextsOf(format_).footer);
  if (!row_.empty()) MoveBufferOut();
}

// --- the field formats -------------------------------------------------

void RecordWriter::OpenField() {
  if (field_ == Field::Open) return;
  // Text after a closed field without a separator between them (nothing the
  // engine does) still gets a field of its own, so the row stays well formed.
  if (field_ == Field::Closed) AppendSeparator();
  if (format_ == RecordFormat::Json) row_.push_back(L'"');
  fieldStart_ = row_.size();
  field_ = Field::Open;
}

void RecordWriter::CloseField() {
  if (field_ != Field::Open) return;
  if (format_ == RecordFormat::Json) {
    row_.push_back(L'"');
  } else if (row_.size() > fieldStart_ && row_.back() == L' ') {
    // The table trims the cell: its last space is written as a reference.
    row_.pop_back();
    row_.append(L"&#32;");
  }
  field_ = Field::Closed;
}

void RecordWriter::CloseJsonColumns() {
  if (!jsonColumnsOpen_) return;
  row_.append(L"],\"rows\":[");
  jsonColumnsOpen_ = false;
}

void RecordWriter::EndFieldRow() {
  // A row that ends right after a separator has an empty last field.
  if (field_ == Field::None && separators_ > 0 && format_ == RecordFormat::Json) row_.append(L"\"\"");
  CloseField();
  field_ = Field::None;
  if (format_ == RecordFormat::Json) {
    if (!headerRow_) {
      row_.push_back(L']');
      ++jsonRows_;
    }
    headerRow_ = false;
    if (!file_ || row_.size() > kFlushThreshold) MoveBufferOut();
    return;
  }
  EndMarkdownRow();
}

void RecordWriter::EndMarkdownRow() {
  const bool empty = cellCount_ == 0 && separators_ == 0 && row_.size() == rowStart_ + 2;
  row_.append(L" |");
  row_.append(NewlineOf(newline_));
  const int columns = separators_ + 1;
  if (headerRow_) {
    headerRow_ = false;
    if (empty) {
      // No header could be read: the table gets the numbered header instead.
      row_.resize(rowStart_);
      return;
    }
    row_.append(L"|");
    for (int c = 0; c < columns; ++c) row_.append(L" --- |");
    row_.append(NewlineOf(newline_));
    markdownColumns_ = columns;
  } else if (markdownColumns_ == 0) {
    // Held until the buffer is full or the document ends.
    markdownWidest_ = std::max(markdownWidest_, columns);
    if (row_.size() <= kFlushThreshold) return;
    PutMarkdownHeader(0, markdownWidest_, false);
  } else if (columns > markdownColumns_) {
    // The table would drop the cells past its header: this row starts a new
    // table that is wide enough.
    PutMarkdownHeader(rowStart_, columns, true);
  }
  if (!file_ || row_.size() > kFlushThreshold) MoveBufferOut();
}

void RecordWriter::PutMarkdownHeader(std::size_t at, int columns, bool newTable) {
  std::wstring header;
  const std::wstring_view newline = NewlineOf(newline_);
  if (newTable) header.append(newline);
  header.push_back(L'|');
  for (int c = 1; c <= columns; ++c) header += L" " + std::to_wstring(c) + L" |";
  header.append(newline);
  header.push_back(L'|');
  for (int c = 0; c < columns; ++c) header.append(L" --- |");
  header.append(newline);
  row_.insert(at, header);
  markdownColumns_ = columns;
}

bool RecordWriter::AlwaysQuoted() const { return format_ == RecordFormat::Csv && !quoteWhenNeeded_; }

std::wstring_view RecordWriter::Separator() const { return TextsOf(format_).separator; }

void RecordWriter::AppendTreated(const std::wstring& text, int width) {
  if (width <= 0) {
    AppendTreatedText(text);
    return;
  }
  const int length = ansiLength_(text);
  if (width <= length) {
    AppendTreatedText(text);
    return;
  }
  // The padded copy is the one allocation a cell may fail without ending the
  // run: the cell is then left out, but the caller still counts it.
  const auto spaces = static_cast<std::size_t>(width) - static_cast<std::size_t>(std::max(length, 0));
  // The copy lives in a member so that its room is reused from cell to cell.
  try {
    if (!MayAllocate(text.size() + spaces)) throw std::bad_alloc();
    padded_.reserve(text.size() + spaces);
    padded_.assign(text);
    padded_.append(spaces, L' ');
  } catch (const std::bad_alloc&) {
    padded_ = std::wstring();
    return;
  }
  AppendTreatedText(padded_);
}

void RecordWriter::AppendTreatedText(const std::wstring& text) {
  switch (format_) {
    case RecordFormat::Csv: {
      const bool enclose = !quoteWhenNeeded_ || NeedsCsvQuotes(text);
      if (enclose) row_.push_back(L'"');
      if (doubleQuotes_ && text.find(L'"') != std::wstring::npos) {
        for (wchar_t c : text) {
          row_.push_back(c);
          if (c == L'"') row_.push_back(L'"');
        }
      } else {
        row_.append(text);
      }
      if (enclose) row_.push_back(L'"');
      break;
    }
    case RecordFormat::Html: {
      std::size_t start = 0;
      for (std::size_t i = 0; i < text.size(); ++i) {
        const wchar_t* entity = nullptr;
        switch (text[i]) {
          case L'&': entity = L"&amp;"; break;
          case L'"': entity = L"&quot;"; break;
          case L'<': entity = L"&lt;"; break;
          case L'>': entity = L"&gt;"; break;
          default: continue;
        }
        row_.append(text, start, i - start);
        row_.append(entity);
        start = i + 1;
      }
      row_.append(text, start, std::wstring::npos);
      break;
    }
    case RecordFormat::CArray: {
      row_.push_back(L'"');
      std::size_t start = 0;
      for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != L'"' && text[i] != L'\\') continue;
        row_.append(text, start, i - start);
        row_.push_back(L'\\');
        row_.push_back(text[i]);
        start = i + 1;
      }
      row_.append(text, start, std::wstring::npos);
      row_.push_back(L'"');
      break;
    }
    case RecordFormat::Json:
      AppendJsonText(row_, text);
      break;
    case RecordFormat::Markdown:
      AppendMarkdownText(row_, text, field_ == Field::Open && row_.size() == fieldStart_);
      break;
    case RecordFormat::Tsv:
    case RecordFormat::Space:
    default:
      row_.append(text);
      break;
  }
}

// File mode: the row buffer goes to the sink and keeps its room for the next
// rows. Memory mode: the row string itself becomes the next chunk.
void RecordWriter::MoveBufferOut() {
  if (file_) {
    std::wstring reason;
    const bool written = file_->Write(row_, reason);
    row_.clear();
    if (!written) throw FileWriteError(std::move(reason));
    return;
  }
  const std::size_t length = row_.size();
  totalLength_ += length;
  chunks_.push_back(std::move(row_));
  row_ = std::wstring();
  // Rows of one document tend to be alike: room for one more of the same
  // length spares the regrowth from nothing on every row.
  row_.reserve(length);
}

const wchar_t* RecordWriter::FlattenedText() {
  ReleaseFlattened();
  // The chunks may have been consumed (or, in principle, added to) since the
  // total was counted; the copy never runs past what it allocated.
  std::size_t present = 0;
  for (const std::wstring& chunk : chunks_) present += chunk.size();
  const std::size_t length = std::max(totalLength_, present);
  if (length == static_cast<std::size_t>(-1) || !MayAllocate(length + 1)) return Pick(kNotEnoughMemory);
  flattened_.reset(new (std::nothrow) wchar_t[length + 1]());
  if (!flattened_) return Pick(kNotEnoughMemory);
  wchar_t* out = flattened_.get();
  for (const std::wstring& chunk : chunks_) {
    std::memcpy(out, chunk.data(), chunk.size() * sizeof(wchar_t));
    out += chunk.size();
  }
  return flattened_.get();
}

void RecordWriter::ReleaseFlattened() { flattened_.reset(); }

}  // namespace tblf
