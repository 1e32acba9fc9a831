#include "remote/discovery.h"

#include <cwchar>

namespace tblf {

const BiText kListViewOwnerDrawNote{
    L"オーナードローまたはオーナーデータスタイルを持っているため、正しく文字列を取得できないかもしれません。",
    L"ListView Control with LVS_OWNERDRAWFIXED/LVS_OWNERDATA gives incorrect string."};
const BiText kListBoxOwnerDrawNote{
    L"オーナードロースタイルを持ち、LBS_HASSTRINGSスタイルを持たないため、正しく文字列を取得できないかもしれません。",
    L"Owner-drawn Listbox without LBS_HASSTRINGS gives incorrect string."};
const BiText kComboBoxOwnerDrawNote{
    L"オーナードロースタイルを持ち、CBS_HASSTRINGSスタイルを持たないため、正しく文字列を取得できないかもしれません。",
    L"Owner-drawn Combobox without CBS_HASSTRINGS gives incorrect string."};

namespace {

constexpr unsigned long kLvsOwnerDrawFixed = 0x0400;
constexpr unsigned long kLvsOwnerData = 0x1000;
constexpr unsigned long kOwnerDrawBits = 0x0030;
constexpr unsigned long kLbsHasStrings = 0x0040;
constexpr unsigned long kCbsHasStrings = 0x0200;

const wchar_t* KindSuffix(ControlKind kind) {
  switch (kind) {
    case ControlKind::ListView: return L"(ListView)";
    case ControlKind::TreeView: return L"(TreeView)";
    case ControlKind::ComboBox: return L"(ComboBox)";
    case ControlKind::ListBox: return L"(ListBox)";
    case ControlKind::FileList: return L"";
  }
  return L"";
}

// Fills the columns 3 to 5 of a control; false when it gives no row.
bool Describe(Candidate& row, DesktopWindows& desktop, ControlReader& reader) {
  std::optional<long> count = reader.CountItems(row.handle, row.kind);
  if (!count || *count == 0) return false;
  const unsigned long style = desktop.Style(row.handle);
  std::optional<std::wstring> first;
  switch (row.kind) {
    case ControlKind::ListView: {
      first = reader.GetListViewCellText(0, row.handle, 0);
      if (!first) return false;  // the process cannot be opened
      int columns = reader.CountListViewColumns(row.handle);
      if (columns == 0) columns = 1;
      row.count = std::to_wstring(*count) + L" x " + std::to_wstring(columns);
      row.columns = columns;
      if (style & (kLvsOwnerDrawFixed | kLvsOwnerData)) row.note = kListViewOwnerDrawNote.get();
      break;
    }
    case ControlKind::TreeView:
      first = reader.GetTreeViewItemText(row.handle, 0, nullptr, nullptr);
      if (!first) return false;
      row.count = std::to_wstring(*count);
      break;
    case ControlKind::ComboBox:
      first = reader.GetComboBoxItemText(row.handle, 0);
      if (!first) return false;
      row.count = std::to_wstring(*count);
      if ((style & kOwnerDrawBits) && !(style & kCbsHasStrings)) row.note = kComboBoxOwnerDrawNote.get();
      break;
    case ControlKind::ListBox:
      first = reader.GetListBoxItemText(row.handle, 0);
      if (!first) return false;
      row.count = std::to_wstring(*count);
      if ((style & kOwnerDrawBits) && !(style & kLbsHasStrings)) row.note = kListBoxOwnerDrawNote.get();
      break;
    case ControlKind::FileList:
      return false;
  }
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
  if (kind != ControlKind::ListView || otherControls) label += KindSuffix(kind);
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

std::optional<ControlKind> KindOfClass(const std::wstring& fullName) {
  // Classes registered under an activation context may carry their version
  // ("6.0.2600.2982!SysListView32", as Wine reports comctl32 v6 classes).
  const size_t bang = fullName.rfind(L'!');
  const std::wstring className = bang == std::wstring::npos ? fullName : fullName.substr(bang + 1);
  if (className == L"SysListView32") return ControlKind::ListView;
  if (className == L"ListBox") return ControlKind::ListBox;
  if (className == L"ComboBox") return ControlKind::ComboBox;
  if (className == L"SysTreeView32") return ControlKind::TreeView;
  return std::nullopt;
}

std::vector<Candidate> DiscoverControls(DesktopWindows& desktop, ControlReader& reader, bool otherControls,
                                        WindowId frameWindow) {
  std::vector<Candidate> rows;
  for (WindowId top : desktop.TopLevelWindows()) {
    if (frameWindow != 0 && top == frameWindow) continue;
    std::optional<std::wstring> title = desktop.WindowTitle(top);
    if (!title) continue;
    const std::wstring program = desktop.ProgramName(top);
    for (WindowId child : desktop.Descendants(top)) {
      std::optional<std::wstring> className = desktop.ClassName(child);
      if (!className) continue;
      std::optional<ControlKind> kind = KindOfClass(*className);
      if (!kind || (*kind != ControlKind::ListView && !otherControls)) continue;
      Candidate row;
      row.handle = child;
      row.kind = *kind;
      row.label = HandleLabel(child, *kind, otherControls);
      row.program = program;
      row.owner = *title;
      if (Describe(row, desktop, reader)) rows.push_back(std::move(row));
    }
  }
  return rows;
}

}  // namespace tblf
