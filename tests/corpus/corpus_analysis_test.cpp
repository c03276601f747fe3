// Real movies made by other tools: every one loads or is refused clearly, and
// every one that loads analyses into a block table that tiles the movie.
#include <gtest/gtest.h>

#include <iostream>
#include <map>

#include "common/tag_codes.hpp"
#include "support/corpus.hpp"
#include "support/scan.hpp"
#include "swfin/loader.hpp"

namespace framestow {
namespace {

using test::corpusMovies;

bool isKnownRefusal(const std::string& message) {
  return message == kErrorReadingFile || message == kErrorNotSwf || message == kErrorIncomplete;
}

TEST(CorpusAnalysis, EveryMovieLoadsAndAnalysesOrIsRefusedClearly) {
  const auto movies = corpusMovies();
  if (movies.empty()) GTEST_SKIP() << "corpus folder absent: " << test::corpusDir();
  std::map<std::string, int> refused;
  int loaded = 0, analysed = 0, fillErrors = 0, pastData = 0;
  for (const std::string& path : movies) {
    const auto s = test::scanMovie(test::readFile(path), path);
    if (!s.loadMessage.empty()) {
      EXPECT_TRUE(isKnownRefusal(s.loadMessage)) << path << ": " << s.loadMessage;
      ++refused[s.loadMessage.substr(0, s.loadMessage.size() - 2)];
      continue;
    }
    ++loaded;
    if (s.movie.m.version < 5) continue;
    if (!s.analysis.analysed) {
      EXPECT_EQ(s.analysis.analysisError.rfind("Unknown fill type: ", 0), 0u) << path;
      ++fillErrors;
      continue;
    }
    ++analysed;
    if (s.analysis.tagsRunPastData) ++pastData;
    // The blocks tile the movie, in order, inside the data.
    const auto& blocks = s.analysis.byteoutput;
    std::uint64_t expected = 8;
    for (std::size_t i = 2; i < blocks.size(); ++i) {
      if (i + 1 == blocks.size() && s.analysis.endTagFound) {
        EXPECT_EQ(blocks[i].thisLength, 0u) << path;
        break;
      }
      ASSERT_EQ(blocks[i].thisStart, expected) << path << " block " << i;
      expected = std::uint64_t{blocks[i].thisStart} + blocks[i].thisHead + blocks[i].origLength;
      ASSERT_LE(expected, s.movie.m.size) << path << " block " << i;
    }
    if (s.analysis.endTagFound) {
      const bytesOut& end = blocks[blocks.size() - 2];
      EXPECT_EQ(end.thisBlockType, kEnd) << path;
      EXPECT_EQ(end.thisSprite, 0u) << path;
    }
  }
  std::cout << "[ corpus  ] movies " << movies.size() << ", loaded " << loaded << ", analysed " << analysed
            << ", unknown fill type " << fillErrors << ", tags past the data " << pastData << "\n";
  for (const auto& [message, count] : refused) std::cout << "[ corpus  ] refused " << count << ": " << message << "\n";
  EXPECT_GT(analysed, 0);
}

TEST(CorpusAnalysis, FactsReadOffRealMovies) {
  const std::string dir = test::corpusDir();
  if (corpusMovies().empty()) GTEST_SKIP() << "corpus folder absent: " << dir;
  const auto exports = test::scanMovie(test::readFile(dir + "/ExportAssets-CS6.swf"));
  ASSERT_EQ(exports.loadMessage, "");
  ASSERT_TRUE(exports.analysis.analysed);
  // One main frame; one ExportAssets entry naming the movie's one sprite, id 2.
  EXPECT_EQ(exports.movie.m.version, 6);
  EXPECT_EQ(exports.movie.m.nFrames, 1);
  EXPECT_EQ(exports.analysis.mainFrameCount, 1);
  EXPECT_EQ(exports.analysis.origAssetsList, (std::vector<std::int32_t>{2}));
  EXPECT_EQ(exports.analysis.spriteCounter, 1);
  EXPECT_EQ(exports.block(static_cast<std::size_t>(exports.analysis.blockOf(2))).thisBlockType, kDefineSprite);
  EXPECT_EQ(exports.analysis.redundantAssetTotal, 0);

  const auto sprite = test::scanMovie(test::readFile(dir + "/DefineSprite.swf"));
  ASSERT_TRUE(sprite.analysis.analysed);
  EXPECT_EQ(sprite.movie.m.nFrames, 1);
  EXPECT_EQ(sprite.analysis.spriteCounter, 1);
  EXPECT_EQ(sprite.analysis.spriteExportArray[1], 1);
  EXPECT_EQ(sprite.analysis.assetCountTotal, 0);
}

}  // namespace
}  // namespace framestow
