// The record writer's file mode through the real encoded text writer: a
// document larger than the flush threshold, written in pieces, gives a file
// whose bytes are the memory-mode text in the chosen encoding, with the byte
// order mark once at the start; and the code page encodings byte for byte.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "output/encoded_writer_win.h"
#include "output/record_writer.h"
#include "settings/settings_table.h"
#include "tests/support/cli_run_win.h"
#include "tests/support/desktop_io_win.h"

namespace tblf {
namespace {

using test::FileBytes;
using test::Utf8;

std::wstring TempPath(const wchar_t* name) { return test::TempFolder() + name; }

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

TEST(RecordWriterFileMode, PiecesThroughTheEncodedWriterEqualTheMemoryText) {
  RecordWriter memory;
  WriteRows(memory);
  const std::wstring text = memory.FlattenedText();
  ASSERT_GT(text.size(), 2 * RecordWriter::kFlushThreshold);

  // The File/CharCode values and their bytes.
  const std::string utf8 = Utf8(text), le = test::Utf16(text, false), be = test::Utf16(text, true);
  const std::pair<int, std::string> cases[] = {
      {7, "\xEF\xBB\xBF" + utf8}, {8, utf8}, {3, "\xFF\xFE" + le}, {4, le}, {5, "\xFE\xFF" + be},
  };
  CharCodeGuard guard;
  for (const auto& [charCode, expected] : cases) {
    SCOPED_TRACE(charCode);
    ASSERT_TRUE(Write(settings::kCharCode, charCode, 0));
    const std::wstring path = TempPath(L"tblf_record_writer_file_test.txt");
    {
      std::wstring reason;
      auto sink = EncodedFileSink::Create(path, reason);
      ASSERT_TRUE(sink);
      RecordWriter file;
      file.SetOutputFile(std::move(sink));
      WriteRows(file);
    }  // the writer closes the file
    const std::string bytes = FileBytes(path);
    EXPECT_EQ(bytes, expected);
    DeleteFileW(path.c_str());
  }
}

// The code page encodings byte for byte, one-shot; JIS goes through code
// page 50222, which Wine 8 does not have: there the write must fail with a
// reason and leave no file instead of reporting success.
TEST(EncodedWriter, CodePageEncodingsByteForByteOrAFailureWithItsReason) {
  const std::wstring text = L"日本語の列\r\n最後\r\n";
  const std::pair<int, std::string> cases[] = {
      {1, "\x93\xfa\x96\x7b\x8c\xea\x82\xcc\x97\xf1\r\n\x8d\xc5\x8c\xe3\r\n"},  // Shift-JIS
      {9, "+ZeVnLIqeMG5SFw-\r\n+ZwBfjA-\r\n"},                                          // UTF-7
      {10, "\xc6\xfc\xcb\xdc\xb8\xec\xa4\xce\xce\xf3\r\n\xba\xc7\xb8\xe5\r\n"},  // EUC-JP
      {2, IsValidCodePage(50222) ? "\x1b$BF|K\\8l$NNs\x1b(B\r\n\x1b$B:G8e\x1b(B\r\n" : ""},  // JIS
  };
  const std::wstring path = TempPath(L"tblf_encoded.txt");
  for (const auto& [index, bytes] : cases) {
    SCOPED_TRACE(index);
    SetEncodingOverride(index);
    const wchar_t* reason = nullptr;
    EXPECT_EQ(WriteEncodedText(path.c_str(), nullptr, text.c_str(), &reason), !bytes.empty());
    EXPECT_EQ(FileBytes(path), bytes);
    if (bytes.empty()) EXPECT_NE(reason, nullptr);
    DeleteFileW(path.c_str());
  }
  SetEncodingOverride(-1);
}

TEST(RecordWriterFileMode, UncreatableFileGivesTheWritersReason) {
  std::wstring reason;
  auto sink = EncodedFileSink::Create(TempPath(L"no such folder\\tblf\\out.txt"), reason);
  EXPECT_FALSE(sink);
  EXPECT_FALSE(reason.empty());
}

}  // namespace
}  // namespace tblf
