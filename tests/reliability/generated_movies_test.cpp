// Movies from the seeded generator through the whole job: each saved for every
// target frame with and without removal, every copy checked. A generated
// movie uses only characters it has defined before, so it is sound and any
// character used before its definition in a copy is a fault of the save.
#include <gtest/gtest.h>

#include "support/generated_movies.hpp"
#include "support/saved_movie_check.hpp"
#include "support/test_files.hpp"

namespace framestow::test {
namespace {

TEST(GeneratedMovies, EverySavedCopyIsSound) {
  int saves = 0;
  for (unsigned seed = 1; seed <= 150; ++seed) {
    const JobReport report = runWholeJob(generatedMovie(seed), testTempDir(), 8);
    EXPECT_TRUE(report.analysed) << "seed " << seed << ": " << report.analysisError;
    for (const std::string& failure : report.failures) ADD_FAILURE() << "seed " << seed << ": " << failure;
    saves += report.saves;
  }
  EXPECT_GT(saves, 500);
}

}  // namespace
}  // namespace framestow::test
