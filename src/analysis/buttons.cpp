// DefineButton and DefineButton2: the characters of each state and the button actions.
#include "analysis/scan_context.hpp"
#include "swfin/filter_list.hpp"
#include "swfin/records.hpp"

namespace framestow {
namespace {

constexpr std::uint8_t kButtonHasBlendMode = 0x20;
constexpr std::uint8_t kButtonHasFilterList = 0x10;

std::uint32_t beginButton(ScanContext& ctx, ByteReader& body, std::uint32_t block) {
  const std::uint32_t id = body.u16();
  ctx.define(id, block);
  ctx.beginDefinitionRow(id);
  return id;
}

// The button records up to their closing 0 flags byte; each names the
// character of one or more states. DefineButton2 records carry a colour
// transform, and from SWF 8 on they may carry filters and a blend mode.
void readButtonRecords(ScanContext& ctx, ByteReader& body, std::uint32_t id, bool button2) {
  const bool filtersPossible = button2 && ctx.movie.header.version >= 8;
  std::uint8_t flags = body.u8();
  while (flags != 0 && !pastEnd(body)) {
    ctx.definitionReference(id, body.u16());
    body.u16();  // depth
    readMatrix(body);
    if (button2) readColorTransform(body, true);
    if (filtersPossible && (flags & kButtonHasFilterList) && !skipFilterList(body)) return;
    if (filtersPossible && (flags & kButtonHasBlendMode)) body.skip(1);
    flags = body.u8();
  }
}

}  // namespace

void readDefineButton(ScanContext& ctx, ByteReader& body, std::uint32_t block) {
  const std::uint32_t id = beginButton(ctx, body, block);
  readButtonRecords(ctx, body, id, false);
  ctx.beginCode(CodeKind::kButton, static_cast<std::int32_t>(id), block);
  if (!readActionList(ctx, body)) body.skipToEnd();
}

void readDefineButton2(ScanContext& ctx, ByteReader& body, std::uint32_t block) {
  const std::uint32_t id = beginButton(ctx, body, block);
  body.u8();  // track as menu
  const std::size_t offsetField = body.position();
  const std::uint16_t conditionOffset = body.u16();
  readButtonRecords(ctx, body, id, true);
  if (conditionOffset == 0) return;
  ctx.beginCode(CodeKind::kButton, static_cast<std::int32_t>(id), block);
  body.alignToByte();
  // The offset counts from its own field to the first condition-action record.
  body.seek(offsetField + conditionOffset);
  while (!pastEnd(body)) {
    const std::uint16_t size = body.u16();
    body.u16();  // conditions
    if (!readActionList(ctx, body)) {
      body.skipToEnd();
      return;
    }
    if (size == 0) break;
  }
}

}  // namespace framestow
