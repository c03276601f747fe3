// The three lines and the Save state an author sees for a target frame.
#include <gtest/gtest.h>

#include "support/movie_files.hpp"

namespace framestow {
namespace {

using test::Actions;
using test::buildMovie;
using test::Timeline;

// A DefineBitsLossless tag of exactly `total` bytes (long header: 6 bytes,
// then id, format, width and height: 7 bytes).
Timeline bitmapOfSize(std::uint16_t id, std::size_t total) { return std::move(Timeline().defineBitsLossless(id, total - 13)); }

// An exported bitmap of `bytes` bytes in frame 1, `frames` frames, and an
// attachMovie call in frame `attachFrame` (0: none).
test::ByteVector movie(std::size_t bytes, int frames, int attachFrame) {
  Timeline main;
  main.setBackgroundColor().raw(bitmapOfSize(1, bytes).bytes()).exportAssets({{1, "art"}});
  for (int f = 1; f <= frames; ++f) {
    if (f == attachFrame) main.doAction(Actions().pushString("attachMovie").bytes);
    main.showFrame();
  }
  main.end();
  return buildMovie(main);
}

Verdict planned(const test::ByteVector& bytes, std::int32_t n, bool optimiseTicked = false) {
  Document doc;
  test::loadMovie(doc, bytes);
  EXPECT_TRUE(doc.analysed());
  return doc.plan(n, optimiseTicked);
}

TEST(Verdict, SizeTextsAroundOneKilobyte) {
  ASSERT_EQ(test::sizeOf(bitmapOfSize(1, 1024)), 1024u);
  EXPECT_EQ(planned(movie(1024, 3, 2), 2).commentText1, "1024 bytes");
  EXPECT_EQ(planned(movie(1025, 3, 2), 2).commentText1, "1.00 kBytes");
  EXPECT_EQ(planned(movie(1536, 3, 2), 2).commentText1, "1.50 kBytes");
  EXPECT_EQ(planned(movie(100, 3, 2), 2).commentText1, "100 bytes");
}

TEST(Verdict, AttachCodeInTheTargetFrameIsOk) {
  const Verdict v = planned(movie(100, 4, 3), 3);
  EXPECT_EQ(v.commentText1, "100 bytes");
  EXPECT_EQ(v.commentText2, "OK to move to frame 3.");
  EXPECT_EQ(v.commentText3, "");
  EXPECT_EQ(v.saveControls, SaveControls::Enable);
}

TEST(Verdict, AttachCodeBeforeTheTargetFrameWarns) {
  const Verdict v = planned(movie(100, 4, 3), 4);
  EXPECT_EQ(v.commentText1, "100 bytes - WARNING!");
  EXPECT_EQ(v.commentText2, "Some assets may be unavailable");
  EXPECT_EQ(v.commentText3, "if moved to the selected frame.");
  EXPECT_EQ(v.saveControls, SaveControls::Enable);

  EXPECT_EQ(planned(movie(2048, 4, 3), 4).commentText1, "2.00 kBytes - WARNING!");
  EXPECT_EQ(planned(movie(1024, 4, 3), 4).commentText1, "1024 bytes - WARNING!");
}

TEST(Verdict, WithoutAttachCodesEveryTargetWarnsThatNoneWereFound) {
  for (std::int32_t n : {2, 3, 4}) {
    const Verdict v = planned(movie(100, 4, 0), n);
    EXPECT_EQ(v.commentText1, "100 bytes");
    EXPECT_EQ(v.commentText2, "Move to frame " + std::to_string(n) + ".");
    EXPECT_EQ(v.commentText3, "Warning! - Attach codes not located!");
    EXPECT_EQ(v.saveControls, SaveControls::Enable);
  }
}

TEST(Verdict, TargetFrameOneShowsNothingAndSaveOnlyWhenRemovalIsTicked) {
  const Verdict plain = planned(movie(100, 3, 2), 1);
  EXPECT_EQ(plain.commentText1, "");
  EXPECT_EQ(plain.commentText2, "");
  EXPECT_EQ(plain.commentText3, "");
  EXPECT_EQ(plain.saveControls, SaveControls::Disable);

  const Verdict removal = planned(movie(100, 3, 2), 1, true);
  EXPECT_EQ(removal.commentText1, "");
  EXPECT_EQ(removal.saveControls, SaveControls::Unchanged);
}

TEST(Verdict, AttachCodeInFrameOneWarnsForEveryLaterTarget) {
  const Verdict v = planned(movie(100, 3, 1), 2);
  EXPECT_EQ(v.commentText2, "Some assets may be unavailable");
  // n = 1 is not later than the attach code.
  EXPECT_EQ(planned(movie(100, 3, 1), 1).commentText2, "");
}

TEST(Verdict, MovieWithoutLinkedAssetsCountsNothing) {
  Timeline main;
  main.setBackgroundColor().defineShape(1).placeObject2(1, 1).showFrame().showFrame().end();
  Document doc = test::analysedMovie(buildMovie(main));
  ASSERT_TRUE(doc.analysed());
  EXPECT_TRUE(doc.report().noModFlag);
  EXPECT_EQ(doc.plan(2).movableBytes, 0);
}

TEST(Verdict, MovieThatDidNotAnalyseCannotBeSaved) {
  Document doc;
  test::loadMovie(doc, {'n', 'o', 't', ' ', 'a', ' ', 'm', 'o', 'v', 'i', 'e'});
  ASSERT_FALSE(doc.analysed());
  const Verdict v = doc.plan(2);
  EXPECT_EQ(v.movableBytes, 0);
  EXPECT_EQ(v.saveControls, SaveControls::Disable);
}

}  // namespace
}  // namespace framestow
