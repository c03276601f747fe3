// Shape bodies: style arrays, gradients, shape records and the style-offset rule.
#include <gtest/gtest.h>

#include "common/tag_codes.hpp"
#include "support/swf_builder.hpp"
#include "swfin/shape_readers.hpp"

namespace framestow {
namespace {

using test::BitWriter;
using test::Bytes;

struct ShapeFixture {
  explicit ShapeFixture(std::vector<std::uint8_t> bytes, std::uint32_t type = kDefineShape)
      : data(std::move(bytes)), reader(data), ctx{reader, analysis, {}} {
    clearGlobals(analysis);
    analysis.shapeIdNum = 12;
    shape.shapeType = type;
  }
  std::vector<std::uint8_t> data;
  Reader reader;
  Analysis analysis;
  ShapeContext ctx;
  Shape shape;
};

TEST(FillStyles, ExtendedCountReadsTwoBytes) {
  Bytes b;
  b.u8(0xFF).u16(256);
  for (int i = 0; i < 256; ++i) b.u8(0x00).rgb(1, 2, 3);
  ShapeFixture f(b.data);
  readFillStyleArray(f.ctx, f.shape);
  EXPECT_EQ(f.shape.nFills, 256);
  EXPECT_EQ(f.reader.fileOffset, f.data.size());
}

TEST(FillStyles, SolidColourCarriesAlphaOnlyInShape3) {
  ShapeFixture rgb({1, 0x00, 9, 9, 9, 0xEE}, kDefineShape2);
  readFillStyleArray(rgb.ctx, rgb.shape);
  EXPECT_EQ(rgb.reader.fileOffset, 5u);
  ShapeFixture rgba({1, 0x00, 9, 9, 9, 9, 0xEE}, kDefineShape3);
  readFillStyleArray(rgba.ctx, rgba.shape);
  EXPECT_EQ(rgba.reader.fileOffset, 6u);
}

TEST(FillStyles, GradientEntriesAreRatioAndColour) {
  Bytes b;
  b.u8(1).u8(0x12).matrix(5, 5).u8(3);
  for (int i = 0; i < 3; ++i) b.u8(static_cast<std::uint32_t>(i * 100)).rgba(1, 2, 3, 4);
  b.u8(0xEE);
  ShapeFixture f(b.data, kDefineShape3);
  readFillStyleArray(f.ctx, f.shape);
  EXPECT_EQ(f.reader.fileOffset, f.data.size() - 1);
}

TEST(FillStyles, BitmapFillsJoinTheShapesRow) {
  for (std::uint8_t type : {0x40, 0x41, 0x42, 0x43}) {
    Bytes b;
    b.u8(1).u8(type).u16(7).matrix();
    ShapeFixture f(b.data);
    readFillStyleArray(f.ctx, f.shape);
    ASSERT_EQ(f.analysis.dependTotal(12), 1) << int{type};
    EXPECT_EQ(f.analysis.dependList[12][0], 7);
    EXPECT_EQ(f.analysis.dependFrame[12][0], 1);
    EXPECT_EQ(f.reader.fileOffset, f.data.size());
  }
}

TEST(FillStyles, UnknownTypeStopsWithAMessage) {
  ShapeFixture f({1, 0x13, 0, 0, 0});
  readFillStyleArray(f.ctx, f.shape);
  EXPECT_EQ(f.ctx.error, "Unknown fill type: 19");
}

TEST(LineStyles, WidthAndColour) {
  ShapeFixture f({2, 20, 0, 1, 2, 3, 40, 0, 4, 5, 6, 0xEE});
  readLineStyleArray(f.ctx, f.shape);
  EXPECT_EQ(f.shape.nLines, 2);
  EXPECT_EQ(f.reader.fileOffset, 11u);
}

TEST(ShapeRecords, EndRecordAlignsAndReturnsZero) {
  ShapeFixture f({0xC0, 0xFF});
  f.reader.readBufBits(2);
  EXPECT_EQ(readShapeRec(f.ctx, f.shape), 0);
  EXPECT_EQ(f.shape.lastType, SHAPERECORD_END);
  EXPECT_EQ(f.reader.bufbits, 0);
  EXPECT_EQ(f.reader.fileOffset, 1u);
}

TEST(ShapeRecords, StyleIndicesCountAcrossArrays) {
  BitWriter w;
  // flags NewStyles, LineStyle, FillStyle1, FillStyle0, MoveTo; then fill0 = 1, fill1 = 0 (2 bits each)
  w.ubits(0, 1).ubits(0, 1).ubits(0, 1).ubits(1, 1).ubits(1, 1).ubits(0, 1).ubits(1, 2).ubits(0, 2);
  ShapeFixture f(w.finish());
  f.shape.fillBits = 2;
  f.shape.fillOffset = 2;
  EXPECT_EQ(readShapeRec(f.ctx, f.shape), 1);
  EXPECT_EQ(f.shape.lastType, SHAPERECORD_STATECHANGE);
  EXPECT_EQ(f.shape.fill0, 3);
  EXPECT_EQ(f.shape.fill1, 0);
  EXPECT_EQ(f.shape.line, -1);
}

TEST(ShapeRecords, EdgesWithAZeroWidthFieldUseTwoBitCoordinates) {
  BitWriter w;
  w.ubits(1, 1).ubits(1, 1).ubits(0, 4).ubits(1, 1).sbits(-1, 2).sbits(1, 2);  // general line
  w.ubits(1, 1).ubits(1, 1).ubits(0, 4).ubits(0, 1).ubits(1, 1).sbits(1, 2);   // vertical line
  w.ubits(1, 1).ubits(0, 1).ubits(0, 4).sbits(1, 2).sbits(1, 2).sbits(1, 2).sbits(1, 2);  // curve
  w.ubits(0, 6);
  ShapeFixture f(w.finish());
  EXPECT_EQ(readShapeRec(f.ctx, f.shape), 1);
  EXPECT_EQ(f.shape.lastType, SHAPERECORD_LINE);
  EXPECT_EQ(readShapeRec(f.ctx, f.shape), 1);
  EXPECT_EQ(readShapeRec(f.ctx, f.shape), 1);
  EXPECT_EQ(f.shape.lastType, SHAPERECORD_CURVE);
  EXPECT_EQ(readShapeRec(f.ctx, f.shape), 0);
  EXPECT_EQ(f.reader.fileOffset, f.data.size());
  EXPECT_FALSE(f.reader.overrun);
}

}  // namespace
}  // namespace framestow
