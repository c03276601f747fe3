// The busy animation's pace: one frame per 50 ms at most, a cycle of twelve,
// and an idle picture that stays put.
#include <gtest/gtest.h>

#include "app/busy_animation.hpp"

namespace framestow::test::app {
namespace {

using framestow::app::BusyAnimation;

struct Tick {
  std::uint32_t at;  // clock reading
  bool repaint;      // what step() returns
  int frame;         // the frame after it
};

// Each row starts a fresh animation (its clock last read at 0), sets `first` and ticks.
struct Pace {
  const char* name;
  int first;
  std::vector<Tick> ticks;
};

const Pace kPaces[] = {
    {"AdvancesAtMostOncePer50Milliseconds", 0, {{1000, true, 1}, {1050, false, 1}, {1051, true, 2},
                                                      {1060, false, 2}, {1101, false, 2}, {1102, true, 3}}},
    {"WrapsFrom11To0", 11, {{1051, true, 0}}},
    {"IdleStaysIdleAndIsRedrawnWhateverTheTime", 12, {{1000, true, 12}, {1001, true, 12}}},
    {"CountsElapsedTimeAcrossTheClocksWrap", 0, {{0xFFFFFFF0u, true, 1}, {0x30, true, 2}}},
};

TEST(Animation, StepsAtItsPace) {
  for (const Pace& pace : kPaces) {
    std::uint32_t now = 0;
    BusyAnimation animation{[&now] { return now; }};
    EXPECT_EQ(animation.frame(), BusyAnimation::kIdleFrame) << "starts idle";
    animation.setFrame(pace.first);
    for (const Tick& tick : pace.ticks) {
      now = tick.at;
      EXPECT_EQ(animation.step(), tick.repaint) << pace.name << " at " << tick.at;
      EXPECT_EQ(animation.frame(), tick.frame) << pace.name << " at " << tick.at;
    }
  }
}

TEST(Animation, PaintingOutsideTheCycleShowsAndKeepsTheIdlePicture) {
  BusyAnimation animation{[] { return 0u; }};
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
