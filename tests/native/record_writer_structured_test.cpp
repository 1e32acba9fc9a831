// JSON and Markdown output checked by real parsers: Python's json module and
// cmark-gfm (both from Debian, installed by tools/setup). Each case writes a
// document, the parser reads it back, and the cells it finds must be the
// cells written. Without the tools the cases are skipped with the reason.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "output/record_writer.h"

namespace tblf {
namespace {

using Fields = std::vector<std::wstring>;

// One step of a row as the engine takes it.
struct Op {
  enum Kind { Cell, Raw, Escaped, Separator } kind;
  std::wstring text;
};

struct Row {
  std::vector<Op> ops;
  Fields fields;  // what the row holds, as the other formats would split it
};

Row Cells(Fields cells) {
  Row row;
  for (const std::wstring& c : cells) row.ops.push_back({Op::Cell, c});
  row.fields = std::move(cells);
  return row;
}

struct Document {
  bool hasHeader = false;
  Fields header;
  std::vector<Row> rows;
};

void Write(RecordWriter& writer, RecordFormat format, const Document& doc,
           const std::function<void()>& afterRow = nullptr) {
  writer.BeginDocument(format, NewlineKind::CrLf, false, false);
  if (doc.hasHeader) {
    writer.StartHeaderRow();
    for (const std::wstring& h : doc.header) writer.WriteCell(h);
    writer.EndRow(false);
  }
  for (std::size_t r = 0; r < doc.rows.size(); ++r) {
    writer.StartRow();
    for (const Op& op : doc.rows[r].ops) {
      switch (op.kind) {
        case Op::Cell: writer.WriteCell(op.text); break;
        case Op::Raw: writer.AppendRaw(op.text); break;
        case Op::Escaped: writer.WriteEscaped(op.text); break;
        case Op::Separator: writer.AppendSeparator(); break;
      }
    }
    writer.EndRow(r + 1 == doc.rows.size());
    if (afterRow) afterRow();
  }
  writer.WriteFooter();
}

std::wstring Memory(RecordFormat format, const Document& doc) {
  RecordWriter writer;
  Write(writer, format, doc);
  std::wstring all;
  for (const std::wstring& chunk : writer.Chunks()) all += chunk;
  return all;
}

class StringSink : public TextSink {
 public:
  explicit StringSink(std::wstring* out) : out_(out) {}
  bool Write(const std::wstring& text, std::wstring&) override {
    out_->append(text);
    return true;
  }

