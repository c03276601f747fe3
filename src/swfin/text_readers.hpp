// The text record reader for static texts: finds the fonts a text uses.
#pragma once

#include <cstdint>

#include "analysis/tables.hpp"
#include "swfin/reader.hpp"

namespace framestow {

inline constexpr std::uint8_t TEXTRECORD_STATECHANGE = 1 << 7;
inline constexpr std::uint8_t TEXTRECORD_HASFONT = 1 << 3;
inline constexpr std::uint8_t TEXTRECORD_HASCOLOR = 1 << 2;
inline constexpr std::uint8_t TEXTRECORD_HASYOFF = 1 << 1;
inline constexpr std::uint8_t TEXTRECORD_HASXOFF = 1 << 0;
inline constexpr std::uint8_t TEXTRECORD_NUMGLYPHS = 0x7f;

// Reads one text record of the text `analysis.currentID`; its font joins that
// text's row. `type` is the tag code (colours carry alpha in DefineText2).
// Returns 0 at the end of the records, 1 after a record.
int printTextRecord(Reader& reader, Analysis& analysis, int glyphBits, int advanceBits, std::uint32_t type);

}  // namespace framestow
