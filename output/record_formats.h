#pragma once
// What the program knows about each record format besides writing it: the
// command line's name for it, and the save dialog's filter and default
// extension. The format list's display names are kRecordFormatNames.

#include <cstddef>

#include "output/record_writer.h"
#include "base/text.h"

namespace tblf {

// kRecordFormatCount stands beside RecordFormat in output/record_writer.h.

struct RecordFormatInfo {
  const wchar_t* cliName;           // --format
  int saveFilterIndex;              // 1-based index into kSaveFilters
  const wchar_t* defaultExtension;  // without the period
};
extern const RecordFormatInfo kRecordFormatInfo[kRecordFormatCount];

struct SaveFilter {
  BiText display;
  const wchar_t* pattern;
};
constexpr std::size_t kSaveFilterCount = 7;
extern const SaveFilter kSaveFilters[kSaveFilterCount];

inline const RecordFormatInfo& InfoOf(RecordFormat format) {
  return kRecordFormatInfo[static_cast<std::size_t>(format)];
}

}  // namespace tblf
