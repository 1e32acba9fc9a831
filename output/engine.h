#pragma once
// The output engine: one output job, from the chosen control (read through a
// ControlReader) through the record writer to a file, the clipboard or the
// sample window's text control. Everything that touches the desktop besides
// reading the control goes through OutputHost, so the engine is portable:
// the GUI and the command line give it a Win32 host, tests a recording one.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "base/clipboard.h"
#include "output/record_writer.h"
#include "output/text_sink.h"
#include "remote/control_reader.h"

namespace tblf {

enum class Destination : unsigned char { File = 0, Clipboard = 1, Sample = 2 };

// What the space-separated format keeps of the cells it read, counted as
// their characters and string objects: 64 MB.
constexpr std::size_t kSpaceKeptBytes = std::size_t{64} << 20;

// List view extras (settings MainDialog/withchecked, withselected,
// withfocused, selectedonly, asshown); other kinds ignore them.
struct ListExtras {
  // Columns after the chosen ones, 1 or 0 per row: the item is checked
  // (state image 2), selected, has the focus.
  bool withChecked = false;
  bool withSelected = false;
  bool withFocused = false;
  // Only the rows selected in the target, kept from the row selection.
  bool selectedOnly = false;
  // The columns in the order the user arranged them, zero-width columns
  // left out; a column selection counts these displayed positions.
  bool asShown = false;
  bool Any() const { return withChecked || withSelected || withFocused || selectedOnly || asShown; }
};

struct OutputJob {
  WindowId target = 0;  // ignored for the file list pseudo entry
  ControlKind kind = ControlKind::ListView;
  RecordFormat format = RecordFormat::Csv;
  NewlineKind newline = NewlineKind::CrLf;
  Destination destination = Destination::File;
  std::wstring fileName;       // destination File
  int encoding = -1;           // destination File: index of the encoding list; -1 reads File/CharCode
  WindowId sampleControl = 0;  // destination Sample: the sample window's text control
  WindowId owner = 0;          // the main dialog: parent of every message box
  // List view options; absent when the user asked for no selection.
  std::optional<std::wstring> columnSelection;
  std::optional<std::wstring> rowSelection;
  ListExtras extras;
  // The space-separated format reads every cell once for the column widths
  // and keeps the rows read, up to this much memory, to write them from
  // there; the rows beyond are read a second time.
  std::size_t spaceKeptBytes = kSpaceKeptBytes;
  // Tree view options (settings tvcolumn and tvgraph).
  bool treeLevelShift = false;
  bool treeGraph = false;
  // The two record writer options; when absent the run reads the settings
  // Data/dquot_sdata and Data/dquot2 (the command line sets them for one run
  // without touching the stored settings).
  std::optional<bool> quoteWhenNeeded;
  std::optional<bool> doubleQuotes;
};


class OutputHost {
 public:
  virtual ~OutputHost() = default;
  // A message box on the owner window: caption "Tabulift", MB_ICONERROR.
  virtual void ShowError(const std::wstring& text) = 0;
  // The Esc question ("Do you want to abort?", caption "Abort", yes/no); true aborts.
  virtual bool AskAbort() = 0;
  // The frame window is the foreground window and Esc is down.
  virtual bool EscapePressedInFrame() = 0;
  // SetWindowTextW on the sample text control.
  virtual void SetSampleText(const wchar_t* text) = 0;
  // Before a clipboard delivery: button 1 of the owner shows "処理中..." / "..."
  // and the frame window repaints.
  virtual void ShowBusy() = 0;
  // Creates the output file through the encoded text writer (streaming mode,
  // byte order mark written); nothing, with the writer's reason, on failure.
  virtual std::unique_ptr<TextSink> CreateOutputFile(const std::wstring& fileName, std::wstring& reason) = 0;
  // Copies the writer's chunks to the clipboard as CF_UNICODETEXT, releasing
  // each chunk once copied.
  virtual ClipboardResult CopyToClipboard(RecordWriter& writer) = 0;
  // After every row the run reads: `done` of `total` reads (-1: not known
  // beforehand, as for the file list, whose `done` counts its entries).
  // Hosts that show it throttle the display themselves.
  virtual void ReportProgress(long done, long total) {
    (void)done;
    (void)total;
  }
  // The user asked the run to stop (a Cancel button): asked after every
  // row; the run then ends as an Esc abort does.
  virtual bool CancelRequested() { return false; }
  // The file list run (kind 4) into the writer, which already holds the
  // document header; false when no file was found, an error occurred or the
  // user aborted. Hosts without a file list answer false.
  virtual bool RunFileList(RecordWriter& writer) = 0;
  // The row or column selection left nothing of a list view that has rows;
  // the output goes on (headers only, or empty rows).
  virtual void NoRowMatched() {}
};

// True when the text was delivered (for the sample destination: whenever the
// run got as far as delivery); false when an error or abort message was shown.
bool RunOutputJob(const OutputJob& job, ControlReader& reader, OutputHost& host);

// The texts a run can end with (the read-error text is kReadErrorText of
// base/process_basics.h).
extern const BiText kAbortedText;
extern const BiText kAbortQuestion;
extern const BiText kAbortCaption;
extern const BiText kSelectionMemoryText;
extern const BiText kExceptionMemoryText;
extern const BiText kOtherErrorText;
extern const BiText kFileWriteText;  // "%s" stands for the writer's reason
extern const BiText kFileListFailedText;
extern const BiText kBusyButtonText;
// The headers of the extra list view columns.
extern const BiText kCheckedHeader;
extern const BiText kSelectedHeader;
extern const BiText kFocusedHeader;
// "Stopped after row %1 of %2.": added to the read-error text when the target
// is lost during a run.
extern const BiText kStoppedAfterRowText;
std::wstring StoppedAfterRowMessage(std::uint64_t done, std::uint64_t total);
// The message of a failed clipboard step (Ok: none).
const BiText* ClipboardFailureText(ClipboardResult result);
// The file message with the reason in place of %s.
std::wstring FileWriteMessage(const std::wstring& reason);

}  // namespace tblf
