// What the tag scanner and the readers it calls share during one scan.
#pragma once

#include <cstdint>
#include <string>

#include "common/progress.hpp"
#include "analysis/tables.hpp"
#include "swfin/movie.hpp"
#include "swfin/reader.hpp"

namespace framestow {

struct ScanContext {
  const LoadedMovie& movie;
  Analysis& analysis;
  Reader reader;
  const ProgressTick& tick;
  std::uint64_t tagStart = 0;  // first byte of the tag's header
  std::uint64_t tagEnd = 0;    // first byte after the tag (within the movie)
  std::uint64_t spriteEnd = 0; // first byte after the open sprite's body, as its DefineSprite declares

  void progress() const {
    if (tick) tick();
  }
  // A placement or sound start: the row of the timeline being scanned, with the
  // main-timeline frame being scanned (also inside sprites).
  void timelineReference(std::int32_t charId);
  // A character a definition is built from.
  void definitionReference(std::uint32_t row, std::int32_t charId) { appendReference(analysis, row, charId, 1); }
  void define(std::uint32_t charId, std::uint32_t block) {
    analysis.coverCharacter(charId);
    if (charId < analysis.blockRef.size()) analysis.blockRef[charId] = static_cast<std::int32_t>(block);
  }
  // A button, text or edit text is being defined: its row starts empty.
  void beginDefinitionRow(std::uint32_t charId) {
    analysis.currentID = static_cast<std::int32_t>(charId);
    analysis.coverCharacter(charId);
    if (charId < analysis.dependTotals.size()) analysis.dependTotals[charId] = 0;
  }
  // A definition that stays where it is, whatever the plan.
  void defineFixed(std::uint32_t charId, std::uint32_t block) {
    analysis.fixedDefinitionBlocks.try_emplace(charId, static_cast<std::int32_t>(block));
  }
  bool pastTag() const { return reader.overrun || reader.fileOffset >= tagEnd; }
};

// The action scanner: reads one action record whose code was just read.
// Returns `code` when the record lies inside its tag, `code` + 1 when its
// length runs past the tag (which also raises `asObfuscation`).
int readNextActionRecord(ScanContext& ctx, int code);

// Reads an action list (codes until a 0) for clip events and buttons. False
// when an action ran past the tag: the caller then skips to the tag's end.
bool readActionList(ScanContext& ctx);

// The export step for the ExportAssets tag at `block`, reader at its body.
void readExportAssets(ScanContext& ctx, std::uint32_t block);

// PlaceObject2 (and, with `placeObject3`, PlaceObject3) with their clip actions.
void readPlaceObject2(ScanContext& ctx, std::uint32_t block, bool placeObject3);

void readDefineButton(ScanContext& ctx, std::uint32_t block);
void readDefineButton2(ScanContext& ctx, std::uint32_t block);

// DefineMorphShape (a movable definition) and DefineMorphShape2 (one that stays):
// the bitmaps of their fills join the morph's row.
void readMorphShape(ScanContext& ctx, std::uint32_t block, std::uint32_t code);

// A tag that modifies character `charId` and must travel with it.
void recordCompanion(ScanContext& ctx, std::uint32_t charId, std::uint32_t block);
void readDefineButtonSound(ScanContext& ctx, std::uint32_t block);

}  // namespace framestow
