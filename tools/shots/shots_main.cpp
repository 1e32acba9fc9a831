// tblf_shots LANGUAGE FOLDER [--clipboard-to FILE]
// Starts the fixture and tabulift.exe (TBLF_LANG=LANGUAGE), selects the
// fixture's list view in the main list, waits for the sample window, and
// exports it to the clipboard through the window (done-LANGUAGE.bmp, the
// completion message), saves main-LANGUAGE.bmp and sample-LANGUAGE.bmp in
// FOLDER, then opens every dialog in turn and saves settings-, open-,
// about-, envreport-, update-, filelist-, property-, multiselect- and
// multiselect-result-LANGUAGE.bmp, running-LANGUAGE.bmp during a long
// output, and finder-LANGUAGE.bmp while the finder is dragged over the
// fixture's list view (the frame, the list view and the outline between). With --clipboard-to it also writes the clipboard's text to FILE
// (UTF-8).

#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <string>

#include "remote/multi_select.h"
#include "remote/property_report.h"
#include "tests/support/desktop_io_win.h"
#include "tests/support/fixture_win.h"
#include "tests/support/gui_driver_win.h"

namespace {

using tblf::test::TabuliftApp;

// A part of the screen as it is, as a 24-bit BMP file.
bool SaveScreenPicture(const RECT& r, const std::wstring& path) {
  const int width = r.right - r.left, height = r.bottom - r.top;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
  SelectObject(memory, old);
  BITMAPINFOHEADER info{};
  info.biSize = sizeof info;
  info.biWidth = width;
  info.biHeight = height;
  info.biPlanes = 1;
  info.biBitCount = 24;
  const DWORD stride = (width * 3 + 3) & ~3;
  std::string pixels(static_cast<size_t>(stride) * height, '\0');
  GetDIBits(memory, bitmap, 0, height, pixels.data(), reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);

  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof file + sizeof info;
  file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
  FILE* out = _wfopen(path.c_str(), L"wb");
  if (!out) return false;
  fwrite(&file, sizeof file, 1, out);
  fwrite(&info, sizeof info, 1, out);
  fwrite(pixels.data(), 1, pixels.size(), out);
  return fclose(out) == 0;
}

// The window as it is on the screen, as a 24-bit BMP file.
bool SaveWindowPicture(HWND window, const std::wstring& path) {
  SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  Sleep(700);
  RECT r{};
  GetWindowRect(window, &r);
  const bool saved = SaveScreenPicture(r, path);
  SetWindowPos(window, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  return saved;
}

int Fail(const char* what) {
  std::fprintf(stderr, "tblf_shots: %s\n", what);
  return 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) return Fail("usage: tblf_shots LANGUAGE FOLDER [--clipboard-to FILE]");
  const std::wstring language = argv[1], folder = std::wstring(argv[2]) + L"\\";
  tblf::test::FixtureProcess fixture;
  if (!fixture.Start()) return Fail("the fixture did not start");
  TabuliftApp app;
  if (!app.Start(language.c_str())) return Fail("tabulift.exe did not come up");
  // The frame on the left half of the screen, the sample window beside it.
  SetWindowPos(app.frame(), nullptr, 20, 20, 760, 560, SWP_NOZORDER);
  if (!app.SelectMainListRow(fixture.Handle(L"trio.listview"))) return Fail("cannot select the list view");
  if (!app.WaitSampleText(L"\"Name\",\"Value\"\r\n\"a\",\"1\"\r\n\"b\",\"2\"\r\n\"c\",\"3\"\r\n")) {
    std::fprintf(stderr, "%s", app.DescribeWindows().c_str());
    return Fail("the sample window did not show the list view");
  }

  // The list view to the clipboard, as a user would: the completion message.
  app.Pick(1023, 1);
  app.Click(IDOK);
  const auto box = app.WaitMessageBox(60000);
  if (!box) return Fail("no completion message");
  SaveWindowPicture(box->window, folder + L"done-" + language + L".bmp");
  const std::wstring text = tblf::test::ClipboardText();
  app.Answer(box->window);
  app.Pick(1023, 0);
  if (argc >= 5 && std::wstring(argv[3]) == L"--clipboard-to") {
    FILE* out = _wfopen(argv[4], L"wb");
    if (!out) return Fail("cannot write the clipboard file");
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(n, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), bytes.data(), n, nullptr, nullptr);
    fwrite(bytes.data(), 1, bytes.size(), out);
    fclose(out);
  }

  bool ok = SaveWindowPicture(app.frame(), folder + L"main-" + language + L".bmp") &&
            SaveWindowPicture(app.SampleWindow(), folder + L"sample-" + language + L".bmp");

  // Saves a dialog as NAME-LANGUAGE.bmp; one that did not come counts as a failure.
  auto shot = [&](HWND window, const wchar_t* name) {
    ok = window && SaveWindowPicture(window, folder + name + L"-" + language + L".bmp") && ok;
    return window;
  };

  // The settings dialog and the open-with-application dialog, each cancelled.
  const bool ja = language == L"ja";
  app.Command(32786);
  if (HWND settings = shot(app.WaitWindow(ja ? L"設定" : L"Settings - Tabulift", 10000), L"settings")) {
    app.Answer(settings, IDCANCEL);
  }
  app.Pick(1023, 2);
  app.Click(IDOK);
  if (HWND open = shot(app.WaitWindow(ja ? L"アプリケーションを指定して開く" : L"Open with application", 10000), L"open")) {
    app.Answer(open, IDCANCEL);
  }
  app.Pick(1023, 0);

