#include "output/open_with_win.h"

#include <shellapi.h>

#include <mutex>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "base/help_topics.h"
#include "base/help_win.h"
#include "output/encoded_writer_win.h"
#include "output/open_with.h"
#include "resources/resource.h"
#include "settings/settings_table.h"
#include "base/dialog_win.h"
#include "base/file_dialog_win.h"
#include "base/message_box_win.h"
#include "base/process_basics.h"

namespace tblf {
namespace {

// A launched program that never becomes ready for input does not keep the
// window waiting longer than this.
constexpr DWORD kIdleWaitMs = 5000;

const BiText kNoCommandText{L"コマンドラインを指定してください。", L"Please specify the command line."};
const BiText kNoMemoryText{L"メモリが足りません。一部の処理に支障が出る可能性があります。", L"Not enough memory."};
const BiText kBrowseTitle{L"開く", L"Open"};
const BiText kExecutableFilter{L"実行ファイル(*.exe;*.com;*.bat)", L"Executable Files(*.exe;*.com;*.bat)"};
const BiText kAllFilesFilter{L"すべてのファイル(*.*)", L"All files(*.*)"};
const BiText kCannotDeleteText{L"次のファイルを削除できませんでした：\r\n\r\n", L"Cannot delete files:\r\n\r\n"};
const BiText kPleaseDeleteText{L"\r\n手動で削除してください。", L"\r\nPlease delete them."};
const BiText kTemporaryCaption{L"一時作成ファイル", L"Temporary Files"};

constexpr TooltipEntry kTipsJa[] = {
    {IDC_OPEN_CSV, L"エクスプローラで.csvファイルに関連づけられたアプリケーションで開きます。"},
    {IDC_OPEN_TXT, L"エクスプローラで.txtファイルに関連づけられたアプリケーションで開きます。"},
    {IDC_OPEN_HTML, L"エクスプローラで.htmlファイルに関連づけられたアプリケーションで開きます。"},
    {IDC_OPEN_COMMAND, L"任意のアプリケーションを指定します。"},
    {IDOK, L"上で指定されたコマンドラインを実行します。"},
    {IDCANCEL, L"何もせず、このダイアログを閉じます。"},
    {IDC_BROWSE, L"ファイル名を一覧から選択し、上の入力欄に設定します。"},
};
constexpr TooltipEntry kTipsEn[] = {
    {IDC_OPEN_CSV, L"Opens in the application associated with the CSV file."},
    {IDC_OPEN_TXT, L"Opens in the application associated with the TXT file."},
    {IDC_OPEN_HTML, L"Opens in the application associated with the HTML file."},
    {IDC_OPEN_COMMAND, L"Selects the application you want to open."},
    {IDOK, L"Opens the application."},
    {IDCANCEL, L"Closes this dialog box."},
    {IDC_BROWSE, L"Selects the application."},
};
constexpr TooltipTables kTips{kTipsJa, kTipsEn};

// The radio buttons with the way each stands for (the command line radio is
// the one for every other stored `select`).
const struct {
  int id;
  OpenWay way;
} kRadios[] = {{IDC_OPEN_CSV, OpenWay::Csv},
               {IDC_OPEN_TXT, OpenWay::Txt},
               {IDC_OPEN_HTML, OpenWay::Html},
               {IDC_OPEN_COMMAND, OpenWay::CommandLine}};

// The command line of the last OK, kept until the next one.
std::optional<std::wstring> g_storedCommand;
// Every temporary file of this run, in creation order (added by the output
// worker, deleted at exit on the UI thread).
std::vector<std::wstring> g_temporaryFiles;
std::mutex g_temporaryFilesLock;

std::wstring HistoryKey(int digit) { return L"cmdline" + std::to_wstring(digit); }

class OpenDialog : public Dialog {
 protected:
  int TemplateJa() const override { return IDD_OPEN_JA; }
  int TemplateEn() const override { return IDD_OPEN_EN; }
  const TooltipTables* Tooltips() const override { return &kTips; }

