// Checks a stream profile against the movie file it describes, through the
// format and the decoders alone: each frame's arrival is the first byte of
// the file from which a zlib or LZMA decoder yields the frame's ShowFrame.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "document/stream_profile.hpp"
#include "support/swf_builder.hpp"

namespace framestow::test {

// Where the profile of `file` is not what its bytes say: the file's size, one
// arrival per ShowFrame of the main timeline, and each the shortest prefix of
// the file whose decoding (of a prefix, from the start) reaches past that
// ShowFrame. Empty when all hold; `file` must be a whole movie.
std::vector<std::string> streamProfileDiffers(const ByteVector& file, const std::optional<StreamProfile>& profile);

}  // namespace framestow::test
