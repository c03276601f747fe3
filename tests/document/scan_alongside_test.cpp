// A "CWS" movie inflated whole (libdeflate) and scanned afterwards, or
// inflated a piece at a time (zlib) while its tags are scanned: both give the
// same load message and the same analysis, on real, generated and damaged
// movies; and a body that is cut, damaged or of another length than its
// header says is judged as zlib always judged it.
#include <gtest/gtest.h>
#include <zlib.h>

#include <filesystem>
#include <optional>

#include "support/documents.hpp"
#include "support/generated_movies.hpp"
#include "support/test_files.hpp"

namespace framestow::test {
namespace {

const std::string kIncomplete = "Sorry, the file doesn't appear to be complete.";

// The "CWS" file of an uncompressed movie: its body as zlib's compress2 writes it.
ByteVector cwsOf(const ByteVector& fws) {
  uLongf packed = compressBound(static_cast<uLong>(fws.size() - 8));
  ByteVector file(8 + packed);
  std::copy(fws.begin(), fws.begin() + 8, file.begin());
  file[0] = 'C';
  EXPECT_EQ(compress2(file.data() + 8, &packed, fws.data() + 8, static_cast<uLong>(fws.size() - 8), 9), Z_OK);
  file.resize(8 + packed);
  return file;
}

struct Outcome {
  std::string load;
  std::string analysis;
};

Outcome loadAndAnalyse(Document& doc, const std::string& path, bool scanAlongside) {
  Outcome outcome{doc.load(path, scanAlongside), ""};
  if (outcome.load.empty() && !doc.analyze()) outcome.analysis = doc.analysisError().empty() ? "not analysed" : doc.analysisError();
  return outcome;
}

// The movie at `path` loaded both ways; returns the load message.
std::string expectBothWaysAgree(const std::string& path) {
  Document whole, alongside;
  const Outcome a = loadAndAnalyse(whole, path, false);
  const Outcome b = loadAndAnalyse(alongside, path, true);
  EXPECT_EQ(a.load, b.load);
  EXPECT_EQ(a.analysis, b.analysis);
  EXPECT_EQ(whole.blocks(), alongside.blocks());
  EXPECT_EQ(whole.linkedAssets(), alongside.linkedAssets());
  EXPECT_EQ(whole.frameEnds(), alongside.frameEnds());
  EXPECT_EQ(whole.references(0), alongside.references(0));
  EXPECT_EQ(whole.attachFrame(), alongside.attachFrame());
  EXPECT_EQ(whole.redundantExportBytes(), alongside.redundantExportBytes());
  EXPECT_EQ(whole.cannotSaveReason(), alongside.cannotSaveReason());
  if (whole.analysed() && alongside.analysed()) {
    EXPECT_EQ(saveInMemory(whole, 2, true).bytes, saveInMemory(alongside, 2, true).bytes);
  }
  return a.load;
}

TEST(ScanAlongsideInflate, EveryCorpusMovieLoadsAndAnalysesAlike) {
  const std::vector<std::string> movies = corpusMovies();
  if (movies.empty()) GTEST_SKIP() << "no corpus of real movies at " << corpusDir();
  int compressed = 0;
  for (const std::string& path : movies) {
    if (readFile(path).at(0) != 'C') continue;  // only "CWS" bodies are inflated alongside
    SCOPED_TRACE(std::filesystem::relative(path, corpusDir()).string());
    expectBothWaysAgree(path);
    ++compressed;
  }
  EXPECT_GT(compressed, 0);
}

TEST(ScanAlongsideInflate, GeneratedMoviesLoadAndAnalyseAlike) {
  for (unsigned seed = 1; seed <= 40; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    expectBothWaysAgree(writeFile(tempPath("generated.swf"), cwsOf(generatedMovie(seed))));
  }
}

// A movie cut at 50 places and changed at 50 others: each one loads and
// analyses alike both ways (the damage sweep's movies, inflated alongside).
TEST(ScanAlongsideInflate, MoviesCutOrChangedAnywhereLoadAndAnalyseAlike) {
  const ByteVector cws = cwsOf(generatedMovie(3));
  for (std::size_t i = 1; i <= 50; ++i) {
    const std::size_t at = 8 + (cws.size() - 8) * i / 51;
    SCOPED_TRACE("cut or changed at " + std::to_string(at));
    expectBothWaysAgree(writeFile(tempPath("cut.swf"), ByteVector(cws.begin(), cws.begin() + static_cast<std::ptrdiff_t>(at))));
    ByteVector changed = cws;
    changed[at] ^= 0xA5;
    expectBothWaysAgree(writeFile(tempPath("changed.swf"), changed));
  }
}

// Each damage to a "CWS" file, with what a load says: whatever inflates it,
// the verdict is zlib's streaming inflate's.
TEST(ScanAlongsideInflate, DamagedBodiesAreJudgedAsZlibJudgesThem) {
  Tags tags = {kBackground};
  for (std::uint16_t id = 1; id <= 300; ++id) tags.push_back(shape(id));
  tags = tags + Tags{exports({{300, "hero"}}), kShowFrameBytes, attach(), place(300), kShowFrameBytes, kEndBytes};
  const ByteVector fws = movieOf(tags);
  const ByteVector cws = cwsOf(fws);
  const auto declare = [](ByteVector file, std::uint64_t length) {
    for (int i = 0; i < 4; ++i) file[4 + i] = static_cast<std::uint8_t>(length >> (8 * i));
    return file;
  };
  const auto flip = [](ByteVector file, std::size_t at) {
    file[at] ^= 0x5A;
    return file;
  };
  const struct {
    const char* name;
    ByteVector file;
    std::optional<std::string> load;  // nothing: zlib's verdict, whichever it is
  } rows[] = {
      {"whole", cws, ""},
      {"cut in the middle of the stream", ByteVector(cws.begin(), cws.begin() + cws.size() / 2), kIncomplete},
      {"cut before its checksum", ByteVector(cws.begin(), cws.end() - 4), ""},
      {"cut after the file header", ByteVector(cws.begin(), cws.begin() + 9), kIncomplete},
      {"a byte of the deflate data changed", flip(cws, cws.size() / 3), kIncomplete},
      {"its checksum changed (read or not, as zlib reads the stream)", flip(cws, cws.size() - 1), std::nullopt},
      {"a wrong zlib header", flip(cws, 8), kIncomplete},
      {"declares a byte more than the stream holds", declare(cws, fws.size() + 1), kIncomplete},
      {"declares less than the stream holds: the rest is ignored", declare(cws, fws.size() - 100), ""},
      {"declares more than deflate can yield", declare(cws, 0xFFFFFFF0u), kIncomplete},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string load = expectBothWaysAgree(writeFile(tempPath("damaged.swf"), row.file));
    if (row.load) EXPECT_EQ(load, *row.load);
  }
}

}  // namespace
}  // namespace framestow::test
