// The small bit-packed SWF records: rectangles, colours, matrices and colour transforms.
#pragma once

#include <cstdint>

namespace framestow {

class Reader;

// Rectangle in twips (1/20 pixel).
struct Rect {
  std::int32_t xMin = 0;
  std::int32_t xMax = 0;
  std::int32_t yMin = 0;
  std::int32_t yMax = 0;
};

// Colour components 0..255; a is 255 for a colour stored without alpha.
struct RGBA {
  std::int32_t r = 0;
  std::int32_t g = 0;
  std::int32_t b = 0;
  std::int32_t a = 255;
};

// Scale and rotate-skew as 16.16 fixed point converted to float; translation in twips.
struct Matrix {
  float xScale = 1.0f;
  float yScale = 1.0f;
  float rot0 = 0.0f;
  float rot1 = 0.0f;
  std::int32_t x = 0;
  std::int32_t y = 0;
};

// Colour transform: multiply terms (256 = 1.0) and add terms. The stream stores
// alpha after blue; the structure keeps the alpha terms first.
struct CXForm {
  std::int32_t aMult = 256;
  std::int32_t rMult = 256;
  std::int32_t gMult = 256;
  std::int32_t bMult = 256;
  std::int32_t aAdd = 0;
  std::int32_t rAdd = 0;
  std::int32_t gAdd = 0;
  std::int32_t bAdd = 0;
};

// The bit-field readers align first and leave the bits of their last byte pending.
void readRect(Reader& reader, Rect& rect);
void readRGB(Reader& reader, RGBA& color);
void readRGBA(Reader& reader, RGBA& color);
void readMatrix(Reader& reader, Matrix& matrix);
void readCXForm(Reader& reader, CXForm& cxform, bool hasAlpha);

}  // namespace framestow
