// The movable-bytes planner: which definitions can leave frames 1..n-1.
#pragma once

#include <cstdint>
#include <string>

#include "analysis/movie_index.hpp"
#include "planner/plan.hpp"

namespace framestow {

// What happens to the Save button and the backup option after a run.
enum class SaveControls { Unchanged, Enable, Disable };

// The planner's answer, as data for the front ends to present.
struct Verdict {
  std::int32_t targetFrame = 1;
  std::int64_t movableBytes = 0;
  std::string commentText1;
  std::string commentText2;
  std::string commentText3;
  SaveControls saveControls = SaveControls::Unchanged;
};

// One planning run for target frame n. `nothingCanMove` is the front end's "this
// movie cannot be modified" state; `optimiseTicked` whether removal of
// redundant export bytes is chosen (it keeps Save available at n = 1).
Verdict planForFrame(const MovieIndex& analysis, Plan& plan, std::int32_t n, bool nothingCanMove, bool optimiseTicked);

// The walks of one run, for tests. They keep `plan.movableBytes` up to date
// for the marks before block `plan.countEnd`.
void markWithDependencies(const MovieIndex& analysis, Plan& plan, std::int32_t mainIdNum);
void releaseUsedBefore(const MovieIndex& analysis, Plan& plan, std::int32_t mainIdNum, std::int32_t n);
// Marks (or, with 0, unmarks) the block that defines c and the tags that travel with it.
void markCharacter(const MovieIndex& analysis, Plan& plan, std::int32_t c, std::uint32_t value);
// The count of a run done again from the marks alone, block by block: what a
// run keeps as it goes must always equal it.
std::int64_t countMovableBytes(const MovieIndex& analysis, const Plan& plan, std::int32_t n);

}  // namespace framestow
