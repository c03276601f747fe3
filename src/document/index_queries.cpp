// The document's read-only answers about what the analysis found.
#include <algorithm>
#include <map>

#include "common/tag_codes.hpp"
#include "document/document.hpp"
#include "swfin/export_entries.hpp"

namespace framestow {

namespace {

// The distinct names of each character in the ExportAssets tag at `block`.
void collectExportNames(std::span<const std::uint8_t> movie, const MovieIndex& index, std::size_t block,
                        std::map<std::int32_t, std::vector<std::string>>& namesById) {
  const std::size_t bodyStart = static_cast<std::size_t>(index.offset(block)) + index.headerSize(block);
  if (bodyStart >= movie.size()) return;
  for (const ExportEntry& entry : readExportAssets(movie.subspan(bodyStart, index.bodySize(block))).entries) {
    auto& names = namesById[entry.characterId];
    if (std::find(names.begin(), names.end(), entry.name) == names.end()) names.emplace_back(entry.name);
  }
}

}  // namespace

std::vector<Block> Document::blocks() const {
  std::vector<Block> out;
  if (!analysed()) return out;
  out.reserve(index_.blocks.size());
  for (std::size_t k = 0; k < index_.blocks.size(); ++k) {
    out.push_back(Block{index_.tagCode(k), index_.headerSize(k), index_.bodySize(k), index_.offset(k), index_.timeline(k)});
  }
  return out;
}

std::optional<std::uint32_t> Document::definingBlock(std::uint32_t charId) const {
  const std::int32_t block = analysed() ? index_.definingBlock(charId) : 0;
  if (block <= 0) return std::nullopt;
  return static_cast<std::uint32_t>(block);
}

std::vector<Reference> Document::references(std::uint32_t row) const {
  std::vector<Reference> out;
  if (!analysed() || row >= index_.referenceIds.size()) return out;
  const auto total = static_cast<std::size_t>(std::max(index_.referenceCount(row), 0));
  const auto& ids = index_.referenceIds[row];
  const auto& frames = index_.referenceFrames[row];
  for (std::size_t j = 0; j < total && j < ids.size() && j < frames.size(); ++j) {
    out.push_back(Reference{ids[j], frames[j]});
  }
  return out;
}

std::vector<LinkedAsset> Document::linkedAssets() const {
  std::vector<LinkedAsset> assets;
  if (!analysed()) return assets;
  const auto movie = movie_.bytes();
  std::map<std::int32_t, std::vector<std::string>> namesById;
  for (std::size_t k = 0; k < index_.blocks.size(); ++k) {
    // A sprite's ExportAssets exports nothing.
    if (index_.tagCode(k) == kExportAssets && index_.headerSize(k) != 0 && index_.timeline(k) == 0) collectExportNames(movie, index_, k, namesById);
  }
  assets.reserve(index_.linkedAssetIds.size());
  for (const std::int32_t id : index_.linkedAssetIds) {
    LinkedAsset asset{id, {}};
    if (auto found = namesById.find(id); found != namesById.end()) asset.names = found->second;
    assets.push_back(std::move(asset));
  }
  return assets;
}

std::vector<std::uint32_t> Document::frameEnds() const {
  std::vector<std::uint32_t> out;
  if (!analysed()) return out;
  const auto& ends = index_.frameEnds;
  for (std::size_t frame = 1; frame < ends.size(); ++frame) out.push_back(static_cast<std::uint32_t>(ends[frame]));
  return out;
}

std::int32_t Document::attachFrame(std::uint32_t timeline) const {
  if (!analysed() || timeline >= index_.attachFrames.size()) return 0;
  return index_.attachFrames[timeline];
}

std::int64_t Document::redundantExportBytes() const { return analysed() ? index_.redundantExportBytes : 0; }

}  // namespace framestow
