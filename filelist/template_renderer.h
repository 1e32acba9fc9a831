#pragma once
// The file list template language: a line of literal text, commas and {%...}
// tokens, rendered once per file entry into one row of the record writer.
// The template is scanned once into elements; every row then runs the
// element list. Any text is a valid template: what is no known token is
// copied as typed.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "filelist/file_entry.h"
#include "output/record_writer.h"
#include "base/text.h"

namespace tblf {

// The default template (setting FileList/info).
extern const wchar_t* const kDefaultFileListTemplate;

// Tree symbols, Japanese form first.
extern const BiText kFileTreeContinuation;      // folder entry not last: "│" / "| "
extern const BiText kFileTreeBlank;             // folder entry last: "　" / "  "
extern const BiText kFileTreeBranch;            // entry not last: "├" / "|-"
extern const BiText kFileTreeLastBranch;        // last entry: "└" / "+-"

// The three prefixes for the entries of a folder whose own entry had
// `folderNotLast` and the prefixes `parent`. `separator` is the record
// format's field separator; `alwaysQuoted` puts the continuation symbols of
// the comma-graph prefix in double quotes (CSV, quote-when-needed off).
LevelPrefixes ChildPrefixes(const LevelPrefixes& parent, bool folderNotLast, const std::wstring& separator,
                            bool alwaysQuoted, bool japanese);

// The extension as {%e} gives it: from the last "." on, "" without one.
std::wstring ExtensionOf(const std::wstring& name);

class TemplateRenderer {
 public:
  TemplateRenderer(const std::wstring& templateText, bool japanese);

  // Appends one row for `row`. `abortRequested` runs after every element of
  // the template; when it answers true the row is left unfinished and the
  // result is false.
  bool RenderRow(const FileRow& row, RecordWriter& writer, const std::function<bool()>& abortRequested);

  // What the rows need beyond the entry, so that the walk fetches only that.
  bool UsesShortFolderPath() const { return usesShortFolderPath_; }
  // Bit 0 last write, bit 1 creation, bit 2 last access.
  unsigned UsedTimes() const { return usedTimes_; }

  enum class Op : std::uint8_t;
  struct Element {
    Op op;
    std::uint8_t time;   // 0 write, 1 creation, 2 access
    std::uint8_t field;  // index into the time suffixes
    std::wstring text;   // literal text
  };

 private:
  void Flush(RecordWriter& writer);
  void AppendValue(const Element& element, const FileRow& row);

  std::vector<Element> elements_;
  std::wstring field_;
  bool japanese_;
  bool usesShortFolderPath_ = false;
  unsigned usedTimes_ = 0;
};

}  // namespace tblf
