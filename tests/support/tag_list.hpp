// Reads a movie file back into its main-timeline tags, independently of the
// code under test, so tests can say where each tag ended up.
#pragma once

#include <cstdint>
#include <vector>

#include "support/swf_builder.hpp"

namespace framestow::test {

struct ListedTag {
  std::uint16_t code = 0;
  std::uint32_t frame = 1;  // main-timeline frame the tag stands in
  std::uint16_t id = 0;     // first 16-bit field of the body (the character id of definitions)
  ByteVector bytes;         // header and body as they stand in the file
};

// The main timeline's tags (a sprite is one tag). Inflates "CWS" files.
std::vector<ListedTag> listTags(const ByteVector& file);

// Index of the first tag with `code` and `id`, or -1.
int findTag(const std::vector<ListedTag>& tags, std::uint16_t code, std::uint16_t id);

}  // namespace framestow::test