  BOOL OnInit() override {
    for (int digit = 0; digit <= 9; ++digit) {
      const std::optional<std::wstring> entry = ReadSettingString(
          settings::kAppOpenSection, HistoryKey(digit).c_str(), settings::kAppOpenHistoryDefault);
      if (entry && *entry != settings::kAppOpenHistoryDefault) AddComboText(IDC_COMMAND_LINE, entry->c_str());
    }
    SetItemText(IDC_COMMAND_LINE, Read(settings::kAppOpenCmdline).value_or(L"").c_str());
    const int select = Read(settings::kAppOpenSelect);
    int checked = IDC_OPEN_COMMAND;
    for (const auto& radio : kRadios) {
      if (static_cast<int>(radio.way) == select && radio.way != OpenWay::CommandLine) checked = radio.id;
    }
    Check(checked, true);
    EnableCommandLine(checked == IDC_OPEN_COMMAND);
    return TRUE;
  }

  bool OnCommand(int id, int code, HWND) override {
    switch (id) {
      case IDC_OPEN_CSV:
      case IDC_OPEN_TXT:
      case IDC_OPEN_HTML:
      case IDC_OPEN_COMMAND:
        if (code == BN_CLICKED) EnableCommandLine(id == IDC_OPEN_COMMAND);
        return true;
      case IDC_BROWSE:
        if (code == BN_CLICKED) Browse();
        return true;
      case IDOK:
        if (code == BN_CLICKED) Confirm();
        return true;
      case IDCANCEL:
        End(static_cast<INT_PTR>(OpenWay::None));
        return true;
      default:
        return false;
    }
  }

  void OnHelp() override { OpenHelpTopic(hwnd(), kHelpOpenWith); }

  bool OnMessage(UINT message, WPARAM w, LPARAM, INT_PTR& result) override {
    if (message != WM_DROPFILES) return false;
    HDROP drop = reinterpret_cast<HDROP>(w);
    wchar_t path[270] = L"";
    DragQueryFileW(drop, 0, path, 270);
    DragFinish(drop);
    std::wstring text = path;
    if (text.find(L' ') != std::wstring::npos) text = L"\"" + text + L"\"";
    SetItemText(IDC_COMMAND_LINE, text.c_str());
    SetForegroundWindow(hwnd());
    SetFocus(Item(IDC_COMMAND_LINE));
    result = 0;
    return true;
  }

 private:
  void EnableCommandLine(bool enable) const {
    for (int id : {IDC_COMMAND_LINE, IDC_COMMAND_HINT, IDC_BROWSE}) EnableItem(id, enable);
    DragAcceptFiles(hwnd(), enable);
  }

  void Browse() {
    FileDialogRequest request;
    request.owner = hwnd();
    request.title = kBrowseTitle.get();
    request.filters = {{kExecutableFilter.get(), L"*.exe;*.com;*.bat"}, {kAllFilesFilter.get(), L"*.*"}};
    if (std::optional<std::wstring> file = AskOpenFileName(request)) SetItemText(IDC_COMMAND_LINE, file->c_str());
  }

  std::vector<std::wstring> HistoryEntries() const {
    std::vector<std::wstring> entries;
    HWND combo = Item(IDC_COMMAND_LINE);
    const int count = static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
      const LRESULT length = SendMessageW(combo, CB_GETLBTEXTLEN, i, 0);
      std::wstring entry(length > 0 ? static_cast<size_t>(length) + 1 : 1, L'\0');
      SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(entry.data()));
      entry.resize(wcslen(entry.c_str()));
      entries.push_back(entry);
    }
    return entries;
  }

