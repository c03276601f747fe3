// Whether the last planning run moves a block: what the writer and the
// planner's own count ask, block by block.
#pragma once

#include <cstddef>

#include "analysis/tables.hpp"
#include "common/tag_codes.hpp"
#include "planner/plan.hpp"

namespace framestow {

// Whether the last run moves block k. The tags of a sprite move with its
// DefineSprite block, which alone carries the group's mark.
inline bool blockMoves(const Analysis& a, const Plan& plan, std::size_t k) {
  if (k >= a.byteoutput.size()) return false;
  const bytesOut& b = a.byteoutput[k];
  if (b.thisSprite != 0 && b.thisBlockType != kDefineSprite && b.thisSprite < a.spriteGroups.size()) {
    k = static_cast<std::size_t>(a.spriteGroups[b.thisSprite].defineBlock);
  }
  return k < plan.moveStamp.size() && plan.moveStamp[k] == plan.stamp;
}

}  // namespace framestow
