// Tags that modify a character defined earlier: button sounds, button colour
// transforms and scaling grids. They must never end up before their character.
#include "analysis/scan_context.hpp"

namespace framestow {
namespace {

void skipSoundInfo(Reader& reader) {
  const std::uint8_t flags = reader.readByte();
  if (flags & 0x01) reader.skip(4);  // in point
  if (flags & 0x02) reader.skip(4);  // out point
  if (flags & 0x04) reader.skip(2);  // loop count
  if (flags & 0x08) reader.skip(static_cast<std::size_t>(reader.readByte()) * 8);  // envelope
}

}  // namespace

void recordCompanion(ScanContext& ctx, std::uint32_t charId, std::uint32_t block) {
  ctx.analysis.companionBlocks[charId].push_back(static_cast<std::int32_t>(block));
}

void readDefineButtonSound(ScanContext& ctx, std::uint32_t block) {
  Reader& reader = ctx.reader;
  const auto button = static_cast<std::uint32_t>(reader.readBufUInt16());
  recordCompanion(ctx, button, block);
  // Sounds for the four transitions: out to over, over to down, down to over, over to out.
  for (int i = 0; i < 4 && !ctx.pastTag(); ++i) {
    const int sound = reader.readBufUInt16();
    if (sound == 0) continue;
    ctx.definitionReference(button, sound);
    skipSoundInfo(reader);
  }
}

}  // namespace framestow
