// Which definitions may leave frames 1 .. n-1, and how many bytes they make.
//
// Every movie here is written tag by tag; the expected counts are the sizes
// of the tags as written, so they follow from the SWF format alone.
#include <gtest/gtest.h>

#include "common/tag_codes.hpp"
#include "support/movie_files.hpp"

namespace framestow {
namespace {

using test::Actions;
using test::buildMovie;
using test::sizeOf;
using test::Timeline;

// The block that defines `id` (for a sprite: its DefineSprite block).
std::size_t blockOf(const Document& doc, std::uint32_t id) { return static_cast<std::size_t>(doc.analysis().blockOf(id)); }

bool marked(const Document& doc, std::size_t block) { return blockMoves(doc.analysis(), doc.planState(), block); }

// Index of the first block with tag code `code`.
std::size_t firstBlock(const Document& doc, std::uint32_t code) {
  const auto& blocks = doc.analysis().byteoutput;
  for (std::size_t i = 3; i < blocks.size(); ++i) {
    if (blocks[i].thisBlockType == code) return i;
  }
  return 0;
}

TEST(MovableBytes, TargetFrameOneCountsMarkedBlocksBeforeTheFirstShowFrame) {
  Timeline main;
  main.setBackgroundColor().defineShape(1).exportAssets({{1, "box"}}).showFrame().showFrame().end();
  Document doc = test::analysedMovie(buildMovie(main));
  ASSERT_TRUE(doc.analysed());

  const Verdict v = doc.plan(1);
  EXPECT_EQ(v.movableBytes, static_cast<std::int64_t>(sizeOf(Timeline().defineShape(1))));
  EXPECT_TRUE(marked(doc, blockOf(doc, 1)));
}

TEST(MovableBytes, ExportedShapePlacedInFrameTwoMovesToFrameTwoButNotThree) {
  Timeline main;
  main.setBackgroundColor().defineShape(1).exportAssets({{1, "box"}}).showFrame();
  main.placeObject2(1, 1).showFrame();
  main.showFrame().end();
  Document doc = test::analysedMovie(buildMovie(main));
  ASSERT_TRUE(doc.analysed());

  // Frame 2 places the shape itself: it is not used before frame 2.
  EXPECT_EQ(doc.plan(2).movableBytes, static_cast<std::int64_t>(sizeOf(Timeline().defineShape(1))));
  EXPECT_TRUE(marked(doc, blockOf(doc, 1)));

  // Frame 2 lies before frame 3: the shape must stay.
  EXPECT_EQ(doc.plan(3).movableBytes, 0);
  EXPECT_FALSE(marked(doc, blockOf(doc, 1)));
}

TEST(MovableBytes, BitmapSharedWithAShapeShownEarlyStaysWhileTheExportedShapeMoves) {
  Timeline main;
  main.setBackgroundColor()
      .defineBitsLossless(1, 40)
      .defineShape(2, {1})  // exported, fills with the bitmap
      .defineShape(3, {1})  // placed in frame 1, fills with the same bitmap
      .exportAssets({{2, "tiles"}})
      .placeObject2(3, 1)
      .showFrame()
      .showFrame()
      .end();
  Document doc = test::analysedMovie(buildMovie(main));
  ASSERT_TRUE(doc.analysed());

  const Verdict v = doc.plan(2);
  EXPECT_EQ(v.movableBytes, static_cast<std::int64_t>(sizeOf(Timeline().defineShape(2, {1}))));
  EXPECT_TRUE(marked(doc, blockOf(doc, 2)));
  EXPECT_FALSE(marked(doc, blockOf(doc, 1)));
  EXPECT_FALSE(marked(doc, blockOf(doc, 3)));
}

TEST(MovableBytes, BitmapOfAnExportedShapeMovesWithIt) {
  Timeline main;
  main.setBackgroundColor().defineBitsLossless(1, 40).defineShape(2, {1}).exportAssets({{2, "tiles"}});
  main.showFrame().showFrame().end();
  Document doc = test::analysedMovie(buildMovie(main));
  ASSERT_TRUE(doc.analysed());

  EXPECT_EQ(doc.plan(2).movableBytes,
            static_cast<std::int64_t>(sizeOf(Timeline().defineBitsLossless(1, 40).defineShape(2, {1}))));
}

// Frame 1: shape 11, sprite 10 placing it, the sprite's init actions, the export.
Timeline exportedSpriteFrameOne() {
  Timeline inner;
  inner.placeObject2(11, 1).showFrame().end();
  Timeline main;
  main.setBackgroundColor()
      .defineShape(11)
      .sprite(10, inner)
      .doInitAction(10, Actions().action(0x07).bytes)  // stop
      .exportAssets({{10, "clip"}})
      .showFrame();
  return main;
}

std::size_t exportedSpriteBytes() {
  Timeline inner;
  inner.placeObject2(11, 1).showFrame().end();
  return sizeOf(Timeline().defineShape(11).sprite(10, inner).doInitAction(10, Actions().action(0x07).bytes));
}

TEST(MovableBytes, ExportedSpriteCountsItsWholeBodyItsInitActionsAndWhatItPlaces) {
  Timeline main = exportedSpriteFrameOne();
  main.showFrame().showFrame().end();
  Document doc = test::analysedMovie(buildMovie(main));
  ASSERT_TRUE(doc.analysed());

  EXPECT_EQ(doc.plan(2).movableBytes, static_cast<std::int64_t>(exportedSpriteBytes()));
  EXPECT_TRUE(marked(doc, firstBlock(doc, kDoInitAction)));
  // Every block of the sprite, its End tag included.
  const auto& blocks = doc.analysis().byteoutput;
  for (std::size_t i = firstBlock(doc, kDefineSprite); blocks[i].thisSprite == 1; ++i) {
    EXPECT_TRUE(marked(doc, i)) << "block " << i;
  }
}

TEST(MovableBytes, ExportedSpritePlacedBeforeTheTargetFrameStaysWithEverythingItNeeds) {
  Timeline main = exportedSpriteFrameOne();
  main.placeObject2(10, 1).showFrame();  // frame 2
  main.showFrame().end();
  Document doc = test::analysedMovie(buildMovie(main));
  ASSERT_TRUE(doc.analysed());

  EXPECT_EQ(doc.plan(2).movableBytes, static_cast<std::int64_t>(exportedSpriteBytes()));
  EXPECT_EQ(doc.plan(3).movableBytes, 0);
  const auto& blocks = doc.analysis().byteoutput;
  for (std::size_t i = 3; i < blocks.size(); ++i) EXPECT_FALSE(marked(doc, i)) << "block " << i;
}

TEST(MovableBytes, SpritePlacedEarlyReleasesTheExportedShapesItPlaces) {
  Timeline inner;
  inner.placeObject2(1, 1).showFrame().end();
  Timeline main;
  main.setBackgroundColor().defineShape(1).exportAssets({{1, "box"}}).sprite(2, inner).placeObject2(2, 1);
  main.showFrame().showFrame().end();
  Document doc = test::analysedMovie(buildMovie(main));
  ASSERT_TRUE(doc.analysed());

  EXPECT_EQ(doc.plan(2).movableBytes, 0);
  EXPECT_FALSE(marked(doc, blockOf(doc, 1)));
}

TEST(MovableBytes, ExportedCharacterDefinedAfterTheTargetFramesShowFrameIsMarkedButNotCounted) {
  Timeline main;
  main.setBackgroundColor().showFrame();                    // frame 1
  main.defineShape(1).exportAssets({{1, "box"}}).showFrame();  // frame 2
  main.showFrame().end();
  Document doc = test::analysedMovie(buildMovie(main));
  ASSERT_TRUE(doc.analysed());

  EXPECT_EQ(doc.plan(1).movableBytes, 0);
  EXPECT_TRUE(marked(doc, blockOf(doc, 1)));
  // Inside frame 2, before the ShowFrame that ends it: counted for n = 2.
  EXPECT_EQ(doc.plan(2).movableBytes, static_cast<std::int64_t>(sizeOf(Timeline().defineShape(1))));
}

TEST(MovableBytes, TargetFrameBeyondTheRecordedShowFramesCountsNothing) {
  Timeline main;
  main.setBackgroundColor().defineShape(1).exportAssets({{1, "box"}}).showFrame().showFrame().end();
  test::MovieOptions nineFrames;
  nineFrames.frameCount = 9;  // the header promises more frames than there are
  Document doc = test::analysedMovie(buildMovie(main, nineFrames));
  ASSERT_TRUE(doc.analysed());

  for (std::int32_t n : {3, 9, 17000, 65535}) {
    const Verdict v = doc.plan(n);
    EXPECT_EQ(v.movableBytes, 0) << "n = " << n;
    EXPECT_EQ(v.commentText1, "0 bytes") << "n = " << n;
  }
}

TEST(MovableBytes, ExportedCharacterWithoutDefinitionCountsTheFirstHeaderBlock) {
  // Nothing defines character 7: its block is the cleared entry, block 0
  // (signature and version, 4 bytes), which is marked and counted but never moved.
  Timeline main;
  main.setBackgroundColor().exportAssets({{7, "ghost"}}).showFrame().showFrame().end();
  Document doc = test::analysedMovie(buildMovie(main));
  ASSERT_TRUE(doc.analysed());

  EXPECT_EQ(doc.plan(2).movableBytes, 4);
}

TEST(MovableBytes, UndefinedHighIdsAreWalkedLikeAnyOther) {
  // The exported sprite places character 60000, which nothing defines, and the
  // main timeline shows character 50000 in frame 1. Like an undefined export,
  // 60000 resolves to block 0 and adds its 4 bytes.
  Timeline inner;
  inner.placeObject2(60000, 1).showFrame().end();
  const Timeline sprite = Timeline().sprite(2, inner);
  Timeline main;
  main.setBackgroundColor().raw(sprite.bytes()).exportAssets({{2, "clip"}}).placeObject2(50000, 1);
  main.showFrame().showFrame().end();
  Document doc = test::analysedMovie(buildMovie(main));
  ASSERT_TRUE(doc.analysed());

  EXPECT_EQ(doc.plan(2).movableBytes, static_cast<std::int64_t>(sizeOf(sprite)) + 4);
}

TEST(MovableBytes, SoundStartedBeforeTheTargetFrameStays) {
  Timeline main;
  main.setBackgroundColor().defineSound(3, 100).exportAssets({{3, "ping"}}).showFrame();
  main.startSound(3).showFrame();
  main.showFrame().end();
  Document doc = test::analysedMovie(buildMovie(main));
  ASSERT_TRUE(doc.analysed());

  EXPECT_EQ(doc.plan(2).movableBytes, static_cast<std::int64_t>(sizeOf(Timeline().defineSound(3, 100))));
  EXPECT_EQ(doc.plan(3).movableBytes, 0);
}

TEST(MovableBytes, ShapeLeftInAnEarlierFrameKeepsTheExportedBitmapItFillsWith) {
  // Shape 2 is shown only in frame 2, so it is not released by the main
  // timeline; but it stays in frame 1, and its fill needs bitmap 1 there.
  Timeline main;
  main.setBackgroundColor().defineBitsLossless(1, 60).exportAssets({{1, "art"}}).defineShape(2, {1}).showFrame();
  main.placeObject2(2, 1).showFrame();
  main.showFrame().end();
  Document doc = test::analysedMovie(buildMovie(main));
  ASSERT_TRUE(doc.analysed());

  EXPECT_EQ(doc.plan(2).movableBytes, 0);
  EXPECT_FALSE(marked(doc, blockOf(doc, 1)));
}

TEST(MovableBytes, SpriteLeftInAnEarlierFrameKeepsTheExportedShapeItPlaces) {
  Timeline inner;
  inner.placeObject2(1, 1).showFrame().end();
  Timeline main;
  main.setBackgroundColor().defineShape(1).exportAssets({{1, "box"}}).sprite(2, inner).showFrame();
  main.showFrame();
  main.placeObject2(2, 1).showFrame().end();
  Document doc = test::analysedMovie(buildMovie(main));
  ASSERT_TRUE(doc.analysed());

  EXPECT_EQ(doc.plan(2).movableBytes, 0);
  EXPECT_EQ(doc.plan(3).movableBytes, 0);
  // When the sprite itself is exported both move together.
  Timeline both;
  both.setBackgroundColor().defineShape(1).sprite(2, inner).exportAssets({{1, "box"}, {2, "clip"}}).showFrame();
  both.showFrame().end();
  Document together;
  test::loadMovie(together, buildMovie(both), "both.swf");
  ASSERT_TRUE(together.analysed());
  EXPECT_EQ(together.plan(2).movableBytes, static_cast<std::int64_t>(sizeOf(Timeline().defineShape(1).sprite(2, inner))));
}

TEST(MovableBytes, SecondRunLeavesTheOldMarksWhichNeverEqualTheNewStamp) {
  Timeline main;
  main.setBackgroundColor().defineShape(1).exportAssets({{1, "box"}}).showFrame();
  main.placeObject2(1, 1).showFrame();
  main.showFrame().end();
  Document doc = test::analysedMovie(buildMovie(main));
  ASSERT_TRUE(doc.analysed());

  doc.plan(2);
  const std::uint32_t first = doc.planState().testCounterFlag;
  EXPECT_EQ(first, kFirstPlanningStamp + 1);
  EXPECT_EQ(doc.analysis().byteoutput[blockOf(doc, 1)].withThis, first);

  doc.plan(3);  // releases the shape
  const std::uint32_t second = doc.planState().testCounterFlag;
  EXPECT_EQ(second, first + 1);
  for (const bytesOut& block : doc.analysis().byteoutput) EXPECT_NE(block.withThis, second);
  EXPECT_EQ(doc.planState().movableBytes, 0);
}

TEST(MovableBytes, SameTargetPlannedTwiceGivesTheSameMarks) {
  Timeline main = exportedSpriteFrameOne();
  main.placeObject2(10, 1).showFrame().showFrame().end();
  Document doc = test::analysedMovie(buildMovie(main));
  ASSERT_TRUE(doc.analysed());

  auto markedBlocks = [&] {
    std::vector<std::size_t> out;
    for (std::size_t i = 0; i < doc.analysis().byteoutput.size(); ++i) {
      if (marked(doc, i)) out.push_back(i);
    }
    return out;
  };
  const Verdict first = doc.plan(2);
  const auto firstMarks = markedBlocks();
  doc.plan(3);
  const Verdict again = doc.plan(2);
  EXPECT_EQ(again.movableBytes, first.movableBytes);
  EXPECT_EQ(markedBlocks(), firstMarks);
}

}  // namespace
}  // namespace framestow
