#include "filelist/folder_walk.h"

#include <functional>

#include "filelist/ordering.h"
#include "filelist/template_renderer.h"

namespace tblf {
namespace {

// One folder being listed: its level, its ordered entries and the next one to write.
struct Frame {
  FolderLevel level;
  std::vector<FileEntry> entries;
  std::size_t next = 0;
  FolderId id;
};

enum class Entered { Yes, Skipped, Cancelled };

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
  bool Walk();
  // Enters the folder at `path` (`name` as the user would know it) and puts
  // its listing on the stack.
  Entered Enter(const std::wstring& name, const std::wstring& path, FolderLevel level);
  Entered Refused(const std::wstring& name, const std::wstring& path);
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
  std::vector<Frame> stack_;
};

bool Walker::Run() {
  ui_.SaveHint();
  silenced_ = ui_.ShiftDown();
  const bool result = Walk();
  stack_.clear();
  ui_.RestoreHint();
  ui_.LetPaintThrough();
  return result;
}

Entered Walker::Refused(const std::wstring& name, const std::wstring& path) {
  if (silenced_) return Entered::Skipped;
  switch (ui_.FolderError(name, path)) {
    case FolderErrorAnswer::Cancel: return Entered::Cancelled;
    case FolderErrorAnswer::SkipAndSilence: silenced_ = true; return Entered::Skipped;
    case FolderErrorAnswer::Skip: break;
  }
  return Entered::Skipped;
}

Entered Walker::Enter(const std::wstring& name, const std::wstring& path, FolderLevel level) {
  const std::optional<FolderId> id = folders_.Identify(path);
  if (!id) return Refused(name, path);
  // A link back to a folder on the way down would list the same tree again
  // and again; its row is written, its contents are not.
  for (const Frame& frame : stack_) {
    if (frame.id.SameAs(*id)) return Entered::Skipped;
  }
  level.folderPath = path;
  ui_.ShowHint(level.relativePath);
  ui_.LetPaintThrough();

  std::vector<FileEntry> entries = folders_.Enumerate(path);
  std::erase_if(entries, [&](const FileEntry& e) {
    return e.name == L"." || e.name == L".." || (options_.foldersOnly && !e.IsFolder());
  });
  if (options_.orderKey != 0) SortEntries(entries, options_.orderKey, options_.folderPosition, names_);
  if (renderer_.UsesShortFolderPath() && !entries.empty()) level.shortFolderPath = folders_.ShortPath(path);
  stack_.push_back(Frame{std::move(level), std::move(entries), 0, *id});
  return Entered::Yes;
}

bool Walker::Walk() {
  const std::optional<std::wstring> root = folders_.FullPath(options_.rootFolder);
  if (!root) return Refused(options_.rootFolder, options_.rootFolder) != Entered::Cancelled;
  if (Enter(options_.rootFolder, *root, FolderLevel{}) == Entered::Cancelled) return false;

  const unsigned times = renderer_.UsedTimes();
  while (!stack_.empty()) {
    Frame& top = stack_.back();
    if (top.next == top.entries.size()) {
      stack_.pop_back();
      if (!stack_.empty()) {
        ui_.ShowHint(stack_.back().level.relativePath);
        ui_.LetPaintThrough();
      }
      continue;
    }
    const std::size_t i = top.next++;
    const FileEntry& entry = top.entries[i];
    const bool notLast = i + 1 < top.entries.size();
    FileRow row{top.level, entry, notLast, {}};
    if (times & 1) row.times[0] = Time(entry.lastWriteTime);
    if (times & 2) row.times[1] = Time(entry.creationTime);
    if (times & 4) row.times[2] = Time(entry.lastAccessTime);
    if (!renderer_.RenderRow(row, writer_, abort_)) return false;
    if (!entry.IsFolder() || !options_.includeSubfolders) continue;
    if (entry.IsLink() && !options_.followLinks) continue;

    FolderLevel child;
    const std::wstring& shortName = entry.shortName.empty() ? entry.name : entry.shortName;
    child.relativePath = top.level.relativePath.empty() ? entry.name : top.level.relativePath + L"\\" + entry.name;
    child.shortRelativePath =
        top.level.shortRelativePath.empty() ? shortName : top.level.shortRelativePath + L"\\" + shortName;
    child.prefixes = ChildPrefixes(top.level.prefixes, notLast, std::wstring(writer_.Separator()),
                                   writer_.AlwaysQuoted(), japanese_);
    const std::wstring name = entry.name;
    const std::wstring path = JoinFolderPath(top.level.folderPath, name);
    // `top` and `entry` may move once the child is on the stack.
    const std::wstring parentHint = top.level.relativePath;
    switch (Enter(name, path, std::move(child))) {
      case Entered::Cancelled: return false;
      case Entered::Skipped:
        ui_.ShowHint(parentHint);
        ui_.LetPaintThrough();
        break;
      case Entered::Yes: break;
    }
  }
  return true;
}

}  // namespace

std::wstring JoinFolderPath(const std::wstring& folder, const std::wstring& name) {
  if (!folder.empty() && folder.back() == L'\\') return folder + name;
  return folder + L"\\" + name;
}

bool WalkFileList(FolderAccess& folders, WalkUi& ui, RecordWriter& writer, const FileListOptions& options,
                  bool japanese) {
  Walker walker(folders, ui, writer, options, japanese);
  return walker.Run();
}

}  // namespace tblf
