#include "filelist/folder_walk.h"

#include <functional>

#include "filelist/ordering.h"
#include "filelist/template_renderer.h"

namespace tblf {
namespace {

// Where the strings of a level end. Every string of a child level is its
// parent's with something appended, so the walk keeps one level and cuts it
// back when a folder is done: memory grows with the depth, not with the
// depth times the path length.
struct Marks {
  std::size_t folder = 0, relative = 0, shortRelative = 0, comma = 0;
  std::optional<std::size_t> graph, commaGraph;
};

// One folder being listed: its ordered entries and the next one to write.
struct Frame {
  std::vector<FileEntry> entries;
  std::size_t next = 0;
  FolderId id;
  Marks parent;  // the level to go back to when this folder is done
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
  // Lists the folder that `level_` now describes (`name` as the user would
  // know it) and puts it on the stack; `parent` is where `level_` goes back to.
  Entered Enter(const std::wstring& name, const Marks& parent);
  Entered Refused(const std::wstring& name, const std::wstring& path);
  Marks Mark() const;
  void CutBack(const Marks& marks);
  // The short folder path of `level_`, when the template asks for it.
  void FillShortPath(bool hasEntries) {
    level_.shortFolderPath.reset();
    if (renderer_.UsesShortFolderPath() && hasEntries) level_.shortFolderPath = folders_.ShortPath(level_.folderPath);
  }
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
  FolderLevel level_;  // the folder on top of the stack
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

Marks Walker::Mark() const {
  Marks marks{level_.folderPath.size(), level_.relativePath.size(), level_.shortRelativePath.size(),
              level_.prefixes.comma.size(), std::nullopt, std::nullopt};
  if (level_.prefixes.graph) marks.graph = level_.prefixes.graph->size();
  if (level_.prefixes.commaGraph) marks.commaGraph = level_.prefixes.commaGraph->size();
  return marks;
}

void Walker::CutBack(const Marks& marks) {
  level_.folderPath.resize(marks.folder);
  level_.relativePath.resize(marks.relative);
  level_.shortRelativePath.resize(marks.shortRelative);
  level_.prefixes.comma.resize(marks.comma);
  if (marks.graph) {
    level_.prefixes.graph->resize(*marks.graph);
  } else {
    level_.prefixes.graph.reset();
  }
  if (marks.commaGraph) {
    level_.prefixes.commaGraph->resize(*marks.commaGraph);
  } else {
    level_.prefixes.commaGraph.reset();
  }
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

Entered Walker::Enter(const std::wstring& name, const Marks& parent) {
  const std::wstring& path = level_.folderPath;
  const std::optional<FolderId> id = folders_.Identify(path);
  if (!id) return Refused(name, path);
  // A link back to a folder on the way down would list the same tree again
  // and again; its row is written, its contents are not.
  for (const Frame& frame : stack_) {
    if (frame.id.SameAs(*id)) return Entered::Skipped;
  }
  ui_.ShowHint(level_.relativePath);
  ui_.LetPaintThrough();

  std::vector<FileEntry> entries = folders_.Enumerate(path);
  std::erase_if(entries, [&](const FileEntry& e) {
    return e.name == L"." || e.name == L".." || (options_.foldersOnly && !e.IsFolder());
  });
  if (options_.orderKey != 0) SortEntries(entries, options_.orderKey, options_.folderPosition, names_);
  FillShortPath(!entries.empty());
  stack_.push_back(Frame{std::move(entries), 0, *id, parent});
  return Entered::Yes;
}

bool Walker::Walk() {
  const std::optional<std::wstring> root = folders_.FullPath(options_.rootFolder);
  if (!root) return Refused(options_.rootFolder, options_.rootFolder) != Entered::Cancelled;
  level_ = FolderLevel{};
  level_.folderPath = *root;
  if (Enter(options_.rootFolder, Mark()) == Entered::Cancelled) return false;

  const unsigned times = renderer_.UsedTimes();
  while (!stack_.empty()) {
    Frame& top = stack_.back();
    if (top.next == top.entries.size()) {
      const Marks parent = top.parent;
      stack_.pop_back();
      if (!stack_.empty()) {
        CutBack(parent);
        FillShortPath(true);
        ui_.ShowHint(level_.relativePath);
        ui_.LetPaintThrough();
      }
      continue;
    }
    const std::size_t i = top.next++;
    const FileEntry& entry = top.entries[i];
    const bool notLast = i + 1 < top.entries.size();
    FileRow row{level_, entry, notLast, {}};
    if (times & 1) row.times[0] = Time(entry.lastWriteTime);
    if (times & 2) row.times[1] = Time(entry.creationTime);
    if (times & 4) row.times[2] = Time(entry.lastAccessTime);
    if (!renderer_.RenderRow(row, writer_, abort_)) return false;
    if (!entry.IsFolder() || !options_.includeSubfolders) continue;
    if (entry.IsLink() && !options_.followLinks) continue;

    // The child's level, made from this one in place.
    const Marks here = Mark();
    const std::wstring name = entry.name;  // `top` and `entry` may move once the child is on the stack
    const std::wstring& shortName = entry.shortName.empty() ? entry.name : entry.shortName;
    if (!level_.relativePath.empty()) level_.relativePath += L'\\';
    level_.relativePath += name;
    if (!level_.shortRelativePath.empty()) level_.shortRelativePath += L'\\';
    level_.shortRelativePath += shortName;
    level_.prefixes = ChildPrefixes(level_.prefixes, notLast, std::wstring(writer_.Separator()),
                                    writer_.AlwaysQuoted(), japanese_);
    level_.folderPath = JoinFolderPath(level_.folderPath, name);
    const std::optional<std::wstring> shortHere = level_.shortFolderPath;
    switch (Enter(name, here)) {
      case Entered::Cancelled: return false;
      case Entered::Skipped:
        CutBack(here);
        level_.shortFolderPath = shortHere;
        ui_.ShowHint(level_.relativePath);
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
