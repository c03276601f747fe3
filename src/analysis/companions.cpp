// Tags that modify a character defined earlier: button sounds, button colour
// transforms and scaling grids. They must never end up before their character.
#include "analysis/scan_context.hpp"

namespace framestow {
namespace {

void skipSoundInfo(ByteReader& body) {
  const std::uint8_t flags = body.u8();
  if (flags & 0x01) body.skip(4);  // in point
  if (flags & 0x02) body.skip(4);  // out point
  if (flags & 0x04) body.skip(2);  // loop count
  if (flags & 0x08) body.skip(static_cast<std::size_t>(body.u8()) * 8);  // envelope
}

}  // namespace

void recordCompanion(ScanContext& ctx, std::uint32_t charId, std::uint32_t block) {
  ctx.index.companionBlocks[charId].push_back(static_cast<std::int32_t>(block));
}

void readDefineButtonSound(ScanContext& ctx, ByteReader& body, std::uint32_t block) {
  const std::uint32_t button = body.u16();
  recordCompanion(ctx, button, block);
  // Sounds for the four transitions: out to over, over to down, down to over, over to out.
  for (int i = 0; i < 4 && !pastEnd(body); ++i) {
    const std::uint16_t sound = body.u16();
    if (sound == 0) continue;
    ctx.definitionReference(button, sound);
    skipSoundInfo(body);
  }
}

}  // namespace framestow
