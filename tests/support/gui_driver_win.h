#pragma once
// Drives the real tabulift.exe from a test, as a user would: it starts the
// program, selects a row of the main list, picks list entries, clicks
// buttons, reads and answers message boxes, fills the save dialog and reads
// the sample window. The message plumbing stays in here.

#include <windows.h>

#include <optional>
#include <string>

namespace tblf::test {

// A text for a test's failure message: ASCII as it is, anything else as '?'.
inline std::string Narrow(const std::wstring& text) {
  std::string out;
  for (wchar_t c : text) out += c < 128 ? static_cast<char>(c) : '?';
  return out;
}

// Asks `done` every 50 ms, at most `tries` times; its last answer.
template <typename F>
bool WaitUntil(F done, int tries = 200) {
  for (int i = 0; i < tries && !done(); ++i) Sleep(50);
  return done();
}

struct SeenMessageBox {
  HWND window = nullptr;
  std::wstring caption;
  std::wstring text;
};

class TabuliftApp {
 public:
  TabuliftApp() = default;
  TabuliftApp(const TabuliftApp&) = delete;
  TabuliftApp& operator=(const TabuliftApp&) = delete;
  ~TabuliftApp();

  // Removes the stored settings (registry and the INI file beside the
  // program), then starts tabulift.exe with TBLF_LANG=`language` and waits
  // for its filled main list. False, with Error(), when that fails.
  bool Start(const wchar_t* language, const std::wstring& arguments = L"", bool cleanSettings = true);
  // Starts the program only (a command line that ends it at once, say).
  bool Launch(const wchar_t* language, const std::wstring& arguments);
  // Closes the frame as the user does and waits for the process; its exit code.
  std::optional<DWORD> Close();
  // Waits for the process to end by itself; its exit code.
  std::optional<DWORD> WaitExit(DWORD timeoutMs = 10000);

  HWND frame() const { return frame_; }
  HWND dialog() const { return dialog_; }
  HWND Item(int id) const { return GetDlgItem(dialog_, id); }
  DWORD ProcessId() const { return processId_; }
  const std::wstring& Error() const { return error_; }

  // The main list: row count, a cell's text, the row of a control.
  int RowCount() const;
  std::wstring RowText(int row, int column) const;
  int FindRow(HWND control) const;
  int SelectedRow() const;
  // Selects `row` (-1: no row) as a click would and waits for the dialog.
  bool SelectRow(int row);
  bool SelectMainListRow(HWND control) {
    const int row = FindRow(control);
    return row >= 0 && SelectRow(row);
  }

  // Picks entry `index` of a drop-down list, with the notification.
  void Pick(int comboId, int index) { PickIn(dialog_, comboId, index); }
  int Picked(int comboId) const;
  // A click on a button, check box or radio button (the check box toggles
  // first; the radio button is checked and the other radios unchecked).
  void Click(int id) { ClickIn(dialog_, id); }
  void SetChecked(int id, bool on);
  void TypeText(int editId, const std::wstring& text) { TypeTextIn(dialog_, editId, text); }

  // The same in another dialog of the program (a modal one found by WaitWindow).
  void PickIn(HWND dialog, int comboId, int index);
  void ClickIn(HWND dialog, int id);
  void TypeTextIn(HWND dialog, int editId, const std::wstring& text);
  // The finder's crosshair (1097) pressed and dragged to the screen point
  // `to`, then let go at `at`: the mouse messages its icon gets while it
  // holds the capture.
  void DragFinder(POINT to);
  void ReleaseFinder(POINT at);
  // A command from the menu or an accelerator, through the frame window.
  void Command(int id);
  bool Visible(int id) const { return IsWindowVisible(Item(id)) != FALSE; }
  bool Enabled(int id) const { return IsWindowEnabled(Item(id)) != FALSE; }
  // Waits until the control is enabled (then true) or the time is up.
  bool WaitEnabled(int id, DWORD timeoutMs = 5000) const;
  std::wstring Text(int id) const;
  std::wstring TextOf(HWND window) const;

  // The next message box of the program (nothing when none came in time).
  std::optional<SeenMessageBox> WaitMessageBox(DWORD timeoutMs = 15000);
  // Answers a message box or dialog with the button `id`.
  void Answer(HWND box, int id = IDOK);
  // Waits for a top-level window of the program with this title.
  HWND WaitWindow(const std::wstring& title, DWORD timeoutMs = 15000);
  // Fills the save dialog's file name and accepts it.
  bool FillSaveDialog(const std::wstring& path, DWORD timeoutMs = 15000);

  // Every visible top-level window of the program with its descendants
  // (class, id, text), for the message of a failed step.
  std::string DescribeWindows() const;

  // The sample window and its text control.
  HWND SampleWindow() const;
  std::wstring SampleText() const;
  // Waits until the sample text equals `expected` (then true) or the time is up.
  bool WaitSampleText(const std::wstring& expected, DWORD timeoutMs = 20000);

 private:
  void Stop();
  HANDLE process_ = nullptr;
  DWORD processId_ = 0;
  HWND frame_ = nullptr;
  HWND dialog_ = nullptr;
  std::wstring error_;
};

// Removes Tabulift's settings key from the registry.
void RemoveStoredSettings();
// A stored setting in the registry (nothing when it is not stored); StoreInt stores one.
std::optional<DWORD> StoredInt(const wchar_t* section, const wchar_t* key);
std::optional<std::wstring> StoredString(const wchar_t* section, const wchar_t* key);
void StoreInt(const wchar_t* section, const wchar_t* key, DWORD value);
// A text of the Japanese or English form.
inline const wchar_t* Lang(bool japanese, const wchar_t* ja, const wchar_t* en) { return japanese ? ja : en; }

}  // namespace tblf::test
