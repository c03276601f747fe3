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
    ByteVector between;  // a file loaded and analysed after the first, which fails to load or to analyse
    ByteVector second;
  } rows[] = {
      // Generated movies with sprites, linked assets and redundant exports, using the same ids for other things.
      {"a movie after one that was analysed, planned and saved", generatedMovie(19), {}, generatedMovie(26)},
      {"the same movie after itself", generatedMovie(37), {}, generatedMovie(37)},
      {"a movie after a load that failed", generatedMovie(20), {'J', 'U', 'N', 'K', 0, 0, 0, 0, 0, 0}, generatedMovie(12)},
      {"a movie after an analysis that stopped on an unknown fill type, two frames in", generatedMovie(21),
       movieOf({kBackground, shape(1), exports({{1, "a"}}), kShowFrameBytes, kShowFrameBytes, tagBytes(kDefineShape, Bytes().u16(2).rect(0, 9, 0, 9).u8(1).u8(0x33)), kShowFrameBytes, kEndBytes}),
       generatedMovie(13)},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    Document used, fresh;
    ASSERT_EQ(loadAndAnalyse(used, row.first, tempPath("first.swf")), "");
    used.plan(3);
    used.plan(5);
    ASSERT_EQ(saveInMemory(used, 3, true).result, kSaved);
    if (!row.between.empty()) {
      EXPECT_NE(loadAndAnalyse(used, row.between, tempPath("between.swf")), "");
      // Nothing of a movie that was not analysed through is answered, planned or saved.
      EXPECT_TRUE(used.blocks().empty() && used.frameEnds().empty() && used.linkedAssets().empty() && used.references(0).empty());
      EXPECT_TRUE(!used.definingBlock(1) && used.attachFrame() == 0 && used.redundantExportBytes() == 0 && used.plan(2).movableBytes == 0);
      EXPECT_EQ(saveInMemory(used, 2, false).result, kErrorWriting);
    }
    EXPECT_EQ(loadAndAnalyse(used, row.second, tempPath("used.swf")), loadAndAnalyse(fresh, row.second, tempPath("fresh.swf")));
    // A save straight after the analysis plans its own frame, even the frame the last movie was saved for.
    EXPECT_EQ(saveInMemory(used, 3, true).bytes, saveInMemory(fresh, 3, true).bytes);
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

// Before any load there is nothing to answer, analyse, plan or save.
TEST(Reload, ADocumentBeforeAnyLoadHoldsNothing) {
  Document never;
  EXPECT_FALSE(never.loaded());
  EXPECT_FALSE(never.analyze());
  EXPECT_TRUE(never.blocks().empty() && never.frameEnds().empty() && never.linkedAssets().empty() && never.plan(2).movableBytes == 0);
  EXPECT_EQ(saveInMemory(never, 2, false).result, kErrorWriting);
  // Loaded but not analysed: still nothing to plan or save.
  ASSERT_EQ(load(never, writeFile(tempPath("unanalysed.swf"), generatedMovie(19))), "");
  EXPECT_TRUE(never.blocks().empty() && never.plan(2).movableBytes == 0);
  EXPECT_EQ(saveInMemory(never, 2, false).result, kErrorWriting);
}

}  // namespace
}  // namespace framestow::test
