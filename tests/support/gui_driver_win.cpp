#include "tests/support/gui_driver_win.h"

#include <commctrl.h>

#include <vector>

#include "remote/control_reader_win.h"
#include "tests/support/fixture_win.h"

namespace tblf::test {
namespace {

constexpr DWORD kPollMs = 50;

// A message box: a dialog with its text in the static control 0xFFFF and
// nothing but buttons and statics (the program's own dialogs have unnamed
// labels with that id too, but also lists and edits).
bool IsMessageBox(HWND window) {
  if (!GetDlgItem(window, 0xFFFF)) return false;
  for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    wchar_t name[32] = L"";
    GetClassNameW(child, name, 32);
    if (wcscmp(name, L"Button") != 0 && wcscmp(name, L"Static") != 0) return false;
  }
  return true;
}

struct Found {
  DWORD pid;
  const wchar_t* className;
  const wchar_t* title;
  bool messageBox;
  HWND window = nullptr;
};

BOOL CALLBACK FindTopLevel(HWND window, LPARAM l) {
  auto* f = reinterpret_cast<Found*>(l);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (pid != f->pid || !IsWindowVisible(window)) return TRUE;
  wchar_t text[256] = L"";
  if (f->className) {
    GetClassNameW(window, text, 256);
    if (wcscmp(text, f->className) != 0) return TRUE;
  }
  if (f->title) {
    GetWindowTextW(window, text, 256);
    if (wcscmp(text, f->title) != 0) return TRUE;
  }
  if (f->messageBox && !IsMessageBox(window)) return TRUE;
  f->window = window;
  return FALSE;
}

HWND FindWindowOf(DWORD pid, const wchar_t* className, const wchar_t* title, bool messageBox = false) {
  Found f{pid, className, title, messageBox};
  EnumWindows(FindTopLevel, reinterpret_cast<LPARAM>(&f));
  return f.window;
}

template <typename F>
bool WaitFor(DWORD timeoutMs, F done) {
  return WaitUntil(done, static_cast<int>(timeoutMs / kPollMs));
}

WindowId Id(HWND window) { return reinterpret_cast<WindowId>(window); }

std::wstring SettingsPath(const wchar_t* section) {
  return std::wstring(L"Software\\QuillmarkHive\\TBLIFT\\CurrentVersion\\") + section;
}

bool IsRadio(HWND button) {
  const LONG style = GetWindowLongW(button, GWL_STYLE) & BS_TYPEMASK;
  return style == BS_AUTORADIOBUTTON || style == BS_RADIOBUTTON;
}

struct Description {
  DWORD pid;
  std::string text;
};

void Describe(HWND window, int depth, std::string& out) {
  wchar_t name[128] = L"", text[128] = L"";
  GetClassNameW(window, name, 128);
  GetWindowTextW(window, text, 128);
  out += std::string(depth * 2, ' ') + Narrow(name) + " id=" + std::to_string(GetDlgCtrlID(window)) + " \"" +
         Narrow(text) + "\"" + (IsWindowVisible(window) ? "" : " (hidden)") + "\n";
  for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    Describe(child, depth + 1, out);
  }
}

BOOL CALLBACK DescribeTopLevel(HWND window, LPARAM l) {
  auto* d = reinterpret_cast<Description*>(l);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (pid == d->pid && IsWindowVisible(window)) Describe(window, 0, d->text);
  return TRUE;
}

}  // namespace

