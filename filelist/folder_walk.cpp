#include "filelist/folder_walk.h"

#include <functional>

#include "filelist/ordering.h"
#include "filelist/template_renderer.h"

namespace tblf {
namespace {

class Walker {
 public:
  Walker(FolderAccess& folders, WalkUi& ui, RecordWriter& writer, const FileListOptions& options, bool japanese)
      : folders_(folders),
        ui_(ui),
        writer_(writer),
        options_(options),
        japanese_(japanese),
        renderer_(options.templateText, japanese),
        names_([this](const std::wstring& a, const std::wstring& b) { return folders_.CompareNames(a, b); }),
        abort_([this] { return ui_.AbortRequested(); }) {}

  bool Run();

 private:
  bool Level(const std::wstring& name, FolderLevel& level);
  BrokenDownTime Time(std::uint64_t fileTime) {
    return BreakDownFileTime(options_.localTime ? folders_.ToLocalTime(fileTime) : fileTime);
  }

  FolderAccess& folders_;
  WalkUi& ui_;
  RecordWriter& writer_;
  const FileListOptions& options_;
  bool japanese_;
  TemplateRenderer renderer_;
  NameCompare names_;
  std::function<bool()> abort_;
  bool silenced_ = false;
};

bool Walker::Run() {
  ui_.SaveHint();
  silenced_ = ui_.ShiftDown();
  const std::optional<std::wstring> saved = folders_.CurrentDirectory();
  FolderLevel root;
  const bool result = Level(options_.rootFolder, root);
  if (saved) folders_.ChangeDirectory(*saved);
  ui_.RestoreHint();
  ui_.LetPaintThrough();
  return result;
}

// `level` comes with the relative paths and prefixes; the folder path is
// filled here once the folder is entered.
bool Walker::Level(const std::wstring& name, FolderLevel& level) {
  const std::optional<std::wstring> saved = folders_.CurrentDirectory();
  if (!folders_.ChangeDirectory(name)) {
    if (silenced_) return true;
    switch (ui_.FolderError(name, saved.value_or(std::wstring()))) {
      case FolderErrorAnswer::Cancel: return false;
      case FolderErrorAnswer::SkipAndSilence: silenced_ = true; return true;
      case FolderErrorAnswer::Skip: return true;
    }
  }
  level.folderPath = folders_.CurrentDirectory().value_or(name);
  ui_.ShowHint(level.relativePath);
  ui_.LetPaintThrough();

  std::vector<FileEntry> entries = folders_.Enumerate();
  std::erase_if(entries, [&](const FileEntry& e) {
    return e.name == L"." || e.name == L".." || (options_.foldersOnly && !e.IsFolder());
  });
  if (options_.orderKey != 0) SortEntries(entries, options_.orderKey, options_.folderPosition, names_);
  if (renderer_.UsesShortFolderPath() && !entries.empty()) level.shortFolderPath = folders_.ShortPath(level.folderPath);

  const unsigned times = renderer_.UsedTimes();
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const FileEntry& entry = entries[i];
    const bool notLast = i + 1 < entries.size();
    FileRow row{level, entry, notLast, {}};
    if (times & 1) row.times[0] = Time(entry.lastWriteTime);
    if (times & 2) row.times[1] = Time(entry.creationTime);
    if (times & 4) row.times[2] = Time(entry.lastAccessTime);
    if (!renderer_.RenderRow(row, writer_, abort_)) return false;
    if (!entry.IsFolder() || !options_.includeSubfolders) continue;

    FolderLevel child;
    const std::wstring& shortName = entry.shortName.empty() ? entry.name : entry.shortName;
    child.relativePath = level.relativePath.empty() ? entry.name : level.relativePath + L"\\" + entry.name;
    child.shortRelativePath =
        level.shortRelativePath.empty() ? shortName : level.shortRelativePath + L"\\" + shortName;
    child.prefixes = ChildPrefixes(level.prefixes, notLast, std::wstring(writer_.Separator()),
                                   writer_.AlwaysQuoted(), japanese_);
    if (!Level(entry.name, child)) return false;
    ui_.ShowHint(level.relativePath);
    ui_.LetPaintThrough();
  }
  // Back to where this level started; a failed return still leaves the run's
  // own restore at the end.
  folders_.ChangeDirectory(saved ? *saved : std::wstring(L".."));
  return true;
}

}  // namespace

bool WalkFileList(FolderAccess& folders, WalkUi& ui, RecordWriter& writer, const FileListOptions& options,
                  bool japanese) {
  Walker walker(folders, ui, writer, options, japanese);
  return walker.Run();
}

}  // namespace tblf
