// The block table and the per-character tables one analysis fills.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

namespace framestow {

// Every SWF character id fits in 16 bits. The per-character tables grow to
// the largest id a movie uses, never beyond this.
inline constexpr std::size_t kCharacterIds = 65536;

// One block of the movie: a tag (the tags inside sprites included) or one of
// the three header blocks. A block's bytes are `thisHead` + `origLength` bytes
// of the uncompressed movie at `thisStart`.
struct bytesOut {
  std::uint32_t thisBlockType = 0;  // tag code; 0 for the header blocks
  std::uint32_t thisHead = 0;       // tag header length, 2 or 6; 0 for the header blocks
  std::uint32_t thisSprite = 0;     // timeline: 0 main, else the sprite number
  std::uint32_t thisStart = 0;
  std::uint32_t origLength = 0;     // body length (4 for a DefineSprite: id and frame count)
  std::uint32_t thisLength = 0;     // bytes the block stands for in the movable count
};

// An ExportAssets tag rebuilt without its redundant entries.
struct ExportCopy : bytesOut {
  std::vector<std::uint8_t> byteNum;  // the rebuilt tag; its first `thisLength` bytes are written
};

// A sprite's DefineSprite block and the blocks of its tags up to and including
// its End tag. They lie together in the file and always move together, so the
// planner marks the group through its DefineSprite block alone and counts it
// through `bytes`: a plan then costs time per character, not per tag.
struct SpriteGroup {
  std::int32_t defineBlock = 0;
  std::int64_t bytes = 0;  // thisLength summed over the group's blocks
};

struct Analysis {
  std::vector<bytesOut> byteoutput;  // file order; byteoutputNum() records
  std::unordered_map<std::uint32_t, ExportCopy> redundantList;  // ExportAssets block index -> reduced copy
  std::int64_t redundantAssetTotal = 0;

  // Per-character tables, all of one length: they cover every id the movie
  // defines, refers to, exports or initialises (see coverCharacter).
  std::vector<std::int32_t> blockRef;                // charId -> defining block (0: none)
  std::vector<std::vector<std::int32_t>> dependList;   // row -> referenced charIds, scan order
  std::vector<std::vector<std::int32_t>> dependFrame;  // row -> main-timeline frame of each reference
  std::vector<std::int32_t> dependTotals;            // row -> entries in use
  std::vector<std::int32_t> origAssetsList;          // exported charIds, first-export order
  std::vector<std::uint8_t> exported;                // charId -> 1 once exported
  // Every (charId, linkage name) pair exported so far, as the id's two bytes
  // followed by the name's bytes: an entry repeats an export only when both match.
  std::unordered_set<std::string> exportEntries;
  std::vector<std::int32_t> initScriptArray;         // sprite charId -> its DoInitAction block
  std::vector<std::int32_t> spriteExportArray;       // sprite number -> sprite charId
  std::vector<SpriteGroup> spriteGroups;             // sprite number -> its blocks (entry 0 unused)
  std::vector<std::int32_t> mainShowFrameBlocks;     // frame f (from 1) -> ShowFrame block ending it
  // Row 0 with each character once, at the first frame the main timeline uses
  // it, ordered by that frame: what frames 1 to n - 1 use is a prefix of it.
  std::vector<std::int32_t> mainFirstUseIds;
  std::vector<std::int32_t> mainFirstUseFrames;
  std::vector<std::int32_t> attachFound;             // timeline -> first frame with an attach code
  // Tags that modify a character defined earlier (button colour transforms and
  // sounds, scaling grids): they travel with their character.
  std::unordered_map<std::uint32_t, std::vector<std::int32_t>> companionBlocks;
  // Definitions that never move (DefineShape4, DefineText2, DefineMorphShape2)
  // but refer to other characters, as (charId, block), the first block of each
  // id: what they refer to must stay before them.
  std::unordered_map<std::uint32_t, std::int32_t> fixedDefinitionBlocks;
  std::vector<std::pair<std::int32_t, std::int32_t>> fixedDefinitions;

  std::int32_t assetCountTotal = 0;
  std::int32_t assetCountIn = 0;
  std::int64_t redundantAssetTemp = 0;
  int asObfuscation = 0;
  std::int32_t mainFrameCount = 0;
  std::int32_t frameCount = 0;
  std::int32_t parentFrameCount = 0;
  std::int32_t spriteCounter = 0;
  std::int32_t inSprite = 0;
  std::int32_t currentID = 0;
  std::int32_t shapeIdNum = 0;
  // The last SetBackgroundColor block; without one the fixed prefix is the
  // three header blocks.
  std::int32_t bgndColorBlock = 2;
  std::uint32_t nextBlockStart = 0;
  // One past the last block a character can bring along when it moves (its
  // defining block, companions, DoInitAction): the plan marks no block beyond.
  std::uint32_t markableBlocks = 1;

  bool analysed = false;  // the scan ran to its end without an error
  // The fill style type of a shape that stopped the scan: the format has no such type.
  std::optional<std::uint8_t> unknownFillType;
  bool tagsRunPastData = false;  // a tag's declared length runs past the movie
  bool endTagFound = false;      // the main timeline's End tag was reached

  std::uint32_t byteoutputNum() const { return static_cast<std::uint32_t>(byteoutput.size()); }
  std::int32_t dependTotal(std::uint32_t row) const {
    return row < dependTotals.size() ? dependTotals[row] : 0;
  }
  std::int32_t blockOf(std::uint32_t charId) const { return charId < blockRef.size() ? blockRef[charId] : 0; }
  std::int32_t initScriptOf(std::uint32_t charId) const {
    return charId < initScriptArray.size() ? initScriptArray[charId] : 0;
  }
  // How many character ids the per-character tables cover.
  std::size_t characterRange() const { return blockRef.size(); }
  // Grows the per-character tables to cover `charId` (ids past 65,535 are ignored).
  void coverCharacter(std::uint32_t charId);
  std::int32_t showFrameBlock(std::int64_t frame) const {
    return frame >= 0 && static_cast<std::size_t>(frame) < mainShowFrameBlocks.size()
               ? mainShowFrameBlocks[static_cast<std::size_t>(frame)]
               : 0;
  }
  std::int32_t mainAttachFrame() const { return attachFound.empty() ? 0 : attachFound[0]; }
};

// Puts every table of one analysis back to its start value.
void clearGlobals(Analysis& analysis);

// Fills mainFirstUseIds and mainFirstUseFrames from row 0.
void collectMainFirstUses(Analysis& analysis);

// Appends character `charId` with frame value `frame` to row `row`.
void appendReference(Analysis& analysis, std::uint32_t row, std::int32_t charId, std::int32_t frame);

}  // namespace framestow
