#include "planner/block_moves.hpp"
#include "planner/planner.hpp"

#include <utility>

namespace framestow {

std::int64_t countMovableBytes(const MovieIndex& a, const Plan& plan, std::int32_t n) {
  // Moving blocks before the ShowFrame that ends frame n; a frame that was
  // never recorded counts nothing.
  const std::int32_t end = n >= 0 ? a.frameEnd(n) : 0;
  std::int64_t total = 0;
  for (std::int32_t k = 0; k < end && static_cast<std::size_t>(k) < a.blocks.size(); ++k) {
    if (blockMoves(a, plan, static_cast<std::size_t>(k))) total += a.countedSize(static_cast<std::size_t>(k));
  }
  return total;
}

Plan planForFrame(const MovieIndex& a, std::int32_t n, Plan&& recycled) {
  Plan plan = std::move(recycled);
  coverIndex(plan, a);
  ++plan.stamp;
  // The walks keep the count as they mark and release, so that a run never
  // passes over the whole block table.
  plan.movableBytes = 0;
  plan.countEnd = n >= 0 ? a.frameEnd(n) : 0;
  plan.plannedFrame = n;
  plan.exportsStayWithAssets = false;
  for (std::int32_t exported : a.linkedAssetIds) {
    markWithDependencies(a, plan, exported);
    markCharacter(a, plan, exported, plan.stamp);
  }
  releaseUsedBefore(a, plan, 0, n);
  keepPartsOfStayingDefinitions(a, plan, n);
  return plan;
}

void keepPartsOfStayingDefinitions(const MovieIndex& a, Plan& plan, std::int32_t n) {
  // Definitions that stay in frames 1 to n - 1 keep what they use before them.
  const std::int32_t insertionPoint = n > 1 ? a.frameEnd(n - 1) + 1 : 0;
  for (const auto& [id, block] : a.fixedDefinitions) {
    if (block < insertionPoint) releaseUsedBefore(a, plan, id, n);
  }
  // The same for every definition that this plan leaves in frames 1 to n - 1:
  // a shape that stays keeps its bitmaps before it, a sprite that stays what
  // it places. Only the main timeline's own needs are released above, and a
  // definition nobody shows yet still needs its parts when the player reads it.
  for (std::uint32_t c = 1; c < a.referenceIds.size(); ++c) {
    if (a.referenceCount(c) <= 0) continue;
    const std::int32_t block = a.definingBlock(c);
    if (block <= 0 || block >= insertionPoint || static_cast<std::size_t>(block) >= a.blocks.size()) continue;
    if (blockMoves(a, plan, static_cast<std::size_t>(block))) continue;
    releaseUsedBefore(a, plan, static_cast<std::int32_t>(c), n);
  }
}

}  // namespace framestow
