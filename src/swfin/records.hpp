// The small bit-packed SWF records: rectangles, colours, matrices and colour transforms.
#pragma once

#include <cstdint>

namespace framestow {

class ByteReader;

// Rectangle in twips (1/20 pixel).
struct Rect {
  std::int32_t xMin = 0;
  std::int32_t xMax = 0;
  std::int32_t yMin = 0;
  std::int32_t yMax = 0;
};

// Colour components 0..255; a is 255 for a colour stored without alpha.
struct Rgba {
  std::int32_t r = 0;
  std::int32_t g = 0;
  std::int32_t b = 0;
  std::int32_t a = 255;
};

// Scale and rotate-skew as 16.16 fixed point converted to float; translation in twips.
struct Matrix {
  float xScale = 1.0f;
  float yScale = 1.0f;
  float rotate0 = 0.0f;
  float rotate1 = 0.0f;
  std::int32_t x = 0;
  std::int32_t y = 0;
};

// Colour transform: multiply terms (256 = 1.0) and add terms.
struct ColorTransform {
  std::int32_t redMultiply = 256;
  std::int32_t greenMultiply = 256;
  std::int32_t blueMultiply = 256;
  std::int32_t alphaMultiply = 256;
  std::int32_t redAdd = 0;
  std::int32_t greenAdd = 0;
  std::int32_t blueAdd = 0;
  std::int32_t alphaAdd = 0;
};

// The bit-field readers align first and leave the bits of their last byte pending.
Rect readRect(ByteReader& reader);
Rgba readRgb(ByteReader& reader);
Rgba readRgba(ByteReader& reader);
Matrix readMatrix(ByteReader& reader);
ColorTransform readColorTransform(ByteReader& reader, bool hasAlpha);

}  // namespace framestow
