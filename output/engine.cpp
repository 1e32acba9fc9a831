#include "output/engine.h"

#include <algorithm>
#include <cstdint>
#include <new>
#include <stdexcept>
#include <vector>

#include "output/output_state.h"
#include "output/selection.h"
#include "remote/control_kinds.h"
#include "remote/item_layouts.h"
#include "settings/settings_table.h"
#include "base/process_basics.h"

namespace tblf {

const BiText kAbortedText{L"Escが押されたため、中断しました。", L"Aborted."};
const BiText kAbortQuestion{L"Escキーが押されました。中断しますか?", L"Do you want to abort?"};
const BiText kAbortCaption{L"中断", L"Abort"};
const BiText kSelectionMemoryText{L"メモリが足りません。", L"Out of memory."};
const BiText kExceptionMemoryText{L"作業に必要なメモリを確保できませんでした。", L"Out of memory."};
const BiText kOtherErrorText{L"作業中にエラーが発生しました。", L"An error occurred."};
const BiText kFileWriteText{L"ファイルへの書き込みに失敗しました。\r\n%s", L"Cannot write to file.\r\n%s"};
const BiText kFileListFailedText{L"ファイルが1つもなかったか、エラーが発生したか、中断されました。",
                                 L"File not exist, an error occurred or aborted."};
const BiText kBusyButtonText{L"処理中...", L"..."};
const BiText kCheckedHeader{L"チェック", L"Checked"};
const BiText kSelectedHeader{L"選択", L"Selected"};
const BiText kFocusedHeader{L"フォーカス", L"Focused"};
const BiText kStoppedAfterRowText{L"%2 行中 %1 行目の後で停止しました。", L"Stopped after row %1 of %2."};

namespace {

const BiText kClipboardOpenText{L"クリップボードを開けません。", L"Cannot open the clipboard."};
const BiText kClipboardAllocText{L"クリップボードへのコピー用のメモリの取得に失敗しました。", L"Out of memory."};
const BiText kClipboardLockText{L"GlobalLock失敗。", L"GlobalLock error."};
const BiText kClipboardEmptyText{L"クリップボードを空にできません。", L"EmptyClipboard error."};
const BiText kClipboardSetText{L"クリップボードへのコピー中にエラーが発生しました。", L"Clipboard error."};

// Tree prefix symbols, Japanese form first.
const BiText kTreeContinuation{L"\u2502", L"| "};
const BiText kTreeBlank{L"\u3000", L"  "};
const BiText kTreeBranch{L"\u251C", L"|-"};
const BiText kTreeLastBranch{L"\u2514", L"+-"};

// Raised when a selection list cannot be built for lack of memory.
struct SelectionMemory {};

// The reader keeps its hold on the target (process, remote memory) while a
// loop reads, and gives it back on every way out, exceptions included.
class ReaderSession {
 public:
  ReaderSession(ControlReader& reader, WindowId control) : reader_(reader) { reader_.BeginSession(control); }
  ReaderSession(const ReaderSession&) = delete;
  ReaderSession& operator=(const ReaderSession&) = delete;
  ~ReaderSession() { reader_.EndSession(); }

