// DefineMorphShape and DefineMorphShape2: the bitmaps their fills and line fills use.
#include "analysis/scan_context.hpp"
#include "common/tag_codes.hpp"
#include "swfin/records.hpp"

namespace framestow {
namespace {

std::int32_t readCount(Reader& reader) {
  std::int32_t count = reader.readByte();
  if (count == 0xFF) count = reader.readBufUInt16();
  return count;
}

// One MORPHFILLSTYLE: start and end values of one fill. False for a fill
// type whose size is unknown (the rest of the tag is then not read).
bool readMorphFill(ScanContext& ctx, std::uint32_t id) {
  Reader& reader = ctx.reader;
  const std::uint8_t type = reader.readByte();
  Matrix matrix;
  switch (type) {
    case 0x00:
      reader.skip(8);  // start and end colours, with alpha
      return true;
    case 0x10:
    case 0x12:
    case 0x13: {
      readMatrix(reader, matrix);
      readMatrix(reader, matrix);
      const std::size_t count = reader.readByte() & 0x0F;
      reader.skip(count * 10);  // start ratio and colour, end ratio and colour
      if (type == 0x13) reader.skip(4);  // start and end focal points
      return true;
    }
    case 0x40:
    case 0x41:
    case 0x42:
    case 0x43:
      ctx.definitionReference(id, reader.readBufUInt16());
      readMatrix(reader, matrix);
      readMatrix(reader, matrix);
      return true;
    default:
      return false;
  }
}

}  // namespace

void readMorphShape(ScanContext& ctx, std::uint32_t block, std::uint32_t code) {
  Reader& reader = ctx.reader;
  const auto id = static_cast<std::uint32_t>(reader.readBufUInt16());
  // Only the first kind is a definition that may move; the second stays where it is.
  if (code == kDefineMorphShape) ctx.define(id, block); else ctx.defineFixed(id, block);
  Rect bounds;
  readRect(reader, bounds);
  readRect(reader, bounds);
  if (code == kDefineMorphShape2) {
    readRect(reader, bounds);
    readRect(reader, bounds);
    reader.readByte();  // stroke flags
  }
  reader.readBufUInt32();  // offset of the end edges
  const std::int32_t fills = readCount(reader);
  for (std::int32_t i = 0; i < fills && !ctx.pastTag(); ++i) {
    if (!readMorphFill(ctx, id)) return;
  }
  const std::int32_t lines = readCount(reader);
  for (std::int32_t i = 0; i < lines && !ctx.pastTag(); ++i) {
    reader.skip(4);  // start and end widths
    if (code == kDefineMorphShape) {
      reader.skip(8);
      continue;
    }
    const std::uint8_t flags = reader.readByte();
    reader.readByte();
    if (((flags >> 4) & 3) == 2) reader.skip(2);  // miter limit
    if (flags & 0x08) {
      if (!readMorphFill(ctx, id)) return;
    } else {
      reader.skip(8);
    }
  }
}

}  // namespace framestow
