#include "shell/startup.h"
#include "output/sample_placement.h"

#include <gtest/gtest.h>

namespace tblf {
namespace {

TEST(StartOption, OnlyASlashCountsAndOnlyTheThreeKnownForms) {
  const struct {
    const wchar_t* arguments;
    StartOption option;
  } cases[] = {
      {L"", StartOption::None},        {L"list.csv", StartOption::None}, {L"/o", StartOption::IniMode},
      {L"/O", StartOption::IniMode},   {L"/?", StartOption::Help},       {L"/x", StartOption::Unknown},
      {L"/o /?", StartOption::Unknown}, {L"/", StartOption::Unknown},
  };
  for (const auto& c : cases) EXPECT_EQ(ClassifyStartOption(c.arguments), c.option) << c.arguments;
}

TEST(FramePlacement, StoredValuesUnlessTheCornerIsOnNoMonitor) {
  const FramePlacement stored = DecideFramePlacement(true, 0, 100, 50, 800, 400, true);
  EXPECT_EQ(stored.x, 100);
  EXPECT_EQ(stored.height, 400);
  const FramePlacement gone = DecideFramePlacement(true, 1, 5000, 50, 800, 400, false);
  EXPECT_EQ(gone.x, kUseDefault);
  EXPECT_EQ(gone.width, kUseDefault);
  EXPECT_EQ(gone.y, 0);
  EXPECT_TRUE(gone.maximized) << "the show command survives the fallback";
  const FramePlacement ignored = DecideFramePlacement(false, 1, 100, 50, 800, 400, true);
  EXPECT_EQ(ignored.x, kUseDefault);
  EXPECT_FALSE(ignored.maximized);
}

TEST(SampleDefaultRect, BesideTheFrameOrTheLastHundredPixels) {
  const ScreenRect beside = SampleDefaultRect({100, 20, 700, 320}, 1280);
  EXPECT_EQ(beside.left, 700);
  EXPECT_EQ(beside.right, 1280);
  EXPECT_EQ(beside.top, 20);
  EXPECT_EQ(beside.bottom, 320);
  const ScreenRect edge = SampleDefaultRect({600, 20, 1200, 320}, 1280);
  EXPECT_EQ(edge.left, 1180);
  EXPECT_EQ(edge.right, 1280);
}

}  // namespace
}  // namespace tblf
