#include "analysis/tables.hpp"

namespace framestow {

void clearGlobals(Analysis& a) {
  a.byteoutput.clear();
  a.byteoutput.shrink_to_fit();
  a.redundantList.clear();
  a.redundantAssetTotal = 0;
  a.blockRef.assign(kCharacterIds, 0);
  // Rows grow to the largest character id the movie references, not to 65,536.
  a.dependList.clear();
  a.dependFrame.clear();
  a.dependTotals.assign(kCharacterIds, 0);
  a.origAssetsList.clear();
  a.exported.assign(kCharacterIds, 0);
  // Cleared with the rest: an entry left from an earlier movie would make the
  // planner move a block of this movie that has nothing to do with the sprite.
  a.initScriptArray.assign(kCharacterIds, 0);
  a.spriteExportArray.assign(1, 0);
  a.spriteGroups.assign(1, SpriteGroup{});
  a.mainShowFrameBlocks.assign(1, 0);
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
  a.analysisError.clear();
  a.tagsRunPastData = false;
  a.endTagFound = false;
}

void appendReference(Analysis& a, std::uint32_t row, std::int32_t charId, std::int32_t frame) {
  if (row >= kCharacterIds) return;
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
