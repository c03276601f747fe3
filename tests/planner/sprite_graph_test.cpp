// The walks over sprites that place each other: cycles end, shared children
// are visited once, and the answer is the one a Flash player's needs give.
#include <gtest/gtest.h>

#include <algorithm>

#include "support/movie_files.hpp"
#include "writer/writer.hpp"

namespace framestow {
namespace {

using test::buildMovie;
using test::ByteVector;
using test::sizeOf;
using test::Timeline;

Timeline placing(std::initializer_list<std::uint16_t> ids) {
  Timeline inner;
  std::uint16_t depth = 1;
  for (std::uint16_t id : ids) inner.placeObject2(id, depth++);
  inner.showFrame().end();
  return inner;
}

TEST(SpriteGraph, SpritePlacingItselfEndsAndMovesOnce) {
  Timeline sprite = Timeline().sprite(5, placing({5}));
  Timeline main;
  main.setBackgroundColor().raw(sprite.bytes()).exportAssets({{5, "loop"}}).showFrame().showFrame().end();
  Document doc = test::analysedMovie(buildMovie(main));
  ASSERT_TRUE(doc.analysed());

  const Verdict v = doc.plan(2);
  EXPECT_EQ(v.movableBytes, static_cast<std::int64_t>(sizeOf(sprite)));
  EXPECT_TRUE(doc.planState().cyclic);
}

TEST(SpriteGraph, SpritesPlacingEachOtherEndAndMoveTogether) {
  // Sprite 5 places 6 (defined after it), sprite 6 places 5.
  Timeline sprites = Timeline().sprite(5, placing({6})).sprite(6, placing({5}));
  Timeline main;
  main.setBackgroundColor().raw(sprites.bytes()).exportAssets({{5, "ping"}}).showFrame().showFrame().end();
  Document doc = test::analysedMovie(buildMovie(main));
  ASSERT_TRUE(doc.analysed());

  EXPECT_EQ(doc.plan(2).movableBytes, static_cast<std::int64_t>(sizeOf(sprites)));
  EXPECT_TRUE(doc.planState().cyclic);
}

TEST(SpriteGraph, CycleShownBeforeTheTargetFrameIsReleasedWhole) {
  Timeline sprites = Timeline().sprite(5, placing({6})).sprite(6, placing({5}));
  Timeline main;
  main.setBackgroundColor().raw(sprites.bytes()).exportAssets({{6, "pong"}}).placeObject2(5, 1);
  main.showFrame().showFrame().end();
  Document doc = test::analysedMovie(buildMovie(main));
  ASSERT_TRUE(doc.analysed());

  EXPECT_EQ(doc.plan(2).movableBytes, 0);
  for (std::size_t i = 0; i < doc.analysis().byteoutput.size(); ++i) {
    EXPECT_FALSE(blockMoves(doc.analysis(), doc.planState(), i)) << "block " << i;
  }
}

TEST(SpriteGraph, MovieWithoutCyclesIsNotReportedCyclic) {
  Timeline main;
  main.setBackgroundColor().defineShape(1).sprite(2, placing({1})).sprite(3, placing({2, 1}));
  main.exportAssets({{3, "nest"}}).showFrame().showFrame().end();
  Document doc = test::analysedMovie(buildMovie(main));
  ASSERT_TRUE(doc.analysed());
  doc.plan(2);
  EXPECT_FALSE(doc.planState().cyclic);
}

// Definitions belong on the main timeline, but a movie may still hold one
// inside a sprite. Its tag can only leave with the whole sprite, so it counts
// only then, and once.
TEST(SpriteGraph, DefinitionInsideASpriteMovesAndCountsOnlyWithItsSprite) {
  Timeline inner;
  inner.defineShape(1).placeObject2(1, 1).showFrame().end();
  const Timeline sprite = Timeline().sprite(2, inner);
  auto movieExporting = [&](std::vector<std::pair<std::uint16_t, std::string>> exports) {
    Timeline main;
    main.setBackgroundColor().raw(sprite.bytes()).exportAssets(exports).showFrame().showFrame().end();
    return buildMovie(main);
  };

  const ByteVector shapeOnly = movieExporting({{1, "box"}});
  Document doc = test::analysedMovie(shapeOnly);
  ASSERT_TRUE(doc.analysed());
  EXPECT_EQ(doc.plan(2).movableBytes, 0);
  const auto shapeBlock = static_cast<std::size_t>(doc.analysis().blockOf(1));
  EXPECT_FALSE(blockMoves(doc.analysis(), doc.planState(), shapeBlock));
  // The sprite, shape and all, keeps its place in the saved movie.
  const auto out = assembleMovie(doc.movie(), doc.analysis(), doc.planState(), 2, false);
  ASSERT_TRUE(out.has_value());
  const ByteVector& body = sprite.bytes();
  auto at = [&](const ByteVector& movie) { return std::search(movie.begin(), movie.end(), body.begin(), body.end()) - movie.begin(); };
  EXPECT_EQ(at(*out), at(shapeOnly));

  Document both = test::analysedMovie(movieExporting({{1, "box"}, {2, "clip"}}));
  ASSERT_TRUE(both.analysed());
  EXPECT_EQ(both.plan(2).movableBytes, static_cast<std::int64_t>(sizeOf(sprite)));
}

// Layer k (1 .. depth) holds sprites 2k and 2k+1, each placing both sprites of
// layer k+1; the last layer places shape 1. There are 2^depth paths from the
// top to the shape, and 2 * depth + 1 characters.
Timeline diamond(int depth, std::size_t& definitionsSize) {
  Timeline defs;
  defs.defineShape(1);
  for (int k = depth; k >= 1; --k) {
    const auto a = static_cast<std::uint16_t>(2 * k);
    const auto b = static_cast<std::uint16_t>(2 * k + 1);
    Timeline inner = k == depth ? placing({1}) : placing({static_cast<std::uint16_t>(2 * k + 2),
                                                          static_cast<std::uint16_t>(2 * k + 3)});
    defs.sprite(a, inner).sprite(b, inner);
  }
  definitionsSize = sizeOf(defs);
  return defs;
}

TEST(SpriteGraph, DiamondOfThirtyLayersIsCountedAndReleased) {
  std::size_t size = 0;
  const Timeline defs = diamond(30, size);

  Timeline exportedOnly;
  exportedOnly.setBackgroundColor().raw(defs.bytes()).exportAssets({{2, "top"}, {3, "top2"}});
  exportedOnly.showFrame().showFrame().end();
  Document doc;
  test::loadMovie(doc, buildMovie(exportedOnly), "exported.swf");
  ASSERT_TRUE(doc.analysed());
  EXPECT_EQ(doc.plan(2).movableBytes, static_cast<std::int64_t>(size));
  EXPECT_FALSE(doc.planState().cyclic);

  Timeline shown;
  shown.setBackgroundColor().raw(defs.bytes()).exportAssets({{2, "top"}, {3, "top2"}}).placeObject2(2, 1);
  shown.showFrame().showFrame().end();
  Document early;
  test::loadMovie(early, buildMovie(shown), "shown.swf");
  ASSERT_TRUE(early.analysed());
  // Sprite 2 reaches every character but sprite 3, which nothing shown needs.
  EXPECT_EQ(early.plan(2).movableBytes, static_cast<std::int64_t>(sizeOf(Timeline().sprite(3, placing({4, 5})))));
}

}  // namespace
}  // namespace framestow
