// The record writer's file mode through the real encoded text writer: a
// document larger than the flush threshold, written in pieces, gives a file
// whose bytes are the memory-mode text in the chosen encoding, with the byte
// order mark once at the start.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "output/encoded_writer_win.h"
#include "output/record_writer.h"
#include "settings/settings_table.h"
#include "tests/support/desktop_io_win.h"

namespace tblf {
namespace {

using test::FileBytes;

std::wstring TempPath(const wchar_t* name) {
  wchar_t dir[MAX_PATH];
  const DWORD n = GetTempPathW(MAX_PATH, dir);
  EXPECT_GT(n, 0u);
  return std::wstring(dir) + name;
}

std::string Utf8(const std::wstring& text) {
  if (text.empty()) return std::string();
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                       nullptr, nullptr);
  std::string out(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size, nullptr, nullptr);
  return out;
}

std::string Utf16Le(const std::wstring& text) {
  return std::string(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
}

std::string Utf16Be(const std::wstring& text) {
  std::string out;
  for (wchar_t c : text) {
    out.push_back(static_cast<char>((c >> 8) & 0xFF));
    out.push_back(static_cast<char>(c & 0xFF));
  }
  return out;
}

void WriteRows(RecordWriter& writer) {
  writer.BeginDocument(RecordFormat::Csv, NewlineKind::CrLf, true, true);
  const int rows = 3000;
  for (int r = 0; r < rows; ++r) {
    writer.StartRow();
    writer.WriteCell(L"行 " + std::to_wstring(r));
    writer.WriteCell(L"say \"日本語\", then");
    writer.WriteCell(std::wstring(static_cast<std::size_t>(r % 50), L'x'));
    writer.EndRow(r + 1 == rows);
  }
  writer.WriteFooter();
}

// Restores the encoding setting the tests change.
class CharCodeGuard {
 public:
  CharCodeGuard() : saved_(Read(settings::kCharCode)) {}
  ~CharCodeGuard() { Write(settings::kCharCode, saved_, 0); }

 private:
  int saved_;
};

struct EncodingCase {
  const char* name;
  int charCode;
  std::string bom;
  std::string (*encode)(const std::wstring&);
};

TEST(RecordWriterFileMode, PiecesThroughTheEncodedWriterEqualTheMemoryText) {
  RecordWriter memory;
  WriteRows(memory);
  const std::wstring text = memory.FlattenedText();
  ASSERT_GT(text.size(), 2 * RecordWriter::kFlushThreshold);

  const EncodingCase cases[] = {
      {"UTF-8 with BOM", 7, "\xEF\xBB\xBF", Utf8},
      {"UTF-8 without BOM", 8, "", Utf8},
      {"UTF-16 LE with BOM", 3, "\xFF\xFE", Utf16Le},
      {"UTF-16 LE without BOM", 4, "", Utf16Le},
      {"UTF-16 BE with BOM", 5, "\xFE\xFF", Utf16Be},
  };
  CharCodeGuard guard;
  for (const EncodingCase& c : cases) {
    ASSERT_TRUE(Write(settings::kCharCode, c.charCode, 0)) << c.name;
    const std::wstring path = TempPath(L"tblf_record_writer_file_test.txt");
    {
      std::wstring reason;
      auto sink = EncodedFileSink::Create(path, reason);
      ASSERT_TRUE(sink) << c.name;
      RecordWriter file;
      file.SetOutputFile(std::move(sink));
      WriteRows(file);
    }  // the writer closes the file
    const std::string bytes = FileBytes(path);
    EXPECT_EQ(bytes, c.bom + c.encode(text)) << c.name;
    DeleteFileW(path.c_str());
  }
}

TEST(RecordWriterFileMode, UncreatableFileGivesTheWritersReason) {
  std::wstring reason;
  auto sink = EncodedFileSink::Create(TempPath(L"no such folder\\tblf\\out.txt"), reason);
  EXPECT_FALSE(sink);
  EXPECT_FALSE(reason.empty());
}

}  // namespace
}  // namespace tblf
