#pragma once
// Reading a control inside the program that owns it. Within a read session
// the reader sets the hook DLL (tblfhook64.dll / tblfhook32.dll, beside the
// program) on the control's thread, lets it read the whole control in row
// order and answers the engine's calls from the rows it streams back, so one
// cell costs no message round trip at all. Counts and list view headers are
// still asked by message (a handful per run).
//
// Where the hook cannot be used (the tool's own process, a target of the
// other pointer width, access denied, the DLL missing, a target that does not
// take the hook's message within 5 s), the reader goes on by messages
// (ReadMode::Auto) or gives no text and keeps the reason (ReadMode::InProcess).
// A target that ends, or takes no slice for 5 s, during a run is lost: every
// later read of the session gives no text at once, as for a process that
// cannot be opened, instead of waiting on it message by message. Outside a
// session every read is a message read.

#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/text.h"
#include "remote/control_reader.h"
#include "remote/control_reader_win.h"
#include "remote/item_layouts.h"

namespace tblf {

enum class ReadMode : unsigned char { Auto, InProcess, Messages };

// "auto", "in-process", "messages"; nothing for any other word.
std::optional<ReadMode> ReadModeFromWord(const std::wstring& word);

// "Cannot read inside the target program: %s" and its reasons.
extern const BiText kInProcessUnavailableText;

// Hooks of this process that are set at this moment (tests check that every
// run gives its hook back).
int InProcessHooksSet();

class InProcessRun;

class InProcessControlReader : public ControlReader {
 public:
  explicit InProcessControlReader(ReadMode mode);
  ~InProcessControlReader() override;

  std::optional<long> CountItems(WindowId control, ControlKind kind) override;
  std::optional<std::wstring> GetListViewColumnText(WindowId control, int column) override;
  int CountListViewColumns(WindowId control) override;
  std::optional<std::wstring> GetListViewCellText(int column, WindowId control, int item) override;
  std::vector<std::optional<std::wstring>> GetListViewRowTexts(WindowId control, int item,
                                                              const std::vector<int>& columns) override;
  bool SetListViewItemState(WindowId control, int item, unsigned state) override;
  // The selection, the column order and widths are read by message before
  // the rows, whatever the mode (item states come with the rows as the
  // State pseudo column).
  std::optional<std::vector<int>> GetListViewSelectedItems(WindowId control, long count) override {
    return messages_.GetListViewSelectedItems(control, count);
  }
  std::optional<std::vector<int>> GetListViewColumnOrder(WindowId control, int columns) override {
    return messages_.GetListViewColumnOrder(control, columns);
  }
  std::optional<int> GetListViewColumnWidth(WindowId control, int column) override {
    return messages_.GetListViewColumnWidth(control, column);
  }
  std::optional<std::wstring> GetTreeViewItemText(WindowId control, int position, int* depth,
                                                  TreeItemId* item) override;
  bool TreeAncestorHasNextSibling(WindowId control, int levels, TreeItemId item) override;
  std::optional<std::wstring> GetListBoxItemText(WindowId control, int index) override;
  std::optional<std::wstring> GetComboBoxItemText(WindowId control, int index) override;
  // Text controls are read whole by a few messages; the hook gains nothing there.
  std::optional<std::vector<std::wstring>> GetEditLines(WindowId control) override {
    return messages_.GetEditLines(control);
  }
  std::optional<std::vector<std::wstring>> GetStaticText(WindowId control) override {
    return messages_.GetStaticText(control);
  }
  std::optional<std::vector<std::wstring>> GetStatusBarParts(WindowId control) override {
    return messages_.GetStatusBarParts(control);
  }
  std::optional<std::vector<std::wstring>> GetTabLabels(WindowId control) override {
    return messages_.GetTabLabels(control);
  }
  void BeginSession(WindowId control) override;
  void EndSession() override;
  // Lost inside the target during this session, or by messages.
  bool TargetLost() const override { return targetLost_ || messages_.TargetLost(); }

  // Whether the hook can read `control` now: a run that reads nothing is set
  // up and taken down. On false, *why says why (bilingual reason).
  static bool Probe(WindowId control, const BiText** why);

  // Rows and items that came from inside the target in this reader's life.
  std::uint64_t InProcessReads() const { return inProcessReads_; }
  // In ReadMode::InProcess, the reason the last session could not read
  // inside the target; null when nothing failed.
  const BiText* Failure() const { return failure_; }

 private:
  bool UseHook(WindowId control) const;
  bool StartRun(WindowId control, ControlKind kind, int first, const std::vector<int>& columns);
  void RunFailed(const BiText* why);
  void MarkTargetLost();
  std::optional<std::wstring> ListItem(WindowId control, int index, ControlKind kind);

  ReadMode mode_;
  Win32ControlReader messages_;
  WindowId session_ = 0;
  bool hookFailed_ = false;
  bool targetLost_ = false;
  int restarts_ = 0;
  const BiText* failure_ = nullptr;
  std::unique_ptr<InProcessRun> run_;
  ControlKind runKind_ = ControlKind::ListView;
  PointerWidth runWidth_ = PointerWidth::Bits64;
  std::vector<int> runColumns_;
  int runNext_ = 0;  // the row, position or index the run gives next
  bool runEnded_ = false;
  // The tree item given last, with whether it and each ancestor has a next sibling.
  TreeItemId treeItem_ = 0;
  std::vector<unsigned char> treeHasNext_;
  std::uint64_t inProcessReads_ = 0;
};

}  // namespace tblf
