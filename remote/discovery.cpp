#include "remote/discovery.h"

#include <cwchar>

namespace tblf {

namespace {

// Fills the columns 3 to 5 of a control; false when it gives no row.
bool Describe(Candidate& row, DesktopWindows& desktop, ControlReader& reader) {
  const KindDescriptor& kind = *FindKind(row.kind);
  if (kind.shape == RowShape::Lines) {
    // Read whole: a control without text gives no row.
    std::optional<std::vector<std::wstring>> texts = (reader.*kind.textRows)(row.handle);
    if (!texts || texts->empty()) return false;
    row.items = static_cast<long>(texts->size());
    row.count = std::to_wstring(row.items);
    row.firstItem = texts->front();
    return true;
  }
  std::optional<long> count = reader.CountItems(row.handle, row.kind);
  if (!count || *count == 0) return false;
  const unsigned long style = desktop.Style(row.handle);
  std::optional<std::wstring> first;
  switch (kind.shape) {
    case RowShape::Table: {
      first = reader.GetListViewCellText(0, row.handle, 0);
      if (!first) return false;  // the process cannot be opened
      int columns = reader.CountListViewColumns(row.handle);
      if (columns == 0) columns = 1;
      row.count = std::to_wstring(*count) + L" x " + std::to_wstring(columns);
      row.columns = columns;
      break;
    }
    case RowShape::Tree:
      first = reader.GetTreeViewItemText(row.handle, 0, nullptr, nullptr);
      row.count = std::to_wstring(*count);
      break;
    case RowShape::Items:
      first = (reader.*kind.itemText)(row.handle, 0);
      row.count = std::to_wstring(*count);
      break;
    case RowShape::Files:
    case RowShape::Lines:
      return false;
  }
  if (!first) return false;
  if (kind.ownerDrawNote && OwnerDrawn(kind, static_cast<std::uint32_t>(style))) row.note = kind.ownerDrawNote->get();
  row.items = *count;
  row.firstItem = *first;
  row.overlay = !row.note.empty();
  return true;
}

}  // namespace

std::wstring HandleLabel(WindowId handle, ControlKind kind, bool otherControls, int digits) {
  wchar_t buffer[40];
  std::swprintf(buffer, 40, L"%0*llX", digits, static_cast<unsigned long long>(handle));
  std::wstring label = buffer;
  const KindDescriptor* row = FindKind(kind);
  if (row && (!row->listedAlways || otherControls)) label += row->listSuffix;
  return label.substr(0, 72);
}

std::optional<WindowId> ParseHandleLabel(const std::wstring& label) {
  size_t i = 0;
  while (i < label.size() && label[i] == L' ') ++i;
  if (i + 1 < label.size() && label[i] == L'0' && (label[i + 1] == L'x' || label[i + 1] == L'X')) i += 2;
  WindowId value = 0;
  size_t digits = 0;
  for (; i < label.size(); ++i, ++digits) {
    const wchar_t c = label[i];
    unsigned d;
    if (c >= L'0' && c <= L'9') {
      d = c - L'0';
    } else if (c >= L'A' && c <= L'F') {
      d = c - L'A' + 10;
    } else if (c >= L'a' && c <= L'f') {
      d = c - L'a' + 10;
    } else {
      break;
    }
    if (digits >= sizeof(WindowId) * 2 && value >> (sizeof(WindowId) * 8 - 4)) return std::nullopt;  // too wide
    value = (value << 4) | d;
  }
  if (digits == 0) return std::nullopt;
  return value;
}

std::optional<ControlKind> KindOfClass(const std::wstring& className) {
  const KindDescriptor* row = FindKindOfClass(className);
  if (!row) return std::nullopt;
  return row->kind;
}

std::optional<std::size_t> PickFromChain(const std::vector<std::wstring>& classes) {
  for (std::size_t i = 0; i < classes.size(); ++i) {
    const KindDescriptor* kind = FindKindOfClass(classes[i]);
    if (!kind) continue;
    if (kind->textControl && i + 1 < classes.size()) {
      const KindDescriptor* parent = FindKindOfClass(classes[i + 1]);
      if (parent && !parent->textControl) return i + 1;
    }
    return i;
  }
  return std::nullopt;
}

std::vector<Candidate> DiscoverControls(DesktopWindows& desktop, ControlReader& reader, bool otherControls,
                                        WindowId frameWindow, bool textControls) {
  std::vector<Candidate> rows;
  for (WindowId top : desktop.TopLevelWindows()) {
    if (frameWindow != 0 && top == frameWindow) continue;
    std::optional<std::wstring> title = desktop.WindowTitle(top);
    if (!title) continue;
    const std::wstring program = desktop.ProgramName(top);
    for (WindowId child : desktop.Descendants(top)) {
      std::optional<std::wstring> className = desktop.ClassName(child);
      if (!className) continue;
      const KindDescriptor* kind = FindKindOfClass(*className);
      if (!kind || (kind->textControl ? !textControls : !kind->listedAlways && !otherControls)) continue;
      Candidate row;
      row.handle = child;
      row.kind = kind->kind;
      row.label = HandleLabel(child, kind->kind, otherControls);
      row.program = program;
      row.owner = *title;
      if (Describe(row, desktop, reader)) rows.push_back(std::move(row));
    }
  }
  return rows;
}

}  // namespace tblf
