// The pieces of the remote call: owners that give back what they took. The
// piecewise read of a text the control points at is the native fake target's
// test (remote_text_test.cpp) and, in another process, the own text pointer
// test's (a text that runs up to an unreadable page).
#include "remote/remote_call_win.h"

#include <gtest/gtest.h>

#include <string>

#include "remote/control_reader_win.h"
#include "remote/timed_send_win.h"
#include "tests/support/fixture_win.h"

namespace tblf {
namespace {

TEST(RemoteBlock, AFailedAllocationLeavesAnEmptyBlock) {
  test::FixtureProcess fixture;
  ASSERT_TRUE(fixture.Start());
  // Without PROCESS_VM_OPERATION nothing can be allocated in the target.
  ProcessHandle readOnly(OpenProcess(PROCESS_VM_READ | PROCESS_QUERY_INFORMATION, FALSE, fixture.ProcessId()));
  ASSERT_TRUE(readOnly);
  RemoteBlock block(readOnly, 4096);
  EXPECT_FALSE(block);
  EXPECT_EQ(block.address(), 0u);
  EXPECT_FALSE(block.Write(std::vector<unsigned char>(8, 1)));
  std::vector<unsigned char> bytes(3, 7);
  EXPECT_FALSE(block.Read(&bytes));
  EXPECT_TRUE(bytes.empty());

  ProcessHandle full(OpenWindowProcess(fixture.Handle(L"report")));
  ASSERT_TRUE(full);
  RemoteBlock good(full, 64);
  ASSERT_TRUE(good);
  EXPECT_FALSE(good.Write(std::vector<unsigned char>(65, 1))) << "never past the block";
  ASSERT_TRUE(good.Read(&bytes));
  EXPECT_EQ(bytes, std::vector<unsigned char>(64, 0)) << "a fresh block is zero-filled";
  EXPECT_FALSE(RemoteBlock(full, 0));
}

TEST(RemoteCall, NothingIsLeftBehindInEitherProcess) {
  test::FixtureProcess fixture;
  ASSERT_TRUE(fixture.Start());
  const WindowId report = FromHwnd(fixture.Handle(L"report"));
  const WindowId tree = FromHwnd(fixture.Handle(L"tree"));
  Win32ControlReader reader;
  auto readMany = [&] {
    for (int i = 0; i < 100; ++i) {
      reader.GetListViewCellText(i % 4, report, i % 3);
      reader.GetListViewCellText(kColumnState, report, 0);
      reader.GetListViewColumnText(report, 0);
      reader.GetTreeViewItemText(tree, i % 9, nullptr, nullptr);
    }
  };
  readMany();  // settle first-use allocations
  const SIZE_T memoryBefore = fixture.CommittedBytes();
  readMany();
  readMany();
  // 800 remote calls of up to two 4 KB blocks: a leak would show megabytes.
  EXPECT_LT(fixture.CommittedBytes(), memoryBefore + 512 * 1024);
  EXPECT_GT(memoryBefore, 0u) << "the walk sees the target's memory";
  std::printf("target committed private bytes %llu -> %llu\n", static_cast<unsigned long long>(memoryBefore),
              static_cast<unsigned long long>(fixture.CommittedBytes()));
}

}  // namespace
}  // namespace tblf
