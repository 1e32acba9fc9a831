// The record writer's cell treatment on any text, format, options and width:
// no crash, bounded growth, and the treated cell decodes back to the (padded)
// text wherever the format is reversible. File mode must give exactly the
// memory text.
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

// Undoes the treatment of one cell; false when `cell` is not a well-formed
// treated cell.
bool Decode(tblf::RecordFormat format, bool quoteWhenNeeded, bool doubleQuotes, const std::wstring& cell,
            std::wstring& out) {
  using tblf::RecordFormat;
  out.clear();
  switch (format) {
    case RecordFormat::Csv: {
      std::wstring body = cell;
      // A bare cell never starts with a quote: a quote forces the enclosure.
      const bool quoted = body.size() >= 2 && body.front() == L'"' && body.back() == L'"';
      if (!quoteWhenNeeded && !quoted) return false;
      if (quoted) {
        body = body.substr(1, body.size() - 2);
      } else if (body.find_first_of(L",\"\r\n") != std::wstring::npos) {
        return false;  // should have been enclosed
      }
      if (!doubleQuotes) {
        out = body;
        return true;
      }
      for (std::size_t i = 0; i < body.size(); ++i) {
        out.push_back(body[i]);
        if (body[i] == L'"') {
          if (i + 1 >= body.size() || body[i + 1] != L'"') return false;
          ++i;
        }
      }
      return true;
    }
    case RecordFormat::Html: {
      for (std::size_t i = 0; i < cell.size(); ++i) {
        if (cell[i] == L'<' || cell[i] == L'>' || cell[i] == L'"') return false;
        if (cell[i] != L'&') {
          out.push_back(cell[i]);
          continue;
        }
        static const struct {
          const wchar_t* entity;
          wchar_t c;
        } kEntities[] = {{L"&amp;", L'&'}, {L"&quot;", L'"'}, {L"&lt;", L'<'}, {L"&gt;", L'>'}};
        bool found = false;
        for (const auto& e : kEntities) {
          const std::wstring entity = e.entity;
          if (cell.compare(i, entity.size(), entity) == 0) {
            out.push_back(e.c);
            i += entity.size() - 1;
            found = true;
            break;
          }
        }
        if (!found) return false;
      }
      return true;
    }
    case RecordFormat::CArray: {
      if (cell.size() < 2 || cell.front() != L'"' || cell.back() != L'"') return false;
      for (std::size_t i = 1; i + 1 < cell.size(); ++i) {
        if (cell[i] == L'\\') {
          if (i + 2 >= cell.size() || (cell[i + 1] != L'\\' && cell[i + 1] != L'"')) return false;
          ++i;
        } else if (cell[i] == L'"') {
          return false;
        }
        out.push_back(cell[i]);
      }
      return true;
    }
    case RecordFormat::Json: {
      if (cell.size() < 2 || cell.front() != L'"' || cell.back() != L'"') return false;
      for (std::size_t i = 1; i + 1 < cell.size(); ++i) {
        const wchar_t c = cell[i];
        if (c == L'"' || static_cast<unsigned>(c) < 0x20) return false;
        if (c != L'\\') {
          out.push_back(c);
          continue;
        }
        if (i + 2 >= cell.size()) return false;
        const wchar_t e = cell[++i];
        if (e == L'"' || e == L'\\') {
          out.push_back(e);
        } else if (e == L'u' && i + 5 < cell.size()) {
          out.push_back(static_cast<wchar_t>(std::wcstoul(cell.substr(i + 1, 4).c_str(), nullptr, 16)));
          i += 4;
        } else {
          return false;
        }
      }
      return true;
    }
    case RecordFormat::Markdown: {
      // Line breaks come back as LF and lone surrogates as U+FFFD (see
      // MarkdownKeeps); white space at either end only as a reference.
      if (!cell.empty() && (cell.front() == L' ' || cell.back() == L' ')) return false;
      static const struct {
        const wchar_t* written;
        wchar_t c;
      } kSequences[] = {{L"<br>", L'\n'}, {L"&#9;", L'\t'}, {L"&#32;", L' '}};
      for (std::size_t i = 0; i < cell.size(); ++i) {
        const wchar_t c = cell[i];
        if (c == L'\\') {
          if (i + 1 >= cell.size()) return false;
          out.push_back(cell[++i]);
          continue;
        }
        bool found = false;
        for (const auto& s : kSequences) {
          const std::wstring written = s.written;
          if (cell.compare(i, written.size(), written) == 0) {
            out.push_back(s.c);
            i += written.size() - 1;
            found = true;
            break;
          }
        }
        if (found) continue;
        if (c == L'|' || c == L'<' || c == L'&' || c == L'\r' || c == L'\n' || c == L'\t') return false;
        out.push_back(c);
      }
      return true;
    }
    default:
      out = cell;
      return true;
  }
}

// What a Markdown cell can carry of a text: every line break as one LF, a
// surrogate without its partner as U+FFFD.
std::wstring MarkdownKeeps(const std::wstring& text) {
  std::wstring out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const unsigned c = static_cast<unsigned>(text[i]);
    const bool high = c >= 0xD800 && c <= 0xDBFF, low = c >= 0xDC00 && c <= 0xDFFF;
    if (text[i] == L'\r') {
      if (i + 1 < text.size() && text[i + 1] == L'\n') ++i;
      out.push_back(L'\n');
    } else if (high && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      out.push_back(text[i]);
      out.push_back(text[++i]);
    } else if (high || low) {
      out.push_back(static_cast<wchar_t>(0xFFFD));
    } else {
      out.push_back(text[i]);
    }
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using tblf::RecordFormat;
  if (size < 2) return 0;
  const auto format = static_cast<RecordFormat>(data[0] % tblf::kRecordFormatCount);
  // JSON and Markdown write a field separator before the escaped copy, which
  // starts a field of its own.
  const std::wstring escapedLead = format == RecordFormat::Json       ? L","
                                   : format == RecordFormat::Markdown ? L" | "
                                                                      : L"";
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

  std::wstring padded = text;
  const int length = Dbcs(text);
  if (width > length) padded.append(static_cast<std::size_t>(width - length), L' ');
  const std::wstring cell = all.substr(headerLength + rowStartLength, cellLength);
  std::wstring decoded;
  // Without doubling, an enclosed CSV cell cannot tell its own quotes apart.
  const bool reversible = format != RecordFormat::Csv || doubleQuotes || padded.find(L'"') == std::wstring::npos;
  if (reversible) {
    if (!Decode(format, quoteWhenNeeded, doubleQuotes, cell, decoded)) Fail("treated cell is malformed");
    if (decoded != (format == RecordFormat::Markdown ? MarkdownKeeps(padded) : padded)) {
      Fail("treated cell does not decode to its text");
    }
  }
  // The escaped copy follows the cell directly, treated the same way but unpadded.
  const std::wstring escaped = all.substr(headerLength + rowStartLength + cellLength);
  if (width <= length && escaped.compare(0, escapedLead.size() + cell.size(), escapedLead + cell) != 0) {
    Fail("escaped text differs from the cell");
  }

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
