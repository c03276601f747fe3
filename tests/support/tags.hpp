// Single tags as byte strings, written with the SWF builder, so that a test
// states a movie, and the movie a save must write, as lists of the same tags.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "common/tag_codes.hpp"
#include "support/swf_builder.hpp"

namespace framestow::test {

using Tags = std::vector<ByteVector>;


inline const ByteVector kShowFrameBytes = tagBytes(kShowFrame, ByteVector{});
inline const ByteVector kEndBytes = tagBytes(kEnd, ByteVector{});
inline const ByteVector kBackground = Timeline().setBackgroundColor().bytes();

inline ByteVector shape(std::uint16_t id, const std::vector<std::uint16_t>& bitmapFills = {}) {
  return Timeline().defineShape(id, bitmapFills).bytes();
}
inline ByteVector bitmap(std::uint16_t id, std::size_t pixelBytes = 8) {
  return Timeline().defineBitsLossless(id, pixelBytes).bytes();
}
inline ByteVector sound(std::uint16_t id) { return Timeline().defineSound(id).bytes(); }
inline ByteVector font(std::uint16_t id) { return Timeline().defineFont(id).bytes(); }
inline ByteVector place(std::uint16_t id, std::uint16_t depth = 1) { return Timeline().placeObject2(id, depth).bytes(); }
inline ByteVector startSound(std::uint16_t id) { return Timeline().startSound(id).bytes(); }
inline ByteVector initActions(std::uint16_t spriteId) {
  return Timeline().doInitAction(spriteId, Actions().action(0x07).bytes).bytes();
}
inline ByteVector doAction(const Bytes& actions) { return Timeline().doAction(actions).bytes(); }
// A DoAction whose Push names `name` (an attach code for "attachMovie" and "attachSound").
inline ByteVector attach(const std::string& name = "attachMovie") { return doAction(Actions().pushString(name).bytes); }
inline ByteVector exports(const std::vector<std::pair<std::uint16_t, std::string>>& entries, bool forceLong = false) {
  return Timeline().exportAssets(entries, forceLong).bytes();
}

// Header options: the signature, the version, and a frame count other than the ShowFrames'.
inline MovieOptions header(const std::string& signature, std::uint8_t version = 6, std::optional<std::uint16_t> frames = {}) {
  MovieOptions options;
  options.signature = signature;
  options.version = version;
  options.frameCount = frames;
  return options;
}

// The tags one after the other.
ByteVector joined(const Tags& tags);
inline Tags operator+(Tags a, const Tags& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}
// A DefineSprite holding `inner` (which brings its own End, or none).
ByteVector sprite(std::uint16_t id, const Tags& inner);
// The movie file of these main-timeline tags; unless the options say
// otherwise, the header counts the ShowFrames among them.
ByteVector movieOf(const Tags& tags, MovieOptions options = {});
// Bytes of the tags together.
std::int64_t sizeOf(const Tags& tags);

// A movie of exported bitmaps holding `bytes` of incompressible pixels (at most
// 256 kB each) in frame 1, then two empty frames: a save for frame 2 moves them.
ByteVector bitmapsMovie(std::size_t bytes, const std::string& signature = "FWS");

// Tags whose bodies the analysis reads field by field.
// DefineShape4: edge bounds, a focal gradient and bitmap `fill`, a LINESTYLE2
// with miter join filled with bitmap `line`.
ByteVector shape4(std::uint16_t id, std::uint16_t fill, std::uint16_t line);
// DefineText or DefineText2 (colours with alpha): a style record with `font1`,
// a colour and both offsets, 3 glyphs of 9 bits, a style record with `font2`.
ByteVector text(std::uint16_t code, std::uint16_t id, std::uint16_t font1, std::uint16_t font2);
// A button record (DefineButton2's with a colour transform).
Bytes buttonRecord(std::uint8_t flags, std::uint16_t character, bool button2);
ByteVector button(std::uint16_t id, const std::vector<std::uint16_t>& characters, const Bytes& actions = {});
// DefineButton2 with `records`, then one condition action holding `actions`.
ByteVector button2(std::uint16_t id, const Bytes& records, const Bytes& actions = {});
// DefineButtonSound: sound `soundId` with every sound-info field on the second transition, plain on the third.
ByteVector buttonSound(std::uint16_t button, std::uint16_t soundId);
// DefineMorphShape (or DefineMorphShape2, whose LINESTYLE2 is filled with the
// bitmap too): `firstFill`, then a fill with `bitmap`.
ByteVector morphShape(std::uint16_t code, std::uint16_t id, std::uint16_t bitmap,
                      const Bytes& firstFill = Bytes().u8(0).rgba(1, 1, 1, 1).rgba(2, 2, 2, 2));
// PlaceObject3 of character `id` after a class name.
ByteVector placeObject3(std::uint16_t id);
// PlaceObject2 (or PlaceObject3 with `flags3` and `extra` filters and flags) of
// character 1 with a colour transform, a name, a clip depth and clip actions
// for SWF `version` holding `actions`.
ByteVector clipActions(int version, bool keyPress, const Bytes& actions, std::uint8_t flags3 = 0, const Bytes& extra = {}, bool placeObject3 = false);

}  // namespace framestow::test
