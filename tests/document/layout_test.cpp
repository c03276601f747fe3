// Which definitions can leave the frames before a target frame, how many bytes
// they make, and where every tag of the saved movie ends up. Each row gives the
// input's main timeline, the target frame, whether redundant export entries
// are removed, the movable bytes and the main timeline of the saved movie, all
// as tags written by the builder: the expected values follow from the format.
#include <gtest/gtest.h>

#include "support/documents.hpp"
#include "support/saved_movie_check.hpp"
#include "support/tag_list.hpp"
#include "support/test_files.hpp"

namespace framestow::test {
namespace {

struct LayoutRow {
  const char* name;
  Tags input;
  std::int32_t frame;
  bool removal;
  std::int64_t movableBytes;
  Tags saved;
  MovieOptions options = {};
};

const ByteVector& S = kShowFrameBytes;
const ByteVector& E = kEndBytes;
const ByteVector& bg = kBackground;

ByteVector ex(std::uint16_t id) { return exports({{id, "n" + std::to_string(id)}}); }
ByteVector placing(std::uint16_t spriteId, const std::vector<std::uint16_t>& ids) {
  Tags inner;
  for (std::uint16_t id : ids) inner.push_back(place(id, static_cast<std::uint16_t>(inner.size() + 1)));
  return sprite(spriteId, inner + Tags{S, E});
}

// Layer k of 1..depth holds sprites 2k and 2k+1, each placing both sprites of
// layer k+1; the last layer places shape 1: 2^depth paths, 2 depth + 1 characters.
Tags diamond(int depth) {
  Tags defs{shape(1)};
  for (int k = depth; k >= 1; --k) {
    const auto a = static_cast<std::uint16_t>(2 * k);
    const std::vector<std::uint16_t> below = k == depth ? std::vector<std::uint16_t>{1} : std::vector<std::uint16_t>{static_cast<std::uint16_t>(a + 2), static_cast<std::uint16_t>(a + 3)};
    defs.push_back(placing(a, below));
    defs.push_back(placing(static_cast<std::uint16_t>(a + 1), below));
  }
  return defs;
}

ByteVector cxformOf(std::uint16_t button) {
  return tagBytes(kDefineButtonCxform, Bytes().u16(button).cxform(std::vector<std::int32_t>{128, 128, 128}, std::nullopt, false));
}
ByteVector gridOf(std::uint16_t id) { return tagBytes(kDefineScalingGrid, Bytes().u16(id).rect(20, 180, 20, 180)); }

void expectRow(const LayoutRow& row) {
  const ByteVector file = movieOf(row.input, row.options);
  Document doc;
  ASSERT_EQ(loadAndAnalyse(doc, file, tempPath("in.swf")), "");
  doc.plan(row.frame + 1);  // the marks of another plan must not count
  EXPECT_EQ(doc.plan(row.frame).movableBytes, row.movableBytes);
  const SavedCopy copy = saveInMemory(doc, row.frame, row.removal);
  ASSERT_EQ(copy.result, kSaved);
  EXPECT_EQ(listMovie(copy.bytes).movie, listMovie(movieOf(row.saved, row.options)).movie);
  for (const std::string& failure : checkSavedMovie(doc, file, copy.bytes, {row.frame, row.removal})) ADD_FAILURE() << failure;
  doc.plan(1);  // a save plans its own frame again
  EXPECT_EQ(saveInMemory(doc, row.frame, row.removal).bytes, copy.bytes);
}

TEST(Layout, DefinitionsThatMoveAndWhereTheyGo) {
  const ByteVector spriteTen = placing(10, {11});
  const ByteVector plainShape4 = tagBytes(kDefineShape4, Bytes().u16(1).rect(0, 20, 0, 20).rect(0, 20, 0, 20).u32(0).u8(0));  // no styles, no edges
  const LayoutRow rows[] = {
      {"target frame 1 counts the exported definitions of frame 1 and moves nothing",
       {bg, shape(1), ex(1), S, S, E}, 1, false, sizeOf({shape(1)}), {bg, shape(1), ex(1), S, S, E}},
      {"without SetBackgroundColor the first tag may move", {shape(1), ex(1), S, S, E}, 2, false, sizeOf({shape(1)}), {S, shape(1), ex(1), S, E}},
      {"held-back definitions open the target frame", {bg, shape(2), shape(1), ex(1), place(2), S, place(1, 2), S, E}, 2, false, sizeOf({shape(1)}),
       {bg, shape(2), place(2), S, shape(1), ex(1), place(1, 2), S, E}},
      {"what frame 2 shows stays for frame 3; the exports still come along",
       {bg, shape(1), ex(1), S, place(1), S, S, E}, 3, false, 0, {bg, shape(1), S, place(1), S, ex(1), S, E}},
      {"blocks from several frames keep their input order",
       {bg, shape(1), ex(1), shape(9), place(9), S, sound(2), ex(2), S, shape(3), ex(3), place(3, 2), S, S, E}, 3, false,
       sizeOf({shape(1), sound(2), shape(3)}), {bg, shape(9), place(9), S, S, shape(1), ex(1), sound(2), ex(2), shape(3), ex(3), place(3, 2), S, S, E}},
      {"a bitmap shared with a shape shown in frame 1 stays",
       {bg, bitmap(1, 40), shape(2, {1}), shape(3, {1}), ex(2), place(3), S, S, E}, 2, false, sizeOf({shape(2, {1})}),
       {bg, bitmap(1, 40), shape(3, {1}), place(3), S, shape(2, {1}), ex(2), S, E}},
      {"an exported shape takes its bitmap along", {bg, bitmap(1, 40), shape(2, {1}), ex(2), S, S, E}, 2, false, sizeOf({bitmap(1, 40), shape(2, {1})}),
       {bg, S, bitmap(1, 40), shape(2, {1}), ex(2), S, E}},
      {"a shape left in frame 1 keeps the exported bitmap it fills with", {bg, bitmap(1, 60), ex(1), shape(2, {1}), S, place(2), S, S, E}, 2, false, 0,
       {bg, bitmap(1, 60), shape(2, {1}), S, ex(1), place(2), S, S, E}},
      {"an exported sprite takes its tags, its init actions and what it places",
       {bg, shape(11), spriteTen, initActions(10), ex(10), S, S, E}, 2, false, sizeOf({shape(11), spriteTen, initActions(10)}),
       {bg, S, shape(11), spriteTen, initActions(10), ex(10), S, E}},
      {"an exported sprite shown in frame 2 stays for frame 3 with all it needs", {bg, shape(11), spriteTen, initActions(10), ex(10), S, place(10), S, S, E}, 3, false, 0,
       {bg, shape(11), spriteTen, initActions(10), S, place(10), S, ex(10), S, E}},
      {"a sprite shown in frame 1 keeps the exported shape it places",
       {bg, shape(1), ex(1), placing(2, {1}), place(2), S, S, E}, 2, false, 0, {bg, shape(1), placing(2, {1}), place(2), S, ex(1), S, E}},
      {"a sprite left in frame 1 keeps the exported shape it places",
       {bg, shape(1), ex(1), placing(2, {1}), S, S, place(2), S, E}, 2, false, 0, {bg, shape(1), placing(2, {1}), S, ex(1), S, place(2), S, E}},
      {"exported together, a sprite and its shape move together",
       {bg, shape(1), placing(2, {1}), exports({{1, "a"}, {2, "b"}}), S, S, E}, 2, false, sizeOf({shape(1), placing(2, {1})}),
       {bg, S, shape(1), placing(2, {1}), exports({{1, "a"}, {2, "b"}}), S, E}},
      {"a definition inside a sprite moves only with its sprite",
       {bg, sprite(2, {shape(1), place(1), S, E}), ex(1), S, S, E}, 2, false, 0, {bg, sprite(2, {shape(1), place(1), S, E}), S, ex(1), S, E}},
      {"a definition inside an exported sprite counts once, with it",
       {bg, sprite(2, {shape(1), place(1), S, E}), exports({{1, "a"}, {2, "b"}}), S, S, E}, 2, false, sizeOf({sprite(2, {shape(1), place(1), S, E})}),
       {bg, S, sprite(2, {shape(1), place(1), S, E}), exports({{1, "a"}, {2, "b"}}), S, E}},
      {"sprites placing each other move together", {bg, placing(5, {6}), placing(6, {5}), ex(5), S, S, E}, 2, false,
       sizeOf({placing(5, {6}), placing(6, {5})}), {bg, S, placing(5, {6}), placing(6, {5}), ex(5), S, E}},
      {"a cycle shown in frame 1 stays whole", {bg, placing(5, {6}), placing(6, {5}), ex(6), place(5), S, S, E}, 2, false, 0,
       {bg, placing(5, {6}), placing(6, {5}), place(5), S, ex(6), S, E}},
      {"thirty layers of sprites sharing children count every one once", Tags{bg} + diamond(30) + Tags{exports({{2, "a"}, {3, "b"}}), S, S, E},
       2, false, sizeOf(diamond(30)), Tags{bg, S} + diamond(30) + Tags{exports({{2, "a"}, {3, "b"}}), S, E}},
      {"thirty layers shown from the top leave only what nothing shown needs",
       Tags{bg} + diamond(30) + Tags{exports({{2, "a"}, {3, "b"}}), place(2), S, S, E}, 2, false, sizeOf({placing(3, {4, 5})}),
       [] { Tags t = Tags{bg} + diamond(30); t.erase(t.begin() + 61); return t + Tags{place(2), S, placing(3, {4, 5}), exports({{2, "a"}, {3, "b"}}), S, E}; }()},
      {"a sound started in frame 2 moves for frame 2 but not for frame 3", {bg, sound(3), ex(3), S, startSound(3), S, S, E}, 2, false,
       sizeOf({sound(3)}), {bg, S, sound(3), ex(3), startSound(3), S, S, E}},
      {"a sound started in frame 2 stays for frame 3", {bg, sound(3), ex(3), S, startSound(3), S, S, E}, 3, false, 0, {bg, sound(3), S, startSound(3), S, ex(3), S, E}},
      {"a definition inside the target frame counts and stays", {bg, S, shape(1), ex(1), S, S, E}, 2, false, sizeOf({shape(1)}), {bg, S, shape(1), ex(1), S, S, E}},
      {"a definition after the target frame neither counts nor moves", {bg, S, S, shape(1), ex(1), S, E}, 2, false, 0, {bg, S, S, shape(1), ex(1), S, E}},
      {"an exported character nothing defines counts the 4 bytes of the file's first block", {bg, ex(7), S, S, E}, 2, false, 4, {bg, S, ex(7), S, E}},
      {"characters nothing defines are walked like any other", {bg, placing(2, {60000}), ex(2), place(50000), S, S, E}, 2, false, sizeOf({placing(2, {60000})}) + 4,
       {bg, place(50000), S, placing(2, {60000}), ex(2), S, E}},
      {"a target frame past the frames the header promises moves nothing", {bg, shape(1), ex(1), S, S, E}, 4, false, 0,
       {bg, shape(1), ex(1), S, S, E}, header("FWS", 6, 6)},
      {"without a background colour only the header stays in place",
       {shape(1), ex(1), shape(2), place(2), S, S, E}, 2, false, sizeOf({shape(1)}), {shape(2), place(2), S, shape(1), ex(1), S, E}},
      {"definitions before the background colour stay in place, yet count",
       {shape(1), bg, shape(2), exports({{1, "a"}, {2, "b"}}), S, S, E}, 2, false, sizeOf({shape(1), shape(2)}),
       {shape(1), bg, S, shape(2), exports({{1, "a"}, {2, "b"}}), S, E}},
      {"a background colour after the insertion point holds nothing in place",
       {shape(1), ex(1), S, bg, S, E}, 2, false, sizeOf({shape(1)}), {S, shape(1), ex(1), bg, S, E}},
      {"a background colour before the insertion point holds frame 1 up to it",
       {shape(1), ex(1), S, bg, S, S, E}, 3, false, sizeOf({shape(1)}), {shape(1), ex(1), S, bg, S, S, E}},
      {"exports before the background colour stay whole, also with removal",
       {shape(1), exports({{1, "a"}, {1, "a"}}), bg, S, S, E}, 2, true, sizeOf({shape(1)}), {shape(1), exports({{1, "a"}, {1, "a"}}), bg, S, S, E}},
      {"bytes after the End tag are kept", {bg, shape(1), ex(1), S, S, E, ByteVector{0xDE, 0xAD, 0xBE, 0xEF, 0x00}}, 2, false,
       sizeOf({shape(1)}), {bg, S, shape(1), ex(1), S, E, ByteVector{0xDE, 0xAD, 0xBE, 0xEF, 0x00}}},
      {"a stray byte after the last tag of a movie without End is kept", {bg, shape(1), ex(1), S, S, ByteVector{0x00}}, 2, false,
       sizeOf({shape(1)}), {bg, S, shape(1), ex(1), S, ByteVector{0x00}}},
      {"removal drops repeated entries and tags of nothing but repeats",
       {bg, shape(1), shape(2), exports({{1, "a"}, {2, "b"}}), S, exports({{1, "a"}}), exports({{2, "b"}, {3, "c"}}), S, shape(3), E}, 1, true,
       sizeOf({shape(1), shape(2)}), {bg, shape(1), shape(2), exports({{1, "a"}, {2, "b"}}), S, exports({{3, "c"}}), S, shape(3), E}},
      {"removal keeps a second name for a character, in the same tag or a later one, and drops a repeated name",
       {bg, shape(2), exports({{2, "DDD"}, {2, "CCC"}, {2, "DDD"}}), exports({{2, "BBB"}}), exports({{2, "CCC"}}), S, S, E}, 1, true, sizeOf({shape(2)}),
       {bg, shape(2), exports({{2, "DDD"}, {2, "CCC"}}), exports({{2, "BBB"}}), S, S, E}},
      {"removal rewrites a short header's length",
       {bg, shape(1), shape(2), shape(3), exports({{1, "vwxyz"}, {2, "hijklmn"}, {1, "vwxyz"}, {3, "opqrstuvw"}}), S, S, E}, 1, true,
       sizeOf({shape(1), shape(2), shape(3)}), {bg, shape(1), shape(2), shape(3), exports({{1, "vwxyz"}, {2, "hijklmn"}, {3, "opqrstuvw"}}), S, S, E}},
      {"removal keeps a long header long", {bg, exports({{1, "a"}, {1, "a"}}, true), S, S, E}, 1, true, 4, {bg, exports({{1, "a"}}, true), S, S, E}},
      {"removal keeps names as stored", {bg, exports({{1, "a\tb"}, {1, "a\tb"}, {2, "e\rf"}}), S, S, E}, 1, true, 4, {bg, exports({{1, "a\tb"}, {2, "e\rf"}}), S, S, E}},
      {"removal keeps the bytes it cannot read as entries",
       {bg, tagBytes(kExportAssets, Bytes().u16(3).u16(1).str("ok").u16(1).str("ok").u16(2).u8('n').u8('o')), S, S, E}, 1, true, 4,
       {bg, tagBytes(kExportAssets, Bytes().u16(1).u16(1).str("ok").u16(2).u8('n').u8('o')), S, S, E}},
      {"removal also reduces the exports it holds back", {bg, shape(1), exports({{1, "a"}, {1, "a"}}), S, S, E}, 2, true,
       sizeOf({shape(1)}), {bg, S, shape(1), exports({{1, "a"}}), S, E}},
      {"a compressed movie is saved compressed", {bg, shape(1), bitmap(2, 300), exports({{1, "a"}, {2, "b"}, {1, "a"}}), S, place(1), S, S, E}, 2,
       true, sizeOf({shape(1), bitmap(2, 300)}), {bg, S, shape(1), bitmap(2, 300), exports({{1, "a"}, {2, "b"}}), place(1), S, S, E}, header("CWS")},
      {"long runs are written straight to the file between short ones",
       {bg, bitmap(1, 66000), shape(2, {1}), bitmap(3, 50), bitmap(4, 140000), exports({{1, "big"}, {3, "small"}}), place(2), S, shape(5),
        bitmap(6, 70000), ex(6), S, S, E}, 3, false, sizeOf({bitmap(3, 50), bitmap(6, 70000)}),
       {bg, bitmap(1, 66000), shape(2, {1}), bitmap(4, 140000), place(2), S, shape(5), S, bitmap(3, 50), exports({{1, "big"}, {3, "small"}}),
        bitmap(6, 70000), ex(6), S, E}},
      {"a sprite without End keeps the main timeline's frames outside it",
       {bg, shape(1), sprite(2, {place(1), S}), placing(3, {1}), ex(3), S, S, S, E}, 3, false, sizeOf({placing(3, {1})}),
       {bg, shape(1), sprite(2, {place(1), S}), S, S, placing(3, {1}), ex(3), S, E}},
      {"PlaceObject3 of a sprite in frame 1 keeps it there", {shape(1), placing(10, {1}), ex(10), placeObject3(10), S, attach(), S, E}, 2, false, 0,
       {shape(1), placing(10, {1}), placeObject3(10), S, ex(10), attach(), S, E}, header("FWS", 8)},
      {"a sprite placed by PlaceObject3 only later moves with what it places",
       {shape(1), placing(10, {1}), ex(10), S, placeObject3(10), attach(), S, E}, 2, false, sizeOf({shape(1), placing(10, {1})}),
       {S, shape(1), placing(10, {1}), ex(10), placeObject3(10), attach(), S, E}, header("FWS", 8)},
      {"the bitmaps of a DefineShape4 in frame 1 stay before it", {bitmap(5), bitmap(7), shape4(6, 5, 7), exports({{5, "f"}, {7, "l"}}), S, attach(), S, E}, 2, false, 0,
       {bitmap(5), bitmap(7), shape4(6, 5, 7), S, exports({{5, "f"}, {7, "l"}}), attach(), S, E}, header("FWS", 8)},
      {"a DefineShape4 that uses nothing is not counted when a staying sprite places it", {bg, plainShape4, placing(2, {1}), ex(2), placing(3, {1}), S, S, E}, 2, false,
       sizeOf({placing(2, {1})}), {bg, plainShape4, placing(3, {1}), S, placing(2, {1}), ex(2), S, E}, header("FWS", 8)},
      {"a DefineShape4 of frame 2 lets its bitmaps move",
       {bitmap(5), bitmap(7), exports({{5, "f"}, {7, "l"}}), S, shape4(6, 5, 7), attach(), S, E}, 2, false, sizeOf({bitmap(5), bitmap(7)}),
       {S, bitmap(5), bitmap(7), exports({{5, "f"}, {7, "l"}}), shape4(6, 5, 7), attach(), S, E}, header("FWS", 8)},
      {"a morph shape shown in frame 1 keeps its bitmap", {bitmap(5), morphShape(kDefineMorphShape, 8, 5), ex(5), place(8), S, attach(), S, E}, 2, false, 0,
       {bitmap(5), morphShape(kDefineMorphShape, 8, 5), place(8), S, ex(5), attach(), S, E}, header("FWS", 8)},
      {"an exported morph shape takes its bitmap along",
       {bitmap(5), morphShape(kDefineMorphShape, 8, 5), ex(8), S, attach(), S, E}, 2, false, sizeOf({bitmap(5), morphShape(kDefineMorphShape, 8, 5)}),
       {S, bitmap(5), morphShape(kDefineMorphShape, 8, 5), ex(8), attach(), S, E}, header("FWS", 8)},
      {"a DefineMorphShape2 stays and keeps its bitmap", {bitmap(6), morphShape(kDefineMorphShape2, 9, 6), ex(6), S, attach(), S, E}, 2, false, 0,
       {bitmap(6), morphShape(kDefineMorphShape2, 9, 6), S, ex(6), attach(), S, E}, header("FWS", 8)},
      {"a DefineText2 in frame 1 keeps its font", {font(3), text(kDefineText2, 12, 3, 3), ex(3), S, attach(), S, E}, 2, false, 0,
       {font(3), text(kDefineText2, 12, 3, 3), S, ex(3), attach(), S, E}, header("FWS", 8)},
      {"a button shown in frame 1 keeps its sound",
       {shape(1), sound(8), button2(20, buttonRecord(0x0F, 1, true)), buttonSound(20, 8), ex(8), place(20), S, attach(), S, E}, 2, false, 0,
       {shape(1), sound(8), button2(20, buttonRecord(0x0F, 1, true)), buttonSound(20, 8), place(20), S, ex(8), attach(), S, E}, header("FWS", 8)},
      {"an exported button takes its sound, colour transform and scaling grid",
       {shape(1), sound(8), button2(20, buttonRecord(0x0F, 1, true)), buttonSound(20, 8), cxformOf(20), gridOf(20), ex(20), S, attach(), S, E}, 2, false,
       sizeOf({shape(1), sound(8), button2(20, buttonRecord(0x0F, 1, true)), buttonSound(20, 8), cxformOf(20), gridOf(20)}),
       {S, shape(1), sound(8), button2(20, buttonRecord(0x0F, 1, true)), buttonSound(20, 8), cxformOf(20), gridOf(20), ex(20), attach(), S, E}, header("FWS", 8)},
      {"a scaling grid travels with its sprite", {shape(1), placing(10, {1}), gridOf(10), ex(10), S, attach(), S, E}, 2, false,
       sizeOf({shape(1), placing(10, {1}), gridOf(10)}), {S, shape(1), placing(10, {1}), gridOf(10), ex(10), attach(), S, E}, header("FWS", 8)},
  };
  for (const LayoutRow& row : rows) {
    SCOPED_TRACE(row.name);
    expectRow(row);
  }
}

}  // namespace
}  // namespace framestow::test
