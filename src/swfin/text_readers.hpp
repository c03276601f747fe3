// The text records of a static text (DefineText, DefineText2): the fonts it uses.
#pragma once

#include <cstdint>
#include <vector>

#include "common/tag_codes.hpp"
#include "swfin/byte_reader.hpp"

namespace framestow {

// Reads the body of a DefineText or DefineText2 tag after its character id:
// bounds, matrix, the glyph and advance widths, then its text records up to
// the end record. Appends the font of every record that names one to `fonts`.
void readTextBody(ByteReader& body, TagCode code, std::vector<std::uint16_t>& fonts);

}  // namespace framestow
