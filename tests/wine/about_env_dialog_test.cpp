// The About box and the environment report dialog of tabulift.exe, driven
// through their windows: F10 opens the About box with the version line and
// Esc closes it; the report is saved in the stored encoding and copied to
// the clipboard exactly as the dialog shows it.

#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "help/version_win.h"
#include "resources/resource.h"
#include "base/publisher.h"
#include "tests/support/desktop_io_win.h"
#include "tests/support/fixture_win.h"
#include "tests/support/gui_driver_win.h"

namespace tblf {
namespace {

using test::Narrow;
using test::WaitUntil;
using test::Lang;
using test::TabuliftApp;

// A key as the message loop of the program receives it.
void PressKey(HWND window, WORD key) {
  PostMessageW(window, WM_KEYDOWN, key, 1);
  PostMessageW(window, WM_KEYUP, key, 0xC0000001);
}

const wchar_t* ReportTitle(bool ja) { return ja ? L"環境情報の表示" : L"PRBX32 (Information of your Environment)"; }

// Opens the environment report from the Help menu; null when it did not come.
HWND OpenReport(TabuliftApp& app, bool ja) {
  app.Command(IDM_ENVIRONMENT);
  return app.WaitWindow(ReportTitle(ja), 30000);
}

void StoreCharCode(DWORD index) {
  const DWORD value = index;
  RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\QuillmarkHive\\TBLIFT\\CurrentVersion\\File", L"CharCode",
                  REG_DWORD, &value, sizeof value);
}

// The report as the dialog shows it, checked to be a report at all.
std::wstring ShownReport(TabuliftApp& app, HWND dialog, bool ja) {
  const std::wstring shown = app.TextOf(GetDlgItem(dialog, IDC_ENV_TEXT));
  EXPECT_EQ(shown.rfind(L"PRBX32.LIB ver.", 0), 0u) << Narrow(shown.substr(0, 80));
  EXPECT_NE(shown.find(ja ? L"[プロセッサ]" : L"[Processor]"), std::wstring::npos);
  return shown;
}

void CloseReport(TabuliftApp& app, HWND dialog) {
  app.Answer(dialog, IDCANCEL);
  EXPECT_TRUE(WaitUntil([dialog] { return !IsWindow(dialog); }));
}

// Wine's per-program DLL override: while it lives, tabulift.exe cannot load
// RICHED20.DLL.
class NoRichEditForTabulift {
 public:
  explicit NoRichEditForTabulift(bool active) : active_(active) {
    if (active_) RegSetKeyValueW(HKEY_CURRENT_USER, kKey, L"riched20", REG_SZ, L"", sizeof(wchar_t));
  }
  ~NoRichEditForTabulift() {
    if (active_) RegDeleteKeyValueW(HKEY_CURRENT_USER, kKey, L"riched20");
  }

 private:
  static constexpr const wchar_t* kKey = L"Software\\Wine\\AppDefaults\\tabulift.exe\\DllOverrides";
  bool active_;
};

TEST(AboutBox, F10OpensItWithTheVersionLineAndEscClosesIt) {
  const std::optional<VersionResource> resource = ReadVersionResource(test::ExecutableFolder() + L"tabulift.exe");
  ASSERT_TRUE(resource);
  const struct {
    bool ja;
    bool richEdit;  // RICHED20.DLL can be loaded
    const wchar_t* addressClass;
  } cases[] = {
      {false, true, L"RichEdit20W"},
      {false, false, L"Edit"},  // the addresses still show, without links
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.ja ? "ja" : "en") + (c.richEdit ? "" : ", no rich edit"));
    NoRichEditForTabulift overrides(!c.richEdit);
    TabuliftApp app;
    ASSERT_TRUE(app.Start(c.ja ? L"ja" : L"en")) << Narrow(app.Error());
    PressKey(app.Item(IDC_MAIN_LIST), VK_F10);
    HWND about = app.WaitWindow(c.ja ? L"バージョン情報" : L"About", 10000);
    ASSERT_NE(about, nullptr) << app.DescribeWindows();
    EXPECT_EQ(app.TextOf(GetDlgItem(about, IDC_ABOUT_VERSION)),
              ComputeVersionValues(*resource, c.ja, kBuildWidth).versionString);
    HWND addresses = GetDlgItem(about, IDC_ABOUT_ADDRESSES);
    wchar_t name[64] = L"";
    GetClassNameW(addresses, name, 64);
    EXPECT_EQ(std::wstring(name), c.addressClass);
    EXPECT_NE(app.TextOf(addresses).find(kWebSiteAddress), std::wstring::npos);
    PressKey(GetDlgItem(about, IDCANCEL), VK_ESCAPE);
    EXPECT_TRUE(WaitUntil([about] { return !IsWindow(about); })) << app.DescribeWindows();
    EXPECT_EQ(app.Close(), 0u);
  }
}

TEST(EnvironmentReport, SaveAsWritesTheShownReportInTheStoredEncoding) {
  const struct {
    bool ja;
    DWORD charCode;
    const char* bom;
  } cases[] = {
      {false, 7, "\xEF\xBB\xBF"},  // UTF-8 with BOM
      {true, 3, "\xFF\xFE"},       // Unicode (little endian) with BOM
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.ja ? "ja" : "en");
    TabuliftApp app;
    ASSERT_TRUE(app.Start(c.ja ? L"ja" : L"en")) << Narrow(app.Error());
    StoreCharCode(c.charCode);
    HWND dialog = OpenReport(app, c.ja);
    ASSERT_NE(dialog, nullptr) << app.DescribeWindows();
    const std::wstring shown = ShownReport(app, dialog, c.ja);

    const std::wstring file = test::ExecutableFolder() + L"env_report_test_out.txt";
    DeleteFileW(file.c_str());
    app.ClickIn(dialog, IDC_ENV_SAVE);
    // The save dialog lies above the report dialog once it is there.
    ASSERT_NE(app.WaitWindow(c.ja ? L"PRBXレポートをファイルへ保存" : L"PRBX"), nullptr) << app.DescribeWindows();
    ASSERT_TRUE(app.FillSaveDialog(file)) << app.DescribeWindows();
    const auto box = app.WaitMessageBox();
    ASSERT_TRUE(box) << app.DescribeWindows();
    EXPECT_EQ(box->caption, Lang(c.ja, L"環境情報の表示", L"PRBX"));
    EXPECT_EQ(box->text, Lang(c.ja, L"環境情報をファイルへ保存しました。", L"Writing data to file was completed."));
    app.Answer(box->window);

    std::string expected = c.bom;
    if (c.charCode == 7) {
      const int n = WideCharToMultiByte(CP_UTF8, 0, shown.data(), static_cast<int>(shown.size()), nullptr, 0,
                                        nullptr, nullptr);
      std::string utf8(n, '\0');
      WideCharToMultiByte(CP_UTF8, 0, shown.data(), static_cast<int>(shown.size()), utf8.data(), n, nullptr, nullptr);
      expected += utf8;
    } else {
      expected.append(reinterpret_cast<const char*>(shown.data()), shown.size() * sizeof(wchar_t));
    }
    EXPECT_EQ(test::FileBytes(file), expected);
    DeleteFileW(file.c_str());
    CloseReport(app, dialog);
    EXPECT_EQ(app.Close(), 0u);
  }
}

}  // namespace
}  // namespace tblf
