// What the analysis reads off each kind of tag: what every timeline and
// definition refers to and in which frame, which block defines a character,
// in which frame the code attaches assets, which characters are linked
// assets, and where the blocks and frames are (the blocks of every movie
// analysed here are also checked against the independent lister). Every movie
// is written tag by tag; each row names the case it guards.
#include <gtest/gtest.h>

#include <optional>

#include "support/documents.hpp"
#include "support/test_files.hpp"

namespace framestow::test {
namespace {

const ByteVector& S = kShowFrameBytes;
const ByteVector& E = kEndBytes;

Bytes attachCode(const std::string& name = "attachMovie") { return Actions().pushString("clip").pushString(name).callMethod().bytes; }

// DefineShape2 (or `code`) of `id`: bounds, then the style arrays and shape records as given.
ByteVector shapeTag(std::uint16_t id, const Bytes& stylesAndRecords, std::uint16_t code = kDefineShape2) {
  return tagBytes(code, Bytes().u16(id).rect(0, 100, 0, 100).raw(stylesAndRecords));
}
Bytes bitmapFill(std::uint16_t bitmap) { return Bytes().u8(0x41).u16(bitmap).matrix(); }
// Index widths 0 and the end record: a shape without edges.
const ByteVector kNoRecords = BitWriter().ubits(0, 4).ubits(0, 4).ubits(0, 6).finish();
// Shape 12 whose fill array is `countAndFills`, then bitmap 9's fill: bitmap 9 is found only when they are read right.
ByteVector bitmapAfter(const Bytes& countAndFills, std::uint16_t code = kDefineShape2) {
  return shapeTag(12, Bytes().raw(countAndFills).raw(bitmapFill(9)).u8(0).raw(kNoRecords), code);
}

// Straight, vertical and curved edges with 2-bit coordinates, then a style
// change bringing a fill array with bitmap 9, and a move.
Bytes edgesThenNewStyles() {
  BitWriter w;
  w.ubits(0, 4).ubits(0, 4);
  w.ubits(1, 1).ubits(1, 1).ubits(0, 4).ubits(1, 1).sbits(-1, 2).sbits(1, 2);
  w.ubits(1, 1).ubits(1, 1).ubits(0, 4).ubits(0, 1).ubits(1, 1).sbits(1, 2);
  w.ubits(1, 1).ubits(0, 1).ubits(0, 4).sbits(1, 2).sbits(1, 2).sbits(1, 2).sbits(1, 2);
  w.ubits(0, 1).ubits(1, 1).ubits(0, 1).ubits(0, 1).ubits(0, 1).ubits(1, 1).ubits(3, 5).sbits(1, 3).sbits(-1, 3);
  return Bytes().u8(0).u8(0).raw(w.finish()).u8(1).raw(bitmapFill(9)).u8(0).raw(kNoRecords);
}

// Two line styles (width and colour), then a style change choosing fill 1 and
// line 2 with 1- and 2-bit indices, bringing bitmap 9.
Bytes lineStylesThenNewStyles() {
  Bytes b;
  b.u8(0).u8(2).u16(20).rgb(1, 2, 3).u16(40).rgb(4, 5, 6);
  b.raw(BitWriter().ubits(1, 4).ubits(2, 4).ubits(0, 1).ubits(1, 1).ubits(1, 1).ubits(0, 1).ubits(1, 1).ubits(0, 1)
            .ubits(1, 1).ubits(2, 2).finish());
  return b.u8(1).raw(bitmapFill(9)).u8(0).raw(kNoRecords);
}

// One filter of every kind the format has, sized as it defines them.
Bytes everyFilter() {
  return Bytes().u8(8).u8(0).fill(23).u8(1).fill(9).u8(2).fill(15).u8(3).fill(27).u8(4).u8(2).fill(2 * 5 + 19).u8(5).u8(2).u8(3).fill(8 + 4 * 6 + 5).u8(6).fill(80).u8(7).u8(1).fill(5 + 19);
}

Document analysedOf(const Tags& tags, std::uint8_t version) { return analysedMovie(tags, header("FWS", version)); }

struct ReferenceRow {
  const char* name;
  Tags tags;
  std::uint32_t row;  // 0: the main timeline
  std::vector<Reference> expected;
};

TEST(References, WhatEachTimelineAndDefinitionRefersTo) {
  Bytes solids256;
  for (int i = 0; i < 256; ++i) solids256.u8(0).rgb(1, 2, 3);
  const ReferenceRow rows[] = {
      {"main timeline placements and sound starts, with their frames",
       {shape(7), Timeline().placeObject(7, 1).bytes(), S, S, S, place(7, 2), startSound(9), S, E}, 0, {{7, 1}, {7, 4}, {9, 4}}},
      {"a sprite's placements carry the main-timeline frame it is defined in", {shape(3), S, sprite(20, {S, S, place(3), S, E}), S, E}, 20, {{3, 2}}},
      {"a PlaceObject2 that only moves a depth refers to nothing", {tagBytes(kPlaceObject2, Bytes().u8(0x05).u16(1).matrix(20, 20)), S, E}, 0, {}},
      {"PlaceObject3 reads past its class name to the character", {shape(1), placeObject3(1), S, E}, 0, {{1, 1}}},
      {"the highest character ids", {bitmap(65535), shape(65534, {65535}), place(65534), S, E}, 65534, {{65535, 1}}},
      {"a bitmap fill names a bitmap nothing defines", {shape(2, {40000}), S, E}, 2, {{40000, 1}}},
      {"bitmap fills of a shape", {bitmap(7), shape(13, {7, 7}), S, E}, 13, {{7, 1}, {7, 1}}},
      {"fill matrices with scale and rotation", {bitmapAfter(Bytes().u8(2).u8(0x41).u16(7).matrixFull(std::pair{65536, -131072}, std::pair{-65536, 32768}, -40, 20)), S, E}, 12, {{7, 1}, {9, 1}}},
      {"definitions that never move, with ids past every other", {bitmap(5), shape4(60000, 5, 5), morphShape(kDefineMorphShape2, 61000, 5), S, E}, 61000, {{5, 1}, {5, 1}}},
      {"a fill array of more than 254 styles has a 16-bit count", {bitmapAfter(Bytes().u8(0xFF).u16(257).raw(solids256)), S, E}, 12, {{9, 1}}},
      {"solid colours of DefineShape3 carry alpha", {bitmapAfter(Bytes().u8(2).u8(0).rgba(1, 2, 3, 4), kDefineShape3), S, E}, 12, {{9, 1}}},
      {"gradients hold a ratio and a colour per entry", {bitmapAfter(Bytes().u8(2).u8(0x10).matrix(5, 5).u8(3).fill(3 * 4)), S, E}, 12, {{9, 1}}},
      {"gradients of DefineShape3 have colours with alpha", {bitmapAfter(Bytes().u8(2).u8(0x12).matrix(5, 5).u8(3).fill(3 * 5), kDefineShape3), S, E}, 12, {{9, 1}}},
      {"line styles, then style indices of their widths", {shapeTag(12, lineStylesThenNewStyles()), S, E}, 12, {{9, 1}}},
      {"edges with 2-bit coordinates, then new styles", {shapeTag(12, edgesThenNewStyles()), S, E}, 12, {{9, 1}}},
      {"DefineShape4: a focal gradient, a bitmap fill and a filled line style", {shape4(6, 5, 7), S, E}, 6, {{5, 1}, {7, 1}}},
      {"text records start on a byte after glyph bits that end mid-byte", {text(kDefineText, 50, 3, 4), S, E}, 50, {{3, 1}, {4, 1}}},
      {"glyph fields wider than 32 bits are read whole",
       {tagBytes(kDefineText, Bytes().u16(50).rect(0, 100, 0, 100).matrix().u8(40).u8(33).u8(0x88).u16(3).u16(240).u8(0x01)
                                  .raw(BitWriter().ubits(0, 20).ubits(0, 20).sbits(0, 16).sbits(0, 17).finish()).u8(0x88).u16(4).u16(240).u8(0)),
        S, E}, 50, {{3, 1}, {4, 1}}},
      {"DefineText2 colours have alpha", {text(kDefineText2, 50, 3, 4), S, E}, 50, {{3, 1}, {4, 1}}},
      {"a text defined again starts its row afresh", {text(kDefineText2, 12, 3, 4), text(kDefineText2, 12, 5, 5), S, E}, 12, {{5, 1}, {5, 1}}},
      {"an edit text's font, when it has one", {tagBytes(kDefineEditText, Bytes().u16(40).rect(0, 100, 0, 100).u16(0x0001).u16(3).u16(240)), S, E}, 40, {{3, 1}}},
      {"an edit text without a font", {tagBytes(kDefineEditText, Bytes().u16(41).rect(0, 100, 0, 100).u16(0x8000).str("var")), S, E}, 41, {}},
      {"a button defined again starts its row afresh", {button(30, {1, 2}), button(30, {8}), S, E}, 30, {{8, 1}}},
      {"DefineButton2 records carry colour transforms",
       {button2(31, Bytes().raw(buttonRecord(0x01, 5, true)).raw(buttonRecord(0x02, 6, true))), S, E}, 31, {{5, 1}, {6, 1}}},
      {"DefineButton2 records of SWF 8 carry filters and a blend mode",
       {button2(31, Bytes().raw(buttonRecord(0x31, 5, true)).u8(1).u8(1).fill(9).u8(3).raw(buttonRecord(0x02, 6, true))), S, E}, 31, {{5, 1}, {6, 1}}},
      {"a button's sounds join its row", {shape(1), sound(8), button2(20, buttonRecord(0x0F, 1, true)), buttonSound(20, 8), S, E}, 20, {{1, 1}, {8, 1}, {8, 1}}},
      {"DefineMorphShape's bitmap fill", {morphShape(kDefineMorphShape, 8, 5), S, E}, 8, {{5, 1}}},
      {"DefineMorphShape's gradient fill has start and end matrices",
       {morphShape(kDefineMorphShape, 8, 5, Bytes().u8(0x10).matrix(1, 1).matrix(2, 2).u8(2).fill(20)), S, E}, 8, {{5, 1}}},
      {"an unknown morph fill type ends the shape's fills: its size is unknown", {morphShape(kDefineMorphShape, 8, 5, Bytes().u8(0x33)), S, E}, 8, {}},
      {"DefineMorphShape2's bitmap fill and filled line style", {morphShape(kDefineMorphShape2, 9, 6), S, E}, 9, {{6, 1}, {6, 1}}},
  };
  for (const ReferenceRow& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(analysedOf(row.tags, 8).references(row.row), row.expected);
  }
}

struct DefinitionRow {
  const char* name;
  Tags tags;
  std::vector<std::pair<std::uint16_t, std::optional<std::uint32_t>>> blocks;  // character -> defining block
};

TEST(Definitions, WhichBlockDefinesACharacter) {
  const DefinitionRow rows[] = {
      {"each kind of definition, by its block (three header blocks come first)",
       {shape(1), bitmap(2), sound(3), font(4), tagBytes(kDefineBitsJpeg2, Bytes().u16(5).fill(4)),
        tagBytes(kDefineBitsLossless2, Bytes().u16(6).fill(4)), morphShape(kDefineMorphShape, 7, 2), tagBytes(kDefineFont2, Bytes().u16(8).fill(4)),
        text(kDefineText, 9, 4, 4), tagBytes(kDefineEditText, Bytes().u16(10).rect(0, 1, 0, 1).u16(0)), button(11, {1}),
        button2(12, buttonRecord(0x01, 1, true)), sprite(13, {S, E}), S, E},
       {{1, 3}, {2, 4}, {3, 5}, {4, 6}, {5, 7}, {6, 8}, {7, 9}, {8, 10}, {9, 11}, {10, 12}, {11, 13}, {12, 14}, {13, 15}}},
      {"a font's entry moves to its font info", {font(4), tagBytes(kDefineFontInfo, Bytes().u16(4).u8(0)), S, E}, {{4, 4}}},
      {"definitions that never move have no block", {shape4(6, 5, 7), text(kDefineText2, 12, 3, 3), morphShape(kDefineMorphShape2, 9, 6), S, E},
       {{6, std::nullopt}, {12, std::nullopt}, {9, std::nullopt}}},
      {"a character nothing defines, or only a DefineBits", {tagBytes(kDefineBits, Bytes().u16(6).fill(10)), shape(2, {6}), S, E},
       {{6, std::nullopt}, {999, std::nullopt}, {2, 4}}},
  };
  for (const DefinitionRow& row : rows) {
    SCOPED_TRACE(row.name);
    const Document doc = analysedOf(row.tags, 8);
    for (const auto& [id, block] : row.blocks) EXPECT_EQ(doc.definingBlock(id), block) << "character " << id;
  }
}

struct AttachRow {
  const char* name;
  Tags tags;
  std::uint8_t version;
  std::uint32_t timeline;
  std::int32_t frame;  // first frame with an attach code; 0: none
};

TEST(AttachCodes, InWhichFrameTheCodeFirstAttaches) {
  Bytes manyValues;  // float, null, undefined, register, boolean, double, integer, constants, then the name
  manyValues.u8(1).u32(0).u8(2).u8(3).u8(4).u8(0).u8(5).u8(1).u8(6).fill(8).u8(7).u32(0).u8(8).u8(1).u8(9).u16(1).u8(0).str("attachMovie");
  const ByteVector plain = sprite(1, {S, E});
  const AttachRow rows[] = {
      {"a Push of attachMovie, in its frame", {S, S, attach(), S, E}, 6, 0, 3},
      {"a constant pool entry, in its frame", {S, doAction(Actions().constantPool({"x", "attachSound"}).pushConstant(1).bytes), S, E}, 6, 0, 2},
      {"only the first frame of a timeline counts", {S, attach("attachSound"), S, S, attach(), S, E}, 6, 0, 2},
      {"names are compared exactly", {attach("AttachMovie"), attach("attachmovie"), attach("attachMovie "), S, E}, 6, 0, 0},
      {"values pushed before the name are skipped by their sizes", {doAction(Actions().action(0x96, manyValues).bytes), S, E}, 6, 0, 1},
      {"actions below 0x80 have no length", {doAction(Actions().action(0x07).action(0x81, Bytes().u16(3)).pushString("attachMovie").bytes), S, E}, 6, 0, 1},
      {"an action that ends exactly where its tag ends, without End, is read whole", {tagBytes(kDoAction, Actions().pushString("attachMovie").bytes), S, E}, 6, 0, 1},
      {"a name cut off by the end of its tag is read up to it",
       {tagBytes(kDoAction, Bytes().u8(0x96).u16(12).u8(0).raw(ByteVector{'a', 't', 't', 'a', 'c', 'h', 'M', 'o', 'v', 'i', 'e'})), S, E}, 6, 0, 1},
      {"a sprite's code is the sprite's", {plain, plain, sprite(5, {attach(), S, E}), S, E}, 6, 3, 1},
      {"a sprite counts its own frames, wherever it is defined", {S, sprite(5, {attach(), S, E}), S, E}, 6, 1, 1},
      {"a sprite's code is not the main timeline's", {plain, sprite(5, {attach(), S, E}), S, E}, 6, 0, 0},
      {"DefineButton actions", {S, button(30, {1}, attachCode()), S, E}, 6, 0, 2},
      {"DefineButton2 condition actions", {S, S, button2(31, buttonRecord(0x01, 1, true), attachCode("attachSound")), S, E}, 6, 0, 3},
      {"clip actions of SWF 5", {S, clipActions(5, false, attachCode()), S, E}, 5, 0, 2},
      {"clip actions of SWF 7 on a key press", {S, clipActions(7, true, attachCode()), S, E}, 7, 0, 2},
      {"PlaceObject3: every filter kind, blend mode, bitmap caching, then clip actions",
       {clipActions(8, false, attachCode(), 0x07, Bytes().raw(everyFilter()).u8(3).u8(1), true), S, E}, 8, 0, 1},
      {"PlaceObject3: a filter of unknown size hides the clip actions", {clipActions(8, false, attachCode(), 0x01, Bytes().u8(1).u8(9).fill(30), true), S, E}, 8, 0, 0},
      {"an action running past its tag hides nothing after the tag", {tagBytes(kDoAction, Bytes().u8(0x96).u16(50).u8(0).str("at").u8(0)), S, attach(), S, E}, 6, 0, 2},
      {"a clip action running past its tag ends the tag", {S, clipActions(6, false, Bytes().u8(0x96).u16(500)), attach(), S, E}, 6, 0, 2},
      {"init code is no attach code of its frame", {plain, Timeline().doInitAction(1, attachCode()).bytes(), S, attach(), S, E}, 6, 0, 2},
  };
  for (const AttachRow& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(analysedOf(row.tags, row.version).attachFrame(row.timeline), row.frame);
  }
}

struct ExportRow {
  const char* name;
  Tags tags;
  std::vector<LinkedAsset> assets;
  std::int64_t redundantBytes;
};

TEST(LinkedAssets, ExportedCharactersAndRedundantEntries) {
  const ExportRow rows[] = {
      {"each character once, in first-export order, with every name; a second name is no repeat",
       {exports({{5, "a"}, {3, "b"}}), exports({{3, "c"}, {9, "d"}}), S, E}, {{5, {"a"}}, {3, {"b", "c"}}, {9, {"d"}}}, 0},
      {"a repeat of a character and its name in the same tag is redundant", {exports({{1, "one"}, {1, "again"}, {1, "one"}, {2, "two"}}), S, E},
       {{1, {"one", "again"}}, {2, {"two"}}}, 2 + 4},
      {"a tag of repeats, or of nothing, counts whole", {exports({{1, "one"}}), exports({{1, "one"}}), exports({}), S, E}, {{1, {"one"}}}, (2 + 2 + 2 + 4) + (2 + 2)},
      {"one name for two characters is no repeat", {exports({{1, "same"}, {2, "same"}}), S, E}, {{1, {"same"}}, {2, {"same"}}}, 0},
      {"names count as stored, control characters too", {exports({{1, "a\tb"}, {1, "a\tb"}, {2, "e\rf"}}), S, E}, {{1, {"a\tb"}}, {2, {"e\rf"}}}, 6},
      {"an entry running past its tag ends the entries",
       {tagBytes(kExportAssets, Bytes().u16(3).u16(1).str("ok").u16(1).str("ok").u16(2).u8('n').u8('o')), S, E}, {{1, {"ok"}}}, 2 + 3},
      {"id 0 exports nothing and is no repeat", {exports({{0, "nothing"}, {0, "nothing"}}), S, E}, {}, 0},
  };
  for (const ExportRow& row : rows) {
    SCOPED_TRACE(row.name);
    const Document doc = analysedOf(row.tags, 6);
    EXPECT_EQ(doc.linkedAssets(), row.assets);
    EXPECT_EQ(doc.redundantExportBytes(), row.redundantBytes);
  }
}

struct BlocksRow {
  const char* name;
  ByteVector file;
  std::vector<std::uint32_t> frameEnds;  // block of the ShowFrame ending frame 1, 2, ...
  std::size_t blocks;
  int ticks;  // of progress: one per tag and per action record
};

TEST(Blocks, WhereEachTagAndFrameIs) {
  MovieOptions cut;
  cut.fileLength = static_cast<std::uint32_t>(movieOf({S, E}).size());
  const BlocksRow rows[] = {
      {"a movie of only an End tag: three header blocks, End and the closing record", movieOf({E}), {}, 5, 1},
      {"tag headers keep their long form", movieOf({tagBytes(kDoAction, Bytes().u8(0), true), tagBytes(77, Bytes().fill(70), true), S, E}), {5}, 8, 4},
      {"a progress tick per tag and per action record", movieOf({doAction(Actions().action(0x07).pushString("attachMovie").bytes), S, E}), {4}, 7, 3 + 2},
      {"the scan stops at the declared length", movieOf({S, E, S}, cut), {3}, 6, 2},
      {"a tag claiming more than the movie holds ends with the movie", movieOf({S, ByteVector{0x3F, 0x03, 0xFF, 0xFF, 0xFF, 0x7F, 1, 2, 3}}), {3}, 5, 2 + 2},
  };
  for (const BlocksRow& row : rows) {
    SCOPED_TRACE(row.name);
    Document doc;
    int ticks = 0;
    ASSERT_EQ(load(doc, writeFile(tempPath("movie.swf"), row.file)), "");
    ASSERT_TRUE(doc.analyze([&ticks] { ++ticks; }));
    expectAnalysisOfListing(doc, row.file);
    EXPECT_EQ(doc.frameEnds(), row.frameEnds);
    EXPECT_EQ(doc.blocks().size(), row.blocks);
    for (const Block& b : doc.blocks()) EXPECT_LE(std::size_t{b.offset} + b.headerSize + b.bodySize, row.file.size());
    EXPECT_EQ(ticks, row.ticks);
  }
}

}  // namespace
}  // namespace framestow::test
