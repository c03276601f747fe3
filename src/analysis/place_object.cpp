// PlaceObject2 and PlaceObject3: the placed character and the clip actions.
#include "analysis/scan_context.hpp"
#include "swfin/filter_list.hpp"
#include "swfin/records.hpp"

namespace framestow {
namespace {

constexpr std::uint8_t kHasClipActions = 0x80;
constexpr std::uint8_t kHasClipDepth = 0x40;
constexpr std::uint8_t kHasName = 0x20;
constexpr std::uint8_t kHasRatio = 0x10;
constexpr std::uint8_t kHasColorTransform = 0x08;
constexpr std::uint8_t kHasMatrix = 0x04;
constexpr std::uint8_t kHasCharacter = 0x02;

// Second flags byte of PlaceObject3.
constexpr std::uint8_t kHasOpaqueBackground = 0x40;
constexpr std::uint8_t kHasVisible = 0x20;
constexpr std::uint8_t kHasImage = 0x10;
constexpr std::uint8_t kHasClassName = 0x08;
constexpr std::uint8_t kHasCacheAsBitmap = 0x04;
constexpr std::uint8_t kHasBlendMode = 0x02;
constexpr std::uint8_t kHasFilterList = 0x01;

constexpr std::uint32_t kKeyPressEvent = 0x20000;

// Event flags are 16 bits wide before SWF 6, 32 from then on.
std::uint32_t readEventFlags(ByteReader& body, bool wide) { return wide ? body.u32() : body.u16(); }

void readClipActions(ScanContext& ctx, ByteReader& body, std::int32_t placed, std::uint32_t block) {
  ctx.beginCode(CodeKind::kClipEvent, placed, block);
  const bool wideEvents = ctx.movie.header.version >= 6;
  body.u16();                       // reserved
  readEventFlags(body, wideEvents);  // all event flags
  std::uint32_t events = readEventFlags(body, wideEvents);
  while (events != 0 && !pastEnd(body)) {
    body.u32();  // length of the record's actions
    if (wideEvents && (events & kKeyPressEvent)) body.skip(1);  // key code
    if (!readActionList(ctx, body)) {
      body.skipToEnd();
      return;
    }
    events = readEventFlags(body, wideEvents);
  }
}

}  // namespace

void readPlaceObject2(ScanContext& ctx, ByteReader& body, bool placeObject3, std::uint32_t block) {
  const std::uint8_t flags = body.u8();
  const std::uint8_t flags3 = placeObject3 ? body.u8() : 0;
  body.u16();  // depth
  if (placeObject3 && ((flags3 & kHasClassName) || ((flags3 & kHasImage) && (flags & kHasCharacter)))) {
    body.string();  // class name
  }
  std::int32_t placed = 0;  // a move of what a depth holds names no character
  if (flags & kHasCharacter) {
    placed = body.u16();
    ctx.timelineReference(placed);
  }
  if (flags & kHasMatrix) readMatrix(body);
  if (flags & kHasColorTransform) readColorTransform(body, true);
  if (flags & kHasRatio) body.u16();
  if (flags & kHasName) body.string();
  if (flags & kHasClipDepth) body.u16();
  if (placeObject3) {
    if ((flags3 & kHasFilterList) && !skipFilterList(body)) {
      // A filter we cannot measure hides where the clip actions start.
      body.skipToEnd();
      return;
    }
    if (flags3 & kHasBlendMode) body.skip(1);
    if (flags3 & kHasCacheAsBitmap) body.skip(1);
    if (flags3 & kHasVisible) body.skip(1);
    if (flags3 & kHasOpaqueBackground) body.skip(4);
  }
  if (flags & kHasClipActions) readClipActions(ctx, body, placed, block);
}

}  // namespace framestow
