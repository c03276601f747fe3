// One planning run's answer for a target frame, and the state the next run
// reuses: which blocks move (the plan's own marks, not the index's), the
// visit stamps of the walks and the count they keep.
#pragma once

#include <cstdint>
#include <vector>

namespace framestow {

struct MovieIndex;

// A walk's place in one character's row of references.
struct WalkStep {
  std::int32_t c = 0;
  std::int32_t next = 0;  // the next entry of the row to take
  std::int32_t total = 0;
  const std::int32_t* row = nullptr;
};

struct Plan {
  // Raised by one at the start of every run; a block moves exactly when its
  // moveStamp equals it. A new stamp voids the marks of every earlier run, so
  // a run clears nothing.
  std::uint32_t stamp = 0;
  // Block -> stamp of the last run that moved it. Covers the blocks a
  // character can bring along (MovieIndex::markableBlocks), no further.
  std::vector<std::uint32_t> moveStamp;
  std::vector<std::uint32_t> visited;         // charId -> stamp of the marking walk's last visit
  std::vector<std::uint32_t> releaseVisited;  // charId -> stamp of the release walk's last visit
  // Reused by every run, so that a click of the up-down control allocates nothing.
  std::vector<WalkStep> walkStack;
  std::int64_t movableBytes = 0;
  std::int32_t countEnd = 0;      // the ShowFrame block ending the target frame: marks before it count
  std::int32_t plannedFrame = 0;  // target frame of the last run (0: none yet)
  // The ExportAssets entries of the assets that stay before the target frame
  // stay with them (the safe plan: code there uses the names); otherwise every
  // ExportAssets tag of frames 1 to n - 1 goes to the start of frame n.
  bool exportsStayWithAssets = false;
};

// Makes the plan's tables cover what `index` can mark and visit.
void coverIndex(Plan& plan, const MovieIndex& index);

}  // namespace framestow
