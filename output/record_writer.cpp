#include "output/record_writer.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <string_view>
#include <utility>

namespace tblf {

const BiText kRecordFormatNames[5] = {
    {L"カンマ区切り", L"comma-separated format"},
    {L"タブ区切り", L"TAB-separated format"},
    {L"<TABLE>タグ(HTML)", L"<TABLE>Tag(HTML format)"},
    {L"C言語配列", L"C Language Array"},
    {L"スペース区切り(リストビュー用)", L"space separated"},
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

constexpr FormatTexts kFormats[5] = {
    /* Csv    */ {L"", L"", L",", L"", L"", L""},
    /* Tsv    */ {L"", L"", L"\t", L"", L"", L""},
    /* Html   */
    {L"<html><head></head>\r\n<body><table>\r\n", L"<tr><td>", L"</td><td>", L"</td></tr>", L"</td></tr>",
     L"</table></body>\r\n</html>\r\n"},
    /* CArray */ {L"{", L"{", L",", L"},", L"}", L"};"},
    /* Space  */ {L"", L"", L" ", L"", L"", L""},
};

constexpr std::wstring_view kNewlines[3] = {L"\r\n", L"\n", L"\r"};

const BiText kNotEnoughMemory = {L"(メモリ不足)", L"(Not enough memory)"};

constexpr std::size_t kRowBufferReserve = 65536;

const FormatTexts& TextsOf(RecordFormat format) {
  const auto index = static_cast<std::size_t>(format);
  return kFormats[index < 5 ? index : 0];
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

}  // namespace

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
}

void RecordWriter::StartRow() {
  cellCount_ = 0;
  row_.append(TextsOf(format_).rowStart);
}

void RecordWriter::WriteCell(const std::wstring& text, int width) {
  if (cellCount_ > 0) AppendSeparator();
  AppendTreated(text, width);
  ++cellCount_;
}

void RecordWriter::AppendSeparator() { row_.append(TextsOf(format_).separator); }

void RecordWriter::AppendRaw(const std::wstring& text) { row_.append(text); }

void RecordWriter::WriteEscaped(const std::wstring& text) { AppendTreated(text, 0); }

void RecordWriter::EndRow(bool last) {
  ++rowCount_;
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
  row_.append(TextsOf(format_).footer);
  if (!row_.empty()) MoveBufferOut();
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
