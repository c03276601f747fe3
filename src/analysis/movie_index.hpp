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
// the three header blocks. A block's bytes are `headerSize` + `bodySize` bytes
// of the uncompressed movie at `offset`.
struct BlockRecord {
  std::uint32_t tagCode = 0;  // tag code; 0 for the header blocks
  std::uint32_t headerSize = 0;       // tag header length, 2 or 6; 0 for the header blocks
  std::uint32_t timeline = 0;     // timeline: 0 main, else the sprite number
  std::uint32_t offset = 0;
  std::uint32_t bodySize = 0;     // body length (4 for a DefineSprite: id and frame count)
  std::uint32_t countedSize = 0;     // bytes the block stands for in the movable count
};

// An ExportAssets tag rebuilt without its redundant entries.
struct ReducedExport : BlockRecord {
  std::vector<std::uint8_t> bytes;  // the rebuilt tag; its first `countedSize` bytes are written
};

// A sprite's DefineSprite block and the blocks of its tags up to and including
// its End tag. They lie together in the file and always move together, so the
// planner marks the group through its DefineSprite block alone and counts it
// through `bytes`: a plan then costs time per character, not per tag.
struct SpriteGroup {
  std::int32_t defineBlock = 0;
  std::int64_t bytes = 0;  // countedSize summed over the group's blocks
};

struct MovieIndex {
  std::vector<BlockRecord> blocks;  // file order; blockCount() records
  std::unordered_map<std::uint32_t, ReducedExport> reducedExports;  // ExportAssets block index -> reduced copy
  std::int64_t redundantExportBytes = 0;

  // Per-character tables, all of one length: they cover every id the movie
  // defines, refers to, exports or initialises (see coverCharacter).
  std::vector<std::int32_t> definingBlocks;                // charId -> defining block (0: none)
  std::vector<std::vector<std::int32_t>> referenceIds;   // row -> referenced charIds, scan order
  std::vector<std::vector<std::int32_t>> referenceFrames;  // row -> main-timeline frame of each reference
  std::vector<std::int32_t> referenceCounts;            // row -> entries in use
  std::vector<std::int32_t> linkedAssetIds;          // exported charIds, first-export order
  std::vector<std::int32_t> initActionBlocks;         // sprite charId -> its DoInitAction block
  std::vector<std::int32_t> spriteIds{0};           // sprite number -> sprite charId (entry 0 unused)
  std::vector<SpriteGroup> spriteGroups{SpriteGroup{}};  // sprite number -> its blocks (entry 0 unused)
  std::vector<std::int32_t> frameEnds{0};           // frame f (from 1) -> ShowFrame block ending it
  // Row 0 with each character once, at the first frame the main timeline uses
  // it, ordered by that frame: what frames 1 to n - 1 use is a prefix of it.
  std::vector<std::int32_t> mainFirstUseIds;
  std::vector<std::int32_t> mainFirstUseFrames;
  std::vector<std::int32_t> attachFrames{0};            // timeline -> first frame with an attach code
  // Tags that modify a character defined earlier (button colour transforms and
  // sounds, scaling grids): they travel with their character.
  std::unordered_map<std::uint32_t, std::vector<std::int32_t>> companionBlocks;
  // Definitions that never move (DefineShape4, DefineText2, DefineMorphShape2)
  // but refer to other characters and are defined by no movable tag, as
  // (charId, block), the first block of each id, sorted: what they refer to
  // must stay before them.
  std::vector<std::pair<std::int32_t, std::int32_t>> fixedDefinitions;

  bool obfuscatedActions = false;  // some action record runs past its tag (attach codes may hide there)
  // The last SetBackgroundColor block; without one the fixed prefix is the
  // three header blocks.
  std::int32_t backgroundBlock = 2;
  // One past the last block a character can bring along when it moves (its
  // defining block, companions, DoInitAction): the plan marks no block beyond.
  std::uint32_t markableBlocks = 1;

  bool analysed = false;  // the scan ran to its end without an error
  // The fill style type of a shape that stopped the scan: the format has no such type.
  std::optional<std::uint8_t> unknownFillType;
  bool tagsRunPastData = false;  // a tag's declared length runs past the movie
  bool endTagFound = false;      // the main timeline's End tag was reached

  std::uint32_t blockCount() const { return static_cast<std::uint32_t>(blocks.size()); }
  std::int32_t referenceCount(std::uint32_t row) const {
    return row < referenceCounts.size() ? referenceCounts[row] : 0;
  }
  std::int32_t definingBlock(std::uint32_t charId) const { return charId < definingBlocks.size() ? definingBlocks[charId] : 0; }
  std::int32_t initActionBlock(std::uint32_t charId) const {
    return charId < initActionBlocks.size() ? initActionBlocks[charId] : 0;
  }
  // How many character ids the per-character tables cover.
  std::size_t characterRange() const { return definingBlocks.size(); }
  // Grows the per-character tables to cover `charId` (ids past 65,535 are ignored).
  void coverCharacter(std::uint32_t charId);
  std::int32_t frameEnd(std::int64_t frame) const {
    return frame >= 0 && static_cast<std::size_t>(frame) < frameEnds.size()
               ? frameEnds[static_cast<std::size_t>(frame)]
               : 0;
  }
  std::int32_t attachFrame() const { return attachFrames.empty() ? 0 : attachFrames[0]; }
};

// Fills mainFirstUseIds and mainFirstUseFrames from row 0.
void collectMainFirstUses(MovieIndex& analysis);

// Appends character `charId` with frame value `frame` to row `row`.
void appendReference(MovieIndex& analysis, std::uint32_t row, std::int32_t charId, std::int32_t frame);

}  // namespace framestow
