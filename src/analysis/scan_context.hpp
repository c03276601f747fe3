// What the tag scanner and the tag readers it calls share during one scan.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "analysis/movie_index.hpp"
#include "common/progress.hpp"
#include "swfin/byte_reader.hpp"
#include "swfin/movie.hpp"

namespace framestow {

struct ScanContext {
  const LoadedMovie& movie;
  MovieIndex& index;
  std::span<const std::uint8_t> data;  // the movie up to its declared length
  const ProgressTick& tick;
  std::uint64_t tagStart = 0;   // first byte of the tag's header
  std::uint64_t tagEnd = 0;     // first byte after the tag (within the movie)
  std::uint64_t spriteEnd = 0;  // first byte after the open sprite's body, as its DefineSprite declares
  std::vector<std::uint16_t> ids;  // what a body reader hands back, reused tag after tag

  // Where the scan is: the open sprite (its number; 0 on the main timeline),
  // frames of the timeline being scanned, the main timeline's frames so far
  // (and while in a sprite, the main timeline's count saved for its return).
  std::uint32_t openSprite = 0;
  std::uint32_t spriteCount = 0;
  std::int32_t timelineFrames = 0;
  std::int32_t mainFramesBeforeSprite = 0;
  std::int32_t mainFrames = 0;
  // charId -> 1 once exported.
  std::vector<std::uint8_t> exported{};
  // Every (charId, linkage name) pair exported so far, as the id's two bytes
  // followed by the name's bytes: an entry repeats an export only when both match.
  std::unordered_set<std::string> exportEntries{};
  // The first fixed definition block of each id (see MovieIndex::fixedDefinitions).
  std::unordered_map<std::uint32_t, std::int32_t> fixedDefinitionBlocks{};
  // The first definition block of each id defined again by a later tag.
  std::unordered_map<std::uint32_t, std::int32_t> supersededDefinitionBlocks{};

  // Reading a DoInitAction: its strings are noted, but it records no attach
  // code and no obfuscation (the verdict looks at frame and event code only).
  bool inInitCode = false;

  // A piece of code of kind `kind` in the tag at `block` begins.
  void beginCode(CodeKind kind, std::int32_t owner, std::uint32_t block) {
    beginCodeUnit(index.codeNames, CodeUnit{kind, openSprite, timelineFrames + 1, mainFrames + 1, owner,
                                            static_cast<std::int32_t>(block)});
  }

  void progress() const {
    if (tick) tick();
  }
  // A placement or sound start: the row of the timeline being scanned, with the
  // main-timeline frame being scanned (also inside sprites).
  void timelineReference(std::int32_t charId);
  // A character a definition is built from.
  void definitionReference(std::uint32_t row, std::int32_t charId) { appendReference(index, row, charId, 1); }
  void define(std::uint32_t charId, std::uint32_t block) {
    index.coverCharacter(charId);
    if (charId >= index.definingBlocks.size()) return;
    // A second definition of an id takes over its entry, but the first stays
    // in the file where it is (players keep the first one they read).
    std::int32_t& defining = index.definingBlocks[charId];
    if (defining > 0 && charId != 0) supersededDefinitionBlocks.try_emplace(charId, defining);
    defining = static_cast<std::int32_t>(block);
  }
  // A DefineFontInfo: the font's entry ends at the last of its blocks.
  void extendFont(std::uint32_t fontId, std::uint32_t block) {
    index.coverCharacter(fontId);
    if (fontId < index.definingBlocks.size()) index.definingBlocks[fontId] = static_cast<std::int32_t>(block);
  }
  // A button, text or edit text is being defined: its row starts empty. No
  // character has id 0 (a damaged or empty tag reads as one), and row 0 is the
  // main timeline's: emptying it would lose what earlier frames show.
  void beginDefinitionRow(std::uint32_t charId) {
    if (charId == 0) return;
    index.coverCharacter(charId);
    if (charId < index.referenceCounts.size()) index.referenceCounts[charId] = 0;
  }
  // A definition that stays where it is, whatever the plan.
  void defineFixed(std::uint32_t charId, std::uint32_t block) {
    fixedDefinitionBlocks.try_emplace(charId, static_cast<std::int32_t>(block));
  }
};

// A tag body is read to its end, or up to a damaged field.
inline bool pastEnd(const ByteReader& body) { return body.overrun() || body.atEnd(); }

// Reads an action list (codes until a 0) of a DoAction, a clip event or a
// button, looking for attach codes. False when an action ran past the tag:
// the caller then skips to the tag's end.
bool readActionList(ScanContext& ctx, ByteReader& body);

// The export step for the ExportAssets tag at `block`.
void readExportAssets(ScanContext& ctx, ByteReader& body, std::uint32_t block);

// PlaceObject2 (and, with `placeObject3`, PlaceObject3) with their clip actions.
void readPlaceObject2(ScanContext& ctx, ByteReader& body, bool placeObject3, std::uint32_t block);

void readDefineButton(ScanContext& ctx, ByteReader& body, std::uint32_t block);
void readDefineButton2(ScanContext& ctx, ByteReader& body, std::uint32_t block);

// A tag that modifies character `charId` and must travel with it.
void recordCompanion(ScanContext& ctx, std::uint32_t charId, std::uint32_t block);
void readDefineButtonSound(ScanContext& ctx, ByteReader& body, std::uint32_t block);

}  // namespace framestow