 private:
  std::wstring* out_;
};

// A wchar_t holds a whole code point here: the documents go to the reader as
// UTF-32, which it decodes with a lone surrogate as U+FFFD (never in a valid
// document).
static_assert(sizeof(wchar_t) == 4, "the native tests run where wchar_t is UTF-32");

// A cell as the reader prints it: its code points in hexadecimal.
std::string Key(const std::wstring& cell) {
  std::string key = "<";
  char buffer[16];
  for (wchar_t c : cell) {
    std::snprintf(buffer, sizeof buffer, "%x.", static_cast<unsigned>(c));
    key += buffer;
  }
  return key + ">";
}

std::string Line(char tag, const Fields& cells) {
  std::string line(1, tag);
  for (const std::wstring& c : cells) line += " " + Key(c);
  return line + "\n";
}

// Prints what a parser found: "C" and the column headers, "R" and the cells
// of each row; for Markdown "T" starts each table. Anything that is not a
// table cell's plain text (markup inside a cell, text outside the tables) is
// printed as "BAD ...", which no expected listing contains.
const char kReader[] = R"PY(
import html.parser, json, subprocess, sys
def key(s): return '<' + ''.join('%x.' % ord(ch) for ch in s) + '>'
def line(tag, cells): print(tag + ''.join(' ' + key(c) for c in cells))
def read(path): return open(path, 'rb').read().decode('utf-32-le', 'replace')
def read_json(path):
    doc = json.loads(read(path))
    if not isinstance(doc, dict) or sorted(doc) != ['columns', 'rows']: print('BAD keys'); return
    ok = all(isinstance(c, str) for c in doc['columns']) and all(
        isinstance(r, list) and all(isinstance(c, str) for c in r) for r in doc['rows'])
    if not ok: print('BAD types'); return
    line('C', doc['columns'])
    for r in doc['rows']: line('R', r)
class Cells(html.parser.HTMLParser):
    def __init__(self):
        super().__init__(convert_charrefs=True); self.cell = None; self.row = None; self.head = False
    def handle_starttag(self, tag, attrs):
        if tag == 'table': print('T')
        elif tag == 'thead': self.head = True
        elif tag == 'tbody': self.head = False
        elif tag == 'tr': self.row = []
        elif tag in ('th', 'td'): self.cell = ''
        elif tag == 'br' and self.cell is not None: self.cell += '\n'
        elif tag == 'a' and self.cell is not None: pass  # an autolink keeps the text
        else: print('BAD tag', tag)
    def handle_endtag(self, tag):
        if tag in ('th', 'td'): self.row.append(self.cell); self.cell = None
        elif tag == 'tr': line('C' if self.head else 'R', self.row); self.row = None
        elif tag not in ('table', 'thead', 'tbody', 'a', 'br'): print('BAD end', tag)
    def handle_data(self, data):
        if self.cell is not None: self.cell += data
        elif data.strip(): print('BAD text', key(data))
def read_markdown(path):
    out = subprocess.run(['cmark-gfm', '--unsafe', '-e', 'table', '-e', 'autolink', '-e', 'strikethrough'],
                         input=read(path).encode('utf-8'), capture_output=True, check=True).stdout.decode('utf-8')
    Cells().feed(out)
for path in sys.argv[2:]:
    print('=', flush=True)
    read_json(path) if sys.argv[1] == 'json' else read_markdown(path)
)PY";

// Debian's python3 where it is, since it starts fastest; else the first on PATH.
const char* Python() { return access("/usr/bin/python3", X_OK) == 0 ? "/usr/bin/python3" : "python3"; }

bool HaveTool(const char* name) {
  return std::system((std::string("command -v ") + name + " >/dev/null 2>&1").c_str()) == 0;
}

std::string TempPath(const char* name) {
  const char* dir = std::getenv("TMPDIR");
  return std::string(dir && *dir ? dir : "/tmp") + "/tblf_structured_" + std::to_string(::getpid()) + "_" + name;
}

// Runs the reader once over every text (each written as UTF-32) and returns
// one listing per text.
std::vector<std::string> ReadBack(const char* mode, const std::vector<std::wstring>& texts) {
  const std::string script = TempPath("reader.py");
  const std::string listing = TempPath("listing.txt");
  std::ofstream(script, std::ios::binary) << kReader;
  std::string command = std::string(Python()) + " " + script + " " + mode;
  std::vector<std::string> docs;
  for (const std::wstring& text : texts) {
    docs.push_back(TempPath(std::to_string(docs.size()).c_str()));
    std::ofstream(docs.back(), std::ios::binary)
        .write(reinterpret_cast<const char*>(text.data()), static_cast<std::streamsize>(text.size() * 4));
    command += " " + docs.back();
  }
  const int status = std::system((command + " > " + listing + " 2>&1").c_str());
  std::stringstream read;
  read << std::ifstream(listing, std::ios::binary).rdbuf();
  for (const std::string& doc : docs) std::remove(doc.c_str());
  std::remove(script.c_str());
  std::remove(listing.c_str());
  std::vector<std::string> listings;
  const std::string all = read.str();
  std::istringstream lines(all);
  for (std::string line; std::getline(lines, line);) {
    if (line == "=") {
      listings.emplace_back();
    } else if (!listings.empty()) {
      listings.back() += line + "\n";
    }
  }
  if (status != 0 || listings.size() != texts.size()) {
    ADD_FAILURE() << "the reader failed:\n" << all;
    listings.resize(texts.size());
  }
  return listings;
}

std::string ReadBack(const char* mode, const std::wstring& text) { return ReadBack(mode, std::vector{text})[0]; }

std::string ExpectedJson(const Document& doc) {
  std::string listing = Line('C', doc.hasHeader ? doc.header : Fields());
  for (const Row& r : doc.rows) listing += Line('R', r.fields);
  return listing;
}

// Markdown changes what it cannot carry: every line break becomes one <br>
// (read back as LF) and a lone surrogate becomes U+FFFD. A table pads short
// rows with empty cells; the header of a table without one numbers the
// columns.
std::wstring AsMarkdownKeeps(const std::wstring& cell) {
  std::wstring out;
  for (std::size_t i = 0; i < cell.size(); ++i) {
    const unsigned c = static_cast<unsigned>(cell[i]);
    if (cell[i] == L'\r') {
      if (i + 1 < cell.size() && cell[i + 1] == L'\n') ++i;
      out += L'\n';
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      out += static_cast<wchar_t>(0xFFFD);
    } else {
      out += cell[i];
    }
  }
  return out;
}

std::string MarkdownTable(const Fields& header, const std::vector<Fields>& rows) {
  std::string listing = "T\n" + Line('C', header);
  for (Fields r : rows) {
    r.resize(header.size());
    for (std::wstring& c : r) c = AsMarkdownKeeps(c);
    listing += Line('R', r);
  }
  return listing;
}

Fields Numbered(std::size_t columns) {
  Fields header;
  for (std::size_t c = 1; c <= columns; ++c) header.push_back(std::to_wstring(c));
  return header;
}

std::vector<Fields> FieldsOf(const std::vector<Row>& rows) {
  std::vector<Fields> all;
  for (const Row& r : rows) all.push_back(r.fields);
  return all;
}

// The tree rows of the engine, English symbols: a root, then a child and a
// grandchild with the graph only, with the level shift only, and with both.
const std::vector<Row> kTreeRows = {
    {{{Op::Escaped, L"root"}}, {L"root"}},
    {{{Op::Raw, L"|-"}, {Op::Escaped, L"child"}}, {L"|-child"}},
    {{{Op::Raw, L"| "}, {Op::Raw, L"+-"}, {Op::Escaped, L"grand"}}, {L"| +-grand"}},
    {{{Op::Separator, L""}, {Op::Escaped, L"shifted"}}, {L"", L"shifted"}},
    {{{Op::Raw, L"| "}, {Op::Separator, L""}, {Op::Raw, L"+-"}, {Op::Separator, L""}, {Op::Escaped, L" both "}},
     {L"| ", L"+-", L" both "}},
};

const Fields kHardCells = {
    L"say \"hi\"",
    L"back\\slash \\",
    std::wstring(L"ctl\x01\x1F\tx") + L"\x7F",
    L"a|b||",
    L"crlf\r\nlf\ncr\rend",
    std::wstring(L"lone ") + static_cast<wchar_t>(0xD800) + L" low " + static_cast<wchar_t>(0xDC00),
    L" lead and trail ",
    L"*em* _u_ `code` [l](u) ![i](s) <b>x</b> &amp; &#32; ~~s~~ \\*",
    L"",
    L"日本語 \U0001F600",
    L"www.example.com a@b.c",
};

struct Case {
  const char* situation;
  Document doc;
};

std::vector<Case> Cases() {
  std::vector<Case> cases;
  cases.push_back({"worked row, no header", {false, {}, {Cells({L"a", L"b\"c", L"d,e"})}}});
  cases.push_back({"worked row under a header", {true, {L"Name", L"Quote", L"Comma"}, {Cells({L"a", L"b\"c", L"d,e"})}}});
  {
    Document hard{true, {}, {}};
    for (std::size_t i = 0; i < kHardCells.size(); ++i) hard.header.push_back(L"h" + std::to_wstring(i));
    hard.header[1] = L"| head |";
    hard.rows.push_back(Cells(kHardCells));
    cases.push_back({"hard cells", hard});
  }
  {
    Document column{false, {}, {}};
    for (const std::wstring& cell : kHardCells) column.rows.push_back(Cells({cell}));
    cases.push_back({"hard cells in one column, no header", column});
  }
  cases.push_back({"empty document", {false, {}, {}}});
  cases.push_back({"header and no rows", {true, {L"Name", L"Size"}, {}}});
  cases.push_back({"rows without cells", {true, {L"Name"}, {Cells({}), Cells({})}}});
  cases.push_back({"tree with prefixes", {false, {}, kTreeRows}});
  return cases;
}

class StructuredOutput : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!HaveTool(Python())) GTEST_SKIP() << "python3 is not installed (tools/setup installs it)";
  }
};

