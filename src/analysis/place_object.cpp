// PlaceObject2 and PlaceObject3: the placed character and the clip actions.
#include "analysis/filters.hpp"
#include "analysis/scan_context.hpp"
#include "swfin/records.hpp"

namespace framestow {
namespace {

constexpr std::uint8_t placeHasClipEvent = 0x80;
constexpr std::uint8_t placeHasClip = 0x40;
constexpr std::uint8_t placeHasName = 0x20;
constexpr std::uint8_t placeHasRatio = 0x10;
constexpr std::uint8_t placeHasClrXfm = 0x08;
constexpr std::uint8_t placeHasMtx = 0x04;
constexpr std::uint8_t placeHasChrctr = 0x02;

// Second flags byte of PlaceObject3.
constexpr std::uint8_t place3OpaqueBackground = 0x40;
constexpr std::uint8_t place3HasVisible = 0x20;
constexpr std::uint8_t place3HasImage = 0x10;
constexpr std::uint8_t place3HasClassName = 0x08;
constexpr std::uint8_t place3HasCacheAsBitmap = 0x04;
constexpr std::uint8_t place3HasBlendMode = 0x02;
constexpr std::uint8_t place3HasFilterList = 0x01;

constexpr std::uint32_t kKeyPressEvent = 0x20000;

void skipToTagEnd(ScanContext& ctx) { ctx.reader.fileOffset = static_cast<std::size_t>(ctx.tagEnd); }

void readClipActions(ScanContext& ctx, bytesOut& block) {
  Reader& reader = ctx.reader;
  const bool wideEvents = ctx.movie.m.version >= 6;
  reader.readBufUInt16();  // reserved
  if (wideEvents) reader.readBufUInt32(); else reader.readBufUInt16();  // all event flags
  std::uint32_t events = wideEvents ? reader.readBufUInt32() : static_cast<std::uint32_t>(reader.readBufUInt16());
  while (events != 0 && !ctx.pastTag()) {
    reader.readBufUInt32();  // clipScriptLength
    if (wideEvents && (events & kKeyPressEvent)) reader.skip(1);  // key code
    // Clip actions run code, so the placement must stay in its frame.
    block.withThis = kMarkKeep;
    if (!readActionList(ctx)) {
      skipToTagEnd(ctx);
      return;
    }
    events = wideEvents ? reader.readBufUInt32() : static_cast<std::uint32_t>(reader.readBufUInt16());
  }
}

}  // namespace

void readPlaceObject2(ScanContext& ctx, std::uint32_t blockIndex, bool placeObject3) {
  Reader& reader = ctx.reader;
  const std::uint8_t flags = reader.readByte();
  const std::uint8_t flags2 = placeObject3 ? reader.readByte() : 0;
  reader.readBufUInt16();  // depth
  if (placeObject3 && ((flags2 & place3HasClassName) || ((flags2 & place3HasImage) && (flags & placeHasChrctr)))) {
    reader.readRawString();  // class name
  }
  if (flags & placeHasChrctr) ctx.timelineReference(reader.readBufUInt16());
  if (flags & placeHasMtx) {
    Matrix matrix;
    readMatrix(reader, matrix);
  }
  if (flags & placeHasClrXfm) {
    CXForm cxform;
    readCXForm(reader, cxform, true);
  }
  if (flags & placeHasRatio) reader.readBufUInt16();
  if (flags & placeHasName) reader.readRawString();
  if (flags & placeHasClip) reader.readBufUInt16();
  if (placeObject3) {
    if ((flags2 & place3HasFilterList) && !skipFilterList(reader)) {
      // A filter we cannot measure hides where the clip actions start.
      skipToTagEnd(ctx);
      return;
    }
    if (flags2 & place3HasBlendMode) reader.skip(1);
    if (flags2 & place3HasCacheAsBitmap) reader.skip(1);
    if (flags2 & place3HasVisible) reader.skip(1);
    if (flags2 & place3OpaqueBackground) reader.skip(4);
  }
  if (flags & placeHasClipEvent) readClipActions(ctx, ctx.analysis.byteoutput[blockIndex]);
}

}  // namespace framestow
