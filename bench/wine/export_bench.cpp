// The main job end to end under Wine: the fixture's big list view exported by
// the output engine through the real readers to a file (encoded text writer,
// streaming mode), once per record format asked for.
//
//   tools/wine-run build/win64/bin/export_bench.exe [--rows N] [--columns N]
//                  [--formats csv,space,json,markdown,...]
// Prints figures only; nothing here asserts on time. The default, 10,000 x 10
// as CSV, takes a few minutes under Wine.

#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "output/encoded_writer_win.h"
#include "output/engine.h"
#include "output/engine_host_win.h"
#include "output/record_formats.h"
#include "remote/control_reader_win.h"
#include "remote/timed_send_win.h"
#include "base/message_box_win.h"
#include "tests/support/fixture_win.h"

namespace {

double SecondsSince(ULONGLONG startMs) { return static_cast<double>(GetTickCount64() - startMs) / 1000.0; }

long long FileSize(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return -1;
  return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  int rows = 10000, columns = 10;
  std::wstring formats = L"csv";
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::wstring a = argv[i];
    if (a == L"--rows") rows = _wtoi(argv[i + 1]);
    else if (a == L"--columns") columns = _wtoi(argv[i + 1]);
    else if (a == L"--formats") formats = argv[i + 1];
  }
  // A message box would wait for a click: print it instead.
  tblf::SetMessageBoxHook([](HWND, const std::wstring& text, const std::wstring&, UINT) {
    std::printf("message: %ls\n", text.c_str());
    return IDOK;
  });
  tblf::test::FixtureProcess fixture;
  // A loaded machine may need longer than the fixture's default lifetime of 900 s.
  if (!fixture.Start(L"--big-listview " + std::to_wstring(rows) + L"x" + std::to_wstring(columns) +
                     L" --lifetime 7200")) {
    std::printf("cannot start the fixture: %ls\n", fixture.Error().c_str());
    return 1;
  }
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  std::printf("list view %d x %d = %d cells, to a file in UTF-8\n", rows, columns, rows * columns);
  tblf::SetEncodingOverride(8);

  int status = 0;
  for (std::size_t f = 0; f < tblf::kRecordFormatCount; ++f) {
    const wchar_t* const name = tblf::kRecordFormatInfo[f].cliName;
    if ((L"," + formats + L",").find(L"," + std::wstring(name) + L",") == std::wstring::npos) continue;
    tblf::OutputJob job;
    job.target = tblf::FromHwnd(fixture.Handle(L"big"));
    job.kind = tblf::ControlKind::ListView;
    job.format = static_cast<tblf::RecordFormat>(f);
    job.destination = tblf::Destination::File;
    job.fileName = std::wstring(temp) + L"tblf_export_bench." + tblf::kRecordFormatInfo[f].defaultExtension;
    job.quoteWhenNeeded = false;
    job.doubleQuotes = false;
    tblf::Win32ControlReader reader;
    tblf::Win32OutputHost host(nullptr, nullptr, nullptr);
    const ULONGLONG start = GetTickCount64();
    const bool ok = tblf::RunOutputJob(job, reader, host);
    const double seconds = SecondsSince(start);
    std::printf("%-8ls %s  %8.1f s  %8.0f cells/s  %10lld bytes\n", name, ok ? "ok    " : "FAILED", seconds,
                rows * columns / seconds, FileSize(job.fileName));
    DeleteFileW(job.fileName.c_str());
    if (!ok) status = 1;
  }
  tblf::SetEncodingOverride(-1);
  return status;
}
