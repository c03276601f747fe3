// A document that has held other movies answers, plans and saves the next one
// exactly as a fresh document does.
#include <gtest/gtest.h>

#include "support/documents.hpp"
#include "support/generated_movies.hpp"
#include "support/test_files.hpp"

namespace framestow::test {
namespace {

TEST(Reload, ANextMovieIsHandledAsByAFreshDocument) {
  const struct {
    const char* name;
    ByteVector first;
    bool failedLoadBetween;  // a file that is no movie is loaded after the first
    ByteVector second;
  } rows[] = {
      // Generated movies with sprites, linked assets and redundant exports, using the same ids for other things.
      {"a movie after one that was analysed, planned and saved", generatedMovie(19), false, generatedMovie(26)},
      {"the same movie after itself", generatedMovie(37), false, generatedMovie(37)},
      {"a movie after a load that failed", generatedMovie(20), true, generatedMovie(12)},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    Document used, fresh;
    ASSERT_EQ(loadAndAnalyse(used, row.first, tempPath("first.swf")), "");
    used.plan(3);
    used.plan(5);
    ASSERT_EQ(saveInMemory(used, 3, true).result, kSaved);
    if (row.failedLoadBetween) {
      EXPECT_NE(load(used, writeFile(tempPath("junk.swf"), {'J', 'U', 'N', 'K', 0, 0, 0, 0, 0, 0})), "");
      EXPECT_TRUE(used.blocks().empty() && used.linkedAssets().empty() && used.plan(2).movableBytes == 0);
      EXPECT_EQ(saveInMemory(used, 2, false).result, kErrorWriting);
    }
    EXPECT_EQ(loadAndAnalyse(used, row.second, tempPath("used.swf")), loadAndAnalyse(fresh, row.second, tempPath("fresh.swf")));
    for (const std::int32_t n : {1, 2, 3, 4, 2}) {
      EXPECT_TRUE(used.blocks() == fresh.blocks() && used.frameEnds() == fresh.frameEnds() && used.redundantExportBytes() == fresh.redundantExportBytes());
      for (std::uint32_t id = 0; id < 64; ++id) EXPECT_TRUE(used.references(id) == fresh.references(id) && used.definingBlock(id) == fresh.definingBlock(id)) << id;
      EXPECT_EQ(used.linkedAssets(), fresh.linkedAssets());
      for (std::uint32_t timeline = 0; timeline < 4; ++timeline) EXPECT_EQ(used.attachFrame(timeline), fresh.attachFrame(timeline));
      EXPECT_EQ(used.plan(n).movableBytes, fresh.plan(n).movableBytes) << "frame " << n;
      for (const bool removal : {false, true}) EXPECT_EQ(saveInMemory(used, n, removal).bytes, saveInMemory(fresh, n, removal).bytes) << "frame " << n;
    }
  }
}

}  // namespace
}  // namespace framestow::test
