// Where every tag of a saved movie ends up. Each test writes the input movie
// and the movie the save must produce tag by tag, and compares bytes.
#include <gtest/gtest.h>

#include "support/movie_check.hpp"
#include "support/movie_files.hpp"
#include "support/temp_dir.hpp"

namespace framestow {
namespace {

using test::Actions;
using test::buildMovie;
using test::ByteVector;
using test::MovieOptions;
using test::sizeOf;
using test::Timeline;

// Saves the loaded movie for target frame n into a file of its own (no
// backup), checks it against the input and returns its bytes.
ByteVector saved(Document& doc, const std::string& inputPath, std::int32_t n, bool optimise = false) {
  const std::string out = test::tempPath("saved-" + std::to_string(n) + (optimise ? "-opt" : "") + ".swf");
  EXPECT_EQ(doc.save(n, optimise, false, out), kFileModified);
  for (const std::string& failure : test::checkSavedMovie(inputPath, out, {n, optimise})) ADD_FAILURE() << failure;
  return test::readFile(out);
}

// Loads `movie` from a file of its own and saves it for target frame n.
ByteVector savedCopy(const ByteVector& movie, std::int32_t n, bool optimise = false) {
  Document doc;
  const std::string path = test::loadMovie(doc, movie);
  EXPECT_TRUE(doc.analysed());
  return doc.analysed() ? saved(doc, path, n, optimise) : ByteVector{};
}


TEST(MovieLayout, HeldBackDefinitionsOpenTheTargetFrame) {
  const Timeline shape1 = Timeline().defineShape(1);
  const Timeline exports = Timeline().exportAssets({{1, "box"}});
  Timeline input;
  input.setBackgroundColor().defineShape(2).raw(shape1.bytes()).raw(exports.bytes()).placeObject2(2, 1).showFrame();
  input.placeObject2(1, 2).showFrame().end();
  Timeline expected;
  expected.setBackgroundColor().defineShape(2).placeObject2(2, 1).showFrame();
  expected.raw(shape1.bytes()).raw(exports.bytes()).placeObject2(1, 2).showFrame().end();

  EXPECT_EQ(savedCopy(buildMovie(input), 2), buildMovie(expected));
}

TEST(MovieLayout, BlocksFromSeveralFramesKeepTheirInputOrderAndExportsComeAlong) {
  Timeline input;
  input.setBackgroundColor().defineShape(1).exportAssets({{1, "a"}}).defineShape(9).placeObject2(9, 1).showFrame();
  input.defineSound(2).exportAssets({{2, "b"}}).showFrame();
  input.defineShape(3).exportAssets({{3, "c"}}).placeObject2(3, 2).showFrame();
  input.showFrame().end();
  Timeline expected;
  expected.setBackgroundColor().defineShape(9).placeObject2(9, 1).showFrame();
  expected.showFrame();
  expected.defineShape(1).exportAssets({{1, "a"}}).defineSound(2).exportAssets({{2, "b"}});
  expected.defineShape(3).exportAssets({{3, "c"}}).placeObject2(3, 2).showFrame();
  expected.showFrame().end();

  EXPECT_EQ(savedCopy(buildMovie(input), 3), buildMovie(expected));
}

TEST(MovieLayout, ExportedSpriteMovesWithItsTagsAndInitActions) {
  Timeline inner;
  inner.placeObject2(11, 1).showFrame().end();
  const Timeline sprite = Timeline().defineShape(11).sprite(10, inner).doInitAction(10, Actions().action(0x07).bytes);
  Timeline input;
  input.setBackgroundColor().raw(sprite.bytes()).exportAssets({{10, "clip"}}).showFrame().showFrame().end();
  Timeline expected;
  expected.setBackgroundColor().showFrame().raw(sprite.bytes()).exportAssets({{10, "clip"}}).showFrame().end();

  EXPECT_EQ(savedCopy(buildMovie(input), 2), buildMovie(expected));
}

TEST(MovieLayout, SpriteWithoutEndTagKeepsTheMainTimelinesFramesOutsideIt) {
  // A sprite whose body ends without an End tag, then an exported sprite: the
  // ShowFrames that follow are the main timeline's, and stay before frame 3.
  Timeline open;
  open.placeObject2(1, 1).showFrame();
  Timeline inner;
  inner.placeObject2(1, 1).showFrame().end();
  const Timeline unterminated = Timeline().defineShape(1).sprite(2, open);
  const Timeline exported = Timeline().sprite(3, inner).exportAssets({{3, "clip"}});
  Timeline input;
  input.setBackgroundColor().raw(unterminated.bytes()).raw(exported.bytes()).showFrame().showFrame().showFrame().end();
  Timeline expected;
  expected.setBackgroundColor().raw(unterminated.bytes()).showFrame().showFrame().raw(exported.bytes()).showFrame().end();

  EXPECT_EQ(savedCopy(buildMovie(input), 3), buildMovie(expected));
}

TEST(MovieLayout, TargetFrameOneWritesTheInputAgain) {
  Timeline input;
  input.setBackgroundColor().defineShape(1).exportAssets({{1, "box"}}).showFrame().placeObject2(1, 1).showFrame().end();
  const ByteVector bytes = buildMovie(input);
  Document doc;
  const std::string path = test::loadMovie(doc, bytes);
  ASSERT_TRUE(doc.analysed());
  EXPECT_EQ(saved(doc, path, 1), bytes);
}

TEST(MovieLayout, RemovalDropsRedundantEntriesAndEmptyExportTags) {
  Timeline input;
  input.setBackgroundColor().defineShape(1).defineShape(2);
  input.exportAssets({{1, "a"}, {2, "b"}}).showFrame();
  input.exportAssets({{1, "a"}}).exportAssets({{2, "b"}, {3, "c"}}).showFrame();  // all redundant; one of two
  input.defineShape(3).end();
  Timeline expected;
  expected.setBackgroundColor().defineShape(1).defineShape(2);
  expected.exportAssets({{1, "a"}, {2, "b"}}).showFrame();
  expected.exportAssets({{3, "c"}}).showFrame();
  expected.defineShape(3).end();

  const ByteVector bytes = buildMovie(input);
  Document doc;
  const std::string path = test::loadMovie(doc, bytes);
  ASSERT_TRUE(doc.analysed());
  const ByteVector out = saved(doc, path, 1, true);
  EXPECT_EQ(out, buildMovie(expected));
  EXPECT_EQ(static_cast<std::int64_t>(bytes.size() - out.size()), doc.analysis().redundantAssetTotal);
}

TEST(MovieLayout, RemovalAlsoReducesHeldBackExports) {
  Timeline input;
  input.setBackgroundColor().defineShape(1).exportAssets({{1, "a"}, {1, "a"}}).showFrame().showFrame().end();
  Timeline expected;
  expected.setBackgroundColor().showFrame().defineShape(1).exportAssets({{1, "a"}}).showFrame().end();

  EXPECT_EQ(savedCopy(buildMovie(input), 2, true), buildMovie(expected));
}

TEST(MovieLayout, WithoutBackgroundColourOnlyTheHeaderStaysFixed) {
  Timeline input;
  input.defineShape(1).exportAssets({{1, "box"}}).defineShape(2).placeObject2(2, 1).showFrame().showFrame().end();
  Timeline expected;
  expected.defineShape(2).placeObject2(2, 1).showFrame().defineShape(1).exportAssets({{1, "box"}}).showFrame().end();

  EXPECT_EQ(savedCopy(buildMovie(input), 2), buildMovie(expected));
}

TEST(MovieLayout, DefinitionsBeforeTheBackgroundColourStayInPlace) {
  Timeline input;
  input.defineShape(1).setBackgroundColor().defineShape(2).exportAssets({{1, "a"}, {2, "b"}}).showFrame();
  input.showFrame().end();
  Timeline expected;
  expected.defineShape(1).setBackgroundColor().showFrame().defineShape(2).exportAssets({{1, "a"}, {2, "b"}});
  expected.showFrame().end();

  EXPECT_EQ(savedCopy(buildMovie(input), 2), buildMovie(expected));
}

TEST(MovieLayout, BackgroundColourAfterTheInsertionPointDoesNotHoldFrameOneInPlace) {
  Timeline input;
  input.defineShape(1).exportAssets({{1, "box"}}).showFrame();
  input.setBackgroundColor().showFrame().end();
  Timeline expected;
  expected.showFrame().defineShape(1).exportAssets({{1, "box"}}).setBackgroundColor().showFrame().end();

  EXPECT_EQ(savedCopy(buildMovie(input), 2), buildMovie(expected));
  // With frame 3 as the target the background colour lies before the
  // insertion point: it and everything before it keep their places.
  Timeline threeFrames;
  threeFrames.defineShape(1).exportAssets({{1, "box"}}).showFrame().setBackgroundColor().showFrame().showFrame().end();
  const Timeline& expected3 = threeFrames;
  Document later;
  const std::string path3 = test::loadMovie(later, buildMovie(threeFrames), "three.swf");
  ASSERT_TRUE(later.analysed());
  EXPECT_EQ(saved(later, path3, 3), buildMovie(expected3));
}

TEST(MovieLayout, ExportInsideTheFixedPrefixKeepsTheLengthFieldTrue) {
  Timeline input;
  input.defineShape(1).exportAssets({{1, "a"}, {1, "a"}}).setBackgroundColor().showFrame().showFrame().end();
  Document doc;
  const std::string path = test::loadMovie(doc, buildMovie(input));
  ASSERT_TRUE(doc.analysed());
  ASSERT_GT(doc.analysis().redundantAssetTotal, 0);
  for (bool optimise : {false, true}) {
    const ByteVector out = saved(doc, path, 2, optimise);
    const std::uint32_t declared = out[4] | out[5] << 8 | out[6] << 16 | static_cast<std::uint32_t>(out[7]) << 24;
    EXPECT_EQ(declared, out.size()) << "removal " << optimise;
  }
}

TEST(MovieLayout, BytesAfterTheEndTagAreKept) {
  Timeline input;
  input.setBackgroundColor().defineShape(1).exportAssets({{1, "box"}}).showFrame().showFrame().end();
  input.raw({0xDE, 0xAD, 0xBE, 0xEF, 0x00});
  Timeline expected;
  expected.setBackgroundColor().showFrame().defineShape(1).exportAssets({{1, "box"}}).showFrame().end();
  expected.raw({0xDE, 0xAD, 0xBE, 0xEF, 0x00});

  EXPECT_EQ(savedCopy(buildMovie(input), 2), buildMovie(expected));
}

TEST(MovieLayout, StrayByteAfterTheLastTagOfAMovieWithoutEndIsKept) {
  // No End tag, and one byte left over at the end of the declared length:
  // too short to be a tag, but part of the movie all the same.
  Timeline input;
  input.setBackgroundColor().defineShape(1).exportAssets({{1, "box"}}).showFrame().showFrame().raw({0x00});
  Timeline expected;
  expected.setBackgroundColor().showFrame().defineShape(1).exportAssets({{1, "box"}}).showFrame().raw({0x00});

  EXPECT_EQ(savedCopy(buildMovie(input), 2), buildMovie(expected));
  EXPECT_EQ(savedCopy(buildMovie(input), 1), buildMovie(input));
}

TEST(MovieLayout, TargetFrameWithoutItsPrecedingShowFrameMovesNothing) {
  Timeline input;
  input.setBackgroundColor().defineShape(1).exportAssets({{1, "box"}}).showFrame().showFrame().end();
  MovieOptions options;
  options.frameCount = 6;  // the header promises more frames than the timeline has
  const ByteVector bytes = buildMovie(input, options);
  Document doc;
  const std::string path = test::loadMovie(doc, bytes);
  ASSERT_TRUE(doc.analysed());
  EXPECT_EQ(saved(doc, path, 4), bytes);
  EXPECT_EQ(saved(doc, path, 6), bytes);
}

TEST(MovieLayout, MarkedDefinitionAfterTheInsertionPointStays) {
  Timeline input;
  input.setBackgroundColor().showFrame().showFrame().defineShape(1).exportAssets({{1, "box"}}).showFrame().end();
  const ByteVector bytes = buildMovie(input);
  Document doc;
  const std::string path = test::loadMovie(doc, bytes);
  ASSERT_TRUE(doc.analysed());
  EXPECT_EQ(saved(doc, path, 2), bytes);
}

TEST(MovieLayout, MoreHeldBackBlocksThanAnyFixedListHolds) {
  constexpr int kCount = 10050;
  Timeline defs;
  std::vector<std::pair<std::uint16_t, std::string>> names;
  for (int i = 0; i < kCount; ++i) {
    const auto id = static_cast<std::uint16_t>(i + 1);
    defs.defineBitsLossless(id, 0);
    names.emplace_back(id, "b" + std::to_string(id));
  }
  const Timeline exports = Timeline().exportAssets(names);
  Timeline input;
  input.setBackgroundColor().raw(defs.bytes()).raw(exports.bytes()).showFrame().showFrame().end();
  Timeline expected;
  expected.setBackgroundColor().showFrame().raw(defs.bytes()).raw(exports.bytes()).showFrame().end();

  Document doc;
  const std::string path = test::loadMovie(doc, buildMovie(input));
  ASSERT_TRUE(doc.analysed());
  EXPECT_EQ(doc.plan(2).movableBytes, static_cast<std::int64_t>(sizeOf(defs)));
  EXPECT_EQ(saved(doc, path, 2), buildMovie(expected));
}

TEST(MovieLayout, TwoSavesOfOnePlanAreIdentical) {
  Timeline input;
  input.setBackgroundColor().defineShape(1).exportAssets({{1, "a"}, {1, "b"}}).showFrame().showFrame().end();
  MovieOptions compressed;
  compressed.signature = "CWS";
  Document doc;
  const std::string path = test::loadMovie(doc, buildMovie(input, compressed));
  ASSERT_TRUE(doc.analysed());
  doc.plan(2);
  const std::string first = test::tempPath("first.swf");
  const std::string second = test::tempPath("second.swf");
  ASSERT_EQ(doc.save(2, true, false, first), kFileModified);
  ASSERT_EQ(doc.save(2, true, false, second), kFileModified);
  EXPECT_EQ(test::readFile(first), test::readFile(second));
}

}  // namespace
}  // namespace framestow
