// The state of the planner between runs.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "analysis/tables.hpp"

namespace framestow {

struct Plan {
  // Raised by one at the start of every run; a block moves exactly when its
  // withThis equals it. A new stamp voids the marks of every earlier run.
  std::uint32_t testCounterFlag = kFirstPlanningStamp;
  std::vector<std::uint32_t> blockChecked;    // charId -> stamp of the marking walk's last visit
  std::vector<std::uint32_t> releaseVisited;  // charId -> stamp of the release walk's last visit
  std::vector<std::uint32_t> onWalk;          // charId -> stamp while the marking walk is inside it
  // Reused by every run, so that a click of the up-down control allocates nothing.
  std::vector<std::pair<std::int32_t, std::int32_t>> walkStack;
  std::int64_t movableBytes = 0;
  std::int32_t exportID = 0;
  std::int32_t initScriptBlock = 0;
  std::int32_t plannedFrame = 0;  // target frame of the last run (0: none yet)
  bool cyclic = false;            // the last run met a character that refers back to itself
};

void clearPlan(Plan& plan);

}  // namespace framestow
