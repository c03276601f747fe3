// The busy animation's pace: one frame per 50 ms at most, a cycle of twelve,
// and an idle picture that stays put.
#include <gtest/gtest.h>

#include "app/busy_animation.hpp"

namespace framestow::test::app {
namespace {

using framestow::app::BusyAnimation;

class Animation : public ::testing::Test {
 protected:
  std::uint32_t now = 1000;
  BusyAnimation animation{[this] { return now; }};
};

TEST_F(Animation, StartsIdle) { EXPECT_EQ(animation.frame(), BusyAnimation::kIdleFrame); }

TEST_F(Animation, AdvancesAtMostOncePer50Milliseconds) {
  animation.setFrame(0);
  EXPECT_TRUE(animation.step());  // the first step after a long pause
  EXPECT_EQ(animation.frame(), 1);
  now += 50;
  EXPECT_FALSE(animation.step());
  EXPECT_EQ(animation.frame(), 1);
  now += 1;
  EXPECT_TRUE(animation.step());
  EXPECT_EQ(animation.frame(), 2);
  // Many ticks within the same 50 ms change nothing.
  for (int i = 0; i < 1000; ++i) {
    EXPECT_FALSE(animation.step());
  }
  EXPECT_EQ(animation.frame(), 2);
}

TEST_F(Animation, WrapsFrom11To0) {
  animation.setFrame(11);
  now += 51;
  EXPECT_TRUE(animation.step());
  EXPECT_EQ(animation.frame(), 0);
}

TEST_F(Animation, IdleStaysIdleAndAsksForARepaintWhateverTheTime) {
  animation.setFrame(0);
  animation.step();
  animation.setFrame(BusyAnimation::kIdleFrame);
  EXPECT_TRUE(animation.step()) << "no 50 ms have passed, yet the idle picture is redrawn";
  EXPECT_EQ(animation.frame(), BusyAnimation::kIdleFrame);
}

TEST_F(Animation, ClockWrapAroundStillCountsElapsedTime) {
  now = 0xFFFFFFF0u;
  animation.setFrame(0);
  animation.step();
  now = 0x30;  // 64 ms later, past the wrap of the counter
  EXPECT_TRUE(animation.step());
  EXPECT_EQ(animation.frame(), 2);
}

TEST_F(Animation, PaintingOutsideTheCycleShowsAndKeepsTheIdlePicture) {
  for (int odd : {-1, 12, 13, 40}) {
    animation.setFrame(odd);
    EXPECT_EQ(animation.frameToPaint(), BusyAnimation::kIdleFrame) << odd;
    EXPECT_EQ(animation.frame(), BusyAnimation::kIdleFrame) << odd;
  }
  animation.setFrame(7);
  EXPECT_EQ(animation.frameToPaint(), 7);
}

}  // namespace
}  // namespace framestow::test::app
