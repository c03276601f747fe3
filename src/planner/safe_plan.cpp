#include "planner/safe_plan.hpp"

#include <utility>

#include "common/tag_codes.hpp"
#include "planner/block_moves.hpp"
#include "planner/planner.hpp"

namespace framestow {
namespace {

// Sprites and buttons show what their rows name; a shape's or a text's row
// names only parts of its own definition.
bool showsItsRow(const MovieIndex& a, std::int32_t c) {
  const std::int32_t block = a.definingBlock(static_cast<std::uint32_t>(c));
  if (block <= 0 || static_cast<std::size_t>(block) >= a.blocks.size()) return false;
  const auto code = a.tagCode(static_cast<std::size_t>(block));
  return code == kDefineSprite || code == kDefineButton || code == kDefineButton2;
}

// Gives `frame` to every character shown through `root` that has none yet.
void showFrom(const MovieIndex& a, std::int32_t root, std::int32_t frame, std::vector<std::int32_t>& shown,
              std::vector<std::int32_t>& stack) {
  if (root <= 0 || static_cast<std::size_t>(root) >= shown.size() || shown[static_cast<std::size_t>(root)] != 0) return;
  shown[static_cast<std::size_t>(root)] = frame;
  stack.assign(1, root);
  while (!stack.empty()) {
    const std::int32_t c = stack.back();
    stack.pop_back();
    if (!showsItsRow(a, c)) continue;
    const auto row = static_cast<std::size_t>(c);
    const std::int32_t total = a.referenceCount(static_cast<std::uint32_t>(c));
    for (std::int32_t j = 0; j < total; ++j) {
      const std::int32_t d = a.referenceIds[row][static_cast<std::size_t>(j)];
      if (d <= 0 || static_cast<std::size_t>(d) >= shown.size() || shown[static_cast<std::size_t>(d)] != 0) continue;
      shown[static_cast<std::size_t>(d)] = frame;
      stack.push_back(d);
    }
  }
}

bool validAsset(const MovieIndex& a, std::int32_t c) {
  return c > 0 && static_cast<std::size_t>(c) < a.characterRange();
}

// The definition of c lies in frames 1 to n - 1 and the plan moves it.
bool moves(const MovieIndex& a, const Plan& plan, std::int32_t c, std::int32_t insertionPoint) {
  const std::int32_t block = a.definingBlock(static_cast<std::uint32_t>(c));
  return block > 0 && block < insertionPoint && blockMoves(a, plan, static_cast<std::size_t>(block));
}

bool stays(const MovieIndex& a, const Plan& plan, std::int32_t c, std::int32_t insertionPoint) {
  const std::int32_t block = a.definingBlock(static_cast<std::uint32_t>(c));
  return block > 0 && block < insertionPoint && !blockMoves(a, plan, static_cast<std::size_t>(block));
}

}  // namespace

std::vector<std::int32_t> firstShownFrames(const MovieIndex& a) {
  std::vector<std::int32_t> shown(a.characterRange(), 0);
  std::vector<std::int32_t> stack;
  // The main timeline's first uses come in frame order, so each character
  // gets the earliest frame that shows it.
  for (std::size_t j = 0; j < a.mainFirstUseIds.size(); ++j) {
    showFrom(a, a.mainFirstUseIds[j], a.mainFirstUseFrames[j], shown, stack);
  }
  return shown;
}

std::int32_t codeStartFrame(const MovieIndex& a, const CodeUnit& unit, const std::vector<std::int32_t>& shown) {
  auto shownFrame = [&](std::int32_t c) {
    return c > 0 && static_cast<std::size_t>(c) < shown.size() ? shown[static_cast<std::size_t>(c)] : 0;
  };
  if (unit.kind == CodeKind::kButton) return shownFrame(unit.owner);
  // A sprite plays every one of its frames while the main timeline waits for
  // the next: any frame's code of a shown sprite may run in the frame that shows it.
  if (unit.timeline != 0) {
    return unit.timeline < a.spriteIds.size() ? shownFrame(a.spriteIds[unit.timeline]) : 0;
  }
  return unit.mainFrame;
}

Plan planSafely(const MovieIndex& a, std::int32_t n, Plan&& recycled, std::vector<KeepReason>* keeps) {
  Plan plan = planForFrame(a, n, std::move(recycled));
  plan.exportsStayWithAssets = true;
  std::vector<KeepReason> reasons(a.characterRange(), KeepReason::kNone);
  const CodeNames& code = a.codeNames;
  if (n > 1 && !code.mentions.empty()) {
    const std::int32_t insertionPoint = a.frameEnd(n - 1) + 1;
    const std::vector<std::int32_t> firstShown = firstShownFrames(a);
    std::vector<std::int32_t> shown;
    std::vector<std::int32_t> stack;
    std::vector<std::int32_t> kept;
    std::vector<std::int32_t> newlyKept;
    // A kept asset can be attached before frame n: it is shown from frame 1 on.
    // Each round keeps what the code that runs so far names, until nothing is added.
    for (;;) {
      shown.assign(a.characterRange(), 0);
      for (std::size_t c = 0; c < shown.size(); ++c) {
        if (firstShown[c] > 0 && firstShown[c] < n) shown[c] = firstShown[c];
      }
      for (const std::int32_t c : kept) {
        if (shown[static_cast<std::size_t>(c)] == 0) showFrom(a, c, 1, shown, stack);
      }
      auto runsBefore = [&](const CodeUnit& unit) {
        if (unit.kind == CodeKind::kInitAction && unit.timeline == 0) {
          // Init code runs when its frame arrives, if it is still there.
          return unit.block < insertionPoint && !blockMoves(a, plan, static_cast<std::size_t>(unit.block));
        }
        const std::int32_t start = codeStartFrame(a, unit, shown);
        return start > 0 && start < n;
      };
      newlyKept.clear();
      auto keep = [&](std::int32_t c, KeepReason why) {
        reasons[static_cast<std::size_t>(c)] = why;
        newlyKept.push_back(c);
      };
      for (const CodeMention& mention : code.mentions) {
        const std::int32_t asset = mention.asset;
        if (!validAsset(a, asset) || reasons[static_cast<std::size_t>(asset)] != KeepReason::kNone) continue;
        if (moves(a, plan, asset, insertionPoint) && runsBefore(code.units[mention.unit])) keep(asset, KeepReason::kNamedByCode);
      }
      for (const CodeMention& mention : code.mentions) {
        const CodeUnit& unit = code.units[mention.unit];
        const std::int32_t sprite = unit.owner;
        if (unit.kind != CodeKind::kInitAction || !validAsset(a, sprite)) continue;
        if (reasons[static_cast<std::size_t>(sprite)] != KeepReason::kNone || !moves(a, plan, sprite, insertionPoint)) continue;
        if (validAsset(a, mention.asset) && stays(a, plan, mention.asset, insertionPoint)) keep(sprite, KeepReason::kInitNamesStaying);
      }
      if (newlyKept.empty()) break;
      for (const std::int32_t c : newlyKept) {
        markCharacter(a, plan, c, 0);
        releaseUsedBefore(a, plan, c, n);
        kept.push_back(c);
      }
      keepPartsOfStayingDefinitions(a, plan, n);
    }
  }
  if (keeps) *keeps = std::move(reasons);
  return plan;
}

}  // namespace framestow