TEST_F(StructuredOutput, JsonParsesToTheCellsWritten) {
  const std::vector<Case> cases = Cases();
  std::vector<std::wstring> texts;
  for (const Case& c : cases) texts.push_back(Memory(RecordFormat::Json, c.doc));
  const std::vector<std::string> listings = ReadBack("json", texts);
  for (std::size_t i = 0; i < cases.size(); ++i) {
    EXPECT_EQ(listings[i], ExpectedJson(cases[i].doc)) << cases[i].situation;
  }
}

TEST_F(StructuredOutput, MarkdownRendersAsATableOfTheCellsWritten) {
  if (!HaveTool("cmark-gfm")) GTEST_SKIP() << "cmark-gfm is not installed (tools/setup installs it)";
  const std::vector<Case> cases = Cases();
  std::vector<std::wstring> texts;
  for (const Case& c : cases) texts.push_back(Memory(RecordFormat::Markdown, c.doc));
  const std::vector<std::string> listings = ReadBack("md", texts);
  for (std::size_t i = 0; i < cases.size(); ++i) {
    const Document& doc = cases[i].doc;
    std::string expected;
    if (doc.hasHeader) {
      expected = MarkdownTable(doc.header, FieldsOf(doc.rows));
    } else if (!doc.rows.empty()) {
      std::size_t widest = 1;
      for (const Row& r : doc.rows) widest = std::max(widest, r.fields.size());
      expected = MarkdownTable(Numbered(widest), FieldsOf(doc.rows));
    }
    EXPECT_EQ(listings[i], expected) << cases[i].situation;
  }
}

