// Tags of Flash 8 and later that place or use characters: what they need stays
// in place, and the tags that modify a character travel with it.
#include <gtest/gtest.h>

#include "common/tag_codes.hpp"
#include "document/document.hpp"
#include "support/scan.hpp"
#include "support/tag_list.hpp"
#include "support/temp_dir.hpp"

namespace framestow {
namespace {

using test::Actions;
using test::BitWriter;
using test::ByteVector;
using test::Bytes;
using test::findTag;
using test::ListedTag;
using test::listTags;
using test::tagBytes;
using test::Timeline;

struct Outcome {
  std::int64_t movableBytes = 0;
  std::vector<ListedTag> saved;
};

// Analyses the movie, plans for frame 2 and saves a copy.
Outcome planAndSave(const Timeline& main, std::uint8_t version = 8) {
  test::MovieOptions options;
  options.version = version;
  const ByteVector file = test::buildMovie(main, options);
  const std::string input = test::writeFile(test::tempPath("in.swf"), file);
  Document doc;
  EXPECT_EQ(doc.load(input), "");
  EXPECT_TRUE(doc.analyze()) << doc.analysisError();
  Outcome out;
  out.movableBytes = doc.plan(2).movableBytes;
  const std::string output = test::tempPath("out.swf");
  EXPECT_EQ(doc.save(2, false, false, output), kFileModified);
  out.saved = listTags(test::readFile(output));
  EXPECT_EQ(out.saved.size(), listTags(file).size());
  return out;
}

std::size_t tagSize(const ByteVector& tag) { return tag.size(); }

Bytes attachCode() { return Actions().pushString("attachMovie").bytes; }

// A sprite that places shape `shape` in its one frame.
Timeline spritePlacing(std::uint16_t shape) {
  Timeline inner;
  inner.placeObject2(shape, 1).showFrame().end();
  return inner;
}

// PlaceObject3 of `id` with a class name, a blur and a drop shadow, a blend
// mode, bitmap caching and (optionally) clip actions.
Bytes placeObject3(std::uint16_t id, const Bytes& clipActions = {}) {
  Bytes b;
  const bool actions = !clipActions.data.empty();
  b.u8((actions ? 0x80 : 0) | 0x04 | 0x02).u8(0x08 | 0x04 | 0x02 | 0x01).u16(1).str("flash.display.MovieClip");
  b.u16(id).matrix(100, 100);
  b.u8(2).u8(1).fill(9, 0x10).u8(0).fill(23, 0x20);  // filters: blur, drop shadow
  b.u8(3).u8(1);                                      // blend mode, cache as bitmap
  if (actions) {
    b.u16(0).u32(0x4).u32(0x4).u32(static_cast<std::uint32_t>(clipActions.size() + 1)).raw(clipActions).u8(0).u32(0);
  }
  return b;
}

TEST(PlaceObject3, FieldsAreReadUpToTheClipActions) {
  Timeline t;
  t.defineShape(1).tag(kPlaceObject3, placeObject3(1, attachCode())).showFrame().end();
  const auto s = test::scanTimeline(t, [] { test::MovieOptions o; o.version = 8; return o; }());
  ASSERT_TRUE(s.analysis.analysed);
  EXPECT_EQ(s.analysis.attachFound[0], 1);
  EXPECT_EQ(s.row(0), (std::vector<std::pair<int, int>>{{1, 1}}));
  EXPECT_EQ(s.block(s.find(kPlaceObject3)).withThis, 3u);
}

TEST(PlaceObject3, SpritePlacedInFrameOneStaysThere) {
  Timeline t;
  t.defineShape(1).sprite(10, spritePlacing(1)).exportAssets({{10, "clip"}}).tag(kPlaceObject3, placeObject3(10))
      .showFrame().doAction(attachCode()).showFrame().end();
  const Outcome out = planAndSave(t);
  EXPECT_EQ(out.movableBytes, 0);
  EXPECT_EQ(out.saved[static_cast<std::size_t>(findTag(out.saved, kDefineSprite, 10))].frame, 1u);
  EXPECT_EQ(out.saved[static_cast<std::size_t>(findTag(out.saved, kDefineShape, 1))].frame, 1u);
}

TEST(PlaceObject3, SpritePlacedOnlyLaterMovesWithWhatItPlaces) {
  Timeline t;
  t.defineShape(1).sprite(10, spritePlacing(1)).exportAssets({{10, "clip"}}).showFrame()
      .tag(kPlaceObject3, placeObject3(10)).doAction(attachCode()).showFrame().end();
  const Outcome out = planAndSave(t);
  const ByteVector shape = Timeline().defineShape(1).bytes();
  const ByteVector sprite = Timeline().sprite(10, spritePlacing(1)).bytes();
  EXPECT_EQ(out.movableBytes, static_cast<std::int64_t>(shape.size() + sprite.size()));
  EXPECT_EQ(out.saved[static_cast<std::size_t>(findTag(out.saved, kDefineSprite, 10))].frame, 2u);
}

// DefineShape4 with a focal gradient and a bitmap fill, and a LINESTYLE2 whose
// fill is another bitmap.
Bytes shape4(std::uint16_t id, std::uint16_t fillBitmap, std::uint16_t lineBitmap) {
  Bytes b;
  b.u16(id).rect(0, 200, 0, 200).rect(10, 190, 10, 190).u8(0x01);
  b.u8(2);
  b.u8(0x13).matrix(5, 5).u8(0x42).u8(0).rgba(1, 2, 3, 4).u8(255).rgba(5, 6, 7, 8).s16(-128);
  b.u8(0x41).u16(fillBitmap).matrix();
  b.u8(1).u16(40).u8(0x08 | 0x20).u8(0x01).u16(3).u8(0x40).u16(lineBitmap).matrix();  // miter join, filled
  b.raw(BitWriter().ubits(2, 4).ubits(1, 4).ubits(0, 6).finish());
  return b;
}

TEST(DefineShape4, FillsAndLineFillsAreReferencesOfTheShape) {
  Timeline t;
  t.tag(kDefineShape4, shape4(6, 5, 7)).showFrame().end();
  const auto s = test::scanTimeline(t);
  ASSERT_TRUE(s.analysis.analysed) << s.analysis.analysisError;
  EXPECT_EQ(s.row(6), (std::vector<std::pair<int, int>>{{5, 1}, {7, 1}}));
  EXPECT_EQ(s.analysis.blockOf(6), 0);  // a DefineShape4 never moves
}

TEST(DefineShape4, FocalGradientStaysUnknownInOlderShapes) {
  Bytes body;
  body.u16(6).rect(0, 10, 0, 10).u8(1).u8(0x13).matrix().u8(1).u8(0).rgba(0, 0, 0, 0).s16(0).u8(0).u8(0);
  Timeline t;
  t.tag(kDefineShape3, body).showFrame().end();
  const auto s = test::scanTimeline(t);
  EXPECT_FALSE(s.analysis.analysed);
  EXPECT_EQ(s.analysis.analysisError, "Unknown fill type: 19");
}

TEST(DefineShape4, BitmapsItUsesInFrameOneStayBeforeIt) {
  Timeline t;
  t.defineBitsLossless(5).defineBitsLossless(7).tag(kDefineShape4, shape4(6, 5, 7))
      .exportAssets({{5, "fill"}, {7, "line"}}).showFrame().doAction(attachCode()).showFrame().end();
  const Outcome out = planAndSave(t);
  EXPECT_EQ(out.movableBytes, 0);
  EXPECT_EQ(out.saved[static_cast<std::size_t>(findTag(out.saved, kDefineBitsLossless, 5))].frame, 1u);
  EXPECT_EQ(out.saved[static_cast<std::size_t>(findTag(out.saved, kDefineBitsLossless, 7))].frame, 1u);
}

TEST(DefineShape4, DefinedInALaterFrameItLetsTheBitmapsMove) {
  Timeline t;
  t.defineBitsLossless(5).defineBitsLossless(7).exportAssets({{5, "fill"}, {7, "line"}}).showFrame()
      .tag(kDefineShape4, shape4(6, 5, 7)).doAction(attachCode()).showFrame().end();
  const Outcome out = planAndSave(t);
  const std::size_t bitmaps = Timeline().defineBitsLossless(5).defineBitsLossless(7).bytes().size();
  EXPECT_EQ(out.movableBytes, static_cast<std::int64_t>(bitmaps));
  const int bitmap = findTag(out.saved, kDefineBitsLossless, 5);
  EXPECT_LT(bitmap, findTag(out.saved, kDefineShape4, 6));
  EXPECT_EQ(out.saved[static_cast<std::size_t>(bitmap)].frame, 2u);
}

Bytes morphShape(std::uint16_t code, std::uint16_t id, std::uint16_t bitmap) {
  Bytes b;
  b.u16(id).rect(0, 10, 0, 10).rect(0, 20, 0, 20);
  if (code == kDefineMorphShape2) b.rect(0, 10, 0, 10).rect(0, 20, 0, 20).u8(0);
  b.u32(0);
  b.u8(2).u8(0x00).rgba(1, 1, 1, 1).rgba(2, 2, 2, 2).u8(0x42).u16(bitmap).matrix().matrix(3, 3);
  if (code == kDefineMorphShape2) {
    b.u8(1).u16(20).u16(40).u8(0x08).u8(0).u8(0x43).u16(bitmap).matrix().matrix();
  } else {
    b.u8(1).u16(20).u16(40).rgba(0, 0, 0, 255).rgba(0, 0, 0, 255);
  }
  b.u8(0x00).u8(0x00);  // empty start and end edges
  return b;
}

TEST(MorphShapes, FillBitmapsAreReferences) {
  Timeline t;
  t.tag(kDefineMorphShape, morphShape(kDefineMorphShape, 8, 5)).tag(kDefineMorphShape2, morphShape(kDefineMorphShape2, 9, 6))
      .showFrame().end();
  const auto s = test::scanTimeline(t);
  EXPECT_EQ(s.row(8), (std::vector<std::pair<int, int>>{{5, 1}}));
  EXPECT_EQ(s.row(9), (std::vector<std::pair<int, int>>{{6, 1}, {6, 1}}));
  EXPECT_EQ(s.analysis.blockOf(8), 3);
  EXPECT_EQ(s.analysis.blockOf(9), 0);
}

TEST(MorphShapes, PlacedMorphKeepsItsBitmap) {
  Timeline t;
  t.defineBitsLossless(5).tag(kDefineMorphShape, morphShape(kDefineMorphShape, 8, 5)).exportAssets({{5, "bmp"}})
      .placeObject2(8, 1).showFrame().doAction(attachCode()).showFrame().end();
  const Outcome out = planAndSave(t);
  EXPECT_EQ(out.movableBytes, 0);
  EXPECT_EQ(out.saved[static_cast<std::size_t>(findTag(out.saved, kDefineBitsLossless, 5))].frame, 1u);
}

TEST(MorphShapes, ExportedMorphTakesItsBitmapAlong) {
  Timeline t;
  t.defineBitsLossless(5).tag(kDefineMorphShape, morphShape(kDefineMorphShape, 8, 5)).exportAssets({{8, "morph"}})
      .showFrame().doAction(attachCode()).showFrame().end();
  const Outcome out = planAndSave(t);
  const std::size_t expected = Timeline().defineBitsLossless(5).bytes().size() +
                               tagBytes(kDefineMorphShape, morphShape(kDefineMorphShape, 8, 5)).size();
  EXPECT_EQ(out.movableBytes, static_cast<std::int64_t>(expected));
  EXPECT_LT(findTag(out.saved, kDefineBitsLossless, 5), findTag(out.saved, kDefineMorphShape, 8));
}

TEST(MorphShapes, SecondKindStaysAndKeepsItsBitmap) {
  Timeline t;
  t.defineBitsLossless(6).tag(kDefineMorphShape2, morphShape(kDefineMorphShape2, 9, 6)).exportAssets({{6, "bmp"}})
      .showFrame().doAction(attachCode()).showFrame().end();
  EXPECT_EQ(planAndSave(t).movableBytes, 0);
}

Bytes text2(std::uint16_t id, std::uint16_t font) {
  Bytes b;
  b.u16(id).rect(0, 100, 0, 100).matrix().u8(4).u8(4);
  b.u8(0x8C).u16(font).rgba(0, 0, 0, 255).u16(240);
  b.u8(0x02).raw(BitWriter().ubits(1, 4).sbits(2, 4).ubits(2, 4).sbits(2, 4).finish());
  b.u8(0);
  return b;
}

TEST(DefineText2, FontsAreReferencesAndTheRowStartsAfreshAtTheTag) {
  Timeline t;
  t.tag(kDefineText2, text2(12, 3)).tag(kDefineText2, text2(12, 4)).showFrame().end();
  const auto s = test::scanTimeline(t);
  EXPECT_EQ(s.row(12), (std::vector<std::pair<int, int>>{{4, 1}}));
}

TEST(DefineText2, TextInFrameOneKeepsItsFont) {
  Timeline t;
  t.defineFont(3).tag(kDefineText2, text2(12, 3)).exportAssets({{3, "font"}}).showFrame().doAction(attachCode())
      .showFrame().end();
  const Outcome out = planAndSave(t);
  EXPECT_EQ(out.movableBytes, 0);
  EXPECT_EQ(out.saved[static_cast<std::size_t>(findTag(out.saved, kDefineFont, 3))].frame, 1u);
}

Bytes button2(std::uint16_t id, std::uint16_t shape) {
  return Bytes().u16(id).u8(0).u16(0).u8(0x0F).u16(shape).u16(1).matrix().cxform(std::nullopt, std::nullopt, true).u8(0);
}

Bytes buttonSound(std::uint16_t button, std::uint16_t sound) {
  return Bytes().u16(button).u16(0).u16(sound).u8(0x04).u16(2).u16(0).u16(0);
}

TEST(ButtonCompanions, PlacedButtonKeepsItsSound) {
  Timeline t;
  t.defineShape(1).defineSound(8).tag(kDefineButton2, button2(20, 1)).tag(kDefineButtonSound, buttonSound(20, 8))
      .exportAssets({{8, "click"}}).placeObject2(20, 1).showFrame().doAction(attachCode()).showFrame().end();
  const auto s = test::scanTimeline(t);
  EXPECT_EQ(s.row(20), (std::vector<std::pair<int, int>>{{1, 1}, {8, 1}}));
  const Outcome out = planAndSave(t);
  EXPECT_EQ(out.movableBytes, 0);
  EXPECT_EQ(out.saved[static_cast<std::size_t>(findTag(out.saved, kDefineSound, 8))].frame, 1u);
}

TEST(ButtonCompanions, ExportedButtonTakesItsSoundColourTransformAndGrid) {
  Timeline t;
  t.defineShape(1).defineSound(8).tag(kDefineButton2, button2(20, 1)).tag(kDefineButtonSound, buttonSound(20, 8))
      .tag(kDefineButtonCxform, Bytes().u16(20).cxform(std::vector<std::int32_t>{128, 128, 128}, std::nullopt, false))
      .tag(kDefineScalingGrid, Bytes().u16(20).rect(20, 180, 20, 180)).exportAssets({{20, "button"}}).showFrame()
      .doAction(attachCode()).showFrame().end();
  const Outcome out = planAndSave(t);
  std::int64_t expected = 0;
  for (const ListedTag& tag : listTags(test::buildMovie(t))) {
    if (tag.frame == 1 && tag.code != kShowFrame && tag.code != kExportAssets) expected += static_cast<std::int64_t>(tagSize(tag.bytes));
  }
  EXPECT_EQ(out.movableBytes, expected);
  const int button = findTag(out.saved, kDefineButton2, 20);
  ASSERT_GE(button, 0);
  EXPECT_EQ(out.saved[static_cast<std::size_t>(button)].frame, 2u);
  for (std::uint16_t code : {kDefineButtonSound, kDefineButtonCxform, kDefineScalingGrid}) {
    const int companion = findTag(out.saved, code, 20);
    EXPECT_GT(companion, button) << code;
    EXPECT_EQ(out.saved[static_cast<std::size_t>(companion)].frame, 2u) << code;
  }
}

TEST(ButtonCompanions, ScalingGridTravelsWithASprite) {
  Timeline t;
  t.defineShape(1).sprite(10, spritePlacing(1)).tag(kDefineScalingGrid, Bytes().u16(10).rect(20, 180, 20, 180))
      .exportAssets({{10, "clip"}}).showFrame().doAction(attachCode()).showFrame().end();
  const Outcome out = planAndSave(t);
  const int sprite = findTag(out.saved, kDefineSprite, 10);
  const int grid = findTag(out.saved, kDefineScalingGrid, 10);
  EXPECT_EQ(out.saved[static_cast<std::size_t>(sprite)].frame, 2u);
  EXPECT_GT(grid, sprite);
  EXPECT_EQ(out.saved[static_cast<std::size_t>(grid)].frame, 2u);
}

}  // namespace
}  // namespace framestow
