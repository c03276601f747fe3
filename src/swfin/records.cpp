#include "swfin/records.hpp"

#include "swfin/byte_reader.hpp"

namespace framestow {
namespace {

float fixed16(std::int32_t value) { return static_cast<float>(value / 65536.0); }

}  // namespace

Rect readRect(ByteReader& reader) {
  reader.alignToByte();
  const int n = static_cast<int>(reader.bits(5));
  Rect rect;
  rect.xMin = reader.signedBits(n);
  rect.xMax = reader.signedBits(n);
  rect.yMin = reader.signedBits(n);
  rect.yMax = reader.signedBits(n);
  return rect;
}

Rgba readRgb(ByteReader& reader) {
  Rgba color;
  color.r = reader.u8();
  color.g = reader.u8();
  color.b = reader.u8();
  return color;
}

Rgba readRgba(ByteReader& reader) {
  Rgba color = readRgb(reader);
  color.a = reader.u8();
  return color;
}

Matrix readMatrix(ByteReader& reader) {
  reader.alignToByte();
  Matrix matrix;
  if (reader.bits(1)) {
    const int n = static_cast<int>(reader.bits(5));
    matrix.xScale = fixed16(reader.signedBits(n));
    matrix.yScale = fixed16(reader.signedBits(n));
  }
  if (reader.bits(1)) {
    const int n = static_cast<int>(reader.bits(5));
    matrix.rotate0 = fixed16(reader.signedBits(n));
    matrix.rotate1 = fixed16(reader.signedBits(n));
  }
  const int n = static_cast<int>(reader.bits(5));
  matrix.x = reader.signedBits(n);
  matrix.y = reader.signedBits(n);
  return matrix;
}

ColorTransform readColorTransform(ByteReader& reader, bool hasAlpha) {
  reader.alignToByte();
  const bool hasAddTerms = reader.bits(1) != 0;
  const bool hasMultiplyTerms = reader.bits(1) != 0;
  const int n = static_cast<int>(reader.bits(4));
  ColorTransform transform;
  if (hasMultiplyTerms) {
    transform.redMultiply = reader.signedBits(n);
    transform.greenMultiply = reader.signedBits(n);
    transform.blueMultiply = reader.signedBits(n);
    if (hasAlpha) transform.alphaMultiply = reader.signedBits(n);
  }
  if (hasAddTerms) {
    transform.redAdd = reader.signedBits(n);
    transform.greenAdd = reader.signedBits(n);
    transform.blueAdd = reader.signedBits(n);
    if (hasAlpha) transform.alphaAdd = reader.signedBits(n);
  }
  return transform;
}

}  // namespace framestow
