// Whether the last planning run moves a block: what the writer and the
// planner's own count ask, block by block.
#pragma once

#include <cstddef>

#include "analysis/movie_index.hpp"
#include "common/tag_codes.hpp"
#include "planner/plan.hpp"

namespace framestow {

// Whether the last run moves block k. The tags of a sprite move with its
// DefineSprite block, which alone carries the group's mark.
inline bool blockMoves(const MovieIndex& a, const Plan& plan, std::size_t k) {
  if (k >= a.blocks.size()) return false;
  const std::uint32_t timeline = a.timeline(k);
  // A block inside a sprite (a DefineSprite nested in it too) moves with the
  // DefineSprite block that opens the sprite.
  if (timeline != 0 && timeline < a.spriteGroups.size()) k = static_cast<std::size_t>(a.spriteGroups[timeline].defineBlock);
  return k < plan.moveStamp.size() && plan.moveStamp[k] == plan.stamp;
}

}  // namespace framestow
