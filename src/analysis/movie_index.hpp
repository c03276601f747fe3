// What one scan of a movie found, built by indexMovie and read, never
// changed, by the planner, the writer and the document: the blocks, and per
// character its definition, what it refers to and what travels with it.
#pragma once

#include <algorithm>
#include <cstdint>
#include <unordered_map>
#include <utility>
#include <vector>

#include "analysis/code_names.hpp"

namespace framestow {

// Every SWF character id fits in 16 bits. The per-character tables grow to
// the largest id a movie uses, never beyond this.
inline constexpr std::size_t kCharacterIds = 65536;

// One block of the movie as the index stores it: a tag (the tags inside
// sprites included) or one of the three header blocks (signature and version,
// file length, frame size, rate and count). A block's bytes are headerSize +
// bodySize bytes of the uncompressed movie at `offset`. Twelve bytes a tag:
// a movie can have tens of millions of tags.
struct PackedBlock {
  std::uint32_t offset = 0;
  std::uint32_t bodySize = 0;  // 4 for a DefineSprite (id and frame count): its tags are blocks of their own
  std::uint16_t codeAndHeader = 0;  // tag code in bits 0..9, header size (0, 2 or 6) in bits 10..12
  // The timeline (0 main, else the sprite number) when it is below kTimelineElsewhere;
  // else the block's sprite group says.
  std::uint16_t timeline = 0;
};
inline constexpr std::uint16_t kTimelineElsewhere = 0xFFFF;

// An ExportAssets tag rebuilt without its redundant entries: the tag to write
// (empty when no entry is left, and the tag goes).
struct ReducedExport {
  std::vector<std::uint8_t> bytes;
};

// A sprite's DefineSprite block and the blocks of its tags up to and including
// its End tag. They lie together in the file and always move together, so the
// planner marks the group through its DefineSprite block alone and counts it
// through `bytes`: a plan then costs time per character, not per tag.
struct SpriteGroup {
  std::int32_t defineBlock = 0;
  std::int32_t endBlock = 0;  // one past the group's last block
  std::int64_t bytes = 0;     // countedSize summed over the group's blocks
};

// How a scan ended.
enum class ScanOutcome {
  kNotScanned,       // no loaded movie to scan
  kComplete,         // every tag read to the end of the movie
  kUnknownFillType,  // a shape's fill style type the format does not define stopped the scan
};

struct MovieIndex {
  std::vector<PackedBlock> blocks;  // file order; blockCount() records
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
  // but refer to other characters, and the first definitions of ids defined
  // again later, as (charId, block), sorted: what they refer to must stay
  // before them.
  std::vector<std::pair<std::int32_t, std::int32_t>> fixedDefinitions;

  // The linked assets that each piece of ActionScript names.
  CodeNames codeNames;

  bool obfuscatedActions = false;  // some action record runs past its tag (attach codes may hide there)
  // The last SetBackgroundColor block; without one the fixed prefix is the
  // three header blocks.
  std::int32_t backgroundBlock = 2;
  // One past the last block a character can bring along when it moves (its
  // defining block, companions, DoInitAction): the plan marks no block beyond.
  std::uint32_t markableBlocks = 1;

  ScanOutcome outcome = ScanOutcome::kNotScanned;
  // With kUnknownFillType: the fill style type of the shape that stopped the scan.
  std::uint8_t unknownFillType = 0;
  // The scan ran to its end: the index may be planned and written from.
  bool analysed() const { return outcome == ScanOutcome::kComplete; }
  bool tagsRunPastData = false;  // a tag's declared length runs past the movie
  bool endTagFound = false;      // the main timeline's End tag was reached

  // After the main timeline's End tag, which stands for every byte up to the
  // declared length in the count: its block, and that count.
  std::uint32_t mainEndBlock = 0;
  std::uint32_t mainEndCountedSize = 0;

  std::uint32_t blockCount() const { return static_cast<std::uint32_t>(blocks.size()); }
  std::uint16_t tagCode(std::size_t k) const { return blocks[k].codeAndHeader & 0x3FF; }
  std::uint32_t headerSize(std::size_t k) const { return blocks[k].codeAndHeader >> 10; }
  std::uint32_t bodySize(std::size_t k) const { return blocks[k].bodySize; }
  std::uint32_t offset(std::size_t k) const { return blocks[k].offset; }
  // One past the block's last byte.
  std::uint64_t blockEnd(std::size_t k) const { return std::uint64_t{offset(k)} + headerSize(k) + bodySize(k); }
  // Bytes the block stands for in the movable count.
  std::uint32_t countedSize(std::size_t k) const {
    if (k == mainEndBlock && endTagFound) return mainEndCountedSize;
    return headerSize(k) + bodySize(k);
  }
  // 0 for the main timeline, else the number of the sprite the block belongs to.
  std::uint32_t timeline(std::size_t k) const {
    const std::uint16_t stored = blocks[k].timeline;
    return stored != kTimelineElsewhere ? stored : timelineFromGroups(k);
  }
  std::uint32_t timelineFromGroups(std::size_t k) const;
  // Appends a block to the table.
  void appendBlock(std::uint16_t code, std::uint32_t headerSize, std::uint32_t offset, std::uint32_t bodySize,
                   std::uint32_t timeline) {
    blocks.push_back(PackedBlock{offset, bodySize, static_cast<std::uint16_t>(code | headerSize << 10), 0});
    setTimeline(blocks.size() - 1, timeline);
  }
  void setTimeline(std::size_t k, std::uint32_t timeline) {
    blocks[k].timeline = timeline < kTimelineElsewhere ? static_cast<std::uint16_t>(timeline) : kTimelineElsewhere;
  }
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
