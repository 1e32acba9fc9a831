// Reading inside the target with the hook DLL against the fixture: the same
// bytes as reading by messages for every kind, the ways back to messages, a
// target that dies or hangs during the read, and nothing left behind.
#include "remote/inproc_reader_win.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <string>
#include <thread>

#include "remote/timed_send_win.h"
#include "tests/support/fixture_suite_win.h"
#include "tests/support/fixture_win.h"
#include "tests/support/recording_host_win.h"

namespace tblf {
namespace {

using test::JobFor;
using test::RecordingHost;

std::wstring Export(const OutputJob& job, ControlReader& reader, RecordingHost* host = nullptr) {
  RecordingHost own;
  RecordingHost& h = host != nullptr ? *host : own;
  RunOutputJob(job, reader, h);
  return h.file;
}

// The handles open in `process`, found by copying each possible value (Wine
// has no handle count).
int OpenHandles(HANDLE process) {
  int open = 0;
  for (std::uintptr_t value = 4; value < 0x4000; value += 4) {
    HANDLE copy = nullptr;
    if (DuplicateHandle(process, reinterpret_cast<HANDLE>(value), GetCurrentProcess(), &copy, 0, FALSE,
                        DUPLICATE_SAME_ACCESS)) {
      ++open;
      CloseHandle(copy);
    }
  }
  return open;
}

class InProcessWine : public test::FixtureSuite<InProcessWine> {};

TEST_F(InProcessWine, EveryKindGivesTheSameBytesAsMessages) {
  struct Case {
    const char* situation;
    const wchar_t* control;
    ControlKind kind;
    RecordFormat format;
    const wchar_t* columns;
    const wchar_t* rows;
    bool shift, graph;
    bool inProcess;  // read inside the target, or by messages for a reason
  };
  const Case cases[] = {
      {"report, every column", L"report", ControlKind::ListView, RecordFormat::Csv, nullptr, nullptr, false, false, true},
      {"report, pseudo columns", L"report", ControlKind::ListView, RecordFormat::Space, L"# 0 i l s 3", nullptr, false,
       false, true},
      {"report, rows backwards and past the end", L"report", ControlKind::ListView, RecordFormat::Tsv, L"1 0 9",
       L"5,2-0", false, false, true},
      {"owner-data pointing at its own texts", L"ownerdata", ControlKind::ListView, RecordFormat::Json, nullptr,
       nullptr, false, false, true},
      {"pszText at unreadable and missing memory", L"ownlistview", ControlKind::ListView, RecordFormat::Csv, nullptr,
       nullptr, false, false, true},
      {"icon mode", L"icon", ControlKind::ListView, RecordFormat::Markdown, nullptr, nullptr, false, false, true},
      {"tree, plain", L"tree", ControlKind::TreeView, RecordFormat::Tsv, nullptr, nullptr, false, false, true},
      {"tree, shift and graph", L"tree", ControlKind::TreeView, RecordFormat::Html, nullptr, nullptr, true, true, true},
      {"list box", L"listbox", ControlKind::ListBox, RecordFormat::Csv, nullptr, nullptr, false, false, true},
      {"combo box", L"combobox", ControlKind::ComboBox, RecordFormat::CArray, nullptr, nullptr, false, false, true},
      {"owner-drawn list box without strings", L"ownerlistbox", ControlKind::ListBox, RecordFormat::Csv, nullptr,
       nullptr, false, false, false},
  };
  for (const Case& c : cases) {
    OutputJob job = JobFor(fixture_->Handle(c.control), c.kind, c.format);
    if (c.columns) job.columnSelection = c.columns;
    if (c.rows) job.rowSelection = c.rows;
    job.treeLevelShift = c.shift;
    job.treeGraph = c.graph;
    InProcessControlReader messages(ReadMode::Messages);
    InProcessControlReader inside(ReadMode::Auto);
    const std::wstring expected = Export(job, messages);
    EXPECT_FALSE(expected.empty()) << c.situation;
    EXPECT_EQ(Export(job, inside), expected) << c.situation;
    EXPECT_EQ(inside.InProcessReads() > 0, c.inProcess) << c.situation;
    EXPECT_EQ(messages.InProcessReads(), 0u) << c.situation;
  }
  EXPECT_EQ(InProcessHooksSet(), 0);
}

TEST(InProcessOwnWindow, TheToolsOwnListViewIsReadByMessages) {
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&icc);
  HWND top = CreateWindowW(L"STATIC", L"own", WS_OVERLAPPEDWINDOW, 0, 0, 200, 200, nullptr, nullptr, nullptr, nullptr);
  HWND list = CreateWindowW(WC_LISTVIEWW, L"", WS_CHILD | LVS_REPORT, 0, 0, 150, 150, top, nullptr, nullptr, nullptr);
  LVCOLUMNW column{};
  column.mask = LVCF_TEXT;
  column.pszText = const_cast<wchar_t*>(L"Own");
  SendMessageW(list, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
  LVITEMW item{};
  item.mask = LVIF_TEXT;
  item.pszText = const_cast<wchar_t*>(L"mine");
  SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));

