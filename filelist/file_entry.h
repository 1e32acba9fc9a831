#pragma once
// One directory entry as the folder walk hands it to the template renderer:
// the fields of WIN32_FIND_DATAW, with the FILETIMEs as 64-bit counts of
// 100 ns since 1601 (UTC) and the size as one 64-bit number.

#include <cstdint>
#include <optional>
#include <string>

namespace tblf {

constexpr std::uint32_t kAttrReadOnly = 0x1;
constexpr std::uint32_t kAttrHidden = 0x2;
constexpr std::uint32_t kAttrSystem = 0x4;
constexpr std::uint32_t kAttrDirectory = 0x10;
constexpr std::uint32_t kAttrArchive = 0x20;
constexpr std::uint32_t kAttrTemporary = 0x100;
constexpr std::uint32_t kAttrReparsePoint = 0x400;  // junctions and symbolic links
constexpr std::uint32_t kAttrCompressed = 0x800;
constexpr std::uint32_t kAttrOffline = 0x1000;
constexpr std::uint32_t kAttrEncrypted = 0x4000;

struct FileEntry {
  std::uint32_t attributes = 0;
  std::uint64_t creationTime = 0;
  std::uint64_t lastAccessTime = 0;
  std::uint64_t lastWriteTime = 0;
  std::uint64_t size = 0;
  std::wstring name;       // long name
  std::wstring shortName;  // 8.3 name; empty when the system keeps none

  bool IsFolder() const { return (attributes & kAttrDirectory) != 0; }
  bool IsLink() const { return (attributes & kAttrReparsePoint) != 0; }
};

// A FILETIME broken down as SYSTEMTIME is.
struct BrokenDownTime {
  int year = 1601;
  int month = 1;  // 1-12
  int day = 1;
  int hour = 0;
  int minute = 0;
  int second = 0;
  int milliseconds = 0;
};

// FileTimeToSystemTime without the system: the proleptic Gregorian calendar
// from 1 January 1601, for every 64-bit value.
BrokenDownTime BreakDownFileTime(std::uint64_t fileTime);

// The prefixes the tree tokens write, derived per folder level. The graph
// and comma-graph prefixes are absent (not merely empty) in the root folder.
struct LevelPrefixes {
  std::wstring comma;
  std::optional<std::wstring> graph;
  std::optional<std::wstring> commaGraph;
};

// Everything a row knows about the folder that holds its entry.
struct FolderLevel {
  std::wstring folderPath;                     // full path, no trailing "\" except a drive root
  std::optional<std::wstring> shortFolderPath;  // its short form, when the system gave one
  std::wstring relativePath;                   // below the walk's root, "" in the root
  std::wstring shortRelativePath;
  LevelPrefixes prefixes;
};

// One row to render.
struct FileRow {
  const FolderLevel& level;
  const FileEntry& entry;
  bool notLast;                // not the last entry of its folder's ordered list
  BrokenDownTime times[3];     // last write, creation, last access
};

}  // namespace tblf
