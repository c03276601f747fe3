// The marking and release walks over the reference rows.
//
// Both walks are written with explicit stacks: a chain of sprites can be tens
// of thousands deep, deeper than a thread's stack allows for recursion. Each
// character is expanded at most once per run, so a run is linear in the size
// of the tables, also on movies whose sprites share children in many layers or
// place themselves.
#include "common/tag_codes.hpp"
#include "planner/planner.hpp"

namespace framestow {
namespace {

bool validId(std::int32_t c) { return c >= 0 && static_cast<std::size_t>(c) < kCharacterIds; }

// The block that defines c; 0 (the first header block) when nothing does.
std::int32_t blockOf(const Analysis& a, std::int32_t c) { return validId(c) ? a.blockOf(static_cast<std::uint32_t>(c)) : 0; }

bool isSprite(const Analysis& a, std::int32_t c) {
  const std::int32_t block = blockOf(a, c);
  return block > 0 && static_cast<std::size_t>(block) < a.byteoutput.size() &&
         a.byteoutput[static_cast<std::size_t>(block)].thisBlockType == DEFINESPRITE;
}

void setMark(Analysis& a, std::int32_t block, std::uint32_t value) {
  if (block >= 0 && static_cast<std::size_t>(block) < a.byteoutput.size()) {
    a.byteoutput[static_cast<std::size_t>(block)].withThis = value;
  }
}

// Tags that modify a character go where the character's block goes.
void setCompanions(Analysis& a, std::int32_t c, std::uint32_t value) {
  if (a.companionBlocks.empty()) return;
  const auto companions = a.companionBlocks.find(static_cast<std::uint32_t>(c));
  if (companions == a.companionBlocks.end()) return;
  for (std::int32_t block : companions->second) setMark(a, block, value);
}

// The sprite's DoInitAction block, its DefineSprite block and every block up
// to and including its End tag.
void setSpriteGroup(Analysis& a, Plan& plan, std::int32_t c, std::uint32_t value) {
  plan.initScriptBlock = validId(c) ? a.initScriptArray[static_cast<std::size_t>(c)] : 0;
  if (plan.initScriptBlock != 0) setMark(a, plan.initScriptBlock, value);
  const auto first = static_cast<std::size_t>(blockOf(a, c));
  const std::uint32_t sprite = a.byteoutput[first].thisSprite;
  a.byteoutput[first].withThis = value;
  for (std::size_t k = first + 1; k < a.byteoutput.size() && a.byteoutput[k].thisSprite == sprite; ++k) {
    a.byteoutput[k].withThis = value;
  }
  setCompanions(a, c, value);
}

std::uint32_t& checked(Plan& plan, std::int32_t c) { return plan.blockChecked[static_cast<std::size_t>(c)]; }

// A walk's stack entries: a character and the next entry of its row to take.
using Frame = std::pair<std::int32_t, std::int32_t>;

}  // namespace

void setCharacterMark(Analysis& a, std::int32_t c, std::uint32_t value) {
  const std::int32_t block = blockOf(a, c);
  setMark(a, block, value);
  // A character that has no block of its own takes no companion along.
  if (block != 0) setCompanions(a, c, value);
}

void checkChildren(Analysis& a, Plan& plan, std::int32_t root) {
  if (!validId(root)) return;
  const std::uint32_t s = plan.testCounterFlag;
  auto& stack = plan.walkStack;
  stack.clear();
  auto enter = [&](std::int32_t c) {
    plan.onWalk[static_cast<std::size_t>(c)] = s;
    if (isSprite(a, c)) {
      if (checked(plan, c) != s) setSpriteGroup(a, plan, c, s);
    } else if (checked(plan, c) != s) {
      setCharacterMark(a, c, s);
    }
    // Visited before its children: a row that leads back here is not followed again.
    checked(plan, c) = s;
    stack.push_back({c, 0});
  };
  enter(root);
  while (!stack.empty()) {
    auto& [c, next] = stack.back();
    const std::int32_t total = a.dependTotal(static_cast<std::uint32_t>(c));
    if (next >= total) {
      plan.onWalk[static_cast<std::size_t>(c)] = 0;
      stack.pop_back();
      continue;
    }
    const std::int32_t d = a.dependList[static_cast<std::size_t>(c)][static_cast<std::size_t>(next++)];
    if (!validId(d)) continue;
    if (checked(plan, d) == s) {
      if (plan.onWalk[static_cast<std::size_t>(d)] == s) plan.cyclic = true;
      continue;
    }
    setCharacterMark(a, d, s);
    enter(d);
  }
}

void unCheckChildren(Analysis& a, Plan& plan, std::int32_t root, std::int32_t n) {
  if (!validId(root)) return;
  const std::uint32_t s = plan.testCounterFlag;
  if (plan.releaseVisited[static_cast<std::size_t>(root)] == s) return;
  auto& stack = plan.walkStack;
  stack.clear();
  auto enter = [&](std::int32_t c) {
    plan.releaseVisited[static_cast<std::size_t>(c)] = s;
    checked(plan, c) = 0;
    if (isSprite(a, c)) setSpriteGroup(a, plan, c, 0);
    stack.push_back({c, 0});
  };
  enter(root);
  while (!stack.empty()) {
    auto& [c, next] = stack.back();
    const std::int32_t total = a.dependTotal(static_cast<std::uint32_t>(c));
    if (next >= total) {
      stack.pop_back();
      continue;
    }
    const auto j = static_cast<std::size_t>(next++);
    // The main timeline releases only what frames 1 to n - 1 use.
    if (c == 0 && a.dependFrame[0][j] >= n) continue;
    const std::int32_t d = a.dependList[static_cast<std::size_t>(c)][j];
    if (!validId(d)) continue;
    const bool marked = checked(plan, d) == s;
    if (marked) setCharacterMark(a, d, 0);
    const bool descend = (d != 0 && a.dependTotal(static_cast<std::uint32_t>(d)) > 0) || (marked && isSprite(a, d));
    if (descend && plan.releaseVisited[static_cast<std::size_t>(d)] != s) {
      enter(d);
    } else {
      checked(plan, d) = 0;
    }
  }
}

}  // namespace framestow
