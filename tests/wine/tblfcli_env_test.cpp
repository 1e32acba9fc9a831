// tblfcli env: the environment report of the machine the test runs on, on
// standard output and into a file (the headings in both languages are the
// report's own test, tests/native/envreport_test.cpp).

#include <windows.h>

#include <gtest/gtest.h>

#include <cpuid.h>

#include <cstring>
#include <string>
#include <vector>

#include "envreport/cpu_tables.h"
#include "tests/support/cli_run_win.h"
#include "tests/support/desktop_io_win.h"

namespace tblf {
namespace {

using test::CliRun;
using test::FileBytes;
using test::RunCli;
using test::StoredValue;
using test::TempFolder;
using test::Utf8;
using test::Wide;

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

// An unknown option is the shared parser's (TblfcliUsage); a word is env's own.
TEST(TblfcliEnv, AWordIsAUsageError) {
  const CliRun run = RunCli(L"env now");
  EXPECT_EQ(run.exitCode, 2u);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "tblfcli: unknown option now\nTry 'tblfcli --help'.\n");
}

}  // namespace
}  // namespace tblf
