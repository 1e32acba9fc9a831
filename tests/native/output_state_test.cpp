#include "output/output_state.h"

#include <gtest/gtest.h>

#include <thread>

namespace tblf {
namespace {

class OutputStateTest : public ::testing::Test {
 protected:
  void SetUp() override { SetOutputState(OutputState::Idle); }
  void TearDown() override { SetOutputState(OutputState::Idle); }
};

TEST_F(OutputStateTest, IdleIsClaimedForASampleOrAnOutput) {
  EXPECT_TRUE(ClaimOutputState(true, nullptr));
  EXPECT_EQ(CurrentOutputState(), OutputState::SampleRunning);
  ReleaseOutputState();
  EXPECT_TRUE(ClaimOutputState(false, nullptr));
  EXPECT_EQ(CurrentOutputState(), OutputState::OutputRunning);
  ReleaseOutputState();
  EXPECT_EQ(CurrentOutputState(), OutputState::Idle);
}

TEST_F(OutputStateTest, RequestsDuringAnOutputOrAPendingCancelAreDropped) {
  for (OutputState busy : {OutputState::OutputRunning, OutputState::SampleCancelRequested}) {
    for (bool sample : {true, false}) {
      SetOutputState(busy);
      int steps = 0;
      EXPECT_FALSE(ClaimOutputState(sample, [&] { ++steps; }));
      EXPECT_EQ(CurrentOutputState(), busy);
      EXPECT_EQ(steps, 0);
    }
  }
}

TEST_F(OutputStateTest, RunningSampleIsCancelledAndWaitedFor) {
  SetOutputState(OutputState::SampleRunning);
  int steps = 0;
  // The wait step plays the sample run: on its third step it sees the
  // cancel request and releases the state.
  EXPECT_TRUE(ClaimOutputState(false, [&] {
    EXPECT_EQ(CurrentOutputState(), OutputState::SampleCancelRequested);
    if (++steps == 3) ReleaseOutputState();
  }));
  EXPECT_EQ(steps, 3);
  EXPECT_EQ(CurrentOutputState(), OutputState::OutputRunning);
}

TEST_F(OutputStateTest, SampleThreadStopsOnCancelAndTheNewRequestFollows) {
  ASSERT_TRUE(ClaimOutputState(true, nullptr));
  std::atomic<int> rowsAfterCancel{0};
  std::atomic<bool> sawCancel{false};
  std::thread sample([&] {
    // A reading loop that checks the state after every row.
    for (int row = 0; row < 100000000; ++row) {
      if (CurrentOutputState() == OutputState::SampleCancelRequested) {
        sawCancel = true;
        break;
      }
      std::this_thread::yield();
    }
    ++rowsAfterCancel;
    ReleaseOutputState();
  });
  EXPECT_TRUE(ClaimOutputState(true, [] { std::this_thread::yield(); }));
  sample.join();
  EXPECT_TRUE(sawCancel);
  EXPECT_EQ(rowsAfterCancel, 1);
  EXPECT_EQ(CurrentOutputState(), OutputState::SampleRunning);
}

}  // namespace
}  // namespace tblf