void RemoveStoredSettings() { RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\QuillmarkHive\\TBLIFT"); }

std::optional<DWORD> StoredInt(const wchar_t* section, const wchar_t* key) {
  DWORD value = 0, size = sizeof value;
  if (RegGetValueW(HKEY_CURRENT_USER, SettingsPath(section).c_str(), key, RRF_RT_REG_DWORD, nullptr, &value,
                   &size) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  return value;
}

std::optional<std::wstring> StoredString(const wchar_t* section, const wchar_t* key) {
  wchar_t value[2048] = L"";
  DWORD size = sizeof value;
  if (RegGetValueW(HKEY_CURRENT_USER, SettingsPath(section).c_str(), key, RRF_RT_REG_SZ, nullptr, value, &size) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  return std::wstring(value);
}

void StoreInt(const wchar_t* section, const wchar_t* key, DWORD value) {
  RegSetKeyValueW(HKEY_CURRENT_USER, SettingsPath(section).c_str(), key, REG_DWORD, &value, sizeof value);
}

TabuliftApp::~TabuliftApp() { Stop(); }

void TabuliftApp::Stop() {
  if (!process_) return;
  if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) {
    TerminateProcess(process_, 99);
    WaitForSingleObject(process_, 5000);
  }
  CloseHandle(process_);
  process_ = nullptr;
}

bool TabuliftApp::Launch(const wchar_t* language, const std::wstring& arguments) {
  SetEnvironmentVariableW(L"TBLF_LANG", language);
  std::wstring commandLine = L"\"" + ExecutableFolder() + L"tabulift.exe\"";
  if (!arguments.empty()) commandLine += L" " + arguments;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  const BOOL started =
      CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info);
  SetEnvironmentVariableW(L"TBLF_LANG", nullptr);
  if (!started) {
    error_ = L"tabulift.exe did not start, error " + std::to_wstring(GetLastError());
    return false;
  }
  CloseHandle(info.hThread);
  process_ = info.hProcess;
  processId_ = info.dwProcessId;
  return true;
}

bool TabuliftApp::Start(const wchar_t* language, const std::wstring& arguments, bool cleanSettings) {
  if (cleanSettings) {
    RemoveStoredSettings();
    DeleteFileW((ExecutableFolder() + L"TBLIFT.INI").c_str());
  }
  if (!Launch(language, arguments)) return false;
  const bool up = WaitFor(30000, [this] {
    frame_ = FindWindowOf(processId_, L"Tabulift", nullptr);
    dialog_ = frame_ ? FindWindowExW(frame_, nullptr, L"#32770", nullptr) : nullptr;
    // The file list row is added last, after every control.
    const int rows = dialog_ ? RowCount() : 0;
    if (rows == 0) return false;
    const std::wstring last = RowText(rows - 1, 0);
    return last == L"File List" || last == L"ファイル一覧";
  });
  if (!up) error_ = L"the Tabulift window did not come up with a filled main list";
  return up;
}

std::optional<DWORD> TabuliftApp::WaitExit(DWORD timeoutMs) {
  if (!process_ || WaitForSingleObject(process_, timeoutMs) != WAIT_OBJECT_0) return std::nullopt;
  DWORD code = 0;
  GetExitCodeProcess(process_, &code);
  return code;
}

std::optional<DWORD> TabuliftApp::Close() {
  PostMessageW(frame_, WM_CLOSE, 0, 0);
  return WaitExit();
}

int TabuliftApp::RowCount() const {
  return static_cast<int>(SendMessageW(Item(1000), LVM_GETITEMCOUNT, 0, 0));
}

int TabuliftApp::SelectedRow() const {
  return static_cast<int>(SendMessageW(Item(1000), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

namespace {

// A screen point as the lParam of a mouse message to `window`.
LPARAM ClientPoint(HWND window, POINT at) {
  ScreenToClient(window, &at);
  return MAKELPARAM(static_cast<WORD>(at.x), static_cast<WORD>(at.y));
}

}  // namespace

void TabuliftApp::DragFinder(POINT to) {
  PostMessageW(Item(1097), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
  PostMessageW(Item(1097), WM_MOUSEMOVE, MK_LBUTTON, ClientPoint(Item(1097), to));
}

void TabuliftApp::ReleaseFinder(POINT at) { PostMessageW(Item(1097), WM_LBUTTONUP, 0, ClientPoint(Item(1097), at)); }

std::wstring TabuliftApp::RowText(int row, int column) const {
  Win32ControlReader reader;
  return reader.GetListViewCellText(column, Id(Item(1000)), row).value_or(L"");
}

int TabuliftApp::FindRow(HWND control) const {
  wchar_t hex[40];
  // The main list writes handles as "%p" does in the program: upper case,
  // two digits a byte of a pointer.
  swprintf(hex, 40, L"%0*llX", static_cast<int>(2 * sizeof(void*)),
           static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(control)));
  // A read may fail while the program is busy (starting, refreshing): look
  // again for a while before giving up.
  int found = -1;
  WaitFor(10000, [&] {
    for (int row = 0, n = RowCount(); row < n; ++row) {
      if (RowText(row, 0).rfind(hex, 0) == 0) {
        found = row;
        return true;
      }
    }
    return false;
  });
  return found;
}

bool TabuliftApp::SelectRow(int row) {
  Win32ControlReader reader;
  HWND list = Item(1000);
  const int current = static_cast<int>(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
  if (current >= 0 && current != row) reader.SetListViewItemState(Id(list), current, 0);
  if (row >= 0) reader.SetListViewItemState(Id(list), row, LVIS_SELECTED | LVIS_FOCUSED);
  return WaitFor(5000, [&] {
    return SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED) == row;
  });
}

void TabuliftApp::PickIn(HWND dialog, int comboId, int index) {
  HWND combo = GetDlgItem(dialog, comboId);
  SendMessageW(combo, CB_SETCURSEL, index, 0);
  SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(comboId, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
}

void TabuliftApp::ClickIn(HWND dialog, int id) {
  HWND button = GetDlgItem(dialog, id);
  const LONG style = GetWindowLongW(button, GWL_STYLE) & BS_TYPEMASK;
  if (style == BS_AUTOCHECKBOX || style == BS_CHECKBOX) {
    const bool on = SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
    SendMessageW(button, BM_SETCHECK, on ? BST_UNCHECKED : BST_CHECKED, 0);
  }
  if (IsRadio(button)) {
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
      if (IsRadio(child)) SendMessageW(child, BM_SETCHECK, child == button ? BST_CHECKED : BST_UNCHECKED, 0);
    }
  }
  // Posted: a click may open a modal box that the test then answers.
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

int TabuliftApp::Picked(int comboId) const { return static_cast<int>(SendMessageW(Item(comboId), CB_GETCURSEL, 0, 0)); }

void TabuliftApp::SetChecked(int id, bool on) {
  if ((SendMessageW(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED) != on) Click(id);
}

void TabuliftApp::TypeTextIn(HWND dialog, int editId, const std::wstring& text) {
  SendMessageW(GetDlgItem(dialog, editId), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void TabuliftApp::Command(int id) { PostMessageW(frame_, WM_COMMAND, MAKEWPARAM(id, 0), 0); }

std::wstring TabuliftApp::TextOf(HWND window) const {
  std::vector<wchar_t> text(static_cast<size_t>(SendMessageW(window, WM_GETTEXTLENGTH, 0, 0)) + 1, L'\0');
  SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  return text.data();
}

bool TabuliftApp::WaitEnabled(int id, DWORD timeoutMs) const {
  return WaitFor(timeoutMs, [&] { return Enabled(id); });
}

std::wstring TabuliftApp::Text(int id) const { return TextOf(Item(id)); }

std::optional<SeenMessageBox> TabuliftApp::WaitMessageBox(DWORD timeoutMs) {
  SeenMessageBox seen;
  const bool came = WaitFor(timeoutMs, [&] {
    return (seen.window = FindWindowOf(processId_, L"#32770", nullptr, true)) != nullptr;
  });
  if (!came) return std::nullopt;
  seen.caption = TextOf(seen.window);
  seen.text = TextOf(GetDlgItem(seen.window, 0xFFFF));
  return seen;
}

void TabuliftApp::Answer(HWND box, int id) {
  PostMessageW(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, id)));
  WaitFor(5000, [box] { return !IsWindow(box) || !IsWindowVisible(box); });
}

HWND TabuliftApp::WaitWindow(const std::wstring& title, DWORD timeoutMs) {
  HWND window = nullptr;
  WaitFor(timeoutMs, [&] { return (window = FindWindowOf(processId_, nullptr, title.c_str())) != nullptr; });
  return window;
}

bool TabuliftApp::FillSaveDialog(const std::wstring& path, DWORD timeoutMs) {
  HWND dialog = nullptr;
  if (!WaitFor(timeoutMs, [&] {
        dialog = FindWindowOf(processId_, L"#32770", nullptr);
        return dialog && GetDlgItem(dialog, 0xFFFF) == nullptr;
      })) {
    return false;
  }
  // The file name box of the Explorer-style dialog: edt1 (0x480), or the edit
  // inside the combo box cmb13 (0x47C), which Wine wraps in a ComboBoxEx32.
  HWND edit = GetDlgItem(dialog, 0x480);
  for (HWND box = GetDlgItem(dialog, 0x47C); !edit && box; box = GetWindow(box, GW_CHILD)) {
    wchar_t name[32] = L"";
    GetClassNameW(box, name, 32);
    if (wcscmp(name, L"Edit") == 0) edit = box;
  }
  if (!edit) return false;
  SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
  return WaitFor(timeoutMs, [dialog] { return !IsWindow(dialog); });
}

std::string TabuliftApp::DescribeWindows() const {
  Description d{processId_, ""};
  EnumWindows(DescribeTopLevel, reinterpret_cast<LPARAM>(&d));
  return d.text;
}

HWND TabuliftApp::SampleWindow() const { return FindWindowOf(processId_, L"TBLIFT_SAMPLEWINDOW", nullptr); }

std::wstring TabuliftApp::SampleText() const { return TextOf(GetDlgItem(SampleWindow(), 108)); }

bool TabuliftApp::WaitSampleText(const std::wstring& expected, DWORD timeoutMs) {
  return WaitFor(timeoutMs, [&] { return SampleText() == expected; });
}

}  // namespace tblf::test
