// Any template against any file entry: the renderer never crashes, ends
// every row it finishes, and writes at most a bounded amount per template
// character (every token writes its fields once, escaped at most sixfold).
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "filelist/template_renderer.h"

namespace {

std::uint64_t Take64(const std::uint8_t*& data, std::size_t& size) {
  std::uint64_t v = 0;
  for (int i = 0; i < 8 && size > 0; ++i, ++data, --size) v |= static_cast<std::uint64_t>(*data) << (8 * i);
  return v;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 4) return 0;
  // Header: format, flags, tree depth, abort position; then size, three
  // times and the attributes; then UTF-16 texts separated by zero units:
  // template, name, short name, folder path, its short form, relative path,
  // short relative path.
  const auto format = static_cast<tblf::RecordFormat>(data[0] % 5);
  const std::uint8_t flags = data[1];
  const int depth = data[2] % 5;
  const int abortAt = data[3];
  data += 4;
  size -= 4;
  tblf::FileEntry entry;
  entry.size = Take64(data, size);
  entry.lastWriteTime = Take64(data, size);
  entry.creationTime = Take64(data, size);
  entry.lastAccessTime = Take64(data, size);
  entry.attributes = static_cast<std::uint32_t>(Take64(data, size));
  std::vector<std::wstring> texts(1);
  for (std::size_t i = 0; i + 1 < size; i += 2) {
    const wchar_t c = static_cast<wchar_t>(data[i] | (data[i + 1] << 8));
    if (c == 0 && texts.size() < 7) {
      texts.emplace_back();
    } else {
      texts.back().push_back(c);
    }
  }
  texts.resize(7);
  entry.name = texts[1];
  entry.shortName = texts[2];
  tblf::FolderLevel level;
  level.folderPath = texts[3];
  if (flags & 0x10) level.shortFolderPath = texts[4];
  level.relativePath = texts[5];
  level.shortRelativePath = texts[6];

  tblf::RecordWriter writer;
  writer.BeginDocument(format, tblf::NewlineKind::CrLf, (flags & 1) != 0, (flags & 2) != 0);
  const bool japanese = (flags & 4) != 0;
  const std::wstring separator(writer.Separator());
  for (int d = 0; d < depth; ++d) {
    level.prefixes = tblf::ChildPrefixes(level.prefixes, ((flags >> (5 + d % 3)) & 1) != 0, separator,
                                         writer.AlwaysQuoted(), japanese);
  }
  const std::size_t headerLength = writer.BufferedLength();

  tblf::TemplateRenderer renderer(texts[0], japanese);
  tblf::FileRow row{level, entry, (flags & 8) != 0, {}};
  for (int t = 0; t < 3; ++t) {
    row.times[t] = tblf::BreakDownFileTime(t == 0 ? entry.lastWriteTime : t == 1 ? entry.creationTime : entry.lastAccessTime);
    if (row.times[t].month < 1 || row.times[t].month > 12 || row.times[t].day < 1 || row.times[t].day > 31) {
      std::fprintf(stderr, "impossible date %d-%d\n", row.times[t].month, row.times[t].day);
      std::abort();
    }
  }
  int checks = 0;
  const bool finished = renderer.RenderRow(row, writer, [&] { return abortAt != 0 && ++checks == abortAt; });
  if (finished != (writer.RowCount() == 1)) {
    std::fprintf(stderr, "finished %d but %d rows\n", finished, writer.RowCount());
    std::abort();
  }
  std::size_t written = writer.BufferedLength();
  for (const std::wstring& chunk : writer.Chunks()) written += chunk.size();
  std::size_t fields = 64 + level.prefixes.comma.size();
  for (const std::wstring& text : texts) fields += text.size();
  if (level.prefixes.commaGraph) fields += level.prefixes.commaGraph->size() + level.prefixes.graph->size();
  const std::size_t bound = headerLength + 64 + 6 * (texts[0].size() + 1) * fields;
  if (written > bound) {
    std::fprintf(stderr, "%zu characters from a template of %zu\n", written, texts[0].size());
    std::abort();
  }
  return 0;
}
