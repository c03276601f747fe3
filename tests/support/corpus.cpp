#include "support/corpus.hpp"

#include <algorithm>
#include <filesystem>

#ifndef FRAMESTOW_CORPUS_DIR
#define FRAMESTOW_CORPUS_DIR "../shared/corpus"
#endif

namespace framestow::test {

std::string corpusDir() { return FRAMESTOW_CORPUS_DIR; }

std::vector<std::string> corpusMovies() {
  std::vector<std::string> out;
  std::error_code ec;
  if (!std::filesystem::is_directory(corpusDir(), ec)) return out;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(corpusDir(), ec)) {
    if (entry.is_regular_file() && entry.path().extension() == ".swf") out.push_back(entry.path().string());
  }
  std::sort(out.begin(), out.end());
  return out;
}

}  // namespace framestow::test