  void Confirm() {
    const bool commandLine = IsChecked(IDC_OPEN_COMMAND);
    const std::wstring text = ItemText(IDC_COMMAND_LINE);
    if (text.empty() && commandLine) {
      ShowMessageBox(hwnd(), kNoCommandText.get(), L"Tabulift", MB_ICONERROR);
      SetFocus(Item(IDC_COMMAND_LINE));
      return;
    }
    try {
      g_storedCommand = text;
    } catch (const std::bad_alloc&) {
      g_storedCommand.reset();
      ShowMessageBox(hwnd(), kNoMemoryText.get(), L"Tabulift", MB_ICONERROR);
    }
    const std::uintptr_t owner = reinterpret_cast<std::uintptr_t>(hwnd());
    if (!text.empty()) {
      Write(settings::kAppOpenCmdline, text.c_str(), owner);
      for (const auto& [digit, value] : HistoryWrites(HistoryEntries(), text)) {
        WriteSettingString(settings::kAppOpenSection, HistoryKey(digit).c_str(), value.c_str(), owner);
      }
    }
    OpenWay way = OpenWay::CommandLine;
    for (const auto& radio : kRadios) {
      if (IsChecked(radio.id)) way = radio.way;
    }
    Write(settings::kAppOpenSelect, way == OpenWay::CommandLine ? 0 : static_cast<int>(way), owner);
    if (way == OpenWay::CommandLine && !g_storedCommand) way = OpenWay::None;
    End(static_cast<INT_PTR>(way));
  }
};

bool IsFolder(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// TMP when it names a folder, else C:\WINDOWS\TEMP, the root, the current folder.
std::wstring TemporaryFolder() {
  wchar_t tmp[MAX_PATH] = L"";
  const DWORD length = GetEnvironmentVariableW(L"TMP", tmp, MAX_PATH);
  if (length > 0 && length < MAX_PATH && IsFolder(tmp)) return tmp;
  for (const wchar_t* folder : {L"C:\\WINDOWS\\TEMP", L"\\"}) {
    if (IsFolder(folder)) return folder;
  }
  return L".";
}

// The name in full, so that the launched program finds it wherever it runs.
std::wstring FullPath(const std::wstring& path) {
  wchar_t full[MAX_PATH * 2] = L"";
  const DWORD length = GetFullPathNameW(path.c_str(), MAX_PATH * 2, full, nullptr);
  return length > 0 && length < MAX_PATH * 2 ? std::wstring(full) : path;
}

void LaunchCommand(OutputHost& host, std::wstring command) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
    host.ShowError(SystemErrorText(GetLastError(), g_japaneseUi));
    return;
  }
  WaitForInputIdle(process.hProcess, kIdleWaitMs);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
}

}  // namespace

std::optional<OpenPlan> AskHowToOpen(HWND owner) {
  OpenDialog dialog;
  const auto way = static_cast<OpenWay>(dialog.RunModal(owner));
  if (way == OpenWay::None) return std::nullopt;
  OpenPlan plan;
  plan.way = way;
  plan.path = TemporaryFileName(FullPath(TemporaryFolder()), TemporaryExtension(way), [](const std::wstring& name) {
    return GetFileAttributesW(name.c_str()) != INVALID_FILE_ATTRIBUTES;
  });
  if (way == OpenWay::CommandLine) plan.command = PutPathIntoCommand(g_storedCommand.value_or(L""), plan.path);
  return plan;
}

bool OpenWithApplication(const OpenPlan& plan, OutputJob job, ControlReader& reader, OutputHost& host) {
  job.destination = Destination::File;
  job.fileName = plan.path;
  if (!RunOutputJob(job, reader, host)) return false;
  {
    std::lock_guard<std::mutex> lock(g_temporaryFilesLock);
    g_temporaryFiles.push_back(plan.path);
  }
  if (plan.way == OpenWay::CommandLine) {
    LaunchCommand(host, plan.command);
    return true;
  }
  const auto result = reinterpret_cast<INT_PTR>(
      ShellExecuteW(reinterpret_cast<HWND>(job.owner), nullptr, plan.path.c_str(), nullptr, L".", SW_SHOW));
  if (result <= 32) host.ShowError(ShellExecuteErrorText(static_cast<unsigned>(result)));
  return true;
}

void DeleteTemporaryFiles(HWND owner) {
  std::lock_guard<std::mutex> lock(g_temporaryFilesLock);
  std::wstring report = kCannotDeleteText.get();
  bool failed = false;
  for (const std::wstring& path : g_temporaryFiles) {
    if (DeleteFileW(path.c_str())) continue;
    report += path + L"\r\n";
    failed = true;
  }
  g_temporaryFiles.clear();
  if (!failed) return;
  report += kPleaseDeleteText.get();
  ShowMessageBox(owner, report.c_str(), kTemporaryCaption.get(), MB_ICONWARNING);
}

}  // namespace tblf
