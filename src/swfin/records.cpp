#include "swfin/records.hpp"

#include "swfin/reader.hpp"

namespace framestow {

void readRect(Reader& reader, Rect& rect) {
  reader.byteXAlign();
  const int n = static_cast<int>(reader.readBufBits(5));
  rect.xMin = reader.readBufSBits(n);
  rect.xMax = reader.readBufSBits(n);
  rect.yMin = reader.readBufSBits(n);
  rect.yMax = reader.readBufSBits(n);
}

void readRGB(Reader& reader, RGBA& color) {
  color.r = reader.readByte();
  color.g = reader.readByte();
  color.b = reader.readByte();
  color.a = 255;
}

void readRGBA(Reader& reader, RGBA& color) {
  color.r = reader.readByte();
  color.g = reader.readByte();
  color.b = reader.readByte();
  color.a = reader.readByte();
}

void readMatrix(Reader& reader, Matrix& matrix) {
  reader.byteXAlign();
  if (reader.readBufBits(1)) {
    const int n = static_cast<int>(reader.readBufBits(5));
    matrix.xScale = static_cast<float>(reader.readBufSBits(n) / 65536.0);
    matrix.yScale = static_cast<float>(reader.readBufSBits(n) / 65536.0);
  } else {
    matrix.xScale = matrix.yScale = 1.0f;
  }
  if (reader.readBufBits(1)) {
    const int n = static_cast<int>(reader.readBufBits(5));
    matrix.rot0 = static_cast<float>(reader.readBufSBits(n) / 65536.0);
    matrix.rot1 = static_cast<float>(reader.readBufSBits(n) / 65536.0);
  } else {
    matrix.rot0 = matrix.rot1 = 0.0f;
  }
  const int n = static_cast<int>(reader.readBufBits(5));
  matrix.x = reader.readBufSBits(n);
  matrix.y = reader.readBufSBits(n);
}

void readCXForm(Reader& reader, CXForm& cxform, bool hasAlpha) {
  reader.byteXAlign();
  const bool hasAddTerms = reader.readBufBits(1) != 0;
  const bool hasMultTerms = reader.readBufBits(1) != 0;
  const int n = static_cast<int>(reader.readBufBits(4));
  if (hasMultTerms) {
    cxform.rMult = reader.readBufSBits(n);
    cxform.gMult = reader.readBufSBits(n);
    cxform.bMult = reader.readBufSBits(n);
    cxform.aMult = hasAlpha ? reader.readBufSBits(n) : 256;
  } else {
    cxform.rMult = cxform.gMult = cxform.bMult = cxform.aMult = 256;
  }
  if (hasAddTerms) {
    cxform.rAdd = reader.readBufSBits(n);
    cxform.gAdd = reader.readBufSBits(n);
    cxform.bAdd = reader.readBufSBits(n);
    cxform.aAdd = hasAlpha ? reader.readBufSBits(n) : 0;
  } else {
    cxform.rAdd = cxform.gAdd = cxform.bAdd = cxform.aAdd = 0;
  }
}

}  // namespace framestow
