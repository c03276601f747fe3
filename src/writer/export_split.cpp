#include "writer/export_split.hpp"

#include "common/tag_codes.hpp"
#include "swfin/export_entries.hpp"

namespace framestow {
namespace {

// A tag of the given body: the short header below 63 bytes, else the long one.
std::vector<std::uint8_t> exportTag(std::uint16_t count, const std::vector<std::uint8_t>& entries) {
  const std::size_t length = entries.size() + 2;
  std::vector<std::uint8_t> tag;
  if (length < 0x3F) {
    const auto word = static_cast<std::uint32_t>(kExportAssets * 64 + length);
    tag = {static_cast<std::uint8_t>(word & 0xFF), static_cast<std::uint8_t>(word >> 8)};
  } else {
    const std::uint32_t word = kExportAssets * 64 + 0x3F;
    tag = {static_cast<std::uint8_t>(word & 0xFF), static_cast<std::uint8_t>(word >> 8)};
    for (int i = 0; i < 4; ++i) tag.push_back(static_cast<std::uint8_t>(length >> (8 * i)));
  }
  tag.push_back(static_cast<std::uint8_t>(count & 0xFF));
  tag.push_back(static_cast<std::uint8_t>(count >> 8));
  tag.insert(tag.end(), entries.begin(), entries.end());
  return tag;
}

}  // namespace

ExportSplit splitExportAssets(std::span<const std::uint8_t> tag, std::uint32_t headerSize,
                              const std::function<bool(std::uint16_t)>& stays) {
  ExportSplit split;
  if (tag.size() < headerSize) return split;
  const auto body = tag.subspan(headerSize);
  const ExportAssetsBody parsed = readExportAssets(body);
  std::vector<std::uint8_t> staying;
  std::vector<std::uint8_t> moving;
  std::uint16_t stayingCount = 0;
  std::uint16_t movingCount = 0;
  for (const ExportEntry& entry : parsed.entries) {
    const bool stay = entry.characterId != 0 && stays(entry.characterId);
    auto& into = stay ? staying : moving;
    into.insert(into.end(), body.begin() + static_cast<std::ptrdiff_t>(entry.offset),
                body.begin() + static_cast<std::ptrdiff_t>(entry.offset + entry.size));
    ++(stay ? stayingCount : movingCount);
  }
  const bool rest = parsed.entriesEnd < body.size();
  if (rest) moving.insert(moving.end(), body.begin() + static_cast<std::ptrdiff_t>(parsed.entriesEnd), body.end());
  if (stayingCount > 0) split.staying = exportTag(stayingCount, staying);
  if (movingCount > 0 || rest) split.moving = exportTag(movingCount, moving);
  return split;
}

}  // namespace framestow
