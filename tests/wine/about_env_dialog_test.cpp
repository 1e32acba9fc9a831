// The About box and the environment report dialog of tabulift.exe, driven
// through their windows: F10 opens the About box with the version line and
// Esc closes it; the report is saved in the stored encoding exactly as the
// dialog shows it. And tblfcli env: the report of the machine the test runs
// on, on standard output and into a file (the headings in both languages are
// the report's own test, tests/native/envreport_test.cpp).

#include <windows.h>

#include <gtest/gtest.h>

#include <cpuid.h>

#include <cstring>
#include <optional>
#include <string>

#include "envreport/cpu_tables.h"
#include "help/version_win.h"
#include "resources/resource.h"
#include "base/publisher.h"
#include "tests/support/cli_run_win.h"
#include "tests/support/desktop_io_win.h"
#include "tests/support/fixture_win.h"
#include "tests/support/gui_driver_win.h"

namespace tblf {
namespace {

using test::CliRun;
using test::FileBytes;
using test::Narrow;
using test::RunCli;
using test::StoredValue;
using test::TempFolder;
using test::Utf8;
using test::Wide;
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

  EXPECT_EQ(FileBytes(file), "\xEF\xBB\xBF" + Utf8(shown));
  DeleteFileW(file.c_str());
  app.Answer(dialog, IDCANCEL);
  EXPECT_TRUE(WaitUntil([dialog] { return !IsWindow(dialog); }));
  EXPECT_EQ(app.Close(), 0u);
}

// ---------------------------------------------------------------------------
// tblfcli env

// The first, a middle and the last heading: the whole report was written
// (every heading in order is the report's own test).
const wchar_t* const kHeadingsEn[] = {
    L"PRBX32.LIB ver.5.24.30 [May 15 2016](Unicode)",
    L"\r\n\r\n[Processor]\r\n",
    L"\r\n[Other Information]\r\n",
};

// Standard error without Wine's own notes ("wine: Read access denied for
// device ..." when a volume's label cannot be read), which share the stream.
std::string OwnErrors(const std::string& err) {
  std::string kept;
  for (std::size_t from = 0; from < err.size();) {
    std::size_t end = err.find('\n', from);
    end = end == std::string::npos ? err.size() : end + 1;
    if (err.compare(from, 6, "wine: ") != 0) kept += err.substr(from, end - from);
    from = end;
  }
  return kept;
}

void ExpectHeadingsInOrder(const std::wstring& report) {
  std::size_t at = 0;
  for (const wchar_t* heading : kHeadingsEn) {
    const std::size_t found = report.find(heading, at);
    ASSERT_NE(found, std::wstring::npos) << "missing or out of order: " << Utf8(heading) << "\n" << Utf8(report);
    at = found + 1;
  }
}

// The vendor string of this machine's processor: what the host system says
// (Wine shows the host's /proc/cpuinfo as Z:\proc\cpuinfo), else cpuid.
std::string ThisMachinesVendor() {
  const std::string info = FileBytes(L"Z:\\proc\\cpuinfo");
  const std::size_t key = info.find("vendor_id");
  if (key != std::string::npos) {
    const std::size_t colon = info.find(": ", key);
    const std::size_t end = info.find('\n', colon);
    if (colon != std::string::npos && end != std::string::npos) return info.substr(colon + 2, end - colon - 2);
  }
  unsigned a = 0, b = 0, c = 0, d = 0;
  __cpuid(0, a, b, c, d);
  char vendor[13] = {};
  std::memcpy(vendor, &b, 4);
  std::memcpy(vendor + 4, &d, 4);
  std::memcpy(vendor + 8, &c, 4);
  return vendor;
}

TEST(TblfcliEnv, EnglishReportHasEverySectionInOrderAndThisMachinesVendor) {
  const CliRun run = RunCli(L"env");
  EXPECT_EQ(run.exitCode, 0u);
  EXPECT_EQ(OwnErrors(run.err), "");
  const std::wstring report = Wide(run.out);
  ExpectHeadingsInOrder(report);
  const std::string vendor = ThisMachinesVendor();
  EXPECT_NE(report.find(L"\r\nProcessor     :" + std::wstring(env::VendorName(vendor)) + L"\r\n"), std::wstring::npos)
      << vendor;
  EXPECT_NE(report.find(L"\r\nVender ID     :" + Wide(vendor) + L"\r\n"), std::wstring::npos) << vendor;
  std::printf("%s", run.out.c_str());  // the report of this machine, for the record
}

TEST(TblfcliEnv, OutWritesTheReportInTheStoredEncoding) {
  StoredValue encoding(L"File", L"CharCode", 7);  // UTF-8 with byte order mark
  const std::wstring file = TempFolder() + L"env.txt";
  const CliRun run = RunCli(L"env --out \"" + file + L"\"");
  EXPECT_EQ(run.exitCode, 0u);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(OwnErrors(run.err), "");
  const std::string bytes = FileBytes(file);
  DeleteFileW(file.c_str());
  ASSERT_EQ(bytes.substr(0, 3), "\xEF\xBB\xBF");
  ExpectHeadingsInOrder(Wide(bytes.substr(3)));
}

TEST(TblfcliEnv, AFileThatCannotBeWrittenExitsOneWithTheReason) {
  const std::wstring file = TempFolder() + L"no such folder\\env.txt";
  const CliRun run = RunCli(L"env --out \"" + file + L"\"");
  EXPECT_EQ(run.exitCode, 1u);
  EXPECT_EQ(run.out, "");
  const std::string errors = OwnErrors(run.err);
  EXPECT_EQ(errors.rfind("tblfcli: cannot write to " + Utf8(file) + ": ", 0), 0u) << run.err;
  EXPECT_EQ(errors.find('\r'), std::string::npos);
  EXPECT_EQ(errors.find('\n'), errors.size() - 1) << "one line";
  EXPECT_EQ(GetFileAttributesW(file.c_str()), INVALID_FILE_ATTRIBUTES);
}


}  // namespace
}  // namespace tblf
