// Readers for shape bodies: fill and line style arrays, gradients, shape records.
//
// The analysis needs only the bitmap ids of bitmap fills, but every field is
// read exactly so that the position after each record is right.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "analysis/tables.hpp"
#include "swfin/reader.hpp"
#include "swfin/records.hpp"

namespace framestow {

enum shapeRecordType { SHAPERECORD_END = 0, SHAPERECORD_LINE = 1, SHAPERECORD_CURVE = 2, SHAPERECORD_STATECHANGE = 3 };

struct Gradient {
  int nGradients = 0;
  std::vector<RGBA> colors;
  std::vector<std::int32_t> ratio;
};

struct FillStyle {
  std::uint8_t type = 0;
  Matrix matrix;
  RGBA color;
  Gradient gradient;
  std::int32_t bitmap = 0;
};

// What one shape's parse keeps between records: style counts (the style
// indices of state-change records count across all style arrays) and the
// current index widths. The styles themselves are not needed afterwards.
struct Shape {
  std::uint32_t shapeType = 0;  // tag code of the definition
  Rect bounds;
  std::int32_t nFills = 0;
  std::int32_t nLines = 0;
  std::int32_t nShapes = 0;
  std::uint8_t lineBits = 0;
  std::uint8_t fillBits = 0;
  std::int32_t lineOffset = 0;
  std::int32_t fillOffset = 0;
  shapeRecordType lastType = SHAPERECORD_END;
  std::int32_t fill0 = -1, fill1 = -1, line = -1;
};

// The reader, the tables that receive bitmap references, and the error that
// stops the analysis (an unknown fill type).
struct ShapeContext {
  Reader& reader;
  Analysis& analysis;
  std::string error;
};

void readFillStyleArray(ShapeContext& ctx, Shape& shape);
void readLineStyleArray(ShapeContext& ctx, Shape& shape);
void readFillStyle(ShapeContext& ctx, FillStyle& style, std::uint32_t shapeType);
void readGradient(ShapeContext& ctx, Gradient& gradient, std::uint32_t shapeType);
// 0 after the end record, 1 after any other record.
int readShapeRec(ShapeContext& ctx, Shape& shape);

}  // namespace framestow
