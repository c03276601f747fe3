// The state of the planner between runs.
#pragma once

#include <cstdint>
#include <vector>

#include "analysis/tables.hpp"

namespace framestow {

// A walk's place in one character's row of references.
struct WalkStep {
  std::int32_t c = 0;
  std::int32_t next = 0;  // the next entry of the row to take
  std::int32_t total = 0;
  const std::int32_t* row = nullptr;
};

struct Plan {
  // Raised by one at the start of every run; a block moves exactly when its
  // withThis equals it. A new stamp voids the marks of every earlier run.
  std::uint32_t testCounterFlag = kFirstPlanningStamp;
  std::vector<std::uint32_t> blockChecked;    // charId -> stamp of the marking walk's last visit
  std::vector<std::uint32_t> releaseVisited;  // charId -> stamp of the release walk's last visit
  std::vector<std::uint32_t> onWalk;          // charId -> stamp while the marking walk is inside it
  // Reused by every run, so that a click of the up-down control allocates nothing.
  std::vector<WalkStep> walkStack;
  std::int64_t movableBytes = 0;
  std::int32_t countEnd = 0;  // the ShowFrame block ending the target frame: marks before it count
  std::int32_t exportID = 0;
  std::int32_t initScriptBlock = 0;
  std::int32_t plannedFrame = 0;  // target frame of the last run (0: none yet)
  bool cyclic = false;            // the last run met a character that refers back to itself
};

void clearPlan(Plan& plan);
// Makes the visit tables cover character ids 0 .. range - 1.
void coverCharacters(Plan& plan, std::size_t range);

}  // namespace framestow
