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

// The movie ends with a DefineSprite whose body is only its id: the frame
// count the sprite's block covers lies past the movie, so the movie is one
// whose tags run past its data and is never written.
TEST(FuzzFindings, SpriteCutOffByTheEndOfTheMovieIsNoticed) {
  Timeline main;
  main.setBackgroundColor().showFrame().tag(39, Bytes().u16(5));
  const ByteVector bytes = buildMovie(main);
  LoadedMovie movie;
  Analysis analysis;
  ASSERT_EQ(prescanBytes("cut.swf", bytes, movie, analysis), "");
  scanSelectedFile(movie, analysis);
  ASSERT_TRUE(analysis.analysed);
  EXPECT_TRUE(analysis.tagsRunPastData);
  const JobOutcome outcome = runWholeJob(bytes, "sprite cut off by the end of the movie");
  EXPECT_EQ(outcome.outputs, 0);
}

// A DefineSprite whose 24-byte body holds no End tag, an exported sprite, an
// ExportAssets tag and the main timeline's ShowFrames. The exported sprite moves
// to frame 3; read again, the saved movie must still have every frame.
TEST(FuzzFindings, SavedMovieKeepsItsFramesAfterASpriteWithoutEndTag) {
  const ByteVector bytes{
      0x46, 0x57, 0x53, 0x06, 0x71, 0x00, 0x00, 0x00, 0x70, 0x00, 0x0f, 0xa0, 0x00, 0x00, 0xbb, 0x80, 0x00, 0x0c, 0x03,
      0x00, 0xd8, 0x09, 0x32, 0x86, 0x01, 0x00, 0x00, 0x06, 0x06, 0x01, 0x00, 0x32, 0x00, 0x00, 0x86, 0x06, 0x06, 0x02,
      0x00, 0x33, 0x00, 0x00, 0x40, 0x02, 0x00, 0x07, 0xd0, 0x09, 0x33, 0x00, 0x01, 0x00, 0x86, 0x06, 0x06, 0x01, 0x07,
      0x32, 0x00, 0x00, 0x40, 0x00, 0x00, 0x00, 0x0a, 0x0e, 0x02, 0x00, 0x32, 0x00, 0x61, 0x00, 0x33, 0x00, 0x62, 0x00,
      0x40, 0x00, 0x40, 0x00, 0x1b, 0x03, 0x96, 0x16, 0x00, 0x06, 0x00, 0x00, 0xf8, 0x3f, 0x00, 0x00, 0x00, 0x00, 0x00,
      0x61, 0x74, 0x74, 0x61, 0x63, 0x68, 0x4d, 0x6f, 0x76, 0x69, 0x65, 0x00, 0x52, 0x00, 0x40, 0x02, 0x00, 0x00};
  LoadedMovie movie;
  Analysis analysis;
  ASSERT_EQ(prescanBytes("sprite.swf", bytes, movie, analysis), "");
  scanSelectedFile(movie, analysis);
  ASSERT_TRUE(analysis.analysed);
  EXPECT_EQ(analysis.mainFrameCount, 2);
  Plan plan;
  for (std::int32_t n = 1; n <= 3; ++n) {
    updateTargetFrame(analysis, plan, n, false, false);
    const auto out = assembleMovie(movie, analysis, plan, n, false);
    ASSERT_TRUE(out.has_value());
    LoadedMovie again;
    Analysis againAnalysis;
    ASSERT_EQ(prescanBytes("again.swf", *out, again, againAnalysis), "");
    scanSelectedFile(again, againAnalysis);
    EXPECT_EQ(againAnalysis.mainFrameCount, analysis.mainFrameCount) << "frame " << n;
  }
}

}  // namespace
}  // namespace framestow::test
