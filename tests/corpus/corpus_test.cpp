// Every real movie of the shared corpus, made by other tools, through the
// whole job: it loads or is refused with a clear message, its analysis agrees
// with the independent lister, and every copy saved from it is a sound movie.
#include <gtest/gtest.h>

#include <filesystem>
#include <iostream>
#include <map>

#include "support/saved_movie_check.hpp"
#include "support/test_files.hpp"

namespace framestow::test {
namespace {

TEST(Corpus, EveryMovieEndsInAMessageOrSoundSaves) {
  const std::vector<std::string> movies = corpusMovies();
  if (movies.empty()) GTEST_SKIP() << "no corpus of real movies at " << corpusDir();
  std::map<std::string, int> outcomes;
  int saves = 0, failed = 0;
  for (const std::string& path : movies) {
    // Larger movies add time, not kinds of input.
    if (std::filesystem::file_size(path) > (4u << 20)) continue;
    const JobReport report = runWholeJob(readFile(path), testTempDir(), 16, path);
    ++outcomes[!report.loadMessage.empty() ? report.loadMessage : report.analysed ? "analysed" : report.analysisError.empty() ? "not analysed (version)" : report.analysisError];
    saves += report.saves;
    failed += report.failures.empty() ? 0 : 1;
    for (const std::string& failure : report.failures) {
      if (failed <= 40) ADD_FAILURE() << std::filesystem::relative(path, corpusDir()).string() << ": " << failure;
    }
  }
  for (const auto& [outcome, count] : outcomes) std::cout << "[ corpus  ] " << count << ": " << outcome << "\n";
  std::cout << "[ corpus  ] " << movies.size() << " movies, " << saves << " copies saved and checked, " << failed << " with failures\n";
  EXPECT_GT(outcomes["analysed"], 0);
}

}  // namespace
}  // namespace framestow::test
