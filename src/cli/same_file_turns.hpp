// Saves of one file, named more than once in a run (through links, or twice),
// one after the other in the order given.
//
// Two saves of one file at the same time would race: the later one would find
// the file held by the earlier one's lock, or changed since it was loaded, or
// not, depending on timing. Run one after the other, each later save loads
// what the earlier one wrote, so the output is the same on every run and for
// any number of jobs.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <string>
#include <vector>

namespace framestow::cli {

class SameFileTurns {
 public:
  // `paths` in the order of the run; paths that lead to no file wait for nothing.
  explicit SameFileTurns(const std::vector<std::string>& paths);

  // Blocks until every earlier item of the same file has finished. Items are
  // started in order, so the one waited for is always under way.
  void waitForTurn(std::size_t item);
  void finished(std::size_t item);

 private:
  static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
  std::vector<std::size_t> previous_;  // the last earlier item of the same file, or kNone
  std::vector<bool> done_;
  std::mutex mutex_;
  std::condition_variable changed_;
};

}  // namespace framestow::cli
