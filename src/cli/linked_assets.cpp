#include "cli/linked_assets.hpp"

#include <algorithm>
#include <map>

#include "common/tag_codes.hpp"
#include "swfin/reader.hpp"

namespace framestow::cli {

namespace {

// Reads the entries of one ExportAssets body: a 16-bit count, then per entry a
// 16-bit character id and a NUL-terminated name. The reader is limited to the
// body, so a damaged count cannot read into the next tag.
void collectEntries(std::span<const std::uint8_t> movie, const bytesOut& block,
                    std::map<std::int32_t, std::vector<std::string>>& namesById) {
  const std::size_t bodyStart = static_cast<std::size_t>(block.thisStart) + block.thisHead;
  const std::size_t bodyEnd = bodyStart + block.origLength;
  if (bodyStart >= movie.size()) return;

  Reader reader(movie);
  reader.setLimit(bodyEnd);
  reader.fileOffset = bodyStart;
  const int count = reader.readBufUInt16();
  for (int i = 0; i < count && !reader.overrun; ++i) {
    const std::int32_t id = reader.readBufUInt16();
    std::string name = reader.readRawString();
    if (reader.overrun) break;
    auto& names = namesById[id];
    if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(std::move(name));
  }
}

}  // namespace

std::vector<LinkedAsset> linkedAssetsOf(const Document& document) {
  const Analysis& analysis = document.analysis();
  const auto movie = document.movie().fileBuffer();

  std::map<std::int32_t, std::vector<std::string>> namesById;
  for (const bytesOut& block : analysis.byteoutput) {
    if (block.thisBlockType == kExportAssets && block.thisHead != 0) collectEntries(movie, block, namesById);
  }

  const std::size_t count =
      std::min(analysis.origAssetsList.size(), static_cast<std::size_t>(std::max(analysis.assetCountTotal, 0)));
  std::vector<LinkedAsset> assets;
  assets.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    const std::int32_t id = analysis.origAssetsList[i];
    LinkedAsset asset{id, {}};
    if (auto found = namesById.find(id); found != namesById.end()) asset.names = found->second;
    assets.push_back(std::move(asset));
  }
  return assets;
}

}  // namespace framestow::cli