 private:
  ControlReader& reader_;
};

using RowCells = std::vector<std::optional<std::wstring>>;

// An extra list view column: its header and the state bit it shows.
struct ExtraColumn {
  const BiText* header;
  bool (*shows)(unsigned state);
};
// A check-box list view's state image 2 is the checked box.
bool Checked(unsigned state) { return (state & kLvisStateImageMask) >> 12 == 2; }
bool Selected(unsigned state) { return (state & kLvisSelected) != 0; }
bool Focused(unsigned state) { return (state & kLvisFocused) != 0; }

std::vector<ExtraColumn> ExtraColumns(const ListExtras& extras) {
  std::vector<ExtraColumn> columns;
  if (extras.withChecked) columns.push_back({&kCheckedHeader, Checked});
  if (extras.withSelected) columns.push_back({&kSelectedHeader, Selected});
  if (extras.withFocused) columns.push_back({&kFocusedHeader, Focused});
  return columns;
}

// Whether `order` holds each of 0 ... count-1 once.
bool IsColumnOrder(const std::vector<int>& order, int count) {
  if (static_cast<int>(order.size()) != count) return false;
  std::vector<bool> seen(order.size(), false);
  for (int column : order) {
    if (column < 0 || column >= count || seen[column]) return false;
    seen[column] = true;
  }
  return true;
}

// What a kept row costs: its string objects and their characters.
std::size_t KeptBytes(const RowCells& cells) {
  std::size_t bytes = sizeof(RowCells) + cells.size() * sizeof(RowCells::value_type);
  for (const auto& cell : cells) {
    if (cell) bytes += cell->size() * sizeof(wchar_t);
  }
  return bytes;
}

// One run: the record writer, the status message and the result.
class Run {
 public:
  Run(const OutputJob& job, ControlReader& reader, OutputHost& host) : job_(job), reader_(reader), host_(host) {}

  bool Execute();

 private:
  // Shows a failure where the destination shows it: the sample text control
  // or a message box.
  void Report(const wchar_t* text) {
    if (job_.destination == Destination::Sample) {
      host_.SetSampleText(text);
    } else {
      host_.ShowError(text);
    }
  }

  // The checks after the row at position `i` was written; false stops the
  // reading loop. `done` counts the reads so far of `total_`.
  bool RowChecks(std::uint64_t i, long done);
  // The progress report and the stop checks (cancel requests, then Esc)
  // after every read; false stops the loop.
  bool StopChecks(long done);
  // Whether the reader found the target gone or not answering during the
  // reads of the row at hand: then the run stops with the read error and the
  // place where it stopped, and that row is not written. A row is written
  // only once it has been read whole.
  bool TargetLost();
  // The status message with what belongs to it.
  std::wstring StatusText() const { return status_ ? status_->get() + statusDetail_ : std::wstring(); }
  // The Esc check alone; false when the run is aborted.
  bool EscapeCheck();

  void ReadListView();
  // The columns the user sees, in the order shown: nothing when the target
  // was lost reading them.
  std::optional<std::vector<int>> ShownColumns(int columnCount);
  // The cells of one row entry (empty texts for a negative entry), then
  // the extra columns' cells. With extra columns the last of `columns` is
  // the State pseudo column they are made from: the state comes in the
  // same exchange as the texts (inside the target it costs no message).
  RowCells ReadRow(int row, const std::vector<int>& columns);
  void ReadItems(const KindDescriptor& kind);
  void ReadLines(const KindDescriptor& kind);
  void ReadTreeView();
  // hasNext[k]: whether the ancestor k levels above the item has a next
  // sibling (k = 0: the item); read only for the tree-graph flag.
  void AppendTreePrefix(int depth, const std::vector<bool>& hasNext);
  void Deliver();

