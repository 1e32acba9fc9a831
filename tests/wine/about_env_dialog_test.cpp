// The About box and the environment report dialog of tabulift.exe, driven
// through their windows: F10 opens the About box with the version line and
// Esc closes it; the report is saved in the stored encoding exactly as the
// dialog shows it.

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
using test::TabuliftApp;

// A key as the message loop of the program receives it.
void PressKey(HWND window, WORD key) {
  PostMessageW(window, WM_KEYDOWN, key, 1);
  PostMessageW(window, WM_KEYUP, key, 0xC0000001);
}

// Opens the environment report from the Help menu; null when it did not come.
HWND OpenReport(TabuliftApp& app) {
  app.Command(IDM_ENVIRONMENT);
  return app.WaitWindow(L"PRBX32 (Information of your Environment)", 30000);
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
    bool richEdit;  // RICHED20.DLL can be loaded
    const wchar_t* addressClass;
  } cases[] = {
      {true, L"RichEdit20W"},
      {false, L"Edit"},  // the addresses still show, without links
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.richEdit ? "rich edit" : "no rich edit");
    NoRichEditForTabulift overrides(!c.richEdit);
    TabuliftApp app;
    ASSERT_TRUE(app.Start(L"en")) << Narrow(app.Error());
    PressKey(app.Item(IDC_MAIN_LIST), VK_F10);
    HWND about = app.WaitWindow(L"About", 10000);
    ASSERT_NE(about, nullptr) << app.DescribeWindows();
    EXPECT_EQ(app.TextOf(GetDlgItem(about, IDC_ABOUT_VERSION)),
              ComputeVersionValues(*resource, false, kBuildWidth).versionString);
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

// UTF-8, not the default UTF-16, shows that the stored encoding reaches the file.
TEST(EnvironmentReport, SaveAsWritesTheShownReportInTheStoredEncoding) {
  TabuliftApp app;
  ASSERT_TRUE(app.Start(L"en")) << Narrow(app.Error());
  test::StoreInt(L"File", L"CharCode", 7);  // UTF-8 with BOM
  HWND dialog = OpenReport(app);
  ASSERT_NE(dialog, nullptr) << app.DescribeWindows();
  const std::wstring shown = app.TextOf(GetDlgItem(dialog, IDC_ENV_TEXT));
  EXPECT_EQ(shown.rfind(L"PRBX32.LIB ver.", 0), 0u) << Narrow(shown.substr(0, 80));

  const std::wstring file = test::ExecutableFolder() + L"env_report_test_out.txt";
  DeleteFileW(file.c_str());
  app.ClickIn(dialog, IDC_ENV_SAVE);
  // The save dialog lies above the report dialog once it is there.
  ASSERT_NE(app.WaitWindow(L"PRBX"), nullptr) << app.DescribeWindows();
  ASSERT_TRUE(app.FillSaveDialog(file)) << app.DescribeWindows();
  const auto box = app.WaitMessageBox();
  ASSERT_TRUE(box) << app.DescribeWindows();
  EXPECT_EQ(box->caption, L"PRBX");
  EXPECT_EQ(box->text, L"Writing data to file was completed.");
  app.Answer(box->window);

  const int n = WideCharToMultiByte(CP_UTF8, 0, shown.data(), static_cast<int>(shown.size()), nullptr, 0, nullptr,
                                    nullptr);
  std::string utf8(n, '\0');
  WideCharToMultiByte(CP_UTF8, 0, shown.data(), static_cast<int>(shown.size()), utf8.data(), n, nullptr, nullptr);
  EXPECT_EQ(test::FileBytes(file), "\xEF\xBB\xBF" + utf8);
  DeleteFileW(file.c_str());
  app.Answer(dialog, IDCANCEL);
  EXPECT_TRUE(WaitUntil([dialog] { return !IsWindow(dialog); }));
  EXPECT_EQ(app.Close(), 0u);
}

}  // namespace
}  // namespace tblf
