// Single tags as byte strings, written with the SWF builder, so that a test
// states a movie, and the movie a save must write, as lists of the same tags.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "support/swf_builder.hpp"

namespace framestow::test {

using Tags = std::vector<ByteVector>;

// Tag codes of the SWF format, by the format's names.
enum Code : std::uint16_t {
  kEndTag = 0, kShowFrameTag = 1, kDefineShape = 2, kPlaceObject = 4, kDefineBits = 6, kDefineButton = 7,
  kSetBackgroundColor = 9, kDefineFont = 10, kDefineText = 11, kDoAction = 12, kDefineFontInfo = 13,
  kDefineSound = 14, kDefineButtonSound = 17, kDefineBitsLossless = 20, kDefineBitsJpeg2 = 21, kDefineShape2 = 22,
  kDefineButtonCxform = 23, kPlaceObject2 = 26, kDefineShape3 = 32, kDefineText2 = 33, kDefineButton2 = 34,
  kDefineBitsLossless2 = 36, kDefineEditText = 37, kDefineSprite = 39, kDefineMorphShape = 46, kDefineFont2 = 48,
  kExportAssets = 56, kDoInitAction = 59, kPlaceObject3 = 70, kDefineScalingGrid = 78, kDefineShape4 = 83,
  kDefineMorphShape2 = 84,
};

inline const ByteVector kShowFrame = tagBytes(1, ByteVector{});
inline const ByteVector kEnd = tagBytes(0, ByteVector{});
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
// A DoAction whose Push names `name` (an attach code when it is "attachMovie" or "attachSound").
inline ByteVector doAction(const Bytes& actions) { return Timeline().doAction(actions).bytes(); }
inline ByteVector attach(const std::string& name = "attachMovie") { return doAction(Actions().pushString(name).bytes); }
inline ByteVector exports(const std::vector<std::pair<std::uint16_t, std::string>>& entries, bool forceLong = false) {
  return Timeline().exportAssets(entries, forceLong).bytes();
}

// The tags one after the other.
ByteVector joined(const Tags& tags);
// A DefineSprite holding `inner` (which brings its own End, or none).
ByteVector sprite(std::uint16_t id, const Tags& inner);
// The movie file of these main-timeline tags; unless the options say
// otherwise, the header counts the ShowFrames among them.
ByteVector movieOf(const Tags& tags, MovieOptions options = {});
// Bytes of the tags together.
std::int64_t sizeOf(const Tags& tags);

}  // namespace framestow::test
