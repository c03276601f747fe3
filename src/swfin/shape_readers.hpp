// Readers for shape bodies: fill and line style arrays, gradients, shape records.
//
// What the program needs of a shape is the bitmaps its fills use, but every
// field is read exactly, so that each record is found where the previous one
// ends.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "common/tag_codes.hpp"
#include "swfin/byte_reader.hpp"

namespace framestow {

// Reads the body of a DefineShape, DefineShape2, DefineShape3 or DefineShape4
// tag after its character id, to the end of `body`. Appends the id of every
// bitmap a fill style names to `bitmaps`, in the order read. Returns the fill
// style type that stopped the read when the format defines no such type for
// this tag (the rest of the shape cannot be found).
std::optional<std::uint8_t> readShapeBody(ByteReader& body, TagCode code, std::vector<std::uint16_t>& bitmaps);

// Reads a DefineMorphShape or DefineMorphShape2 body after its character id:
// its bounds, then its fill and line styles, appending the bitmaps they name.
// Stops at a fill type whose size is unknown (nothing after it can be found).
void readMorphShapeBody(ByteReader& body, TagCode code, std::vector<std::uint16_t>& bitmaps);

}  // namespace framestow
