// Formatting throughput of the record writer: 1,000,000 cells of mixed text
// (100,000 rows of 10 cells) as CSV, HTML and space-separated columns, in
// memory mode and in file mode. Bytes are counted as UTF-16 output (2 per
// character, as on Windows), so the MB/s figures compare across platforms.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "output/record_writer.h"

namespace {

using tblf::NewlineKind;
using tblf::RecordFormat;
using tblf::RecordWriter;

constexpr int kRows = 100000;
constexpr int kColumns = 10;

// Plain words, numbers, empty cells, cells that need CSV quotes or HTML
// entities, and Japanese text, in a fixed mix.
const std::vector<std::wstring>& Cells() {
  static const std::vector<std::wstring> cells = [] {
    const std::wstring samples[] = {
        L"explorer.exe", L"12,345 KB", L"", L"C:\\Windows\\System32", L"say \"hello\"",
        L"<b>bold</b> & more", L"デスクトップ", L"2026/12/06 14:10", L"Running", L"一覧表示のテキスト",
        L"x", L"0x00010A2C", L"multi\r\nline", L"Tabulift", L"名前",
    };
    std::vector<std::wstring> out;
    out.reserve(static_cast<std::size_t>(kRows) * kColumns);
    for (int i = 0; i < kRows * kColumns; ++i) {
      std::wstring cell = samples[(i * 7 + i / 13) % 15];
      if (i % 5 == 0) cell += std::to_wstring(i);
      out.push_back(std::move(cell));
    }
    return out;
  }();
  return cells;
}

// Column widths as the engine would measure them for space-separated output.
std::vector<int> Widths() {
  std::vector<int> widths(kColumns, 0);
  const auto& cells = Cells();
  for (std::size_t i = 0; i < cells.size(); ++i) {
    int& w = widths[i % kColumns];
    w = std::max(w, tblf::SystemAnsiLength(cells[i]));
  }
  return widths;
}

class DiscardSink : public tblf::TextSink {
 public:
  explicit DiscardSink(std::size_t* total) : total_(total) {}
  bool Write(const std::wstring& text, std::wstring&) override {
    *total_ += text.size();
    benchmark::DoNotOptimize(text.data());
    return true;
  }

 private:
  std::size_t* total_;
};

// Raw wide characters into a real file, no encoding: the writer's own cost
// plus the system's write path.
class RawFileSink : public tblf::TextSink {
 public:
  RawFileSink(std::FILE* file, std::size_t* total) : file_(file), total_(total) {}
  bool Write(const std::wstring& text, std::wstring& reason) override {
    *total_ += text.size();
    if (std::fwrite(text.data(), sizeof(wchar_t), text.size(), file_) != text.size()) {
      reason = L"write failed";
      return false;
    }
    return true;
  }

 private:
  std::FILE* file_;
  std::size_t* total_;
};

enum class Mode { Memory, Discard, RealFile };

void WriteDocument(RecordWriter& writer, RecordFormat format, const std::vector<int>* widths) {
  const auto& cells = Cells();
  writer.BeginDocument(format, NewlineKind::CrLf, true, true);
  for (int r = 0; r < kRows; ++r) {
    writer.StartRow();
    for (int c = 0; c < kColumns; ++c) {
      writer.WriteCell(cells[static_cast<std::size_t>(r) * kColumns + c], widths ? (*widths)[c] : 0);
    }
    writer.EndRow(r + 1 == kRows);
  }
  writer.WriteFooter();
}

void RunFormat(benchmark::State& state, RecordFormat format, Mode mode) {
  Cells();
  const std::vector<int> widths = format == RecordFormat::Space ? Widths() : std::vector<int>();
  const std::vector<int>* w = format == RecordFormat::Space ? &widths : nullptr;
  std::size_t characters = 0;
  for (auto _ : state) {
    std::size_t total = 0;
    std::FILE* file = nullptr;
    {
      RecordWriter writer;
      if (mode == Mode::Discard) writer.SetOutputFile(std::make_unique<DiscardSink>(&total));
      if (mode == Mode::RealFile) {
        state.PauseTiming();
        file = std::tmpfile();
        state.ResumeTiming();
        if (!file) {
          state.SkipWithError("no temporary file");
          return;
        }
        writer.SetOutputFile(std::make_unique<RawFileSink>(file, &total));
      }
      WriteDocument(writer, format, w);
      if (mode == Mode::Memory) total = writer.TotalLength();
      benchmark::DoNotOptimize(writer.Chunks().size());
      if (file) std::fflush(file);
    }
    if (file) {
      state.PauseTiming();
      std::fclose(file);
      state.ResumeTiming();
    }
    characters += total;
  }
  state.SetBytesProcessed(static_cast<int64_t>(characters * 2));
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * kRows * kColumns);
}

void BM_CsvMemory(benchmark::State& s) { RunFormat(s, RecordFormat::Csv, Mode::Memory); }
void BM_CsvFileDiscard(benchmark::State& s) { RunFormat(s, RecordFormat::Csv, Mode::Discard); }
void BM_CsvRealFile(benchmark::State& s) { RunFormat(s, RecordFormat::Csv, Mode::RealFile); }
void BM_HtmlMemory(benchmark::State& s) { RunFormat(s, RecordFormat::Html, Mode::Memory); }
void BM_HtmlFileDiscard(benchmark::State& s) { RunFormat(s, RecordFormat::Html, Mode::Discard); }
void BM_SpaceMemory(benchmark::State& s) { RunFormat(s, RecordFormat::Space, Mode::Memory); }
void BM_SpaceFileDiscard(benchmark::State& s) { RunFormat(s, RecordFormat::Space, Mode::Discard); }
void BM_JsonFileDiscard(benchmark::State& s) { RunFormat(s, RecordFormat::Json, Mode::Discard); }
void BM_MarkdownFileDiscard(benchmark::State& s) { RunFormat(s, RecordFormat::Markdown, Mode::Discard); }

// The clipboard's one contiguous copy of a memory-mode document.
void BM_CsvFlatten(benchmark::State& state) {
  RecordWriter writer;
  WriteDocument(writer, RecordFormat::Csv, nullptr);
  for (auto _ : state) {
    benchmark::DoNotOptimize(writer.FlattenedText());
    writer.ReleaseFlattened();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * writer.TotalLength() * 2));
}

BENCHMARK(BM_CsvMemory)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CsvFileDiscard)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CsvRealFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HtmlMemory)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HtmlFileDiscard)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SpaceMemory)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SpaceFileDiscard)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_JsonFileDiscard)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MarkdownFileDiscard)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CsvFlatten)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
