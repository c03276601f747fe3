// An independent check of a plan, from the block table alone: no character
// that frames 1 to n - 1 of the main timeline need (directly, or through the
// definitions and sprites they use) may have its definition moved to frame n
// when it was defined in time before. Used by the sweeps and the fuzz target.
#pragma once

#include <algorithm>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "analysis/tables.hpp"
#include "common/tag_codes.hpp"
#include "planner/plan.hpp"

namespace framestow::test {

// Which blocks the writer holds back for frame n (the same rules as the
// writer: fixed prefix, sprites moved as one group, ExportAssets tags of the
// main timeline always held before the insertion point).
inline std::vector<bool> heldBackBlocks(const Analysis& a, const Plan& plan, std::int32_t n) {
  const std::size_t count = a.byteoutput.size();
  std::vector<bool> held(count, false);
  const std::int32_t previousShowFrame = n > 1 ? a.showFrameBlock(n - 1) : 0;
  if (previousShowFrame <= 0) return held;
  const auto insertBefore = static_cast<std::size_t>(previousShowFrame) + 1;
  std::int32_t prefixEnd = a.bgndColorBlock;
  if (prefixEnd < 2 || static_cast<std::size_t>(prefixEnd) >= count ||
      static_cast<std::size_t>(prefixEnd) >= insertBefore) {
    prefixEnd = 2;
  }
  std::uint32_t groupSprite = 0;
  bool groupHeld = false;
  for (std::size_t i = static_cast<std::size_t>(prefixEnd) + 1; i < count && i < insertBefore; ++i) {
    const bytesOut& block = a.byteoutput[i];
    const bool marked = block.withThis == plan.testCounterFlag;
    if (block.thisBlockType == kDefineSprite) {
      groupSprite = block.thisSprite;
      groupHeld = held[i] = marked;
    } else if (block.thisSprite != 0 && block.thisSprite == groupSprite) {
      held[i] = groupHeld;
    } else {
      held[i] = marked || (block.thisBlockType == kExportAssets && block.thisSprite == 0);
    }
  }
  return held;
}

// "" when the plan for frame n is sound, else what goes wrong.
inline std::string usedBeforeDefinition(const Analysis& a, const Plan& plan, std::int32_t n) {
  if (n <= 1 || a.dependList.empty()) return {};
  const std::vector<bool> held = heldBackBlocks(a, plan, n);
  // Earliest main-timeline frame in which each character is needed (kept
  // between calls, and only the entries used are cleared again).
  static thread_local std::vector<std::int32_t> needed(kCharacterIds, 0);
  std::vector<std::int32_t> reached;
  std::deque<std::int32_t> queue;
  auto need = [&](std::int32_t c, std::int32_t frame) {
    if (c <= 0 || static_cast<std::size_t>(c) >= kCharacterIds) return;  // 0 names the main timeline's row
    auto& slot = needed[static_cast<std::size_t>(c)];
    if (slot != 0 && slot <= frame) return;
    if (slot == 0) reached.push_back(c);
    slot = frame;
    queue.push_back(c);
  };
  const std::int32_t mainTotal = a.dependTotal(0);
  for (std::int32_t j = 0; j < mainTotal; ++j) {
    const std::int32_t frame = a.dependFrame[0][static_cast<std::size_t>(j)];
    if (frame >= 1 && frame < n) need(a.dependList[0][static_cast<std::size_t>(j)], frame);
  }
  while (!queue.empty()) {
    const std::int32_t c = queue.front();
    queue.pop_front();
    const std::int32_t frame = needed[static_cast<std::size_t>(c)];
    const std::int32_t total = a.dependTotal(static_cast<std::uint32_t>(c));
    for (std::int32_t j = 0; j < total && static_cast<std::size_t>(c) < a.dependList.size(); ++j) {
      need(a.dependList[static_cast<std::size_t>(c)][static_cast<std::size_t>(j)], frame);
    }
  }
  std::sort(reached.begin(), reached.end());
  std::string problem;
  for (const std::int32_t c : reached) {
    const std::int32_t frame = needed[static_cast<std::size_t>(c)];
    const std::int32_t block = a.blockOf(static_cast<std::uint32_t>(c));
    if (!problem.empty() || block <= 2 || static_cast<std::size_t>(block) >= held.size() ||
        !held[static_cast<std::size_t>(block)]) {
      continue;
    }
    // Defined in time before: by the end of the first frame that needs it.
    const std::int32_t frameEnd = a.showFrameBlock(frame);
    if (frameEnd > 0 && block < frameEnd) {
      problem = "character " + std::to_string(c) + ", needed in frame " + std::to_string(frame) +
                ", is defined by block " + std::to_string(block) + " which moves to frame " + std::to_string(n);
    }
  }
  for (const std::int32_t c : reached) needed[static_cast<std::size_t>(c)] = 0;
  return problem;
}

}  // namespace framestow::test
