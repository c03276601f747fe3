#include "support/seed_movies.hpp"

namespace framestow::test {

std::vector<SeedMovie> seedMovies() {
  const Bytes attachCall = Actions().pushString("clip").pushString("attachMovie").callMethod().bytes;
  // An exported sprite in frame 1, attached in frame 2.
  const Tags intro{kBackground, shape(2), sprite(3, {place(2), kShowFrame, kEnd}), exports({{3, "clip"}}), kShowFrame, attach(), kShowFrame, kEnd};
  // Bitmaps, shapes of every kind, sounds, fonts, texts, buttons and their companions, morph shapes,
  // init actions, clip actions, redundant exports.
  const Tags library{
      bitmap(10, 64), kBackground, shape(11, {10}), shape4(12, 10, 10), sound(20), font(30), text(kDefineText, 31, 30, 30), text(kDefineText2, 34, 30, 30),
      tagBytes(kDefineEditText, Bytes().u16(32).rect(0, 400, 0, 200).u16(0x0001).u16(30).u16(240).str("hello")),
      button2(33, buttonRecord(0x0F, 11, true), attachCall), buttonSound(33, 20), button(35, {11}, attachCall),
      morphShape(kDefineMorphShape, 36, 10), morphShape(kDefineMorphShape2, 37, 10),
      sprite(40, {place(11), startSound(20), kShowFrame, place(12, 2), kShowFrame, kEnd}),
      Timeline().doInitAction(40, Actions().constantPool({"attachMovie", "lib"}).pushConstant(1).pushConstant(0).callMethod().bytes).bytes(),
      exports({{40, "lib"}, {33, "btn"}, {31, "txt"}, {20, "snd"}, {36, "morph"}}), exports({{40, "lib"}}, true),
      Timeline().placeObject(12, 1).bytes(), kShowFrame, clipActions(8, false, attachCall), placeObject3(40), kShowFrame, kShowFrame, kEnd};
  // Sprites placing themselves and each other; no background colour.
  const Tags cycle{sprite(50, {place(50), place(51, 2), kShowFrame, kEnd}), sprite(51, {place(50), kShowFrame, kEnd}),
                   exports({{50, "a"}, {51, "b"}}), kShowFrame, kShowFrame, doAction(Actions().pushDoubleThenString(1.5, "attachMovie").bytes), kShowFrame, kEnd};
  // Bytes after End; a header promising more frames than there are.
  const Tags trailing{kBackground, sound(5), exports({{5, "s"}}), kShowFrame, startSound(5), kShowFrame, kEnd, ByteVector{1, 2, 3, 4}};
  Tags many{kBackground};
  for (std::uint16_t f = 0; f < 40; ++f) {
    const auto id = static_cast<std::uint16_t>(100 + f);
    many.insert(many.end(), {bitmap(id, 16), shape(static_cast<std::uint16_t>(id + 100), {id}), exports({{static_cast<std::uint16_t>(id + 100), "s"}})});
    if (f % 3 == 0) many.push_back(place(static_cast<std::uint16_t>(id + 100), f));
    many.push_back(kShowFrame);
  }
  many.push_back(kEnd);
  return {{"intro_fws", movieOf(intro)}, {"intro_cws", movieOf(intro, header("CWS", 6))}, {"library_fws", movieOf(library, header("FWS", 8))},
          {"library_cws", movieOf(library, header("CWS", 8))}, {"cycle_fws", movieOf(cycle)}, {"trailing_fws", movieOf(trailing, header("FWS", 6, 9))},
          {"old_version", movieOf({kBackground, kShowFrame, kEnd}, header("FWS", 4))}, {"many_frames_fws", movieOf(many)}};
}

}  // namespace framestow::test