  // The About box and, from its button, the environment report.
  app.Command(1001);
  if (HWND about = shot(app.WaitWindow(ja ? L"バージョン情報" : L"About", 10000), L"about")) {
    app.ClickIn(about, 2005);
    HWND report = app.WaitWindow(ja ? L"環境情報の表示" : L"PRBX32 (Information of your Environment)", 30000);
    if (shot(report, L"envreport")) app.Answer(report, IDCANCEL);
    app.Answer(about, IDCANCEL);
  }

  // The update check dialog, with the pointer off it: its tooltips would cover it.
  SetCursorPos(0, 0);
  app.Command(32783);
  if (HWND update = shot(app.WaitWindow(ja ? L"更新確認" : L"Update Check", 10000), L"update")) {
    app.Answer(update, IDCANCEL);
  }

  // The file list dialog. The command selects the File List row; the row
  // selected before comes back.
  const int selected = static_cast<int>(SendMessageW(app.Item(1000), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
  app.Command(32784);
  if (HWND fileList = shot(app.WaitWindow(ja ? L"ファイル／フォルダ一覧の出力" : L"Files and Folders List", 10000), L"filelist")) {
    app.Answer(fileList, IDCANCEL);
  }
  app.SelectRow(selected);

  // The property dialog and the multi-selection helper on the selected list
  // view (context menu commands 32787 and 32789), then the helper's result
  // dialog for two substrings.
  const auto listView = reinterpret_cast<std::uintptr_t>(fixture.Handle(L"trio.listview"));
  app.Command(32787);
  if (HWND property = shot(app.WaitWindow(tblf::PropertyDialogTitle(listView, ja), 10000), L"property")) {
    app.Answer(property, IDCANCEL);
  }
  app.Command(32789);
  HWND helper = app.WaitWindow(tblf::kSelectDialogTitle.get(ja), 10000);
  if (helper) {
    app.ClickIn(helper, 1067);
    app.TypeTextIn(helper, 1063, L"a\r\nb\r\nz");
  }
  if (shot(helper, L"multiselect")) {
    app.ClickIn(helper, IDOK);
    HWND result = nullptr;
    for (int i = 0; i < 100 && !(result = FindWindowW(L"#32770", tblf::kSelectCaption.get(ja))); ++i) Sleep(100);
    if (shot(result, L"multiselect-result")) app.Answer(result, IDCANCEL);
    app.Answer(helper, IDCANCEL);
  }

  // The finder half-way: dragged over the fixture's list view, its window
  // beside the frame and above the rest (the sample window too); then let
  // go there.
  HWND trioList = fixture.Handle(L"trio.listview"), trio = GetAncestor(trioList, GA_ROOT);
  SetWindowPos(trio, HWND_TOPMOST, 790, 60, 470, 300, SWP_NOACTIVATE);
  Sleep(700);
  RECT lv{}, frame{};
  GetWindowRect(trioList, &lv);
  GetWindowRect(app.frame(), &frame);
  const POINT centre{(lv.left + lv.right) / 2, (lv.top + lv.bottom) / 2};
  app.DragFinder(centre);
  for (int i = 0; i < 100 && app.Text(1098).rfind(L"SysListView32 ", 0) != 0; ++i) Sleep(50);
  Sleep(300);
  ok = SaveScreenPicture({frame.left, frame.top, 1270, frame.bottom}, folder + L"finder-" + language + L".bmp") && ok;
  app.ReleaseFinder(centre);


  // A clipboard output of a 30,000-row list view while it runs (the
  // progress bar and Cancel), then cancelled.
  tblf::test::FixtureProcess big;
  const bool bigStarted = big.Start(L"--big-listview 30000x10");
  if (bigStarted) {
    // Its window out of the frame's way.
    SetWindowPos(GetAncestor(big.Handle(L"big"), GA_ROOT), nullptr, 820, 600, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    app.Click(1018);  // Refresh: the new window joins the main list
    for (int i = 0; i < 100 && app.FindRow(big.Handle(L"big")) < 0; ++i) Sleep(100);
  }
  if (bigStarted && app.SelectMainListRow(big.Handle(L"big"))) {
    // Read inside the target, the 30,000 rows are done before a picture can
    // be taken: this run reads by messages (Data/inproc 0), as the setting allows.
    const wchar_t* dataKey = L"Software\\QuillmarkHive\\TBLIFT\\CurrentVersion\\Data";
    const DWORD messagesOnly = 0;
    RegSetKeyValueW(HKEY_CURRENT_USER, dataKey, L"inproc", REG_DWORD, &messagesOnly, sizeof messagesOnly);
    app.Pick(1023, 1);
    app.Click(IDOK);
    HWND bar = app.Item(1090);
    for (int i = 0; i < 200 && SendMessageW(bar, PBM_GETPOS, 0, 0) < 300; ++i) Sleep(50);
    shot(app.frame(), L"running");
    app.Click(IDOK);
    if (const auto box = app.WaitMessageBox(10000)) app.Answer(box->window);
    app.Pick(1023, 0);
    RegDeleteKeyValueW(HKEY_CURRENT_USER, dataKey, L"inproc");
  }

  app.Close();
  return ok ? 0 : Fail("cannot save the pictures");
}
