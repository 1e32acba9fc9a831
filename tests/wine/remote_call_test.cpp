// The pieces of the remote call: owners that give back what they took, and
// the piecewise read of a text the control points at.
#include "remote/remote_call_win.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "remote/control_reader_win.h"
#include "remote/timed_send_win.h"
#include "tests/support/fixture_win.h"

namespace tblf {
namespace {

std::uint64_t Address(const void* p) { return reinterpret_cast<std::uintptr_t>(p); }

// Two pages: the first read-write, the second not readable.
class EdgePages : public ::testing::Test {
 protected:
  void SetUp() override {
    SYSTEM_INFO si;
    GetSystemInfo(&si);
    page_ = si.dwPageSize;
    base_ = static_cast<char*>(VirtualAlloc(nullptr, page_ * 2, MEM_RESERVE, PAGE_NOACCESS));
    ASSERT_NE(base_, nullptr);
    ASSERT_NE(VirtualAlloc(base_, page_, MEM_COMMIT, PAGE_READWRITE), nullptr);
  }
  void TearDown() override { VirtualFree(base_, 0, MEM_RELEASE); }
  char* EndOfReadable() const { return base_ + page_; }

  size_t page_ = 0;
  char* base_ = nullptr;
};

// Wine's ReadProcessMemory ignores page protection (it reads reserved and
// PAGE_NOACCESS pages as their contents, zeros here); the piecewise read of
// genuinely unreadable memory is checked natively with a fake target. What
// holds here and on Windows alike:
TEST_F(EdgePages, TextEndingAtAZeroFilledNoAccessPage) {
  wchar_t* text = reinterpret_cast<wchar_t*>(EndOfReadable()) - 4;
  std::memcpy(text, L"wxyz", 8);  // no terminating zero before the page ends
  EXPECT_EQ(ReadRemoteText(GetCurrentProcess(), Address(text), 2047), L"wxyz");
}

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
  // Committed private memory of the target, by walking its address space
  // (Wine reports no PrivateUsage and no handle counts).
  auto targetCommitted = [&] {
    unsigned long long total = 0;
    MEMORY_BASIC_INFORMATION info;
    const char* at = nullptr;
    while (VirtualQueryEx(fixture.Process(), at, &info, sizeof info) == sizeof info) {
      if (info.State == MEM_COMMIT && info.Type == MEM_PRIVATE) total += info.RegionSize;
      const char* next = static_cast<const char*>(info.BaseAddress) + info.RegionSize;
      if (next <= at) break;
      at = next;
    }
    return total;
  };
  auto readMany = [&] {
    for (int i = 0; i < 100; ++i) {
      reader.GetListViewCellText(i % 4, report, i % 3);
      reader.GetListViewCellText(kColumnState, report, 0);
      reader.GetListViewColumnText(report, 0);
      reader.GetTreeViewItemText(tree, i % 9, nullptr, nullptr);
    }
  };
  readMany();  // settle first-use allocations
  const unsigned long long memoryBefore = targetCommitted();
  readMany();
  readMany();
  // 800 remote calls of up to two 4 KB blocks: a leak would show megabytes.
  EXPECT_LT(targetCommitted(), memoryBefore + 512 * 1024);
  EXPECT_GT(memoryBefore, 0u) << "the walk sees the target's memory";
  std::printf("target committed private bytes %llu -> %llu\n", memoryBefore, targetCommitted());
}

}  // namespace
}  // namespace tblf
