// The block table: one block per tag in file order, sprites' tags included.
#include <gtest/gtest.h>

#include "common/tag_codes.hpp"
#include "support/scan.hpp"

namespace framestow {
namespace {

using test::Bytes;
using test::buildMovie;
using test::MovieOptions;
using test::scanTimeline;
using test::Timeline;

// Blocks 2.. tile the movie: each starts where the previous one ends.
void expectTiled(const test::Scanned& s) {
  const auto& blocks = s.analysis.byteoutput;
  for (std::size_t i = 3; i < blocks.size(); ++i) {
    if (blocks[i].thisHead == 0) continue;  // the empty record after End
    const bytesOut& prev = blocks[i - 1];
    EXPECT_EQ(blocks[i].thisStart, prev.thisStart + prev.thisHead + prev.origLength) << "block " << i;
  }
}

TEST(BlockTable, MovieOfOnlyAnEndTag) {
  const auto s = scanTimeline(Timeline().end());
  ASSERT_TRUE(s.analysis.analysed);
  ASSERT_EQ(s.analysis.byteoutputNum(), 5u);
  EXPECT_EQ(s.block(2).thisStart, 8u);
  EXPECT_EQ(s.block(2).thisLength, s.movie.ScanStartOffset + 2 - 8);
  EXPECT_EQ(s.block(3).thisBlockType, kEnd);
  EXPECT_EQ(s.block(3).thisLength, s.movie.m.size - s.block(3).thisStart + 1);
  EXPECT_EQ(s.block(4).thisLength, 0u);
  EXPECT_EQ(s.block(4).thisHead, 0u);
  EXPECT_EQ(s.info, "C:\\films\\intro.swf\r\nversion:6  0kB\r\ndimensions:400 x 300");
  EXPECT_EQ(s.movie.modNameOut, "C:\\films\\intro_old.swf");
}

TEST(BlockTable, EndBlockCountsTheBytesAfterIt) {
  Timeline t;
  t.showFrame().end().raw({0xAB, 0xCD, 0xEF});
  const auto s = scanTimeline(t);
  const std::size_t end = s.find(kEnd);
  EXPECT_EQ(s.block(end).thisLength, 6u);  // 2 header bytes, 3 trailing, and one past the end
  EXPECT_EQ(s.analysis.byteoutputNum(), end + 2);
}

TEST(BlockTable, HeaderFormIsKeptAsFound) {
  Timeline t;
  t.tag(kDoAction, Bytes().u8(0), true).tag(77, Bytes().fill(70)).showFrame().end();
  const auto s = scanTimeline(t);
  EXPECT_EQ(s.block(3).thisHead, 6u);
  EXPECT_EQ(s.block(3).origLength, 1u);
  EXPECT_EQ(s.block(3).thisLength, 7u);
  EXPECT_EQ(s.block(4).thisHead, 6u);
  EXPECT_EQ(s.block(4).origLength, 70u);
  expectTiled(s);
}

TEST(BlockTable, SpriteTagsAreBlocksOfTheirOwn) {
  Timeline inner;
  inner.placeObject2(1, 1).showFrame().showFrame().end();
  Timeline main;
  main.defineShape(1).sprite(5, inner).showFrame().placeObject2(5, 2).showFrame().end();
  const auto s = scanTimeline(main);
  const std::size_t sprite = s.find(kDefineSprite);
  const bytesOut& def = s.block(sprite);
  EXPECT_EQ(def.origLength, 4u);
  EXPECT_EQ(def.thisLength, def.thisHead + 4);
  for (std::size_t i = sprite; i <= sprite + 4; ++i) EXPECT_EQ(s.block(i).thisSprite, 1u) << i;
  EXPECT_EQ(s.block(sprite + 4).thisBlockType, kEnd);
  EXPECT_EQ(s.block(sprite + 4).thisLength, 2u);
  EXPECT_EQ(s.block(sprite + 5).thisSprite, 0u);
  // The sprite's frames are not the main timeline's.
  EXPECT_EQ(s.analysis.mainFrameCount, 2);
  EXPECT_EQ(s.analysis.mainShowFrameBlocks[1], static_cast<int>(sprite + 5));
  EXPECT_EQ(s.analysis.frameCount, 2);
  EXPECT_EQ(s.analysis.spriteExportArray[1], 5);
  EXPECT_EQ(s.analysis.blockOf(5), static_cast<int>(sprite));
  expectTiled(s);
}

TEST(BlockTable, SpriteWithoutEndTagEndsWhereItsLengthSays) {
  Timeline inner;
  inner.placeObject2(1, 1).showFrame();  // no End
  Timeline main;
  main.defineShape(1).sprite(5, inner).showFrame().placeObject2(5, 2).showFrame().end();
  const auto s = scanTimeline(main);
  const std::size_t sprite = s.find(kDefineSprite);
  EXPECT_EQ(s.block(sprite + 2).thisSprite, 1u);  // the sprite's ShowFrame
  EXPECT_EQ(s.block(sprite + 3).thisSprite, 0u);  // the main timeline's
  EXPECT_EQ(s.analysis.mainFrameCount, 2);
  EXPECT_EQ(s.analysis.mainShowFrameBlocks[1], static_cast<int>(sprite + 3));
  EXPECT_EQ(s.analysis.spriteGroups[1].bytes, static_cast<std::int64_t>(Timeline().sprite(5, inner).bytes().size()));
  expectTiled(s);
}

TEST(BlockTable, ConsecutiveSpritesHaveTheirOwnNumbers) {
  Timeline a;
  a.showFrame().end();
  Timeline main;
  main.sprite(3, a).sprite(4, a).showFrame().end();
  const auto s = scanTimeline(main);
  const std::size_t first = s.find(kDefineSprite);
  const std::size_t second = s.find(kDefineSprite, first + 1);
  EXPECT_EQ(second, first + 3);
  EXPECT_EQ(s.block(first).thisSprite, 1u);
  EXPECT_EQ(s.block(second).thisSprite, 2u);
  EXPECT_EQ(s.analysis.spriteCounter, 2);
}

TEST(BlockTable, ShowFramesBackgroundAndInitActions) {
  Timeline inner;
  inner.showFrame().end();
  Timeline main;
  main.setBackgroundColor().sprite(9, inner).doInitAction(9, Bytes()).showFrame().showFrame().showFrame().end();
  const auto s = scanTimeline(main);
  EXPECT_EQ(s.analysis.bgndColorBlock, 3);
  const std::size_t init = s.find(kDoInitAction);
  EXPECT_EQ(s.analysis.initScriptArray[9], static_cast<int>(init));
  ASSERT_EQ(s.analysis.mainFrameCount, 3);
  for (int f = 1; f <= 3; ++f) {
    const auto block = static_cast<std::size_t>(s.analysis.mainShowFrameBlocks[static_cast<std::size_t>(f)]);
    EXPECT_EQ(s.block(block).thisBlockType, kShowFrame);
    EXPECT_EQ(s.block(block).withThis, 3u);
  }
  EXPECT_LT(s.analysis.mainShowFrameBlocks[1], s.analysis.mainShowFrameBlocks[2]);
  EXPECT_GT(s.ticks, 8);  // one per tag at least
}

TEST(BlockTable, WithoutBackgroundColourThePrefixIsTheHeader) {
  const auto s = scanTimeline(Timeline().showFrame().end());
  EXPECT_EQ(s.analysis.bgndColorBlock, 2);
}

TEST(BlockTable, ScanStopsAtTheDeclaredLength) {
  Timeline t;
  t.showFrame().end();
  MovieOptions o;
  // Declares one byte less than the End tag needs: the End tag is the last one scanned.
  o.fileLength = static_cast<std::uint32_t>(buildMovie(t).size());
  const auto s = scanTimeline(Timeline(t).showFrame(), o);
  EXPECT_TRUE(s.analysis.analysed);
  EXPECT_TRUE(s.analysis.endTagFound);
}

TEST(BlockTable, TagRunningPastTheMovieIsNoticed) {
  Timeline t;
  t.showFrame().raw({0x3F, 0x03, 0xFF, 0xFF, 0xFF, 0x7F, 1, 2, 3});  // a DoAction claiming 2 GB
  const auto s = scanTimeline(t);
  EXPECT_TRUE(s.analysis.analysed);
  EXPECT_TRUE(s.analysis.tagsRunPastData);
  const bytesOut& last = s.analysis.byteoutput.back();
  EXPECT_LE(last.thisStart + last.thisHead + last.origLength, s.movie.m.size);
}

TEST(BlockTable, MovieWithoutEndTagStopsAtItsLastTag) {
  Timeline t;
  t.showFrame().showFrame();
  const auto s = scanTimeline(t);
  EXPECT_TRUE(s.analysis.analysed);
  EXPECT_FALSE(s.analysis.endTagFound);
  EXPECT_EQ(s.analysis.mainFrameCount, 2);
}

}  // namespace
}  // namespace framestow
