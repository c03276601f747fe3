// The movable-bytes planner: which definitions can leave frames 1..n-1.
#pragma once

#include <cstdint>

#include "analysis/movie_index.hpp"
#include "planner/plan.hpp"

namespace framestow {

// One planning run for target frame n: the plan says which blocks move and
// holds `movableBytes`, the definition bytes that can leave frames 1 to n - 1.
// Give it the last plan of the same index back (`recycled`): it keeps its
// tables and stamps, and a run allocates nothing.
Plan planForFrame(const MovieIndex& index, std::int32_t n, Plan&& recycled = {});

// The last step of a run: every definition left in frames 1 to n - 1 keeps
// before it what it refers to (also after more releases, see planSafely).
void keepPartsOfStayingDefinitions(const MovieIndex& analysis, Plan& plan, std::int32_t n);
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
