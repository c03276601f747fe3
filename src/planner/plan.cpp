#include "planner/plan.hpp"

#include "analysis/movie_index.hpp"

namespace framestow {

void coverIndex(Plan& plan, const MovieIndex& index) {
  // New entries hold no stamp: unmarked and unvisited in every run.
  if (plan.moveStamp.size() < index.markableBlocks) plan.moveStamp.resize(index.markableBlocks, 0);
  const std::size_t range = index.characterRange();
  if (plan.visited.size() >= range) return;
  plan.visited.resize(range, 0);
  plan.releaseVisited.resize(range, 0);
}

}  // namespace framestow
