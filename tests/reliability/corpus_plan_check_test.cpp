// Every movie of the shared corpus through the whole job in memory: load,
// analyse, plan the first frames, check each plan independently (nothing
// that an earlier frame needs moves away) and assemble the output.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "reliability/reliability_support.hpp"

namespace framestow::test {
namespace {

TEST(CorpusPlanCheck, EveryMovieEndsInAMessageOrASoundPlan) {
  const std::filesystem::path corpus(FRAMESTOW_CORPUS_DIR);
  if (!std::filesystem::is_directory(corpus)) GTEST_SKIP() << "no corpus of real movies at " << corpus;
  std::vector<std::filesystem::path> movies;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(corpus)) {
    if (entry.is_regular_file() && entry.path().extension() == ".swf") movies.push_back(entry.path());
  }
  std::sort(movies.begin(), movies.end());
  int refused = 0, analysed = 0, outputs = 0;
  for (const auto& path : movies) {
    const JobOutcome outcome = runWholeJob(readAll(path.string()), path.string(), 16);
    refused += outcome.message.empty() ? 0 : 1;
    analysed += outcome.analysed ? 1 : 0;
    outputs += outcome.outputs;
    if (HasFailure()) return;
  }
  std::cout << movies.size() << " movies: " << refused << " refused, " << analysed << " analysed, " << outputs
            << " outputs assembled and checked\n";
  EXPECT_GT(analysed, 0);
}

}  // namespace
}  // namespace framestow::test
