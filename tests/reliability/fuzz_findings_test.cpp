// Inputs the fuzz targets found worth keeping, each run through the whole job
// in memory (load, analyse, plan, assemble with removal on and off).
#include <gtest/gtest.h>

#include "reliability/reliability_support.hpp"

namespace framestow::test {
namespace {

// The frame size, rate and count run past a declared length of 18 bytes: the
// movie loads and analyses (no tag fits), and cannot be written, since its
// header alone is longer than the movie it declares.
TEST(FuzzFindings, HeaderLongerThanTheDeclaredMovieIsNeverWritten) {
  const ByteVector bytes{0x46, 0x57, 0x53, 0x69, 0x12, 0x00, 0x00, 0x00, 0x78, 0x00,
                         0x53, 0x6f, 0x75, 0x6e, 0x64, 0x00, 0x40, 0x00, 0x80, 0x00};
  LoadedMovie movie;
  Analysis analysis;
  ASSERT_EQ(prescanBytes("header.swf", bytes, movie, analysis), "");
  scanSelectedFile(movie, analysis);
  ASSERT_TRUE(analysis.analysed);
  Plan plan;
  updateTargetFrame(analysis, plan, 1, false, false);
  EXPECT_FALSE(assembleMovie(movie, analysis, plan, 1, false).has_value());
  const JobOutcome outcome = runWholeJob(bytes, "header longer than the movie");
  EXPECT_EQ(outcome.outputs, 0);
}

}  // namespace
}  // namespace framestow::test
