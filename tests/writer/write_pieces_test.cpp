// A saved movie is written in pieces: long runs straight from the loaded
// movie, short ones gathered. The file must hold exactly the assembled bytes.
#include <gtest/gtest.h>

#include <vector>

#include "support/movie_files.hpp"
#include "support/temp_dir.hpp"
#include "writer/writer.hpp"

namespace framestow {
namespace {

using test::buildMovie;
using test::ByteVector;
using test::Timeline;

// Bitmaps large enough to be written directly, exported and held back for
// frame 2 between short tags, so that the movie's runs alternate.
ByteVector movieOfLongAndShortRuns() {
  const std::size_t big = AssembledMovie::kDirectWrite + 1000;
  Timeline t;
  t.setBackgroundColor().defineBitsLossless(1, big).defineShape(2, {1}).defineBitsLossless(3, 50);
  t.defineBitsLossless(4, 2 * big).exportAssets({{1, "big"}, {3, "small"}}).placeObject2(2, 1).showFrame();
  t.defineShape(5).defineBitsLossless(6, big).exportAssets({{6, "late"}}).showFrame().showFrame().end();
  return buildMovie(t);
}

TEST(WritePieces, EveryBufferSizeWritesTheAssembledBytes) {
  Document doc = test::analysedMovie(movieOfLongAndShortRuns());
  ASSERT_TRUE(doc.analysed());
  for (std::int32_t n : {1, 2, 3}) {
    doc.plan(n);
    const auto runs = assembleRuns(doc.movie(), doc.analysis(), doc.planState(), n, false);
    ASSERT_TRUE(runs.has_value());
    const std::vector<std::uint8_t> expected = runs->bytes();
    for (std::size_t bufferSize : {std::size_t{1}, std::size_t{7}, std::size_t{4096}, std::size_t{1} << 20}) {
      std::vector<std::uint8_t> buffer(bufferSize);
      std::vector<std::uint8_t> written;
      std::size_t direct = 0;
      const bool ok = runs->writePieces(buffer.data(), buffer.size(), [&](const std::uint8_t* data, std::size_t size) {
        if (data < buffer.data() || data >= buffer.data() + buffer.size()) ++direct;
        // Only runs written directly exceed the buffer.
        if (size > bufferSize) {
          EXPECT_GE(size, AssembledMovie::kDirectWrite);
        }
        written.insert(written.end(), data, data + size);
        return true;
      });
      EXPECT_TRUE(ok);
      EXPECT_EQ(written, expected) << "frame " << n << ", buffer " << bufferSize;
      EXPECT_GT(direct, 0u) << "frame " << n;
    }
  }
}

TEST(WritePieces, AFailedWriteStopsTheSave) {
  Document doc = test::analysedMovie(movieOfLongAndShortRuns());
  ASSERT_TRUE(doc.analysed());
  doc.plan(2);
  const auto runs = assembleRuns(doc.movie(), doc.analysis(), doc.planState(), 2, false);
  ASSERT_TRUE(runs.has_value());
  std::vector<std::uint8_t> buffer(4096);
  int calls = 0;
  EXPECT_FALSE(runs->writePieces(buffer.data(), buffer.size(), [&](const std::uint8_t*, std::size_t) {
    ++calls;
    return calls < 3;
  }));
  EXPECT_EQ(calls, 3);
}

TEST(WritePieces, SavedFileHoldsTheAssembledBytes) {
  Document doc;
  test::loadMovie(doc, movieOfLongAndShortRuns(), "pieces.swf");
  ASSERT_TRUE(doc.analysed());
  doc.plan(2);
  const auto expected = assembleMovie(doc.movie(), doc.analysis(), doc.planState(), 2, false);
  ASSERT_TRUE(expected.has_value());
  const std::string out = test::tempPath("pieces_out.swf");
  EXPECT_EQ(doc.save(2, false, false, out), kFileModified);
  EXPECT_EQ(test::readFile(out), *expected);
}

}  // namespace
}  // namespace framestow
