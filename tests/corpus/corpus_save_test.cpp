// Every real movie that can be planned is saved for several target frames,
// with and without removal of redundant exports, and each copy is checked as
// a movie: same tags, same frames, nothing used before it is defined.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <map>
#include <functional>
#include <set>

#include "support/corpus.hpp"
#include "support/movie_check.hpp"
#include "support/temp_dir.hpp"
#include "document/document.hpp"

namespace framestow {
namespace {

namespace fs = std::filesystem;

// Larger movies add time, not kinds of input.
constexpr std::uintmax_t kMaxFileSize = 4u << 20;
// Target frames per movie: 2, the attach frame, the last frame.
constexpr std::size_t kMaxTargets = 3;
constexpr std::size_t kFailuresShown = 40;

TEST(CorpusSave, SavedCopiesAreSoundMovies) {
  const fs::path root = test::corpusDir();
  const std::vector<std::string> movies = test::corpusMovies();
  if (movies.empty()) GTEST_SKIP() << "no corpus of .swf files at \"" << root.string() << "\"";

  std::size_t tooLarge = 0, loaded = 0, analysed = 0, plannable = 0, saved = 0, checked = 0, failed = 0;
  std::map<std::string, std::size_t> refused, analysisErrors, saveResults;
  std::vector<std::string> failures;
  const std::string out = test::tempPath("saved.swf");

  for (const std::string& path : movies) {
    const fs::path movie = path;
    const std::string name = fs::relative(movie, root).string();
    std::error_code ec;
    if (fs::file_size(movie, ec) > kMaxFileSize || ec) {
      ++tooLarge;
      continue;
    }
    Document doc;
    if (const std::string message = doc.load(movie.string()); !message.empty()) {
      ++refused[message];
      continue;
    }
    ++loaded;
    if (!doc.analyze()) {
      ++analysisErrors[doc.analysisError().empty() ? "(not analysed: version " + std::to_string(doc.movie().m.version) + ")"
                                                   : doc.analysisError()];
      continue;
    }
    ++analysed;
    const Analysis& a = doc.analysis();
    // (target frame, removal) pairs to save.
    std::vector<std::pair<std::int32_t, bool>> saves;
    if (a.mainFrameCount > 1 && a.assetCountTotal > 0) {
      ++plannable;
      std::vector<std::int32_t> targets = {2};
      if (a.mainAttachFrame() > 1) targets.push_back(a.mainAttachFrame());
      targets.push_back(a.mainFrameCount);
      std::sort(targets.begin(), targets.end());
      targets.erase(std::unique(targets.begin(), targets.end()), targets.end());
      if (targets.size() > kMaxTargets) targets.resize(kMaxTargets);
      for (std::int32_t n : targets) saves.insert(saves.end(), {{n, false}, {n, true}});
    } else if (a.redundantAssetTotal > 0) {
      saves.push_back({1, true});  // removal alone
    } else if (a.mainFrameCount > 1 && std::hash<std::string>{}(name) % 8 == 0) {
      saves.push_back({2, false});  // nothing to move: the movie comes back as it was (a sample)
    }

    for (const auto& [n, optimise] : saves) {
      {
        doc.plan(n, optimise);
        const int result = doc.save(n, optimise, false, out).result;
        ++saveResults[saveResultText(result)];
        if (a.tagsRunPastData) {
          // Such a movie is never written: it would come out damaged.
          if (result != kErrorWritingFile) {
            ++failed;
            failures.push_back(name + ": saved although a tag runs past the data");
          }
          continue;
        }
        if (result != kFileModified) {
          ++failed;
          failures.push_back(name + " n=" + std::to_string(n) + ": save returned " + saveResultText(result));
          continue;
        }
        ++saved;
        const std::vector<std::string> problems = test::checkSavedMovie(movie.string(), out, {n, optimise});
        ++checked;
        if (!problems.empty()) {
          ++failed;
          for (const std::string& p : problems) {
            failures.push_back(name + " n=" + std::to_string(n) + (optimise ? " removal" : "") + ": " + p);
          }
        }
      }
    }
  }

  std::cout << "corpus: " << movies.size() << " files, " << tooLarge << " over " << (kMaxFileSize >> 20)
            << " MB skipped\n";
  std::cout << "  loaded " << loaded << "\n";
  for (const auto& [message, count] : refused) {
    std::string text = message;
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    std::cout << "  refused " << count << ": \"" << text << "\"\n";
  }
  std::cout << "  analysed " << analysed << "\n";
  for (const auto& [message, count] : analysisErrors) std::cout << "  not analysed " << count << ": " << message << "\n";
  std::cout << "  with linked assets and more than one frame " << plannable << "\n";
  for (const auto& [text, count] : saveResults) std::cout << "  save \"" << text << "\" " << count << "\n";
  std::cout << "  saved " << saved << ", checked " << checked << ", failed " << failed << "\n";
  for (std::size_t i = 0; i < failures.size() && i < kFailuresShown; ++i) std::cout << "  FAIL " << failures[i] << "\n";
  EXPECT_EQ(failed, 0u);
}

}  // namespace
}  // namespace framestow
