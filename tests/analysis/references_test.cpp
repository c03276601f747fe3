// Which block defines each character, and what each timeline and definition refers to.
#include <gtest/gtest.h>

#include "common/tag_codes.hpp"
#include "support/scan.hpp"

namespace framestow {
namespace {

using test::BitWriter;
using test::Bytes;
using test::scanTimeline;
using test::Timeline;
using Row = std::vector<std::pair<int, int>>;

TEST(TimelineReferences, MainTimelineListsEveryPlacementWithItsFrame) {
  Timeline t;
  t.defineShape(7).placeObject(7, 1).showFrame().showFrame().showFrame().placeObject2(7, 2).startSound(9).showFrame().end();
  const auto s = scanTimeline(t);
  EXPECT_EQ(s.row(0), (Row{{7, 1}, {7, 4}, {9, 4}}));
}

TEST(TimelineReferences, MainTimelineFirstUsesListEachCharacterOnceByItsFirstFrame) {
  Timeline t;
  t.defineShape(7).defineShape(8).placeObject2(8, 1).showFrame();  // frame 1
  t.placeObject2(7, 2).placeObject2(8, 3).showFrame();              // frame 2
  t.startSound(9).placeObject2(7, 4).showFrame().end();             // frame 3
  const auto s = scanTimeline(t);
  EXPECT_EQ(s.analysis.mainFirstUseIds, (std::vector<std::int32_t>{8, 7, 9}));
  EXPECT_EQ(s.analysis.mainFirstUseFrames, (std::vector<std::int32_t>{1, 2, 3}));
}

TEST(TimelineReferences, SpritePlacementsCarryTheMainTimelineFrame) {
  Timeline inner;
  inner.showFrame().showFrame().placeObject2(3, 1).showFrame().end();
  Timeline t;
  t.defineShape(3).showFrame().sprite(20, inner).showFrame().end();
  const auto s = scanTimeline(t);
  EXPECT_EQ(s.row(20), (Row{{3, 2}}));
  EXPECT_TRUE(s.row(0).empty());
}

TEST(TimelineReferences, PlaceObject2WithoutCharacterRecordsNothing) {
  Timeline t;
  t.tag(kPlaceObject2, Bytes().u8(0x01 | 0x04).u16(1).matrix(20, 20)).showFrame().end();
  EXPECT_TRUE(scanTimeline(t).row(0).empty());
}

TEST(Definitions, EachDefinitionTagNamesItsBlock) {
  Timeline t;
  t.defineShape(1).defineBitsLossless(2).defineSound(3).defineFont(4).tag(kDefineBitsJpeg2, Bytes().u16(5).fill(4))
      .tag(kDefineBitsLossless2, Bytes().u16(6).fill(4)).tag(kDefineMorphShape, Bytes().u16(7).fill(4))
      .tag(kDefineFont2, Bytes().u16(8).fill(4)).showFrame().end();
  const auto s = scanTimeline(t);
  for (int id = 1; id <= 8; ++id) EXPECT_EQ(s.analysis.blockOf(id), id + 2) << id;
}

TEST(Definitions, FontInfoTakesOverTheFontsEntry) {
  Timeline t;
  t.defineFont(4).tag(kDefineFontInfo, Bytes().u16(4).u8(0)).showFrame().end();
  const auto s = scanTimeline(t);
  EXPECT_EQ(s.analysis.blockOf(4), static_cast<int>(s.find(kDefineFontInfo)));
}

TEST(Definitions, UndefinedCharactersResolveToBlockZero) {
  Timeline t;
  t.tag(kDefineBits, Bytes().u16(6).fill(10)).defineShape(2, {6}).showFrame().end();
  const auto s = scanTimeline(t);
  EXPECT_EQ(s.analysis.blockOf(6), 0);
  EXPECT_EQ(s.row(2), (Row{{6, 1}}));
  EXPECT_EQ(s.analysis.blockOf(999), 0);
}

TEST(Definitions, HighestCharacterIdIsKept) {
  Timeline t;
  t.defineBitsLossless(65535).defineShape(65534, {65535}).placeObject2(65534, 1).showFrame().end();
  const auto s = scanTimeline(t);
  EXPECT_EQ(s.analysis.blockOf(65535), 3);
  EXPECT_EQ(s.row(65534), (Row{{65535, 1}}));
  EXPECT_EQ(s.row(0), (Row{{65534, 1}}));
}

TEST(Definitions, TablesCoverTheIdsTheMovieUsesAndNoMore) {
  Timeline small;
  small.defineShape(3).placeObject2(3, 1).showFrame().end();
  const auto s = scanTimeline(small);
  EXPECT_GE(s.analysis.characterRange(), 4u);
  EXPECT_LE(s.analysis.characterRange(), 256u);

  // Ids that are only referenced or exported count as used too.
  Timeline referenced;
  referenced.defineShape(2, {40000}).placeObject2(50000, 1).exportAssets({{60000, "ghost"}}).showFrame().end();
  const auto r = scanTimeline(referenced);
  EXPECT_GT(r.analysis.characterRange(), 60000u);
  EXPECT_EQ(r.row(2), (Row{{40000, 1}}));
  EXPECT_EQ(r.analysis.blockOf(60000), 0);
}

TEST(DefinitionReferences, ButtonStatesAndTheirRowIsRebuiltWhenRedefined) {
  Timeline t;
  // DefineButton 30: records for characters 1 and 2, then an empty action list.
  Bytes button;
  button.u16(30).u8(0x0F).u16(1).u16(1).matrix().u8(0x01).u16(2).u16(2).matrix().u8(0).u8(0);
  Bytes again;
  again.u16(30).u8(0x0F).u16(8).u16(1).matrix().u8(0).u8(0);
  t.tag(kDefineButton, button).tag(kDefineButton, again).showFrame().end();
  const auto s = scanTimeline(t);
  EXPECT_EQ(s.row(30), (Row{{8, 1}}));
}

TEST(DefinitionReferences, Button2RecordsCarryColourTransforms) {
  Bytes body;
  body.u16(31).u8(0).u16(0);  // no condition actions
  body.u8(0x01).u16(5).u16(1).matrix(10, 10).cxform(std::vector<std::int32_t>{1, 2, 3, 4}, std::nullopt, true);
  body.u8(0x02).u16(6).u16(2).matrix().cxform(std::nullopt, std::nullopt, true);
  body.u8(0);
  Timeline t;
  t.tag(kDefineButton2, body).showFrame().end();
  const auto s = scanTimeline(t);
  EXPECT_EQ(s.row(31), (Row{{5, 1}, {6, 1}}));
  EXPECT_EQ(s.analysis.blockOf(31), 3);
}

TEST(DefinitionReferences, EditTextFontOnlyWithTheHasFontFlag) {
  Timeline t;
  t.tag(kDefineEditText, Bytes().u16(40).rect(0, 100, 0, 100).u16(0x0001).u16(3).u16(240))
      .tag(kDefineEditText, Bytes().u16(41).rect(0, 100, 0, 100).u16(0x8000).str("var"))
      .showFrame().end();
  const auto s = scanTimeline(t);
  EXPECT_EQ(s.row(40), (Row{{3, 1}}));
  EXPECT_TRUE(s.row(41).empty());
  EXPECT_EQ(s.analysis.blockOf(41), 4);
}

// A DefineText body: style record for `font1`, a 3-glyph record whose bits
// end mid-byte, style record for `font2`, a 1-glyph record, the end.
Bytes textBody(std::uint16_t id, std::uint16_t font1, std::uint16_t font2) {
  Bytes body;
  body.u16(id).rect(0, 100, 0, 100).matrix().u8(5).u8(3);
  body.u8(0x8C).u16(font1).rgb(0, 0, 0).u16(240);
  BitWriter glyphs;
  for (int i = 0; i < 3; ++i) glyphs.ubits(static_cast<std::uint32_t>(i), 5).sbits(-1, 3);  // 24 bits
  glyphs.ubits(1, 1);  // a leftover bit that belongs to no field
  body.u8(0x03).raw(glyphs.finish());
  body.u8(0x88).u16(font2).u16(240);
  body.u8(0x01).raw(BitWriter().ubits(2, 5).sbits(1, 3).finish());
  body.u8(0);
  return body;
}

TEST(DefinitionReferences, TextRecordsEachStartOnAByte) {
  Timeline t;
  t.tag(kDefineText, textBody(50, 3, 4)).showFrame().end();
  const auto s = scanTimeline(t);
  EXPECT_EQ(s.row(50), (Row{{3, 1}, {4, 1}}));
  EXPECT_EQ(s.analysis.blockOf(50), 3);
}

TEST(DefinitionReferences, ShapeBitmapFillsInStyleArraysAndStyleChanges) {
  Bytes body;
  body.u16(12).rect(0, 100, 0, 100);
  body.u8(1).u8(0x41).u16(7).matrix();  // clipped bitmap 7
  body.u8(0);                           // no line styles
  BitWriter w;
  w.ubits(1, 4).ubits(0, 4);
  // style change with new styles: fill array of one tiled bitmap 9, no lines
  w.ubits(0, 1).ubits(1, 1).ubits(0, 1).ubits(0, 1).ubits(1, 1).ubits(0, 1);
  w.ubits(1, 1);  // FillStyle0 = 1
  body.raw(w.finish());
  body.u8(1).u8(0x40).u16(9).matrix().u8(0);
  body.raw(BitWriter().ubits(1, 4).ubits(0, 4).ubits(0, 6).finish());
  Timeline t;
  t.tag(kDefineShape2, body).defineShape(13, {7}).showFrame().end();
  const auto s = scanTimeline(t);
  EXPECT_TRUE(s.analysis.analysed) << s.analysis.analysisError;
  EXPECT_EQ(s.row(12), (Row{{7, 1}, {9, 1}}));
  EXPECT_EQ(s.row(13), (Row{{7, 1}}));
}

}  // namespace
}  // namespace framestow
