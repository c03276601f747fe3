#include "swfin/shape_readers.hpp"

#include "swfin/records.hpp"

namespace framestow {
namespace {

// One shape's state between records: style counts (the style indices of
// state-change records count across every style array the shape has had) and
// the current index widths.
struct ShapeState {
  TagCode code;
  std::vector<std::uint16_t>& bitmaps;
  std::optional<std::uint8_t> unknownFill;
  std::int32_t fills = 0;
  std::int32_t lines = 0;
  std::uint8_t fillBits = 0;
  std::uint8_t lineBits = 0;

  bool stopped(const ByteReader& reader) const { return unknownFill.has_value() || reader.overrun(); }
};

// Colours carry alpha from DefineShape3 on.
void readStyleColor(ByteReader& reader, TagCode code) {
  if (code == kDefineShape3 || code == kDefineShape4) {
    readRgba(reader);
  } else {
    readRgb(reader);
  }
}

std::int32_t readStyleCount(ByteReader& reader) {
  std::int32_t count = reader.u8();
  if (count == 0xFF) count = reader.u16();
  return count;
}

void readGradient(ByteReader& reader, TagCode code) {
  const std::uint8_t countByte = reader.u8();
  // DefineShape4 keeps the spread and interpolation modes in the count's high bits.
  const int count = code == kDefineShape4 ? (countByte & 0x0F) : countByte;
  for (int i = 0; i < count; ++i) {
    reader.u8();  // ratio
    readStyleColor(reader, code);
  }
}

void readFillStyle(ByteReader& reader, ShapeState& shape) {
  const std::uint8_t type = reader.u8();
  switch (type) {
    case 0x00:
      readStyleColor(reader, shape.code);
      break;
    case 0x10:
    case 0x12:
      readMatrix(reader);
      readGradient(reader, shape.code);
      break;
    case 0x13:
      // The focal radial gradient exists only in DefineShape4.
      if (shape.code != kDefineShape4) {
        shape.unknownFill = type;
        break;
      }
      readMatrix(reader);
      readGradient(reader, shape.code);
      reader.s16();  // focal point
      break;
    case 0x40:
    case 0x41:
    case 0x42:
    case 0x43:
      shape.bitmaps.push_back(reader.u16());
      readMatrix(reader);
      break;
    default:
      shape.unknownFill = type;
      break;
  }
}

void readFillStyleArray(ByteReader& reader, ShapeState& shape) {
  reader.alignToByte();
  const std::int32_t count = readStyleCount(reader);
  shape.fills += count;
  for (std::int32_t i = 0; i < count && !shape.stopped(reader); ++i) readFillStyle(reader, shape);
}

void readLineStyleArray(ByteReader& reader, ShapeState& shape) {
  const std::int32_t count = readStyleCount(reader);
  shape.lines += count;
  for (std::int32_t i = 0; i < count && !shape.stopped(reader); ++i) {
    reader.u16();  // width
    if (shape.code != kDefineShape4) {
      readStyleColor(reader, shape.code);
      continue;
    }
    // LINESTYLE2: cap, join and fill flags, then a miter limit, and a colour or a fill.
    const std::uint8_t flags = reader.u8();
    reader.u8();
    const int join = (flags >> 4) & 3;
    const bool hasFill = (flags & 0x08) != 0;
    if (join == 2) reader.u16();
    if (hasFill) {
      readFillStyle(reader, shape);
    } else {
      readRgba(reader);
    }
  }
}

// One shape record; false after the end record.
bool readShapeRecord(ByteReader& reader, ShapeState& shape) {
  const bool edge = reader.bits(1) != 0;
  if (!edge) {
    const bool newStyles = reader.bits(1) != 0;
    const bool lineStyle = reader.bits(1) != 0;
    const bool fillStyle1 = reader.bits(1) != 0;
    const bool fillStyle0 = reader.bits(1) != 0;
    const bool moveTo = reader.bits(1) != 0;
    if (!newStyles && !lineStyle && !fillStyle1 && !fillStyle0 && !moveTo) {
      reader.alignToByte();
      return false;
    }
    if (moveTo) {
      const int n = static_cast<int>(reader.bits(5));
      reader.signedBits(n);
      reader.signedBits(n);
    }
    if (fillStyle0) reader.bits(shape.fillBits);
    if (fillStyle1) reader.bits(shape.fillBits);
    if (lineStyle) reader.bits(shape.lineBits);
    if (newStyles) {
      readFillStyleArray(reader, shape);
      if (shape.unknownFill) return true;
      readLineStyleArray(reader, shape);
      reader.alignToByte();
      shape.fillBits = static_cast<std::uint8_t>(reader.bits(4));
      shape.lineBits = static_cast<std::uint8_t>(reader.bits(4));
    }
    return true;
  }
  const bool straight = reader.bits(1) != 0;
  const int n = static_cast<int>(reader.bits(4)) + 2;
  if (straight) {
    if (reader.bits(1)) {
      reader.signedBits(n);
      reader.signedBits(n);
    } else {
      reader.bits(1);  // vertical or horizontal: one coordinate either way
      reader.signedBits(n);
    }
  } else {
    for (int i = 0; i < 4; ++i) reader.signedBits(n);
  }
  return true;
}

std::int32_t readMorphCount(ByteReader& reader) {
  std::int32_t count = reader.u8();
  if (count == 0xFF) count = reader.u16();
  return count;
}

// One MORPHFILLSTYLE: the start and end values of one fill. False for a fill
// type whose size is unknown.
bool readMorphFill(ByteReader& reader, std::vector<std::uint16_t>& bitmaps) {
  const std::uint8_t type = reader.u8();
  switch (type) {
    case 0x00:
      reader.skip(8);  // start and end colours, with alpha
      return true;
    case 0x10:
    case 0x12:
    case 0x13: {
      readMatrix(reader);
      readMatrix(reader);
      const std::size_t count = reader.u8() & 0x0F;
      reader.skip(count * 10);  // start ratio and colour, end ratio and colour
      if (type == 0x13) reader.skip(4);  // start and end focal points
      return true;
    }
    case 0x40:
    case 0x41:
    case 0x42:
    case 0x43:
      bitmaps.push_back(reader.u16());
      readMatrix(reader);
      readMatrix(reader);
      return true;
    default:
      return false;
  }
}

bool pastEnd(const ByteReader& reader) { return reader.overrun() || reader.atEnd(); }

}  // namespace

std::optional<std::uint8_t> readShapeBody(ByteReader& body, TagCode code, std::vector<std::uint16_t>& bitmaps) {
  ShapeState shape{code, bitmaps, std::nullopt};
  readRect(body);  // bounds
  if (code == kDefineShape4) {
    readRect(body);  // edge bounds
    body.u8();       // stroke and winding flags
  }
  readFillStyleArray(body, shape);
  if (shape.unknownFill) return shape.unknownFill;
  readLineStyleArray(body, shape);
  body.alignToByte();
  shape.fillBits = static_cast<std::uint8_t>(body.bits(4));
  shape.lineBits = static_cast<std::uint8_t>(body.bits(4));
  while (!body.atEnd() && !shape.unknownFill && !body.overrun()) readShapeRecord(body, shape);
  return shape.unknownFill;
}

void readMorphShapeBody(ByteReader& body, TagCode code, std::vector<std::uint16_t>& bitmaps) {
  readRect(body);  // start bounds
  readRect(body);  // end bounds
  if (code == kDefineMorphShape2) {
    readRect(body);  // start edge bounds
    readRect(body);  // end edge bounds
    body.u8();       // stroke flags
  }
  body.u32();  // offset of the end edges
  const std::int32_t fills = readMorphCount(body);
  for (std::int32_t i = 0; i < fills && !pastEnd(body); ++i) {
    if (!readMorphFill(body, bitmaps)) return;
  }
  const std::int32_t lines = readMorphCount(body);
  for (std::int32_t i = 0; i < lines && !pastEnd(body); ++i) {
    body.skip(4);  // start and end widths
    if (code == kDefineMorphShape) {
      body.skip(8);
      continue;
    }
    const std::uint8_t flags = body.u8();
    body.u8();
    if (((flags >> 4) & 3) == 2) body.skip(2);  // miter limit
    if (flags & 0x08) {
      if (!readMorphFill(body, bitmaps)) return;
    } else {
      body.skip(8);
    }
  }
}

}  // namespace framestow
