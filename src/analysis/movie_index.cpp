#include "analysis/movie_index.hpp"

#include <algorithm>

namespace framestow {

std::uint32_t MovieIndex::timelineFromGroups(std::size_t k) const {
  // Groups lie in file order, one after the other: the last that starts at or
  // before k holds it, if k comes before its end.
  const auto after = std::upper_bound(spriteGroups.begin() + 1, spriteGroups.end(), k,
                                      [](std::size_t block, const SpriteGroup& g) { return block < static_cast<std::size_t>(g.defineBlock); });
  if (after == spriteGroups.begin() + 1) return 0;
  const auto group = after - 1;
  return k < static_cast<std::size_t>(group->endBlock) ? static_cast<std::uint32_t>(group - spriteGroups.begin()) : 0;
}

void MovieIndex::coverCharacter(std::uint32_t charId) {
  if (charId < definingBlocks.size() || charId >= kCharacterIds) return;
  // Doubling keeps a movie's growth linear; new entries start as after the reset.
  const std::size_t size = std::min(kCharacterIds, std::max<std::size_t>({charId + 1u, 2 * definingBlocks.size(), 256}));
  definingBlocks.resize(size, 0);
  referenceCounts.resize(size, 0);
  initActionBlocks.resize(size, 0);
}

void collectMainFirstUses(MovieIndex& a) {
  a.mainFirstUseIds.clear();
  a.mainFirstUseFrames.clear();
  const std::int32_t total = a.referenceCount(0);
  if (total <= 0 || a.referenceIds.empty()) return;
  std::vector<std::pair<std::int32_t, std::int32_t>> uses;  // (frame, charId), row order
  uses.reserve(static_cast<std::size_t>(total));
  for (std::size_t j = 0; j < static_cast<std::size_t>(total); ++j) uses.emplace_back(a.referenceFrames[0][j], a.referenceIds[0][j]);
  std::stable_sort(uses.begin(), uses.end(), [](const auto& x, const auto& y) { return x.first < y.first; });
  std::vector<bool> seen(a.characterRange(), false);
  for (const auto& [frame, id] : uses) {
    if (id >= 0 && static_cast<std::size_t>(id) < seen.size()) {
      if (seen[static_cast<std::size_t>(id)]) continue;
      seen[static_cast<std::size_t>(id)] = true;
    }
    a.mainFirstUseIds.push_back(id);
    a.mainFirstUseFrames.push_back(frame);
  }
}

void appendReference(MovieIndex& a, std::uint32_t row, std::int32_t charId, std::int32_t frame) {
  if (row >= kCharacterIds) return;
  a.coverCharacter(row);
  // The planner's visit tables follow these tables: every id a row names is covered.
  if (charId >= 0) a.coverCharacter(static_cast<std::uint32_t>(charId));
  if (a.referenceIds.size() <= row) {
    a.referenceIds.resize(row + 1);
    a.referenceFrames.resize(row + 1);
  }
  auto& list = a.referenceIds[row];
  auto& frames = a.referenceFrames[row];
  const auto position = static_cast<std::size_t>(a.referenceCounts[row]);
  // A row that was emptied keeps its old entries beyond the total; overwrite them.
  if (position < list.size()) {
    list[position] = charId;
    frames[position] = frame;
  } else {
    list.push_back(charId);
    frames.push_back(frame);
  }
  ++a.referenceCounts[row];
}

}  // namespace framestow
