// DefineButton and DefineButton2: the characters of each state and the button actions.
#include "analysis/filters.hpp"
#include "analysis/scan_context.hpp"
#include "swfin/records.hpp"

namespace framestow {
namespace {

constexpr std::uint8_t kButtonHasBlendMode = 0x20;
constexpr std::uint8_t kButtonHasFilterList = 0x10;

std::uint32_t beginButton(ScanContext& ctx, std::uint32_t block) {
  const auto id = static_cast<std::uint32_t>(ctx.reader.readBufUInt16());
  ctx.define(id, block);
  ctx.beginDefinitionRow(id);
  return id;
}

// The button records up to their closing 0 flags byte; each names the
// character of one or more states. DefineButton2 records carry a colour
// transform, and from SWF 8 on they may carry filters and a blend mode.
void readButtonRecords(ScanContext& ctx, std::uint32_t id, bool button2) {
  Reader& reader = ctx.reader;
  const bool filtersPossible = button2 && ctx.movie.m.version >= 8;
  std::uint8_t flags = reader.readByte();
  while (flags != 0 && !ctx.pastTag()) {
    ctx.definitionReference(id, reader.readBufUInt16());
    reader.readBufUInt16();  // depth
    Matrix matrix;
    readMatrix(reader, matrix);
    if (button2) {
      CXForm cxform;
      readCXForm(reader, cxform, true);
    }
    if (filtersPossible && (flags & kButtonHasFilterList) && !skipFilterList(reader)) return;
    if (filtersPossible && (flags & kButtonHasBlendMode)) reader.skip(1);
    flags = reader.readByte();
  }
}

}  // namespace

void readDefineButton(ScanContext& ctx, std::uint32_t block) {
  Reader& reader = ctx.reader;
  readButtonRecords(ctx, beginButton(ctx, block), false);
  if (!readActionList(ctx)) reader.fileOffset = static_cast<std::size_t>(ctx.tagEnd);
}

void readDefineButton2(ScanContext& ctx, std::uint32_t block) {
  Reader& reader = ctx.reader;
  const std::uint32_t id = beginButton(ctx, block);
  reader.readByte();  // track as menu
  const std::size_t offsetField = reader.fileOffset;
  const int conditionOffset = reader.readBufUInt16();
  readButtonRecords(ctx, id, true);
  if (conditionOffset == 0) return;
  reader.byteXAlign();
  reader.fileOffset = offsetField + static_cast<std::size_t>(conditionOffset);
  while (!ctx.pastTag()) {
    const int size = reader.readBufUInt16();
    reader.readBufUInt16();  // conditions
    if (!readActionList(ctx)) {
      reader.fileOffset = static_cast<std::size_t>(ctx.tagEnd);
      return;
    }
    if (size == 0) break;
  }
}

}  // namespace framestow
