#include "analysis/tables.hpp"

#include <algorithm>

namespace framestow {

void clearGlobals(Analysis& a) {
  // Tables are emptied with their memory (`= {}`): they are sized by the movie
  // as it is scanned, and a small movie after a large one keeps small tables.
  a.byteoutput = {};
  a.redundantList.clear();
  a.redundantAssetTotal = 0;
  a.blockRef = {};
  a.dependList.clear();
  a.dependFrame.clear();
  a.dependTotals = {};
  a.origAssetsList.clear();
  a.exported = {};
  a.exportEntries = {};
  // Cleared with the rest: an entry left from an earlier movie would make the
  // planner move a block of this movie that has nothing to do with the sprite.
  a.initScriptArray = {};
  a.spriteExportArray.assign(1, 0);
  a.spriteGroups.assign(1, SpriteGroup{});
  a.mainShowFrameBlocks.assign(1, 0);
  a.mainFirstUseIds.clear();
  a.mainFirstUseFrames.clear();
  a.attachFound.assign(1, 0);
  a.companionBlocks.clear();
  a.fixedDefinitionBlocks.clear();
  a.fixedDefinitions.clear();
  a.assetCountTotal = 0;
  a.assetCountIn = 0;
  a.redundantAssetTemp = 0;
  a.asObfuscation = 0;
  a.mainFrameCount = 0;
  a.frameCount = 0;
  a.parentFrameCount = 0;
  a.spriteCounter = 0;
  a.inSprite = 0;
  a.currentID = 0;
  a.shapeIdNum = 0;
  a.bgndColorBlock = 2;
  a.nextBlockStart = 0;
  a.analysed = false;
  a.unknownFillType.reset();
  a.tagsRunPastData = false;
  a.endTagFound = false;
}

void Analysis::coverCharacter(std::uint32_t charId) {
  if (charId < blockRef.size() || charId >= kCharacterIds) return;
  // Doubling keeps a movie's growth linear; new entries start as after the reset.
  const std::size_t size = std::min(kCharacterIds, std::max<std::size_t>({charId + 1u, 2 * blockRef.size(), 256}));
  blockRef.resize(size, 0);
  dependTotals.resize(size, 0);
  exported.resize(size, 0);
  initScriptArray.resize(size, 0);
}

void collectMainFirstUses(Analysis& a) {
  a.mainFirstUseIds.clear();
  a.mainFirstUseFrames.clear();
  const std::int32_t total = a.dependTotal(0);
  if (total <= 0 || a.dependList.empty()) return;
  std::vector<std::pair<std::int32_t, std::int32_t>> uses;  // (frame, charId), row order
  uses.reserve(static_cast<std::size_t>(total));
  for (std::size_t j = 0; j < static_cast<std::size_t>(total); ++j) uses.emplace_back(a.dependFrame[0][j], a.dependList[0][j]);
  std::stable_sort(uses.begin(), uses.end(), [](const auto& x, const auto& y) { return x.first < y.first; });
  std::vector<bool> seen(a.characterRange(), false);
  for (const auto& [frame, id] : uses) {
    if (id >= 0 && static_cast<std::size_t>(id) < seen.size()) {
      if (seen[static_cast<std::size_t>(id)]) continue;
      seen[static_cast<std::size_t>(id)] = true;
    }
    a.mainFirstUseIds.push_back(id);
    a.mainFirstUseFrames.push_back(frame);
  }
}

void appendReference(Analysis& a, std::uint32_t row, std::int32_t charId, std::int32_t frame) {
  if (row >= kCharacterIds) return;
  a.coverCharacter(row);
  // The planner's visit tables follow these tables: every id a row names is covered.
  if (charId >= 0) a.coverCharacter(static_cast<std::uint32_t>(charId));
  if (a.dependList.size() <= row) {
    a.dependList.resize(row + 1);
    a.dependFrame.resize(row + 1);
  }
  auto& list = a.dependList[row];
  auto& frames = a.dependFrame[row];
  const auto position = static_cast<std::size_t>(a.dependTotals[row]);
  // A row that was emptied keeps its old entries beyond the total; overwrite them.
  if (position < list.size()) {
    list[position] = charId;
    frames[position] = frame;
  } else {
    list.push_back(charId);
    frames.push_back(frame);
  }
  ++a.dependTotals[row];
}

}  // namespace framestow
