#include "swfin/text_readers.hpp"

#include "common/tag_codes.hpp"
#include "swfin/records.hpp"

namespace framestow {

int printTextRecord(Reader& reader, Analysis& analysis, int glyphBits, int advanceBits, std::uint32_t type) {
  // Every record starts on a byte boundary: the bits left over in the last
  // byte of a glyph record belong to no field.
  reader.byteXAlign();
  const std::uint8_t flags = reader.readByte();
  if (flags == 0) return 0;
  if (flags & TEXTRECORD_STATECHANGE) {
    if (flags & TEXTRECORD_HASFONT) {
      const int font = reader.readBufUInt16();
      appendReference(analysis, static_cast<std::uint32_t>(analysis.currentID), font, 1);
    }
    if (flags & TEXTRECORD_HASCOLOR) {
      RGBA color;
      if (type == kDefineText2) readRGBA(reader, color); else readRGB(reader, color);
    }
    if (flags & TEXTRECORD_HASXOFF) reader.readBufSInt16();
    if (flags & TEXTRECORD_HASYOFF) reader.readBufSInt16();
    if (flags & TEXTRECORD_HASFONT) reader.readBufUInt16();  // text height
  } else {
    const int glyphs = flags & TEXTRECORD_NUMGLYPHS;
    for (int i = 0; i < glyphs; ++i) {
      reader.readBufBits(glyphBits);
      reader.readBufSBits(advanceBits);
    }
  }
  return 1;
}

}  // namespace framestow