  InProcessControlReader inside(ReadMode::Auto);
  EXPECT_EQ(Export(JobFor(list, ControlKind::ListView, RecordFormat::Csv), inside), L"\"Own\"\r\n\"mine\"\r\n");
  EXPECT_EQ(inside.InProcessReads(), 0u);
  EXPECT_EQ(inside.Failure(), nullptr) << "auto falls back silently";

  InProcessControlReader only(ReadMode::InProcess);
  Export(JobFor(list, ControlKind::ListView, RecordFormat::Csv), only);
  ASSERT_NE(only.Failure(), nullptr) << "in-process only says why instead";
  EXPECT_EQ(std::wstring(only.Failure()->en), L"the window belongs to Tabulift itself.");
  const BiText* why = nullptr;
  EXPECT_FALSE(InProcessControlReader::Probe(FromHwnd(list), &why));
  EXPECT_EQ(why, only.Failure());
  DestroyWindow(top);
}

// A big list view read inside the target that dies or hangs after 100 rows:
// the run ends soon, by messages from there on, and no hook stays set.
TEST(InProcessTarget, ATargetThatEndsOrHangsDuringTheReadEndsTheRunSoon) {
  for (bool hang : {false, true}) {
    test::FixtureProcess fixture;
    ASSERT_TRUE(fixture.Start(L"--big-listview 50000x4"));
    RecordingHost host;
    DWORD stoppedAt = 0;
    host.onRow = [&](int row) {
      if (row != 100) return;
      if (hang) {
        // The fixture's only thread stops answering for good.
        PostMessageW(fixture.Handle(L"control"), WM_APP, 0, 0);
      } else {
        fixture.Kill();
      }
      stoppedAt = GetTickCount();
    };
    InProcessControlReader inside(ReadMode::Auto);
    Export(JobFor(fixture.Handle(L"big"), ControlKind::ListView, RecordFormat::Csv), inside, &host);
    const DWORD spent = GetTickCount() - stoppedAt;
    EXPECT_GE(inside.InProcessReads(), 100u) << (hang ? "hang" : "kill");
    EXPECT_LT(spent, 8000u) << (hang ? "hang" : "kill") << ": the run ended " << spent << " ms after";
    EXPECT_EQ(InProcessHooksSet(), 0) << (hang ? "hang" : "kill");
    fixture.Kill();
  }
}

// A 32-bit target of the 64-bit tool goes through tblfhookhelper32.exe and
// tblfhook32.dll beside the program (copied there from build/win32/bin).
TEST(InProcess32BitTarget, TheHelperReadsTheSameBytes) {
  if (sizeof(void*) == 4) GTEST_SKIP() << "a 32-bit build only meets 32-bit targets";
  const wchar_t* const kFixture32 = L"..\\..\\win32\\bin\\tblf_fixture.exe";
  for (const wchar_t* file : {L"tblfhookhelper32.exe", L"tblfhook32.dll"}) {
    if (GetFileAttributesW((test::ExecutableFolder() + file).c_str()) == INVALID_FILE_ATTRIBUTES)
      GTEST_SKIP() << "the 32-bit hook files are not beside the test (copy them from build/win32/bin)";
  }
  test::FixtureProcess fixture;
  if (!fixture.Start(L"", kFixture32)) GTEST_SKIP() << "the i686 fixture cannot run here (32-bit Wine missing?)";
  for (const auto& [name, kind] : {std::pair{L"report", ControlKind::ListView}, {L"tree", ControlKind::TreeView}}) {
    OutputJob job = JobFor(fixture.Handle(name), kind, RecordFormat::Tsv);
    if (kind == ControlKind::ListView) job.columnSelection = L"# 0 i l s";
    job.treeGraph = true;
    InProcessControlReader messages(ReadMode::Messages);
    InProcessControlReader inside(ReadMode::InProcess);
    EXPECT_EQ(Export(job, inside), Export(job, messages));
    EXPECT_GT(inside.InProcessReads(), 0u);
  }
  EXPECT_EQ(InProcessHooksSet(), 0);
}

TEST_F(InProcessWine, AHundredRunsLeaveNoHookHandleOrMemoryBehind) {
  const OutputJob job = JobFor(fixture_->Handle(L"report"), ControlKind::ListView, RecordFormat::Csv);
  InProcessControlReader inside(ReadMode::Auto);
  const std::wstring first = Export(job, inside);  // the DLL is loaded once
  const int handlesBefore = OpenHandles(fixture_->Process());
  const SIZE_T committedBefore = fixture_->CommittedBytes();
  for (int i = 0; i < 100; ++i) ASSERT_EQ(Export(job, inside), first) << "run " << i;
  const int handlesAfter = OpenHandles(fixture_->Process());
  EXPECT_EQ(inside.InProcessReads(), 101u * 3);
  EXPECT_EQ(InProcessHooksSet(), 0);
  EXPECT_EQ(handlesAfter, handlesBefore) << "the copies of the block and events are closed";

  EXPECT_LE(fixture_->CommittedBytes(), committedBefore + 64 * 1024) << "no block stays mapped";
}

}  // namespace
}  // namespace tblf
