// The safe plan: the default plan, less the linked assets that code running
// before the target frame may use.
//
// Moving an asset to frame n is harmless to code that only attaches it from
// frame n on. Code that runs earlier and names it (attachMovie("name"),
// Object.registerClass("name", ...), an ActionScript 2 class by its name)
// would find nothing, and the init code of a moved sprite (a class
// definition, a registerClass) would run too late for frame 1's clips. The
// safe plan keeps such assets where they are, with everything they need.
#pragma once

#include <cstdint>
#include <vector>

#include "analysis/movie_index.hpp"
#include "planner/plan.hpp"

namespace framestow {

// Why the safe plan keeps a linked asset that the default plan moves.
enum class KeepReason : std::uint8_t {
  kNone,
  kNamedByCode,         // code that runs before frame n names it
  kInitNamesStaying,    // its init code names an asset that stays
};

// charId -> the first main-timeline frame in which it is shown: placed or
// started by the main timeline, or by a sprite or button shown in that frame.
// 0: never.
std::vector<std::int32_t> firstShownFrames(const MovieIndex& index);

// The main-timeline frame from which the code of `unit` can run, given when
// each character is first shown; 0 when it never runs on its own.
std::int32_t codeStartFrame(const MovieIndex& index, const CodeUnit& unit, const std::vector<std::int32_t>& shown);

// One safe planning run for target frame n. `keeps`, when given, receives per
// charId why the run keeps that asset (kNone for every other character).
Plan planSafely(const MovieIndex& index, std::int32_t n, Plan&& recycled = {},
                std::vector<KeepReason>* keeps = nullptr);

}  // namespace framestow
