#include "support/test_files.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "support/documents.hpp"
#include "support/saved_movie_check.hpp"

namespace framestow::test {

namespace fs = std::filesystem;

std::string testTempDir() {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  const std::string name = info ? std::string(info->test_suite_name()) + "." + info->name() : "no-test";
  static std::string prepared;
  const fs::path dir = fs::path(FRAMESTOW_TEST_TMP) / name;
  if (prepared != dir.string()) {
    fs::remove_all(dir);
    fs::create_directories(dir);
    prepared = dir.string();
  }
  return dir.string();
}

std::string tempPath(const std::string& name) { return (fs::path(testTempDir()) / name).string(); }

Document analysedMovie(const Tags& tags, MovieOptions options, const std::string& name) {
  Document doc;
  const ByteVector file = movieOf(tags, options);
  EXPECT_EQ(loadAndAnalyse(doc, file, tempPath(name)), "");
  expectAnalysisOfListing(doc, file);
  return doc;
}

void expectAnalysisOfListing(const Document& doc, const ByteVector& file) {
  for (const std::string& difference : analysisDiffersFromListing(doc, file)) ADD_FAILURE() << difference;
}

std::string corpusDir() { return FRAMESTOW_CORPUS_DIR; }

std::vector<std::string> corpusMovies() {
  std::vector<std::string> out;
  std::error_code ec;
  for (const auto& entry : fs::recursive_directory_iterator(corpusDir(), ec)) {
    if (entry.is_regular_file() && entry.path().extension() == ".swf") out.push_back(entry.path().string());
  }
  std::sort(out.begin(), out.end());
  return out;
}

}  // namespace framestow::test
