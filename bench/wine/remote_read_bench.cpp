// Reading another process's controls under Wine, all on one fixture: the bare
// cost of a message round trip, the output engine exporting the big list view
// to a file as CSV and in the space-separated format, by messages and inside
// the target (the hook DLL), also with every list view extra on, as cells per second and as ratios to the bare
// round trips and to each other; the tree export both ways (items per second,
// navigation messages per item); the start-up of one in-process run; and the
// fixture's committed memory before and after, which shows any remote block
// left behind.
//
//   tools/wine-run build/win64/bin/remote_read_bench.exe [--rows N] [--columns N]
//                  [--tree N] [--round-trips N] [--single-cells N]
// Prints figures only; nothing here asserts on time.

#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "output/encoded_writer_win.h"
#include "output/engine.h"
#include "output/engine_host_win.h"
#include "remote/control_reader_win.h"
#include "remote/inproc_reader_win.h"
#include "remote/timed_send_win.h"
#include "base/message_box_win.h"
#include "tests/support/fixture_win.h"

namespace {

using tblf::FromHwnd;

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
  LARGE_INTEGER f;
  QueryPerformanceFrequency(&f);
  return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(f.QuadPart);
}

LARGE_INTEGER Now() {
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return t;
}

long long FileSize(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return -1;
  return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

struct Export {
  bool ok = false;
  double seconds = 0;
  long long bytes = 0;
  std::uint64_t navigation = 0;
};

// One engine run to a UTF-8 file in the temp folder (deleted afterwards),
// by messages or inside the target.
Export RunExport(tblf::OutputJob job, const wchar_t* name, bool inProcess) {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  job.destination = tblf::Destination::File;
  job.fileName = std::wstring(temp) + L"tblf_remote_read_bench." + name;
  job.quoteWhenNeeded = false;
  job.doubleQuotes = false;
  tblf::Win32ControlReader messages;
  tblf::InProcessControlReader inside(tblf::ReadMode::Auto);
  tblf::ControlReader& reader = inProcess ? static_cast<tblf::ControlReader&>(inside) : messages;
  tblf::Win32OutputHost host(nullptr, nullptr, nullptr);
  Export result;
  const LARGE_INTEGER start = Now();
  result.ok = tblf::RunOutputJob(job, reader, host);
  result.seconds = Seconds(start, Now());
  result.bytes = FileSize(job.fileName);
  result.navigation = messages.TreeNavigationMessages();
  if (inProcess && inside.InProcessReads() == 0) {
    std::printf("  (the hook was not used: read by messages)\n");
  }
  DeleteFileW(job.fileName.c_str());
  return result;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  int rows = 50000, columns = 10, treeItems = 100000, roundTrips = 20000, singleCells = 5000;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::wstring a = argv[i];
    const int v = _wtoi(argv[i + 1]);
    if (a == L"--rows") rows = v;
    else if (a == L"--columns") columns = v;
    else if (a == L"--tree") treeItems = v;
    else if (a == L"--round-trips") roundTrips = v;
    else if (a == L"--single-cells") singleCells = v;
  }
  // Figures appear as they are measured, also when written to a file.
  std::setvbuf(stdout, nullptr, _IONBF, 0);
  // A message box would wait for a click: print it instead.
  tblf::SetMessageBoxHook([](HWND, const std::wstring& text, const std::wstring&, UINT) {
    std::printf("message: %ls\n", text.c_str());
    return IDOK;
  });
  tblf::test::FixtureProcess fixture;
  // A loaded machine may need longer than the fixture's default lifetime.
  const std::wstring args = L"--big-listview " + std::to_wstring(rows) + L"x" + std::to_wstring(columns) +
                            L" --big-tree " + std::to_wstring(treeItems) + L" --lifetime 7200";
  if (!fixture.Start(args)) {
    std::printf("cannot start the fixture: %ls\n", fixture.Error().c_str());
    return 1;
  }
  HWND list = fixture.Handle(L"big");
  const double cells = static_cast<double>(rows) * columns;
  std::printf("list view %d x %d = %.0f cells, tree of %d items, files in UTF-8\n", rows, columns, cells, treeItems);
  const SIZE_T committedBefore = fixture.CommittedBytes();
  int status = 0;

  // The floor: a message that carries no memory, from this process to the fixture.
  LRESULT count = 0;
  LARGE_INTEGER start = Now();
  for (int i = 0; i < roundTrips; ++i) tblf::TimedSend(list, LVM_GETITEMCOUNT, 0, 0, &count);
  const double bare = roundTrips / Seconds(start, Now());
  std::printf("bare round trips (LVM_GETITEMCOUNT):     %9.0f /s\n", bare);

  // A cell read alone, as discovery and the multi-selection helper do.
  tblf::Win32ControlReader single;
  start = Now();
  for (int i = 0; i < singleCells; ++i) single.GetListViewCellText(i % columns, FromHwnd(list), i / columns);
  const double singleRate = singleCells / Seconds(start, Now());
  std::printf("single cell reads (own remote call each): %8.0f cells/s  %5.2f of bare\n", singleRate,
              singleRate / bare);

  // Start-up of one in-process run alone: hook set, first slice, hook removed.
  start = Now();
  const tblf::BiText* why = nullptr;
  const bool hookUsable = tblf::InProcessControlReader::Probe(FromHwnd(list), &why);
  const double startup = Seconds(start, Now());
  if (hookUsable) {
    std::printf("in-process start-up (set, first slice, remove): %6.1f ms\n", startup * 1000);
  } else {
    std::printf("in-process reading not available: %ls\n", why->en);
  }

  tblf::SetEncodingOverride(8);
  double csvRate = 0;
  double messageRate = 0;
  const struct {
    tblf::RecordFormat format;
    const wchar_t* name;
    bool inProcess;
    bool extras = false;  // every list view extra on: one item state message per row
  } formats[] = {{tblf::RecordFormat::Csv, L"csv", false},
                 {tblf::RecordFormat::Csv, L"csv", true},
                 {tblf::RecordFormat::Space, L"space", false},
                 {tblf::RecordFormat::Space, L"space", true},
                 {tblf::RecordFormat::Csv, L"csv+x", false, true},
                 {tblf::RecordFormat::Csv, L"csv+x", true, true}};
  for (const auto& f : formats) {
    tblf::OutputJob job;
    job.target = FromHwnd(list);
    job.kind = tblf::ControlKind::ListView;
    job.format = f.format;
    if (f.extras) job.extras = {true, true, true, false, true};
    const Export e = RunExport(job, f.name, f.inProcess);
    const double rate = cells / e.seconds;
    if (f.format == tblf::RecordFormat::Csv && !f.inProcess) csvRate = rate;
    if (!f.inProcess && !f.extras) messageRate = rate;
    std::printf("export %-6ls %-10s %s %8.2f s  %9.0f cells/s  %7.2f of bare  %5.2f of csv  %10lld bytes", f.name,
                f.inProcess ? "in-process" : "messages", e.ok ? "ok    " : "FAILED", e.seconds, rate, rate / bare,
                rate / csvRate, e.bytes);
    if (f.inProcess) {
      const double net = cells / (e.seconds > startup ? e.seconds - startup : e.seconds);
      std::printf("  %7.1f x messages; start-up excluded %9.0f cells/s = %7.1f of bare", rate / messageRate, net,
                  net / bare);
    }
    std::printf("\n");
    if (!e.ok) status = 1;
  }

  const struct {
    bool options;
    const char* name;
    bool inProcess;
  } trees[] = {{false, "plain", false}, {false, "plain", true}, {true, "level shift and graph", false},
               {true, "level shift and graph", true}};
  double treeMessages = 0;
  for (const auto& t : trees) {
    tblf::OutputJob job;
    job.target = FromHwnd(fixture.Handle(L"bigtree"));
    job.kind = tblf::ControlKind::TreeView;
    job.format = tblf::RecordFormat::Tsv;
    job.treeLevelShift = t.options;
    job.treeGraph = t.options;
    const Export e = RunExport(job, L"tree", t.inProcess);
    const double rate = treeItems / e.seconds;
    if (!t.inProcess) treeMessages = rate;
    std::printf("export tree, %-22s %-10s %s %7.2f s  %9.0f items/s  %7.2f of bare  %7.1f x messages  %5.2f navigation messages/item\n",
                t.name, t.inProcess ? "in-process" : "messages", e.ok ? "ok    " : "FAILED", e.seconds, rate,
                rate / bare, rate / treeMessages, static_cast<double>(e.navigation) / treeItems);
    if (!e.ok) status = 1;
  }
  tblf::SetEncodingOverride(-1);

  const SIZE_T committedAfter = fixture.CommittedBytes();
  std::printf("fixture committed memory: before %llu KB, after %llu KB\n",
              static_cast<unsigned long long>(committedBefore / 1024),
              static_cast<unsigned long long>(committedAfter / 1024));
  return status;
}
