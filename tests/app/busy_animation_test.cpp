// The busy animation's pace: one frame per 50 ms at most, a cycle of twelve,
// and an idle picture that stays put. (A paint outside the cycle shows the
// idle picture: the window's test looks at that.)
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

// Each row starts a fresh animation (its clock last read at 0), sets its first frame and ticks.
const std::tuple<const char*, int, std::vector<Tick>> kPaces[] = {
    {"AdvancesAtMostOncePer50Milliseconds", 0,
     {{1000, true, 1}, {1050, false, 1}, {1051, true, 2}, {1060, false, 2}, {1101, false, 2}, {1102, true, 3}}},
    {"WrapsFrom11To0", 11, {{1051, true, 0}}},
    {"IdleStaysIdleAndIsRedrawnWhateverTheTime", 12, {{1000, true, 12}, {1001, true, 12}}},
    {"CountsElapsedTimeAcrossTheClocksWrap", 0, {{0xFFFFFFF0u, true, 1}, {0x30, true, 2}}},
};

TEST(Animation, StepsAtItsPace) {
  for (const auto& [name, first, ticks] : kPaces) {
    std::uint32_t now = 0;
    BusyAnimation animation{[&now] { return now; }};
    EXPECT_EQ(animation.frame(), BusyAnimation::kIdleFrame) << "starts idle";
    animation.setFrame(first);
    for (const Tick& tick : ticks) {
      now = tick.at;
      EXPECT_EQ(animation.step(), tick.repaint) << name << " at " << tick.at;
      EXPECT_EQ(animation.frame(), tick.frame) << name << " at " << tick.at;
    }
  }
}

}  // namespace
}  // namespace framestow::test::app
