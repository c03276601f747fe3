// The movies of the command-line tables, as tags written by the builder.
#pragma once

#include <string>

#include "support/tags.hpp"

namespace framestow::clitest {

using namespace framestow::test;

// Sprite 2 placing shape 1, both defined in frame 1 and exported by `exportTag`
// there; frame 2 attaches. 400 x 300 pixels, 12 frames per second.
inline ByteVector intro(const ByteVector& exportTag = exports({{2, "hero"}}), const std::string& signature = "FWS", std::uint8_t version = 6) {
  return movieOf({kBackground, shape(1), sprite(2, {place(1), kShowFrame, kEnd}), exportTag, kShowFrame, attach(), kShowFrame, kEnd}, header(signature, version));
}
// The intro movie saved for frame 2, with `exportTag` for its export.
inline ByteVector introMoved(const ByteVector& exportTag = exports({{2, "hero"}}), const std::string& signature = "FWS") {
  return movieOf({kBackground, kShowFrame, shape(1), sprite(2, {place(1), kShowFrame, kEnd}), exportTag, attach(), kShowFrame, kEnd}, header(signature));
}
// What a plan for frame 2 of the intro movie moves: the shape and the whole sprite.
inline std::string introMovable() { return std::to_string(sizeOf({shape(1), sprite(2, {place(1), kShowFrame, kEnd})})); }

}  // namespace framestow::clitest
