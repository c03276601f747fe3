// The four analysis lines and the removal caption that Analyze shows, one test
// per kind of movie, and what an analysis that fails leaves behind.
#include <gtest/gtest.h>

#include <array>

#include "control_states.hpp"
#include "fake_window.hpp"
#include "test_movies.hpp"

namespace framestow::test::app {
namespace {

using Lines = std::array<std::string, 4>;

class AnalysisLines : public ::testing::Test {
 protected:
  Lines analyse(const MovieShape& shape) {
    d.window.browseTo(writeTestMovie(folder, "movie.swf", shape));
    d.window.click(IDSCAN);
    return {d.window.texts[ANALYSISTEXT1], d.window.texts[ANALYSISTEXT2], d.window.texts[ANALYSISTEXT3],
            d.window.texts[ANALYSISTEXT4]};
  }

  std::string folder = folderForThisTest();
  FakeDialog d;
};

const std::string kNoRedundant = "No redundant export codes found.";
const std::string kWarning1 = "WARNING - Attach codes not located! These could be";
const std::string kWarning2 = "from a parent or submovie, or within obfuscated code.";

TEST_F(AnalysisLines, AttachCodesFound) {
  EXPECT_EQ(analyse({}), (Lines{"Number of linked assets found: 1", "Attach codes were found in frame 2",
                                kNoRedundant, ""}));
}

TEST_F(AnalysisLines, NoLinkedAssets) {
  MovieShape shape;
  shape.exported = false;
  EXPECT_EQ(analyse(shape), (Lines{"This movie does not contain linked assets.", " ", " ", ""}));
}

TEST_F(AnalysisLines, OneFrameMovesTheRedundantLineDown) {
  MovieShape shape;
  shape.frames = 1;
  shape.attachFrame = 0;
  EXPECT_EQ(analyse(shape), (Lines{"Number of linked assets found: 1", "There is only one frame in the main timeline.",
                                   "Assets cannot be moved.", kNoRedundant}));
}

TEST_F(AnalysisLines, MissingAttachCodesWarnAndMoveTheRedundantLineDown) {
  MovieShape shape;
  shape.attachFrame = 0;
  EXPECT_EQ(analyse(shape), (Lines{"Number of linked assets found: 1", kWarning1, kWarning2, kNoRedundant}));
}

TEST_F(AnalysisLines, ObfuscatedCodeWarnsAndHidesTheRedundantLine) {
  MovieShape shape;
  shape.obfuscated = true;
  shape.redundantBytes = 10;
  EXPECT_EQ(analyse(shape), (Lines{"Number of linked assets found: 1", kWarning1, kWarning2, ""}));
}

TEST_F(AnalysisLines, RedundantBytesUpTo1024AreCountedInBytes) {
  MovieShape shape;
  shape.redundantBytes = 1024;
  EXPECT_EQ(analyse(shape)[2], "Redundant export codes found: 1024 Bytes");
  EXPECT_EQ(d.window.texts[IDOPTIMISE], "Remove 1024 Redundant Bytes");
}

TEST_F(AnalysisLines, RedundantBytesAbove1024AreCountedInKilobytes) {
  MovieShape shape;
  shape.redundantBytes = 1025;
  EXPECT_EQ(analyse(shape)[2], "Redundant export codes found: 1.00 kBytes");
  EXPECT_EQ(d.window.texts[IDOPTIMISE], "Remove 1.00 Redundant kBytes");
}

TEST_F(AnalysisLines, AnalysisRunsTheAnimationAndReturnsItToIdle) {
  analyse({});
  EXPECT_GT(d.window.repaints, 0) << "every tag and action record forces a repaint";
  EXPECT_GT(d.window.invalidations, 0) << "the idle picture is asked back";
  EXPECT_EQ(d.controller.animation().frame(), BusyAnimation::kIdleFrame);
}

TEST_F(AnalysisLines, UnreadableShapeShowsTheErrorAndAllowsNothing) {
  MovieShape shape;
  shape.badFill = true;
  const Lines lines = analyse(shape);
  EXPECT_EQ(lines[0].rfind("Unknown fill type: 19", 0), 0u) << lines[0];
  EXPECT_EQ(lines[1], "");
  EXPECT_EQ(lines[2], "");
  EXPECT_EQ(lines[3], "");
  EXPECT_EQ(controlStates(d.window), "scan=off target=off optimise=off,unticked backup=off,ticked save=off");
  EXPECT_EQ(d.window.texts[COMMENTTEXT1], "");
  EXPECT_EQ(d.controller.animation().frame(), BusyAnimation::kIdleFrame);
}

TEST_F(AnalysisLines, ANewLoadClearsAFailedAnalysis) {
  MovieShape bad;
  bad.badFill = true;
  analyse(bad);
  analyse({});
  EXPECT_EQ(d.window.texts[ANALYSISTEXT1], "Number of linked assets found: 1");
  EXPECT_TRUE(d.window.enabled[F_TARGET_FLD]);
}

}  // namespace
}  // namespace framestow::test::app
