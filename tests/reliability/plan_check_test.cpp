// The plan check used by the sweeps and the fuzz target notices a plan that
// moves what an earlier frame needs, directly or through what it is built from.
#include <gtest/gtest.h>

#include "reliability/reliability_support.hpp"

namespace framestow::test {
namespace {

struct Planned {
  LoadedMovie movie;
  Analysis analysis;
  Plan plan;
};

// Frame 1: a bitmap, a shape filled with it (placed), an exported sprite; frame 2 attaches.
void planFrame2(Planned& p) {
  Timeline inner;
  inner.showFrame().end();
  Timeline main;
  main.setBackgroundColor().defineBitsLossless(1).defineShape(2, {1}).placeObject2(2, 1);
  main.sprite(3, inner).exportAssets({{3, "clip"}}).showFrame();
  Actions a;
  a.pushString("clip").pushString("attachMovie").callMethod();
  main.doAction(a.bytes).showFrame().end();
  ASSERT_EQ(prescanBytes("check.swf", buildMovie(main), p.movie, p.analysis), "");
  scanSelectedFile(p.movie, p.analysis);
  ASSERT_TRUE(p.analysis.analysed);
  updateTargetFrame(p.analysis, p.plan, 2, false, false);
}

TEST(PlanCheck, AcceptsThePlannersPlan) {
  Planned p;
  planFrame2(p);
  EXPECT_EQ(usedBeforeDefinition(p.analysis, p.plan, 2), "");
  EXPECT_TRUE(heldBackBlocks(p.analysis, p.plan, 2)[static_cast<std::size_t>(p.analysis.blockOf(3))]);
}

TEST(PlanCheck, NoticesAPlacedShapeMovedAway) {
  Planned p;
  planFrame2(p);
  p.analysis.byteoutput[static_cast<std::size_t>(p.analysis.blockOf(2))].withThis = p.plan.testCounterFlag;
  EXPECT_NE(usedBeforeDefinition(p.analysis, p.plan, 2).find("character 2"), std::string::npos);
}

TEST(PlanCheck, NoticesTheBitmapOfAPlacedShapeMovedAway) {
  Planned p;
  planFrame2(p);
  p.analysis.byteoutput[static_cast<std::size_t>(p.analysis.blockOf(1))].withThis = p.plan.testCounterFlag;
  EXPECT_NE(usedBeforeDefinition(p.analysis, p.plan, 2).find("character 1"), std::string::npos);
}

}  // namespace
}  // namespace framestow::test
