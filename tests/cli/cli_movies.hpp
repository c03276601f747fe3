// Small movies for the command-line tests, kept as separate tag byte strings so
// that a test can put together both the input and the movie a save must write.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "support/swf_builder.hpp"

namespace framestow::clitest {

using test::ByteVector;

// Concatenation of tag byte strings.
ByteVector joined(const std::vector<ByteVector>& tags);

// One linked asset: sprite 2 ("hero") placing shape 1, both defined in frame 1
// and exported there; frame 2 holds a DoAction that pushes "attachMovie".
// 400 x 300 pixels, 12 frames per second, two frames.
struct OneAssetMovie {
  explicit OneAssetMovie(std::vector<std::pair<std::uint16_t, std::string>> exportEntries = {{2, "hero"}});

  ByteVector background, shape, sprite, exports, showFrame, attach, end;

  ByteVector file(const std::string& signature = "FWS", std::uint8_t version = 6) const;
  // The movie a save for frame 2 writes: the definitions and the ExportAssets
  // tag held back to the start of frame 2, `exportTag` in place of the export.
  ByteVector movedToFrame2(const ByteVector& exportTag, const std::string& signature = "FWS") const;
  // What the planner counts for frame 2: the shape and the whole sprite.
  std::int64_t movableBytes() const { return static_cast<std::int64_t>(shape.size() + sprite.size()); }
};

// ExportAssets tag bytes for these entries.
ByteVector exportTag(const std::vector<std::pair<std::uint16_t, std::string>>& entries);

// Two frames, a shape placed in frame 1, nothing exported.
ByteVector noLinkedAssetsMovie();

// A shape whose fill style type is 0x13, which the SWF format does not define.
ByteVector unknownFillMovie();

// The one-asset movie with a DoAction in frame 2 whose Push claims more bytes
// than its tag holds (what obfuscators write).
ByteVector obfuscatedMovie();

// The one-asset movie stretched to `frames` frames, the attach code in frame 2.
ByteVector longMovie(std::uint16_t frames);

// Writes `bytes` as `name` in `folder`; returns the path.
std::string writeMovie(const std::string& folder, const std::string& name, const ByteVector& bytes);

}  // namespace framestow::clitest
