// The marking and release walks over the reference rows.
//
// Both walks are written with explicit stacks: a chain of sprites can be tens
// of thousands deep, deeper than a thread's stack allows for recursion. Each
// character is expanded at most once per run, so a run is linear in the size
// of the tables, also on movies whose sprites share children in many layers or
// place themselves.
#include <algorithm>

#include "common/tag_codes.hpp"
#include "planner/planner.hpp"

namespace framestow {
namespace {

// The visit tables cover every id the analysis met; no row names another.
bool validId(const Plan& plan, std::int32_t c) {
  return c >= 0 && static_cast<std::size_t>(c) < plan.visited.size();
}

// The block that defines c; 0 (the first header block) when nothing does.
std::int32_t definingBlock(const MovieIndex& a, std::int32_t c) { return c >= 0 ? a.definingBlock(static_cast<std::uint32_t>(c)) : 0; }

bool isSprite(const MovieIndex& a, std::int32_t c) {
  const std::int32_t block = definingBlock(a, c);
  return block > 0 && static_cast<std::size_t>(block) < a.blocks.size() &&
         a.tagCode(static_cast<std::size_t>(block)) == kDefineSprite;
}

// What a block adds to the count while marked. A DefineSprite block stands for
// its whole group; a block inside a sprite moves and counts through it.
std::int64_t countedBytes(const MovieIndex& a, std::size_t block) {
  const std::uint32_t timeline = a.timeline(block);
  if (timeline == 0) return a.countedSize(block);
  if (timeline < a.spriteGroups.size() && static_cast<std::int64_t>(block) == a.spriteGroups[timeline].defineBlock) return a.spriteGroups[timeline].bytes;
  return 0;
}

// Sets a block's mark and keeps the run's count: only changes of the block's
// membership in this run's marks before the count's end move the total.
void setMark(const MovieIndex& a, Plan& plan, std::int32_t block, std::uint32_t value) {
  if (block < 0 || static_cast<std::size_t>(block) >= plan.moveStamp.size()) return;
  std::uint32_t& mark = plan.moveStamp[static_cast<std::size_t>(block)];
  const bool was = mark == plan.stamp;
  const bool is = value == plan.stamp;
  mark = value;
  if (was == is || block >= plan.countEnd) return;
  const std::int64_t bytes = countedBytes(a, static_cast<std::size_t>(block));
  plan.movableBytes += is ? bytes : -bytes;
}

// Tags that modify a character go where the character's block goes.
void setCompanions(const MovieIndex& a, Plan& plan, std::int32_t c, std::uint32_t value) {
  if (a.companionBlocks.empty()) return;
  const auto companions = a.companionBlocks.find(static_cast<std::uint32_t>(c));
  if (companions == a.companionBlocks.end()) return;
  for (std::int32_t block : companions->second) setMark(a, plan, block, value);
}

// The sprite's DoInitAction block and its group: the DefineSprite block, whose
// mark the tags up to and including the sprite's End tag follow.
void setSpriteGroup(const MovieIndex& a, Plan& plan, std::int32_t c, std::uint32_t value) {
  const std::int32_t initActionBlock = c >= 0 ? a.initActionBlock(static_cast<std::uint32_t>(c)) : 0;
  if (initActionBlock != 0) setMark(a, plan, initActionBlock, value);
  setMark(a, plan, definingBlock(a, c), value);
  setCompanions(a, plan, c, value);
}

std::uint32_t& checked(Plan& plan, std::int32_t c) { return plan.visited[static_cast<std::size_t>(c)]; }

// The start of a walk through character c's row.
WalkStep stepInto(const MovieIndex& a, std::int32_t c) {
  WalkStep step;
  step.c = c;
  step.total = a.referenceCount(static_cast<std::uint32_t>(c));
  if (step.total > 0) step.row = a.referenceIds[static_cast<std::size_t>(c)].data();
  return step;
}

}  // namespace

void markCharacter(const MovieIndex& a, Plan& plan, std::int32_t c, std::uint32_t value) {
  const std::int32_t block = definingBlock(a, c);
  setMark(a, plan, block, value);
  // A character that has no block of its own takes no companion along.
  if (block != 0) setCompanions(a, plan, c, value);
}


void markWithDependencies(const MovieIndex& a, Plan& plan, std::int32_t root) {
  if (!validId(plan, root)) return;
  const std::uint32_t s = plan.stamp;
  auto& stack = plan.walkStack;
  stack.clear();
  auto enter = [&](std::int32_t c) {
    if (isSprite(a, c)) {
      if (checked(plan, c) != s) setSpriteGroup(a, plan, c, s);
    } else if (checked(plan, c) != s) {
      markCharacter(a, plan, c, s);
    }
    // Visited before its children: a row that leads back here is not followed again.
    checked(plan, c) = s;
    stack.push_back(stepInto(a, c));
  };
  enter(root);
  while (!stack.empty()) {
    WalkStep& step = stack.back();
    if (step.next >= step.total) {
      stack.pop_back();
      continue;
    }
    const std::int32_t d = step.row[step.next++];
    if (!validId(plan, d)) continue;
    if (checked(plan, d) == s) continue;
    markCharacter(a, plan, d, s);
    enter(d);
  }
}

void releaseUsedBefore(const MovieIndex& a, Plan& plan, std::int32_t root, std::int32_t n) {
  if (!validId(plan, root)) return;
  const std::uint32_t s = plan.stamp;
  if (plan.releaseVisited[static_cast<std::size_t>(root)] == s) return;
  auto& stack = plan.walkStack;
  stack.clear();
  auto enter = [&](std::int32_t c) {
    plan.releaseVisited[static_cast<std::size_t>(c)] = s;
    checked(plan, c) = 0;
    if (isSprite(a, c)) setSpriteGroup(a, plan, c, 0);
    WalkStep step = stepInto(a, c);
    if (c == 0) {
      // The main timeline releases only what frames 1 to n - 1 use. Releasing
      // a character twice changes nothing, so each is taken once, from the
      // list ordered by first use.
      const auto& frames = a.mainFirstUseFrames;
      step.row = a.mainFirstUseIds.data();
      step.total = static_cast<std::int32_t>(std::lower_bound(frames.begin(), frames.end(), n) - frames.begin());
    }
    stack.push_back(step);
  };
  enter(root);
  while (!stack.empty()) {
    WalkStep& step = stack.back();
    if (step.next >= step.total) {
      stack.pop_back();
      continue;
    }
    const std::int32_t d = step.row[step.next++];
    if (!validId(plan, d)) continue;
    const bool marked = checked(plan, d) == s;
    if (marked) markCharacter(a, plan, d, 0);
    const bool descend = (d != 0 && a.referenceCount(static_cast<std::uint32_t>(d)) > 0) || (marked && isSprite(a, d));
    if (descend && plan.releaseVisited[static_cast<std::size_t>(d)] != s) {
      enter(d);
    } else {
      checked(plan, d) = 0;
    }
  }
}

}  // namespace framestow
