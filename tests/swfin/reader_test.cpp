// The read cursor: bit order, the byte readers' quirks, and reads past the end.
#include <gtest/gtest.h>

#include <vector>

#include "support/swf_builder.hpp"
#include "swfin/reader.hpp"
#include "swfin/records.hpp"

namespace framestow {
namespace {

using test::BitWriter;
using test::Bytes;

struct ReaderOver {
  explicit ReaderOver(std::vector<std::uint8_t> bytes) : data(std::move(bytes)), reader(data) {}
  std::vector<std::uint8_t> data;
  Reader reader;
};

TEST(BitReader, PendingBitsFormTheHighPartOfTheNextRead) {
  ReaderOver r({0xA5});
  EXPECT_EQ(r.reader.readBufBits(3), 5u);
  EXPECT_EQ(r.reader.bufbits, 5);
  EXPECT_EQ(r.reader.buffer, 5u);
  EXPECT_EQ(r.reader.readBufBits(5), 5u);
  EXPECT_EQ(r.reader.bufbits, 0);
  EXPECT_EQ(r.reader.fileOffset, 1u);  // no second byte fetched

  ReaderOver two({0xA5, 0xFF});
  EXPECT_EQ(two.reader.readBufBits(3), 5u);
  EXPECT_EQ(two.reader.readBufBits(9), 95u);  // 00101 then 1111
  EXPECT_EQ(two.reader.bufbits, 4);
  EXPECT_EQ(two.reader.buffer, 15u);
}

TEST(BitReader, SignedFieldsAreTwosComplementOfTheirWidth) {
  ReaderOver all({0xF8});
  EXPECT_EQ(all.reader.readBufSBits(5), -1);
  ReaderOver first({0x80});
  EXPECT_EQ(first.reader.readBufSBits(5), -16);
  ReaderOver rest({0x78});
  EXPECT_EQ(rest.reader.readBufSBits(5), 15);
  ReaderOver none({0xFF});
  EXPECT_EQ(none.reader.readBufSBits(0), 0);
}

TEST(BitReader, ZeroBitsAndAlignmentConsumeNothing) {
  ReaderOver r({0xFF, 0x80});
  EXPECT_EQ(r.reader.readBufBits(0), 0u);
  EXPECT_EQ(r.reader.fileOffset, 0u);
  r.reader.byteXAlign();
  EXPECT_EQ(r.reader.fileOffset, 0u);
  r.reader.readBufBits(3);
  r.reader.byteXAlign();
  EXPECT_EQ(r.reader.bufbits, 0);
  EXPECT_EQ(r.reader.readBufBits(1), 1u);  // from the second byte
}

TEST(BitReader, ThirtyTwoBitFieldsSpanFiveBytesWhenUnaligned) {
  ReaderOver r({0x0F, 0xFF, 0xFF, 0xFF, 0xF0});
  EXPECT_EQ(r.reader.readBufBits(4), 0u);
  EXPECT_EQ(r.reader.readBufBits(32), 0xFFFFFFFFu);
  EXPECT_EQ(r.reader.bufbits, 4);
}

TEST(ByteReaders, Uint8AdvancesBeforeReading) {
  ReaderOver r({0x46, 0x57, 0x53, 0x06});
  r.reader.fileOffset = 2;
  EXPECT_EQ(r.reader.readBufUInt8(), 6);
  EXPECT_EQ(r.reader.fileOffset, 3u);
}

TEST(ByteReaders, IntegersAreLittleEndian) {
  EXPECT_EQ(ReaderOver({0xFF, 0x7F}).reader.readBufSInt16(), 32767);
  EXPECT_EQ(ReaderOver({0x00, 0x80}).reader.readBufSInt16(), -32768);
  EXPECT_EQ(ReaderOver({0xFF, 0xFF}).reader.readBufSInt16(), -1);
  EXPECT_EQ(ReaderOver({0x34, 0x12}).reader.readBufUInt16(), 0x1234);
  EXPECT_EQ(ReaderOver({1, 2, 3, 4}).reader.readBufUInt32(), 1u + 2u * 256u + 3u * 65536u + 4u * 16777216u);
  EXPECT_EQ(ReaderOver({0x80}).reader.readBufSInt8(), -128);
}

TEST(ByteReaders, DoublesStoreTheHighWordFirst) {
  EXPECT_EQ(ReaderOver({0x00, 0x00, 0xF0, 0x3F, 0x00, 0x00, 0x00, 0x00}).reader.readBufDouble(), 1.0);
  EXPECT_EQ(ReaderOver(Bytes().f64(-2.5).data).reader.readBufDouble(), -2.5);
}

TEST(ByteReaders, StringsEscapeTabLineFeedAndCarriageReturn) {
  ReaderOver r({'A', 0x0A, 'B', 0x00, 'C'});
  EXPECT_EQ(r.reader.readBufString(), "A\\nB");
  EXPECT_EQ(r.reader.fileOffset, 4u);
  ReaderOver control({0x09, 0x0D, 0x00});
  EXPECT_EQ(control.reader.readBufString(), "\\t\\r");
  ReaderOver empty({0x00, 'x'});
  EXPECT_EQ(empty.reader.readBufString(), "");
  EXPECT_EQ(empty.reader.fileOffset, 1u);
  ReaderOver raw({'a', 0x0A, 0x00});
  EXPECT_EQ(raw.reader.readRawString(), "a\n");
}

TEST(ByteReaders, LongStringsComeBackWhole) {
  std::vector<std::uint8_t> bytes(20000, '\n');
  bytes.push_back(0);
  ReaderOver r(bytes);
  EXPECT_EQ(r.reader.readBufString().size(), 40000u);
}

TEST(ReadsPastTheEnd, YieldZeroAndAreNoticed) {
  ReaderOver r({0x12});
  EXPECT_EQ(r.reader.readBufUInt16(), 0x12);
  EXPECT_TRUE(r.reader.overrun);
  ReaderOver bits({});
  EXPECT_EQ(bits.reader.readBufBits(12), 0u);
  EXPECT_TRUE(bits.reader.overrun);
  ReaderOver unterminated({'a', 'b'});
  EXPECT_EQ(unterminated.reader.readBufString(), "ab");
  EXPECT_TRUE(unterminated.reader.overrun);
}

TEST(ReadsPastTheEnd, ALimitStopsReadsInsideTheData) {
  ReaderOver r({1, 2, 3, 4});
  r.reader.setLimit(2);
  EXPECT_EQ(r.reader.readBufUInt32(), 0x0201u);
  EXPECT_TRUE(r.reader.overrun);
  r.reader.clearLimit();
  r.reader.overrun = false;
  r.reader.fileOffset = 2;
  EXPECT_EQ(r.reader.readBufUInt16(), 0x0403);
  EXPECT_FALSE(r.reader.overrun);
}

TEST(RecordReaders, RectangleOfZeroWidthFieldsIsOneByte) {
  ReaderOver r({0x00, 0xAA});
  Rect rect{1, 2, 3, 4};
  readRect(r.reader, rect);
  EXPECT_EQ(rect.xMin, 0);
  EXPECT_EQ(rect.yMax, 0);
  r.reader.byteXAlign();
  EXPECT_EQ(r.reader.fileOffset, 1u);
}

TEST(RecordReaders, RectangleWithFifteenBitFieldsIsNineBytes) {
  ReaderOver r(Bytes().rect(-100, 16000, 0, 12000, 15).data);
  Rect rect;
  readRect(r.reader, rect);
  EXPECT_EQ(r.reader.fileOffset, 9u);
  EXPECT_EQ(rect.xMin, -100);
  EXPECT_EQ(rect.xMax, 16000);
  EXPECT_EQ(rect.yMax, 12000);
}

TEST(RecordReaders, RectangleAlignsAwayPendingBits) {
  std::vector<std::uint8_t> bytes{0xE0};
  const auto rect = Bytes().rect(0, 400, 0, 300).data;
  bytes.insert(bytes.end(), rect.begin(), rect.end());
  ReaderOver r(bytes);
  r.reader.readBufBits(3);
  r.reader.fileOffset = 1;
  Rect out;
  readRect(r.reader, out);
  EXPECT_EQ(out.xMax, 400);
  EXPECT_EQ(out.yMax, 300);
}

TEST(RecordReaders, MatrixFields) {
  ReaderOver plain({0x00, 0x77});
  Matrix m;
  readMatrix(plain.reader, m);
  EXPECT_EQ(m.xScale, 1.0f);
  EXPECT_EQ(m.yScale, 1.0f);
  EXPECT_EQ(m.rot0, 0.0f);
  EXPECT_EQ(m.x, 0);
  EXPECT_EQ(plain.reader.fileOffset, 1u);

  ReaderOver full(Bytes().matrixFull(std::pair{65536, 131072}, std::pair{-65536, 32768}, -40, 20).data);
  readMatrix(full.reader, m);
  EXPECT_EQ(m.xScale, 1.0f);
  EXPECT_EQ(m.yScale, 2.0f);
  EXPECT_EQ(m.rot0, -1.0f);
  EXPECT_EQ(m.rot1, 0.5f);
  EXPECT_EQ(m.x, -40);
  EXPECT_EQ(m.y, 20);
  EXPECT_EQ(full.reader.fileOffset, full.data.size());
}

TEST(RecordReaders, ColourTransformWithoutTermsIsOneByte) {
  ReaderOver r({0x00, 0xFF});
  CXForm cx;
  readCXForm(r.reader, cx, true);
  EXPECT_EQ(cx.rMult, 256);
  EXPECT_EQ(cx.aMult, 256);
  EXPECT_EQ(cx.rAdd, 0);
  EXPECT_EQ(r.reader.bufbits, 2);
  EXPECT_EQ(r.reader.fileOffset, 1u);
}

TEST(RecordReaders, ColourTransformStoresAlphaAfterBlue) {
  // Both kinds of terms, with alpha, 4-bit fields: 6 + 32 bits, five bytes.
  BitWriter w;
  w.ubits(1, 1).ubits(1, 1).ubits(4, 4);
  for (int v : {1, 2, 3, 4, -1, -2, -3, -4}) w.sbits(v, 4);
  ReaderOver r(w.finish());
  EXPECT_EQ(r.data.size(), 5u);
  CXForm cx;
  readCXForm(r.reader, cx, true);
  EXPECT_EQ(cx.rMult, 1);
  EXPECT_EQ(cx.gMult, 2);
  EXPECT_EQ(cx.bMult, 3);
  EXPECT_EQ(cx.aMult, 4);
  EXPECT_EQ(cx.rAdd, -1);
  EXPECT_EQ(cx.aAdd, -4);
  EXPECT_EQ(r.reader.fileOffset, 5u);

  ReaderOver noAlpha(Bytes().cxform(std::vector<std::int32_t>{10, 20, 30}, std::nullopt, false).data);
  readCXForm(noAlpha.reader, cx, false);
  EXPECT_EQ(cx.bMult, 30);
  EXPECT_EQ(cx.aMult, 256);
  EXPECT_EQ(cx.aAdd, 0);
}

TEST(RecordReaders, ColoursLeavePendingBitsAlone) {
  ReaderOver r({0xF0, 1, 2, 3, 4});
  r.reader.readBufBits(2);
  r.reader.fileOffset = 1;
  RGBA c;
  readRGB(r.reader, c);
  EXPECT_EQ(c.b, 3);
  EXPECT_EQ(c.a, 255);
  EXPECT_EQ(r.reader.readBufBits(2), 3u);  // still the bits of the first byte
}

}  // namespace
}  // namespace framestow
