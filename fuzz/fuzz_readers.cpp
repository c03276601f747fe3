// The read cursor and the record readers over arbitrary bytes. The first byte
// chooses a program of reads; the rest is the data they read.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <string>

#include "analysis/tables.hpp"
#include "swfin/reader.hpp"
#include "swfin/records.hpp"
#include "swfin/shape_readers.hpp"
#include "swfin/text_readers.hpp"
#include "fuzz_check.hpp"

namespace {

using framestow::Reader;


framestow::Analysis& sharedAnalysis() {
  static framestow::Analysis analysis = [] {
    framestow::Analysis a;
    framestow::clearGlobals(a);
    return a;
  }();
  return analysis;
}

// Reads never move memory access past the limit; positions only grow.
void checkCursor(const Reader& r, std::size_t before) {
  CHECK(r.fileOffset >= before || r.overrun);
  CHECK(r.bufbits >= 0 && r.bufbits <= 7);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const std::uint8_t program = data[0];
  const std::uint8_t limitByte = data[1];
  // Keep the data in its own allocation so that ASan sees every byte past it.
  const std::span<const std::uint8_t> body(data + 2, size - 2);
  Reader reader(body);
  if (limitByte & 0x80) reader.setLimit(limitByte & 0x7F);

  framestow::Analysis& analysis = sharedAnalysis();
  // The rows written here are emptied again at the end.
  const std::uint32_t row = static_cast<std::uint32_t>(limitByte) * 131u;
  analysis.shapeIdNum = static_cast<std::int32_t>(row);
  analysis.currentID = static_cast<std::int32_t>(row);

  std::size_t steps = 0;
  while (!reader.overrun && steps < 4096) {
    ++steps;
    const std::size_t before = reader.fileOffset;
    const int op = (program + static_cast<int>(steps) * (reader.readByte() | 1)) % 20;
    if (reader.overrun) break;
    switch (op) {
      case 0: {
        framestow::Rect rect;
        framestow::readRect(reader, rect);
        break;
      }
      case 1: {
        framestow::Matrix m;
        framestow::readMatrix(reader, m);
        break;
      }
      case 2: {
        framestow::CXForm c;
        framestow::readCXForm(reader, c, (steps & 1) != 0);
        break;
      }
      case 3: {
        const std::string s = reader.readBufString();
        CHECK(s.size() <= 2 * body.size());
        break;
      }
      case 4: {
        const std::string s = reader.readRawString();
        CHECK(s.size() <= body.size());
        break;
      }
      case 5: (void)reader.readBufDouble(); break;
      case 6: {
        const int bits = reader.readByte() % 34;
        const std::uint32_t v = reader.readBufBits(bits);
        if (bits > 0 && bits < 32) CHECK(v < (std::uint64_t{1} << bits));
        break;
      }
      case 7: {
        const int bits = reader.readByte() % 34;
        const std::int32_t v = reader.readBufSBits(bits);
        if (bits > 0 && bits < 31) CHECK(v >= -(std::int64_t{1} << (bits - 1)) && v < (std::int64_t{1} << (bits - 1)));
        break;
      }
      case 8: (void)reader.readBufUInt8(); break;
      case 9: (void)reader.readBufSInt16(); break;
      case 10: (void)reader.readBufUInt32(); break;
      case 11: {
        framestow::RGBA c;
        framestow::readRGBA(reader, c);
        framestow::readRGB(reader, c);
        break;
      }
      case 12:
      case 13: {
        framestow::Shape shape;
        static constexpr std::uint32_t kShapeTags[] = {2, 22, 32};
        shape.shapeType = kShapeTags[steps % 3];
        framestow::ShapeContext ctx{reader, analysis, {}};
        framestow::readRect(reader, shape.bounds);
        framestow::readFillStyleArray(ctx, shape);
        if (!ctx.error.empty()) break;
        framestow::readLineStyleArray(ctx, shape);
        reader.byteXAlign();
        shape.fillBits = static_cast<std::uint8_t>(reader.readBufBits(4));
        shape.lineBits = static_cast<std::uint8_t>(reader.readBufBits(4));
        while (ctx.error.empty() && !reader.overrun && framestow::readShapeRec(ctx, shape) != 0) {
        }
        if (!ctx.error.empty()) CHECK(ctx.error.rfind("Unknown fill type: ", 0) == 0);
        break;
      }
      case 14: {
        framestow::Shape shape;
        shape.shapeType = 22;
        framestow::ShapeContext ctx{reader, analysis, {}};
        shape.fillBits = static_cast<std::uint8_t>(reader.readByte() & 15);
        shape.lineBits = static_cast<std::uint8_t>(reader.readByte() & 15);
        for (int i = 0; i < 8 && ctx.error.empty() && !reader.overrun; ++i) framestow::readShapeRec(ctx, shape);
        break;
      }
      case 15: {
        framestow::Gradient g;
        framestow::ShapeContext ctx{reader, analysis, {}};
        framestow::readGradient(ctx, g, (steps & 1) ? 32u : 2u);
        CHECK(g.nGradients >= 0 && g.nGradients <= 255);
        break;
      }
      case 16: {
        const int glyphBits = reader.readByte() % 33;
        const int advanceBits = reader.readByte() % 33;
        const std::uint32_t type = (steps & 1) ? 33u : 11u;
        while (!reader.overrun && framestow::printTextRecord(reader, analysis, glyphBits, advanceBits, type) != 0) {
        }
        break;
      }
      case 17: reader.byteXAlign(); break;
      case 18: (void)reader.byteAt(reader.readBufUInt16()); break;
      default: reader.skip(reader.readByte() & 7); break;
    }
    checkCursor(reader, before);
  }

  // Empty the rows this input wrote, so that the shared tables stay small.
  if (row < analysis.dependTotals.size()) analysis.dependTotals[row] = 0;
  if (row < analysis.dependList.size()) {
    analysis.dependList[row].clear();
    analysis.dependFrame[row].clear();
  }
  return 0;
}
