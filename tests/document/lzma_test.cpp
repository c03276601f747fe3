// LZMA ("ZWS") movies: described, analysed and saved like the others; saved
// with each compression, they load again with the same analysis; and wherever
// their LZMA data is cut, they are refused as incomplete or load whole.
#include <gtest/gtest.h>

#include <optional>

#include "support/documents.hpp"
#include "support/generated_movies.hpp"
#include "support/saved_movie_check.hpp"
#include "support/tag_list.hpp"
#include "support/test_files.hpp"

namespace framestow::test {
namespace {

const std::string kIncomplete = "Sorry, the file doesn't appear to be complete.";

// An exported bitmap in frame 1, attachMovie in frame 2: a save for frame 2 moves it.
const ByteVector kLzmaMovie = movieOf({kBackground, bitmap(1, 300), shape(2, {1}), exports({{2, "hero"}}), kShowFrameBytes, attach(), place(2), kShowFrameBytes, kEndBytes},
                                      header("ZWS", 13));

void expectSameAnalysis(const Document& a, const Document& b) {
  EXPECT_EQ(a.blocks(), b.blocks());
  EXPECT_EQ(a.linkedAssets(), b.linkedAssets());
  EXPECT_EQ(a.frameEnds(), b.frameEnds());
  EXPECT_EQ(a.references(0), b.references(0));
  EXPECT_EQ(a.attachFrame(), b.attachFrame());
}

// Saves the analysed `doc` for frame `n` with each compression; each copy has
// the signature asked for, the lister reads it whole, and it loads again with
// the analysis of `doc` (for frame 1, where nothing moves).
void expectEachCompressionLoadsAgain(Document& doc, std::int32_t n, const std::string& name) {
  const struct {
    const char* name;
    std::optional<Compression> compression;
    char signature;
  } rows[] = {
      {"as loaded: LZMA", std::nullopt, 'Z'},
      {"LZMA", Compression::kLzma, 'Z'},
      {"zlib", Compression::kZlib, 'C'},
      {"none", Compression::kNone, 'F'},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(name + ", saved with " + row.name);
    doc.setSaveCompression(row.compression);
    const SavedCopy copy = saveInMemory(doc, n, false);
    ASSERT_EQ(copy.result, kSaved);
    EXPECT_EQ(copy.bytes[0], row.signature);
    const Listing listing = listMovie(copy.bytes);
    EXPECT_TRUE(listing.whole && listing.problem.empty()) << listing.problem;
    Document again;
    ASSERT_EQ(loadAndAnalyse(again, copy.bytes, tempPath("again.swf")), "");
    if (n == 1) expectSameAnalysis(doc, again);
    EXPECT_EQ(again.frameEnds().size(), doc.frameEnds().size());
    EXPECT_EQ(again.linkedAssets(), doc.linkedAssets());
  }
  doc.setSaveCompression(std::nullopt);
}

TEST(LzmaMovies, LoadDescribeAndSaveWithEachCompression) {
  Document doc;
  ASSERT_EQ(loadAndAnalyse(doc, kLzmaMovie, tempPath("movie.swf")), "");
  expectAnalysisOfListing(doc, kLzmaMovie);
  EXPECT_EQ(doc.fileInformation().lines[0], "SWF Version: 13 (LZMA compressed)");
  EXPECT_EQ(doc.fileInformation().lines[1], "File Size: " + std::to_string(u32At(kLzmaMovie, 4)) + " bytes (uncompressed)");
  EXPECT_GT(doc.plan(2).movableBytes, 300);
  for (const std::int32_t n : {1, 2}) expectEachCompressionLoadsAgain(doc, n, "frame " + std::to_string(n));
  // The saved LZMA copy is the movie the lister expects for frame 2.
  const SavedCopy copy = saveInMemory(doc, 2, false);
  for (const std::string& failure : checkSavedMovie(doc, kLzmaMovie, copy.bytes, {2, false})) ADD_FAILURE() << failure;
}

TEST(LzmaMovies, InPlaceSavesAreLaidOutOnlyWhenCompressedTheSameWay) {
  const struct {
    const char* name;
    std::optional<Compression> compression;
    std::string result;
    char signature;
  } steps[] = {
      {"the loaded movie, as loaded", std::nullopt, kLaidOut, 'Z'},
      {"the loaded movie, as zlib", Compression::kZlib, kSaved, 'C'},
      {"what was written, as zlib again", Compression::kZlib, kLaidOut, 'C'},
      {"what was written, as loaded", std::nullopt, kSaved, 'Z'},
      {"what was written, as LZMA", Compression::kLzma, kLaidOut, 'Z'},
      {"what was written, uncompressed", Compression::kNone, kSaved, 'F'},
      {"what was written, uncompressed again", Compression::kNone, kLaidOut, 'F'},
      {"what was written, as LZMA once more", Compression::kLzma, kSaved, 'Z'},
  };
  // Frame 1 of a movie whose bytes stay where they are.
  Document doc;
  const std::string path = writeFile(tempPath("movie.swf"), kLzmaMovie);
  ASSERT_EQ(load(doc, path), "");
  ASSERT_EQ(analyse(doc), "");
  for (const auto& step : steps) {
    SCOPED_TRACE(step.name);
    doc.setSaveCompression(step.compression);
    EXPECT_EQ(saveResultText(doc.save(1, false, false).result), step.result);
    EXPECT_EQ(readFile(path)[0], step.signature);
  }
}

TEST(LzmaMovies, HeaderOnlyLoadDecodesJustTheFrameHeader) {
  // The header read stops before the cut; the full load does not.
  const ByteVector big = lzmaMovieOf(bitmapsMovie(200000));
  const ByteVector cut(big.begin(), big.begin() + static_cast<std::ptrdiff_t>(big.size() / 2));
  Document doc;
  EXPECT_EQ(doc.loadHeader(writeFile(tempPath("cut.swf"), cut)), "");
  EXPECT_EQ(doc.fileInformation().lines[3], "Frames (main timeline): 3");
  EXPECT_EQ(load(doc, tempPath("cut.swf")), kIncomplete);
}

TEST(LzmaMovies, ACutStreamIsRefusedOrLoadsWhole) {
  // At every cut point: refused as incomplete (or, before the signature is
  // whole, as no movie), or, where only the end marker is cut, the whole movie.
  Document whole;
  ASSERT_EQ(loadAndAnalyse(whole, kLzmaMovie, tempPath("whole.swf")), "");
  int loaded = 0;
  for (std::size_t size = 0; size < kLzmaMovie.size(); ++size) {
    SCOPED_TRACE("cut to " + std::to_string(size) + " of " + std::to_string(kLzmaMovie.size()) + " bytes");
    Document doc;
    const std::string message = loadAndAnalyse(doc, ByteVector(kLzmaMovie.begin(), kLzmaMovie.begin() + static_cast<std::ptrdiff_t>(size)), tempPath("cut.swf"));
    if (message.empty()) {
      ++loaded;
      expectSameAnalysis(whole, doc);
    } else {
      EXPECT_EQ(message, size < 3 ? "Sorry, the file doesn't appear to be an swf." : kIncomplete);
    }
  }
  // The end marker and the range coder's last bytes are all a cut may take.
  EXPECT_LE(loaded, 12);
}

TEST(LzmaMovies, CutOrChangedGeneratedMoviesEndInAMessageOrASoundSave) {
  for (unsigned seed = 1; seed <= 3; ++seed) {
    const ByteVector movie = lzmaMovieOf(generatedMovie(seed));
    for (std::size_t i = 0; i < 40; ++i) {
      ByteVector damaged = movie;
      if (i < 20) {
        damaged.resize(movie.size() * i / 20);
      } else {
        damaged[17 + (i * 7919) % (movie.size() - 17)] ^= 0x5A;  // a byte of the LZMA data
      }
      const JobReport report = runWholeJob(damaged, testTempDir(), 4);
      for (const std::string& failure : report.failures) ADD_FAILURE() << "seed " << seed << ", damage " << i << ": " << failure;
      // More than the end marker and the range coder's last bytes cut.
      if (i > 0 && i < 20 && damaged.size() + 12 < movie.size()) {
        EXPECT_EQ(report.loadMessage, damaged.size() < 3 ? "Sorry, the file doesn't appear to be an swf." : kIncomplete) << damaged.size() << " of " << movie.size();
      }
    }
  }
}

TEST(LzmaMovies, EveryCorpusLzmaMovieLoadsAndSavesWithEachCompression) {
  int found = 0;
  for (const std::string& path : corpusMovies()) {
    const ByteVector file = readFile(path);
    if (file.size() < 3 || file[0] != 'Z') continue;
    ++found;
    Document doc;
    ASSERT_EQ(load(doc, path), "") << path;
    ASSERT_EQ(analyse(doc), "") << path;
    expectAnalysisOfListing(doc, file);
    expectEachCompressionLoadsAgain(doc, 1, path);
  }
  if (found == 0) GTEST_SKIP() << "no LZMA movies in the corpus at " << corpusDir();
  EXPECT_EQ(found, 28);
}

}  // namespace
}  // namespace framestow::test