  const OutputJob& job_;
  ControlReader& reader_;
  OutputHost& host_;
  RecordWriter writer_;
  std::vector<ExtraColumn> extras_;
  const BiText* status_ = nullptr;
  std::wstring statusDetail_;
  // Rows read and handled, of the rows to read: where a lost target stopped.
  std::uint64_t rowsDone_ = 0;
  std::uint64_t rowsTotal_ = 0;
  bool result_ = true;
  long total_ = 0;  // the reads the run makes, for the progress report
};

bool Run::TargetLost() {
  if (!reader_.TargetLost()) return false;
  status_ = &kReadErrorText;
  statusDetail_ = L"\r\n" + StoppedAfterRowMessage(rowsDone_, rowsTotal_);
  return true;
}

bool Run::EscapeCheck() {
  if (!host_.EscapePressedInFrame()) return true;
  if (job_.destination != Destination::Sample && !host_.AskAbort()) return true;
  status_ = &kAbortedText;
  return false;
}

bool Run::StopChecks(long done) {
  host_.ReportProgress(done, total_);
  if (CurrentOutputState() == OutputState::SampleCancelRequested) return false;
  if (host_.CancelRequested()) {
    status_ = &kAbortedText;
    return false;
  }
  return EscapeCheck();
}

bool Run::RowChecks(std::uint64_t i, long done) {
  rowsDone_ = i + 1;
  if (CurrentOutputState() == OutputState::SampleCancelRequested) return false;
  if (job_.destination == Destination::Sample && job_.sampleControl != 0 && i % 300 == 50) {
    host_.SetSampleText(writer_.FlattenedText());
    writer_.ReleaseFlattened();
  }
  return StopChecks(done);
}

RowCells Run::ReadRow(int row, const std::vector<int>& columns) {
  RowCells cells = row < 0 ? RowCells(columns.size(), std::wstring())
                           : reader_.GetListViewRowTexts(job_.target, row, columns);
  if (extras_.empty()) return cells;
  // No state text (the process could not be opened): no extra cells either;
  // a state that did not come (an empty cell): empty extra cells.
  const std::optional<std::wstring> stateText = std::move(cells.back());
  cells.pop_back();
  const std::optional<std::uint32_t> state = stateText ? ParseStateWord(*stateText) : std::nullopt;
  for (const ExtraColumn& extra : extras_) {
    if (!stateText) {
      cells.emplace_back();
    } else {
      cells.push_back(state ? std::wstring(extra.shows(*state) ? L"1" : L"0") : std::wstring());
    }
  }
  return cells;
}

std::optional<std::vector<int>> Run::ShownColumns(int columnCount) {
  std::optional<std::vector<int>> order = reader_.GetListViewColumnOrder(job_.target, columnCount);
  if (TargetLost()) return std::nullopt;
  // A control that gives no order, or one that is not a permutation, is
  // taken in its own order.
  if (!order || !IsColumnOrder(*order, columnCount)) {
    order.emplace();
    for (int c = 0; c < columnCount; ++c) order->push_back(c);
  }
  std::vector<int> shown;
  for (int column : *order) {
    const std::optional<int> width = reader_.GetListViewColumnWidth(job_.target, column);
    if (TargetLost()) return std::nullopt;
    if (!width || *width > 0) shown.push_back(column);
  }
  return shown;
}

void Run::ReadListView() {
  const WindowId control = job_.target;
  std::optional<long> count = reader_.CountItems(control, job_.kind);
  if (!count) {
    status_ = &kReadErrorText;
    return;
  }
  ReaderSession session(reader_, control);
  const int columnCount = reader_.CountListViewColumns(control);
  // As shown, a column selection counts the displayed columns.
  std::optional<std::vector<int>> shown;
  if (job_.extras.asShown && columnCount >= 1) {
    shown = ShownColumns(columnCount);
    if (!shown) return;
  }
  // The columns are spelt out (every row holds them all); the rows are
  // walked run by run as they are written.
  std::optional<Selection> columnRuns =
      ParseSelection(job_.columnSelection ? job_.columnSelection->c_str() : nullptr,
                     shown ? static_cast<int>(shown->size()) : std::max(columnCount, 1));
  std::optional<Selection> rows =
      columnRuns ? ParseSelection(job_.rowSelection ? job_.rowSelection->c_str() : nullptr, static_cast<int>(*count))
                 : std::nullopt;
  if (!columnRuns || !rows) {
    throw SelectionMemory();
  }
  std::optional<std::vector<int>> columns;
  try {
    columns.emplace(columnRuns->begin(), columnRuns->end());
    if (shown) {
      for (int& column : *columns) {
        if (column >= 0) column = (*shown)[static_cast<std::size_t>(column)];
      }
    }
    // The row selection picks first; of its rows only the selected stay.
    if (job_.extras.selectedOnly && *count > 0) {
      std::optional<std::vector<int>> selected = reader_.GetListViewSelectedItems(control, *count);
      if (TargetLost()) return;
      if (!selected) selected.emplace();
      std::sort(selected->begin(), selected->end());
      selected->erase(std::unique(selected->begin(), selected->end()), selected->end());
      rows = KeepOnly(*rows, *selected);
    }
  } catch (const std::bad_alloc&) {
    throw SelectionMemory();
  } catch (const std::length_error&) {
    throw SelectionMemory();
  }
  extras_ = ExtraColumns(job_.extras);
  const std::size_t cellCount = columns->size() + extras_.size();
  // The columns asked of the reader: with extra columns, the State pseudo
  // column last.
  std::vector<int> readColumns = *columns;
  if (!extras_.empty()) readColumns.push_back(kColumnState);
  if (*count > 0 && (rows->Empty() || columns->empty())) host_.NoRowMatched();
  rowsTotal_ = rows->Size();

  // The space-separated format reads every cell for the widths first and
  // keeps the headers and as many rows as the bound allows, so that those
  // are written as they were measured; only the rows beyond are read again.
  // The header texts are all read before the header row is written, so that
  // a target lost among them leaves no half header row.
  std::vector<int> widths;
  std::vector<std::optional<std::wstring>> headers;
  std::vector<RowCells> kept;
  const bool padded = job_.format == RecordFormat::Space;
  // The space-separated format reads every row twice at most.
  total_ = static_cast<long>(rows->Size()) * (padded ? 2 : 1);
  long done = 0;
  if (columnCount >= 1) {
    for (int column : *columns) headers.push_back(reader_.GetListViewColumnText(control, column));
    for (const ExtraColumn& extra : extras_) headers.push_back(std::wstring(extra.header->get()));
  }
  if (TargetLost()) return;
  if (padded) {
    widths.reserve(cellCount);
    for (size_t c = 0; c < cellCount; ++c) {
      widths.push_back(c < headers.size() && headers[c] ? SystemAnsiLength(*headers[c]) : 0);
    }
    std::size_t keptBytes = 0;
    bool keeping = true;
    for (int row : *rows) {
      RowCells cells = ReadRow(row, readColumns);
      if (TargetLost()) return;
      for (size_t c = 0; c < cellCount; ++c) {
        if (cells[c]) widths[c] = std::max(widths[c], SystemAnsiLength(*cells[c]));
      }
      if (keeping) {
        keptBytes += KeptBytes(cells);
        keeping = keptBytes <= job_.spaceKeptBytes;
        if (keeping) kept.push_back(std::move(cells));
      }
      if (!StopChecks(++done)) return;
    }
  }

  if (columnCount >= 1) {
    writer_.StartHeaderRow();
    bool aborted = false;
    for (size_t c = 0; c < cellCount; ++c) {
      if (headers[c]) writer_.WriteCell(*headers[c], padded ? widths[c] : 0);
      if (!EscapeCheck()) {
        aborted = true;
        break;
      }
    }
    writer_.EndRow(false);
    if (aborted) return;
  }

  const std::uint64_t rowCount = rows->Size();
  std::uint64_t i = 0;
  for (const int row : *rows) {
    // A kept row is written from memory and let go right after.
    RowCells cells = i < kept.size() ? std::move(kept[i]) : ReadRow(row, readColumns);
    if (TargetLost()) return;
    writer_.StartRow();
    for (size_t c = 0; c < cellCount; ++c) {
      if (cells[c]) writer_.WriteCell(*cells[c], padded ? widths[c] : 0);
    }
    writer_.EndRow(i + 1 == rowCount);
    if (!RowChecks(i, ++done)) return;
    ++i;
  }
}

void Run::ReadItems(const KindDescriptor& kind) {
  std::optional<long> count = reader_.CountItems(job_.target, kind.kind);
  if (!count) {
    status_ = &kReadErrorText;
    return;
  }
  ReaderSession session(reader_, job_.target);
  total_ = *count;
  rowsTotal_ = static_cast<std::uint64_t>(*count);
  for (long i = 0; i < *count; ++i) {
    std::optional<std::wstring> text = (reader_.*kind.itemText)(job_.target, static_cast<int>(i));
    if (TargetLost()) return;
    if (text) {
      writer_.StartRow();
      writer_.WriteCell(*text);
      writer_.EndRow(i == *count - 1);
    }
    if (!RowChecks(i, i + 1)) return;
  }
}

void Run::ReadLines(const KindDescriptor& kind) {
  ReaderSession session(reader_, job_.target);
  std::optional<std::vector<std::wstring>> texts = (reader_.*kind.textRows)(job_.target);
  if (!texts) {
    status_ = &kReadErrorText;
    return;
  }
  const long count = static_cast<long>(texts->size());
  total_ = count;
  rowsTotal_ = static_cast<std::uint64_t>(count);
  for (long i = 0; i < count; ++i) {
    writer_.StartRow();
    writer_.WriteCell((*texts)[static_cast<std::size_t>(i)]);
    writer_.EndRow(i == count - 1);
    if (!RowChecks(i, i + 1)) return;
  }
}

void Run::AppendTreePrefix(int depth, const std::vector<bool>& next) {
  if (depth <= 0) return;
  auto hasNext = [&](int k) { return next[k]; };
  if (job_.treeLevelShift) {
    // The first field holds the two outermost levels' symbols and every
    // further field one level, so a level's symbol stands in the same field
    // on every row and the text of depth L follows exactly L separators.
    for (int k = depth; k >= 1; --k) {
      if (job_.treeGraph && hasNext(k)) writer_.AppendRaw(kTreeContinuation.get());
      if (k != depth) writer_.AppendSeparator();
    }
    if (job_.treeGraph) writer_.AppendRaw(hasNext(0) ? kTreeBranch.get() : kTreeLastBranch.get());
    writer_.AppendSeparator();
  } else if (job_.treeGraph) {
    for (int k = depth; k >= 1; --k) {
      if (hasNext(k)) {
        writer_.AppendRaw(kTreeContinuation.get());
      } else if (k != depth) {
        writer_.AppendRaw(kTreeBlank.get());
      }
    }
    writer_.AppendRaw(hasNext(0) ? kTreeBranch.get() : kTreeLastBranch.get());
  }
}

void Run::ReadTreeView() {
  std::optional<long> count = reader_.CountItems(job_.target, job_.kind);
  if (!count) {
    status_ = &kReadErrorText;
    return;
  }
  ReaderSession session(reader_, job_.target);
  total_ = *count;
  rowsTotal_ = static_cast<std::uint64_t>(*count);
  std::vector<bool> hasNext;
  for (long i = 0; i < *count; ++i) {
    int depth = 0;
    TreeItemId item = 0;
    std::optional<std::wstring> text = reader_.GetTreeViewItemText(job_.target, static_cast<int>(i), &depth, &item);
    hasNext.clear();
    if (text && job_.treeGraph && depth > 0) {
      for (int k = 0; k <= depth; ++k) hasNext.push_back(reader_.TreeAncestorHasNextSibling(job_.target, k, item));
    }
    if (TargetLost()) return;
    if (text) {
      writer_.StartRow();
      AppendTreePrefix(depth, hasNext);
      writer_.WriteEscaped(*text);
      writer_.EndRow(i == *count - 1);
    }
    if (!RowChecks(i, i + 1)) return;
  }
}

void Run::Deliver() {
  switch (job_.destination) {
    case Destination::Sample:
      if (status_) {
        host_.SetSampleText(StatusText().c_str());
      } else {
        host_.SetSampleText(writer_.FlattenedText());
        writer_.ReleaseFlattened();
      }
      break;
    case Destination::Clipboard: {
      host_.ShowBusy();
      if (status_) {
        host_.ShowError(StatusText());
        result_ = false;
        break;
      }
      const BiText* failure = ClipboardFailureText(host_.CopyToClipboard(writer_));
      if (failure) {
        host_.ShowError(failure->get());
        result_ = false;
      }
      break;
    }
    case Destination::File:
      if (status_) {
        host_.ShowError(StatusText());
        result_ = false;
      }
      break;
  }
}

}  // namespace

bool Run::Execute() {
  const bool quoteWhenNeeded = job_.quoteWhenNeeded ? *job_.quoteWhenNeeded : Read(settings::kQuoteWhenNeeded) != 0;
  const bool doubleQuotes = job_.doubleQuotes ? *job_.doubleQuotes : Read(settings::kDoubleQuotes) != 0;
  if (job_.destination == Destination::File) {
    std::wstring reason;
    std::unique_ptr<TextSink> file = host_.CreateOutputFile(job_.fileName, reason);
    if (!file) {
      host_.ShowError(FileWriteMessage(reason));
      return false;
    }
    writer_.SetOutputFile(std::move(file));
  }
  try {
    writer_.BeginDocument(job_.format, job_.newline, quoteWhenNeeded, doubleQuotes);
    const KindDescriptor* kind = FindKind(job_.kind);
    switch (kind ? kind->shape : RowShape::Files) {
      case RowShape::Table: ReadListView(); break;
      case RowShape::Tree: ReadTreeView(); break;
      case RowShape::Items: ReadItems(*kind); break;
      case RowShape::Lines: ReadLines(*kind); break;
      case RowShape::Files:
        if (kind && job_.destination != Destination::Sample && !host_.RunFileList(writer_)) {
          status_ = &kFileListFailedText;
        }
        break;
    }
    writer_.WriteFooter();
    Deliver();
  } catch (const SelectionMemory&) {
    Report(kSelectionMemoryText.get());
    return false;
  } catch (const std::bad_alloc&) {
    Report(kExceptionMemoryText.get());
    return false;
  } catch (const FileWriteError& error) {
    host_.ShowError(FileWriteMessage(error.reason()));
    return false;
  } catch (...) {
    Report(kOtherErrorText.get());
    return false;
  }
  return result_;
}

const BiText* ClipboardFailureText(ClipboardResult result) {
  switch (result) {
    case ClipboardResult::Ok: return nullptr;
    case ClipboardResult::OpenFailed: return &kClipboardOpenText;
    case ClipboardResult::AllocFailed: return &kClipboardAllocText;
    case ClipboardResult::LockFailed: return &kClipboardLockText;
    case ClipboardResult::EmptyFailed: return &kClipboardEmptyText;
    case ClipboardResult::SetFailed: return &kClipboardSetText;
  }
  return &kClipboardSetText;
}

std::wstring StoppedAfterRowMessage(std::uint64_t done, std::uint64_t total) {
  std::wstring text = kStoppedAfterRowText.get();
  const std::pair<const wchar_t*, std::uint64_t> values[] = {{L"%1", done}, {L"%2", total}};
  for (const auto& [mark, value] : values) {
    const size_t at = text.find(mark);
    if (at != std::wstring::npos) text.replace(at, 2, std::to_wstring(value));
  }
  return text;
}

std::wstring FileWriteMessage(const std::wstring& reason) {
  std::wstring text = kFileWriteText.get();
  const size_t at = text.find(L"%s");
  if (at != std::wstring::npos) text.replace(at, 2, reason);
  return text;
}

bool RunOutputJob(const OutputJob& job, ControlReader& reader, OutputHost& host) {
  // The writer (and with it the output file) lives exactly as long as the run.
  auto run = std::make_unique<Run>(job, reader, host);
  return run->Execute();
}

}  // namespace tblf
