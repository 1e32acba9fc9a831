#include "tests/support/fake_desktop.h"

#include <algorithm>

#include "remote/item_layouts.h"

namespace tblf::testing {

WindowId FakeDesktop::Add(FakeControl control) {
  next_ += 0x10;
  controls_[next_] = std::move(control);
  return next_;
}

FakeControl* FakeDesktop::Find(WindowId id) {
  auto it = controls_.find(id);
  return it == controls_.end() ? nullptr : &it->second;
}

FakeDesktop::Answer FakeDesktop::Read(FakeControl& control) {
  int& reads = reads_[reinterpret_cast<WindowId>(&control)];
  if (onRead) onRead(reads);
  ++reads;
  Answer answer = Answer::Text;
  if (control.readsBeforeGone >= 0 && reads > control.readsBeforeGone) answer = Answer::Gone;
  if (control.readsBeforeHung >= 0 && reads > control.readsBeforeHung) answer = Answer::Hung;
  if (answer != Answer::Text) lost_ = true;
  return answer;
}

bool FakeDesktop::NoText(const FakeControl& control, int position) const {
  for (int p : control.noText) {
    if (p == position) return true;
  }
  return false;
}

std::optional<long> FakeDesktop::CountItems(WindowId id, ControlKind kind) {
  ++countCalls;
  FakeControl* control = Find(id);
  lost_ = !control || control->hung;
  if (lost_ || control->kind != kind) return std::nullopt;
  switch (kind) {
    case ControlKind::ListView: return static_cast<long>(control->cells.size());
    case ControlKind::TreeView: return static_cast<long>(control->tree.size());
    default: return static_cast<long>(control->items.size());
  }
}

std::optional<std::wstring> FakeDesktop::GetListViewColumnText(WindowId id, int column) {
  ++headerReads;
  FakeControl* control = Find(id);
  if (!control) return std::nullopt;
  switch (column) {
    case kColumnRowNumber: return L"#";
    case kColumnIcon: return L"Icon";
    case kColumnLParam: return L"lParam";
    case kColumnState: return L"State";
    default: break;
  }
  if (column < 0 || column >= static_cast<int>(control->headers.size())) return std::nullopt;
  return control->headers[column];
}

int FakeDesktop::CountListViewColumns(WindowId id) {
  FakeControl* control = Find(id);
  return control ? static_cast<int>(control->headers.size()) : 0;
}

std::optional<std::wstring> FakeDesktop::GetListViewCellText(int column, WindowId id, int item) {
  ++cellReads;
  FakeControl* control = Find(id);
  if (!control) return std::nullopt;
  switch (Read(*control)) {
    case Answer::Gone: return std::nullopt;
    case Answer::Hung: return std::wstring();
    case Answer::Text: break;
  }
  if (item < 0 || item >= static_cast<int>(control->cells.size())) return std::wstring();
  switch (column) {
    case kColumnRowNumber: return std::to_wstring(item);
    case kColumnIcon: return L"0";
    case kColumnLParam: return L"0";
    case kColumnState:
      return FormatStateWord(item < static_cast<int>(control->states.size()) ? control->states[item] : 0);
    default: break;
  }
  const std::vector<std::wstring>& row = control->cells[item];
  if (column < 0 || column >= static_cast<int>(row.size())) return std::wstring();
  return row[column];
}

bool FakeDesktop::SetListViewItemState(WindowId id, int item, unsigned state) {
  FakeControl* control = Find(id);
  if (!control || control->refusesStates || item < 0 || item >= static_cast<int>(control->cells.size())) return false;
  control->stateWrites.emplace_back(item, state);
  return true;
}

std::optional<std::vector<int>> FakeDesktop::GetListViewSelectedItems(WindowId id, long count) {
  FakeControl* control = Find(id);
  if (!control || lost_) return std::nullopt;
  std::vector<int> items;
  for (int i = 0; i < static_cast<int>(control->states.size()) && i < count; ++i) {
    if (control->states[i] & kLvisSelected) items.push_back(i);
  }
  return items;
}

std::optional<std::vector<int>> FakeDesktop::GetListViewColumnOrder(WindowId id, int columns) {
  FakeControl* control = Find(id);
  if (!control || lost_ || control->columnOrder.empty()) return std::nullopt;
  return std::vector<int>(control->columnOrder.begin(),
                          control->columnOrder.begin() + std::min<std::size_t>(columns, control->columnOrder.size()));
}

std::optional<int> FakeDesktop::GetListViewColumnWidth(WindowId id, int column) {
  FakeControl* control = Find(id);
  if (!control || lost_) return std::nullopt;
  return column >= 0 && column < static_cast<int>(control->widths.size()) ? control->widths[column] : 100;
}

std::optional<std::wstring> FakeDesktop::GetTreeViewItemText(WindowId id, int position, int* depth,
                                                             TreeItemId* item) {
  FakeControl* control = Find(id);
  if (!control) return std::nullopt;
  switch (Read(*control)) {
    case Answer::Gone: return std::nullopt;
    case Answer::Hung: return L"(error)";
    case Answer::Text: break;
  }
  if (NoText(*control, position)) return std::nullopt;
  if (position < 0 || position >= static_cast<int>(control->tree.size())) {
    if (item) *item = 0;
    return L"(error)";
  }
  if (depth) *depth = control->tree[position].depth;
  if (item) *item = static_cast<TreeItemId>(position) + 1;
  return control->tree[position].text;
}

bool FakeDesktop::TreeAncestorHasNextSibling(WindowId id, int levels, TreeItemId item) {
  FakeControl* control = Find(id);
  if (!control || item == 0) return false;
  const auto& tree = control->tree;
  int position = static_cast<int>(item) - 1;
  const int wanted = tree[position].depth - levels;
  if (wanted < 0) return false;
  while (position >= 0 && tree[position].depth != wanted) --position;
  if (position < 0) return false;
  for (size_t next = position + 1; next < tree.size(); ++next) {
    if (tree[next].depth < wanted) return false;
    if (tree[next].depth == wanted) return true;
  }
  return false;
}

std::optional<std::wstring> FakeDesktop::GetListBoxItemText(WindowId id, int index) {
  FakeControl* control = Find(id);
  if (!control || Read(*control) != Answer::Text || NoText(*control, index)) return std::nullopt;
  if (index < 0 || index >= static_cast<int>(control->items.size())) return std::nullopt;
  return control->items[index];
}

std::optional<std::wstring> FakeDesktop::GetComboBoxItemText(WindowId id, int index) {
  return GetListBoxItemText(id, index);
}

FakeControl MakeListView(std::vector<std::wstring> headers, int rows) {
  FakeControl control;
  control.kind = ControlKind::ListView;
  const size_t columns = headers.empty() ? 1 : headers.size();
  control.headers = std::move(headers);
  for (int r = 0; r < rows; ++r) {
    std::vector<std::wstring> row;
    for (size_t c = 0; c < columns; ++c) row.push_back(L"r" + std::to_wstring(r) + L"c" + std::to_wstring(c));
    control.cells.push_back(std::move(row));
  }
  return control;
}

}  // namespace tblf::testing
