#include "swfin/text_readers.hpp"

#include "swfin/records.hpp"

namespace framestow {
namespace {

constexpr std::uint8_t kStateChange = 1 << 7;
constexpr std::uint8_t kHasFont = 1 << 3;
constexpr std::uint8_t kHasColor = 1 << 2;
constexpr std::uint8_t kHasYOffset = 1 << 1;
constexpr std::uint8_t kHasXOffset = 1 << 0;
constexpr std::uint8_t kGlyphCount = 0x7f;

// One text record; false at the end record.
bool readTextRecord(ByteReader& reader, TagCode code, int glyphBits, int advanceBits, std::vector<std::uint16_t>& fonts) {
  // Every record starts on a byte boundary: the bits left over in the last
  // byte of a glyph record belong to no field.
  reader.alignToByte();
  const std::uint8_t flags = reader.u8();
  if (flags == 0) return false;
  if (flags & kStateChange) {
    if (flags & kHasFont) fonts.push_back(reader.u16());
    if (flags & kHasColor) {
      if (code == kDefineText2) readRgba(reader); else readRgb(reader);
    }
    if (flags & kHasXOffset) reader.s16();
    if (flags & kHasYOffset) reader.s16();
    if (flags & kHasFont) reader.u16();  // text height
  } else {
    const int glyphs = flags & kGlyphCount;
    // Only the ids of fonts count: each glyph's index and advance are passed over.
    for (int i = 0; i < glyphs; ++i) reader.skipBits(glyphBits + advanceBits);
  }
  return true;
}

}  // namespace

void readTextBody(ByteReader& body, TagCode code, std::vector<std::uint16_t>& fonts) {
  readRect(body);    // bounds
  readMatrix(body);  // matrix
  const int glyphBits = body.u8();
  const int advanceBits = body.u8();
  while (!body.overrun() && readTextRecord(body, code, glyphBits, advanceBits, fonts)) {
  }
}

}  // namespace framestow
