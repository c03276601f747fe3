// ExportAssets: the linked assets, and each tag rebuilt without the entries
// that repeat an earlier export of the same character under the same name.
#include <cstring>
#include <string>

#include "analysis/scan_context.hpp"
#include "common/tag_codes.hpp"
#include "swfin/export_entries.hpp"

namespace framestow {

void readExportAssets(ScanContext& ctx, ByteReader& body, std::uint32_t block) {
  MovieIndex& a = ctx.index;
  const std::uint32_t h = a.headerSize(block);
  const std::uint32_t b = a.bodySize(block);
  const std::uint8_t* tagBytes = ctx.data.data() + ctx.tagStart;
  const std::span<const std::uint8_t> bodyBytes(tagBytes + h, b);
  body.skipToEnd();
  // ExportAssets belongs to the main timeline; a sprite may not hold one.
  // Inside a sprite it names no linked asset, counts nothing as repeated and
  // is written as it stands (a shorter tag would leave the DefineSprite's
  // length claiming bytes that are gone).
  if (ctx.openSprite != 0) return;
  const ExportAssetsBody parsed = readExportAssets(bodyBytes);

  ReducedExport copy;
  copy.bytes.assign(static_cast<std::size_t>(b) + 6, 0);
  std::memcpy(copy.bytes.data(), tagBytes, h);
  std::int64_t redundant = 0;
  std::size_t out = h + 2;  // the count field is filled in at the end
  std::uint32_t kept = 0;
  for (const ExportEntry& entry : parsed.entries) {
    // No character has id 0, so such an entry exports nothing: it is kept as
    // it stands and never counts as a linked asset or as redundant.
    if (entry.characterId != 0) {
      // An entry is redundant only when it repeats both the character and the
      // name: a second name for a character is another way for ActionScript
      // to attach or register it, and must stay.
      const std::string key(reinterpret_cast<const char*>(bodyBytes.data() + entry.offset), entry.size - 1);
      if (!ctx.exportEntries.insert(key).second) {
        redundant += static_cast<std::int64_t>(entry.size);
        continue;
      }
      a.coverCharacter(entry.characterId);
      if (ctx.exported.size() <= entry.characterId) ctx.exported.resize(a.characterRange(), 0);
      if (!ctx.exported[entry.characterId]) {
        ctx.exported[entry.characterId] = 1;
        a.linkedAssetIds.push_back(entry.characterId);
      }
    }
    std::memcpy(copy.bytes.data() + out, bodyBytes.data() + entry.offset, entry.size);
    out += entry.size;
    ++kept;
  }
  // Bytes after the last entry read (a damaged or padded tag) stay as they
  // are, so that the copy is the tag less exactly its redundant entries.
  if (parsed.entriesEnd < b) {
    const std::size_t rest = b - parsed.entriesEnd;
    std::memcpy(copy.bytes.data() + out, bodyBytes.data() + parsed.entriesEnd, rest);
    out += rest;
  }
  if (kept > 0) {
    copy.bytes[h] = static_cast<std::uint8_t>(kept & 0xFF);
    copy.bytes[h + 1] = static_cast<std::uint8_t>(kept >> 8);
    a.redundantExportBytes += redundant;
    copy.bytes.resize(out);
    if (redundant > 0) {
      const auto length = static_cast<std::uint32_t>(b - redundant);
      if (h == 6) {
        for (int i = 0; i < 4; ++i) copy.bytes[2 + i] = static_cast<std::uint8_t>(length >> (8 * i));
      } else {
        const std::uint32_t word = kExportAssets * 64 + length;
        copy.bytes[0] = static_cast<std::uint8_t>(word & 0xFF);
        copy.bytes[1] = static_cast<std::uint8_t>(word >> 8);
      }
    }
  } else {
    copy.bytes.clear();
    a.redundantExportBytes += static_cast<std::int64_t>(b) + h;
  }
  copy.bytes.shrink_to_fit();
  a.reducedExports[block] = std::move(copy);
}

}  // namespace framestow
