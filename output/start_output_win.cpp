#include "output/start_output_win.h"

#include <commctrl.h>
#include <commdlg.h>

#include <optional>
#include <string>

#include "filelist/file_list_dialog_win.h"
#include "output/engine.h"
#include "output/engine_host_win.h"
#include "output/open_with_win.h"
#include "output/output_state.h"
#include "output/record_formats.h"
#include "remote/control_reader_win.h"
#include "remote/inproc_reader_win.h"
#include "remote/discovery_win.h"
#include "resources/resource.h"
#include "settings/settings_table.h"
#include "base/message_box_win.h"
#include "base/process_basics.h"

namespace tblf {

const BiText kInvalidItemText{L"指定された項目は、すでに無効です。\n[最新の情報に更新]ボタンを押してください。",
                              L"The specified item is already invalid.\nPlease push [Refresh] button."};

namespace {
const BiText kFileDoneText{L"ファイル出力が完了しました。", L"Writing data to file was completed."};
const BiText kClipboardDoneText{L"クリップボードへコピーしました。", L"Writing data to Clipboard."};
const BiText kRunningButtonText{L"処理中...(Esc:中止)", L"... (Esc:Abort)"};
const BiText kSaveTitle{L"名前を指定して保存", L"Save as..."};

// The buttons that must not start a second output while one runs.
constexpr int kRunButtons[] = {IDC_REFRESH, IDOK, IDC_EXIT, IDC_HELP_BUTTON};

void EnableRunButtons(HWND dialog, bool enable) {
  for (int id : kRunButtons) EnableWindow(GetDlgItem(dialog, id), enable);
}

bool Checked(HWND dialog, int id) { return SendDlgItemMessageW(dialog, id, BM_GETCHECK, 0, 0) == BST_CHECKED; }

// The text of an option edit while its check box is on; absent otherwise or
// when the edit is empty.
std::optional<std::wstring> OptionText(HWND dialog, int checkId, int editId) {
  if (!Checked(dialog, checkId)) return std::nullopt;
  HWND edit = GetDlgItem(dialog, editId);
  const int length = GetWindowTextLengthW(edit);
  if (length <= 0) return std::nullopt;
  std::wstring text(static_cast<size_t>(length) + 2, L'\0');
  text.resize(GetDlgItemTextW(dialog, editId, text.data(), length + 2));
  return text;
}

// The save dialog's answer, or nothing when the user cancels.
std::optional<std::wstring> AskFileName(HWND owner, RecordFormat format) {
  std::wstring filter;
  for (const SaveFilter& f : kSaveFilters) {
    filter += f.display.get();
    filter += L'\0';
    filter += f.pattern;
    filter += L'\0';
  }
  wchar_t file[MAX_PATH] = L"";
  OPENFILENAMEW ofn{};
  ofn.lStructSize = OPENFILENAME_SIZE_VERSION_400W;
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = filter.c_str();
  ofn.nFilterIndex = InfoOf(format).saveFilterIndex;
  ofn.lpstrFile = file;
  ofn.nMaxFile = MAX_PATH;
  ofn.lpstrTitle = kSaveTitle.get();
  ofn.Flags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST;
  ofn.lpstrDefExt = InfoOf(format).defaultExtension;
  if (!GetSaveFileNameW(&ofn)) return std::nullopt;
  return std::wstring(file);
}

void ShowDone(HWND owner, const BiText& text) {
  ShowMessageBox(owner, text.get(), L"Tabulift", MB_ICONINFORMATION);
}

// Steps after the claim; the caller releases the state.
void RunClaimed(HWND dialog, HWND sampleControl) {
  const bool sample = sampleControl != nullptr;
  HWND list = GetDlgItem(dialog, IDC_MAIN_LIST);
  const int row = static_cast<int>(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
  if (row < 0) return;
  if (!sample) EnableRunButtons(dialog, false);

  OutputJob job;
  FileListOptions fileList;
  const std::optional<ControlKind> kind = ReadRowKind(list, row);
  job.kind = kind ? *kind : ControlKind::ListView;
  bool stale = false;
  if (job.kind != ControlKind::FileList) {
    const std::optional<HWND> target = ReadRowHandle(list, row);
    job.target = target ? reinterpret_cast<WindowId>(*target) : 0;
    stale = !target || !IsWindow(*target);
  }
  if (stale && !sample) {
    ShowMessageBox(dialog, kInvalidItemText.get(), L"Tabulift", MB_ICONERROR);
    EnableRunButtons(dialog, true);
    return;
  }
  const int format = static_cast<int>(SendDlgItemMessageW(dialog, IDC_FORMAT, CB_GETCURSEL, 0, 0));
  job.format = static_cast<RecordFormat>(format >= 0 && format < static_cast<int>(kRecordFormatCount) ? format : 0);
  job.owner = reinterpret_cast<WindowId>(dialog);
  switch (job.kind) {
    case ControlKind::ListView:
      job.columnSelection = OptionText(dialog, IDC_ONLY_COLUMNS, IDC_COLUMNS);
      job.rowSelection = OptionText(dialog, IDC_ONLY_LINES, IDC_LINES);
      break;
    case ControlKind::TreeView:
      job.treeLevelShift = Checked(dialog, IDC_TREE_SHIFT);
      job.treeGraph = Checked(dialog, IDC_TREE_GRAPH);
      break;
    case ControlKind::FileList:
      // The preview never walks a folder (the engine leaves the sample
      // empty), so the renderer's thread never asks for the options.
      if (sample) break;
      if (!AskFileListOptions(dialog, fileList)) {
        EnableRunButtons(dialog, true);
        return;
      }
      break;
    default:
      break;
  }

  InProcessControlReader reader(Read(settings::kReadInProcess) != 0 ? ReadMode::Auto : ReadMode::Messages);
  Win32OutputHost host(reinterpret_cast<HWND>(g_frameWindow), dialog, sampleControl);
  if (job.kind == ControlKind::FileList && !sample) host.SetFileListOptions(std::move(fileList));
  if (sample) {
    job.destination = Destination::Sample;
    job.newline = NewlineKind::CrLf;
    job.sampleControl = reinterpret_cast<WindowId>(sampleControl);
    RunOutputJob(job, reader, host);
    return;
  }

  // The button tells that Esc aborts; it gets back the caption it had.
  wchar_t caption[64] = L"";
  GetDlgItemTextW(dialog, IDOK, caption, 64);
  SetDlgItemTextW(dialog, IDOK, kRunningButtonText.get());
  switch (SendDlgItemMessageW(dialog, IDC_DESTINATION, CB_GETCURSEL, 0, 0)) {
    case 0:
      if (std::optional<std::wstring> file = AskFileName(dialog, job.format)) {
        const int newline = Read(settings::kRetCode);
        job.destination = Destination::File;
        job.newline = static_cast<NewlineKind>(newline >= 0 && newline <= 2 ? newline : 0);
        job.fileName = *file;
        if (RunOutputJob(job, reader, host)) ShowDone(dialog, kFileDoneText);
      }
      break;
    case 1:
      job.destination = Destination::Clipboard;
      job.newline = NewlineKind::CrLf;
      if (RunOutputJob(job, reader, host)) ShowDone(dialog, kClipboardDoneText);
      break;
    case 2:
      OpenWithApplication(job, reader, host, dialog);
      break;
    default:
      break;
  }
  SetDlgItemTextW(dialog, IDOK, caption);
  EnableRunButtons(dialog, true);
}

}  // namespace

void StartOutput(HWND dialog, HWND sampleControl) {
  HWND frame = GetParent(dialog);
  // A start during a sample run waits for it; the frame's paint messages are
  // taken off the queue meanwhile (messages sent by the renderer's thread are
  // served by PeekMessageW itself).
  const bool claimed = ClaimOutputState(sampleControl != nullptr, [frame] {
    MSG msg;
    if (!PeekMessageW(&msg, frame, WM_PAINT, WM_PAINT, PM_REMOVE)) Sleep(100);
  });
  if (!claimed) return;
  RunClaimed(dialog, sampleControl);
  ReleaseOutputState();
}

}  // namespace tblf
