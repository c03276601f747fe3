#include "swfin/shape_readers.hpp"

#include "common/byte_text.hpp"
#include "common/tag_codes.hpp"

namespace framestow {
namespace {

// Colours carry alpha from DefineShape3 on.
void readStyleColor(Reader& reader, RGBA& color, std::uint32_t shapeType) {
  if (shapeType == kDefineShape3 || shapeType == kDefineShape4) {
    readRGBA(reader, color);
  } else {
    readRGB(reader, color);
  }
}

std::int32_t readStyleCount(Reader& reader) {
  std::int32_t count = reader.readByte();
  if (count == 0xFF) count = reader.readBufUInt16();
  return count;
}

bool stopped(const ShapeContext& ctx) { return !ctx.error.empty() || ctx.reader.overrun; }

}  // namespace

void readFillStyleArray(ShapeContext& ctx, Shape& shape) {
  ctx.reader.byteXAlign();
  shape.fillOffset = shape.nFills;
  const std::int32_t count = readStyleCount(ctx.reader);
  shape.nFills += count;
  FillStyle style;
  for (std::int32_t i = 0; i < count && !stopped(ctx); ++i) readFillStyle(ctx, style, shape.shapeType);
}

void readLineStyleArray(ShapeContext& ctx, Shape& shape) {
  shape.lineOffset = shape.nLines;
  const std::int32_t count = readStyleCount(ctx.reader);
  shape.nLines += count;
  RGBA color;
  for (std::int32_t i = 0; i < count && !stopped(ctx); ++i) {
    ctx.reader.readBufUInt16();  // width
    if (shape.shapeType != kDefineShape4) {
      readStyleColor(ctx.reader, color, shape.shapeType);
      continue;
    }
    // LINESTYLE2: cap, join and fill flags, then a miter limit, and a colour or a fill.
    const std::uint8_t flags = ctx.reader.readByte();
    ctx.reader.readByte();
    const int join = (flags >> 4) & 3;
    const bool hasFill = (flags & 0x08) != 0;
    if (join == 2) ctx.reader.readBufUInt16();
    if (hasFill) {
      FillStyle style;
      readFillStyle(ctx, style, shape.shapeType);
    } else {
      readRGBA(ctx.reader, color);
    }
  }
}

void readFillStyle(ShapeContext& ctx, FillStyle& style, std::uint32_t shapeType) {
  Reader& reader = ctx.reader;
  style.type = reader.readByte();
  switch (style.type) {
    case 0x00:
      readStyleColor(reader, style.color, shapeType);
      break;
    case 0x10:
    case 0x12:
      readMatrix(reader, style.matrix);
      readGradient(ctx, style.gradient, shapeType);
      break;
    case 0x13:
      // The focal radial gradient exists only in DefineShape4.
      if (shapeType != kDefineShape4) {
        ctx.error = formatText("Unknown fill type: %i", style.type);
        break;
      }
      readMatrix(reader, style.matrix);
      readGradient(ctx, style.gradient, shapeType);
      reader.readBufSInt16();  // focal point
      break;
    case 0x40:
    case 0x41:
    case 0x42:
    case 0x43:
      style.bitmap = reader.readBufUInt16();
      appendReference(ctx.analysis, static_cast<std::uint32_t>(ctx.analysis.shapeIdNum), style.bitmap, 1);
      readMatrix(reader, style.matrix);
      break;
    default:
      ctx.error = formatText("Unknown fill type: %i", style.type);
      break;
  }
}

void readGradient(ShapeContext& ctx, Gradient& gradient, std::uint32_t shapeType) {
  const std::uint8_t countByte = ctx.reader.readByte();
  // DefineShape4 keeps the spread and interpolation modes in the count's high bits.
  gradient.nGradients = shapeType == kDefineShape4 ? (countByte & 0x0F) : countByte;
  gradient.colors.resize(static_cast<std::size_t>(gradient.nGradients));
  gradient.ratio.resize(static_cast<std::size_t>(gradient.nGradients));
  for (int i = 0; i < gradient.nGradients; ++i) {
    gradient.ratio[static_cast<std::size_t>(i)] = ctx.reader.readByte();
    readStyleColor(ctx.reader, gradient.colors[static_cast<std::size_t>(i)], shapeType);
  }
}

int readShapeRec(ShapeContext& ctx, Shape& shape) {
  Reader& reader = ctx.reader;
  ++shape.nShapes;
  const bool edge = reader.readBufBits(1) != 0;
  if (!edge) {
    const bool newStyles = reader.readBufBits(1) != 0;
    const bool lineStyle = reader.readBufBits(1) != 0;
    const bool fillStyle1 = reader.readBufBits(1) != 0;
    const bool fillStyle0 = reader.readBufBits(1) != 0;
    const bool moveTo = reader.readBufBits(1) != 0;
    if (!newStyles && !lineStyle && !fillStyle1 && !fillStyle0 && !moveTo) {
      shape.lastType = SHAPERECORD_END;
      reader.byteXAlign();
      return 0;
    }
    shape.lastType = SHAPERECORD_STATECHANGE;
    if (moveTo) {
      const int n = static_cast<int>(reader.readBufBits(5));
      reader.readBufSBits(n);
      reader.readBufSBits(n);
    }
    // Style indices count across every style array the shape has had so far.
    auto styleIndex = [&](bool present, int bits, std::int32_t offset) -> std::int32_t {
      if (!present) return -1;
      const std::uint32_t v = reader.readBufBits(bits);
      return v == 0 ? 0 : static_cast<std::int32_t>(v) + offset;
    };
    shape.fill0 = styleIndex(fillStyle0, shape.fillBits, shape.fillOffset);
    shape.fill1 = styleIndex(fillStyle1, shape.fillBits, shape.fillOffset);
    shape.line = styleIndex(lineStyle, shape.lineBits, shape.lineOffset);
    if (newStyles) {
      readFillStyleArray(ctx, shape);
      if (!ctx.error.empty()) return 1;
      readLineStyleArray(ctx, shape);
      reader.byteXAlign();
      shape.fillBits = static_cast<std::uint8_t>(reader.readBufBits(4));
      shape.lineBits = static_cast<std::uint8_t>(reader.readBufBits(4));
    }
    return 1;
  }
  const bool straight = reader.readBufBits(1) != 0;
  const int n = static_cast<int>(reader.readBufBits(4)) + 2;
  if (straight) {
    shape.lastType = SHAPERECORD_LINE;
    if (reader.readBufBits(1)) {
      reader.readBufSBits(n);
      reader.readBufSBits(n);
    } else {
      reader.readBufBits(1);  // vertical or horizontal: one coordinate either way
      reader.readBufSBits(n);
    }
  } else {
    shape.lastType = SHAPERECORD_CURVE;
    for (int i = 0; i < 4; ++i) reader.readBufSBits(n);
  }
  return 1;
}

}  // namespace framestow
