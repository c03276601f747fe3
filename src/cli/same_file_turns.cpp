#include "cli/same_file_turns.hpp"

#include <map>

#include "cli/file_identity.hpp"

namespace framestow::cli {

SameFileTurns::SameFileTurns(const std::vector<std::string>& paths)
    : previous_(paths.size(), kNone), done_(paths.size(), false) {
  std::map<FileIdentity, std::size_t> lastOf;
  for (std::size_t i = 0; i < paths.size(); ++i) {
    const auto identity = identityOf(paths[i]);
    if (!identity) continue;
    const auto [at, added] = lastOf.try_emplace(*identity, i);
    if (!added) {
      previous_[i] = at->second;
      at->second = i;
    }
  }
}

void SameFileTurns::waitForTurn(std::size_t item) {
  const std::size_t before = previous_[item];
  if (before == kNone) return;
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [&] { return done_[before]; });
}

void SameFileTurns::finished(std::size_t item) {
  {
    std::lock_guard lock(mutex_);
    done_[item] = true;
  }
  changed_.notify_all();
}

}  // namespace framestow::cli