TEST_F(StructuredOutput, ARowWiderThanTheTableStartsANewTable) {
  if (!HaveTool("cmark-gfm")) GTEST_SKIP() << "cmark-gfm is not installed (tools/setup installs it)";
  // A header that lost a cell (it could not be read) and rows of two cells.
  const Document doc{true, {L"Name"}, {Cells({L"a"}), Cells({L"b", L"2"}), Cells({L"c", L"3"})}};
  EXPECT_EQ(ReadBack("md", Memory(RecordFormat::Markdown, doc)),
            MarkdownTable({L"Name"}, {{L"a"}}) + MarkdownTable(Numbered(2), {{L"b", L"2"}, {L"c", L"3"}}));
  EXPECT_EQ(ReadBack("json", Memory(RecordFormat::Json, doc)), ExpectedJson(doc));
}

// The exact text for the worked rows, so that a change of layout is seen.
TEST(StructuredOutputText, WorkedRowsAndEmptyDocuments) {
  const Document worked{true, {L"N", L"Q"}, {Cells({L"a", L"b\"c"}), Cells({L"d,e"})}};
  EXPECT_EQ(Memory(RecordFormat::Json, worked),
            L"{\"columns\":[\"N\",\"Q\"],\"rows\":[\r\n[\"a\",\"b\\\"c\"],\r\n[\"d,e\"]\r\n]}\r\n");
  EXPECT_EQ(Memory(RecordFormat::Markdown, worked),
            L"| N | Q |\r\n| --- | --- |\r\n| a | b\"c |\r\n| d,e |\r\n");
  EXPECT_EQ(Memory(RecordFormat::Json, {false, {}, {}}), L"{\"columns\":[],\"rows\":[]}\r\n");
  EXPECT_EQ(Memory(RecordFormat::Markdown, {false, {}, {}}), L"");
  EXPECT_EQ(Memory(RecordFormat::Markdown, {false, {}, {Cells({L"x"})}}), L"| 1 |\r\n| --- |\r\n| x |\r\n");
}

// One row of one cell as a text: started as the header row or as a plain
// one, with the CSV options on or off.
std::wstring OneRow(RecordFormat format, bool header, bool csvOptions) {
  RecordWriter w;
  w.BeginDocument(format, NewlineKind::Lf, csvOptions, csvOptions);
  header ? w.StartHeaderRow() : w.StartRow();
  w.WriteCell(L"a\"b,c");
  w.EndRow(false);
  w.WriteFooter();
  return w.FlattenedText();
}

// The CSV options do not apply to JSON and Markdown; the header row is an
// ordinary row in the five older formats.
TEST(StructuredOutputText, CsvOptionsChangeNothingAndTheOlderFormatsHaveNoHeaderRow) {
  for (RecordFormat f : {RecordFormat::Json, RecordFormat::Markdown}) EXPECT_EQ(OneRow(f, false, true), OneRow(f, false, false));
  for (int f = 0; f < 5; ++f) {
    const auto format = static_cast<RecordFormat>(f);
    EXPECT_EQ(OneRow(format, true, false), OneRow(format, false, false)) << f;
  }
}

// File mode streams: it holds about the threshold however large the output,
// and its pieces make exactly the memory text. Markdown without a header
// holds its rows until the first piece so that the numbered header is as wide
// as the widest row so far; a wider row later starts a new table.
TEST_F(StructuredOutput, FileModeStreamsAndEqualsTheMemoryText) {
  Document doc{false, {}, {}};
  for (int i = 0; i < 6000; ++i) {
    Row row = kTreeRows[static_cast<std::size_t>(i) % 4];
    row.ops.push_back({Op::Raw, L" #" + std::to_wstring(i) + L" " + std::wstring(i % 50, L'x')});
    row.fields.back() += row.ops.back().text;
    doc.rows.push_back(row);
  }
  doc.rows.push_back(kTreeRows[4]);  // three fields, far past the first piece
  for (RecordFormat format : {RecordFormat::Json, RecordFormat::Markdown}) {
    SCOPED_TRACE(static_cast<int>(format));
    std::wstring file;
    RecordWriter writer;
    writer.SetOutputFile(std::make_unique<StringSink>(&file));
    std::size_t most = 0;
    Write(writer, format, doc, [&] { most = std::max(most, writer.BufferedLength()); });
    EXPECT_LE(most, RecordWriter::kFlushThreshold + 200);
    EXPECT_GT(file.size(), 4 * RecordWriter::kFlushThreshold);
    EXPECT_EQ(file, Memory(format, doc));
    if (format == RecordFormat::Json) {
      EXPECT_EQ(ReadBack("json", file), ExpectedJson(doc));
    } else if (HaveTool("cmark-gfm")) {
      std::vector<Fields> rows = FieldsOf(doc.rows);
      const Fields last = rows.back();
      rows.pop_back();
      EXPECT_EQ(ReadBack("md", file), MarkdownTable(Numbered(2), rows) + MarkdownTable(Numbered(3), {last}));
    }
  }
}

}  // namespace
}  // namespace tblf
