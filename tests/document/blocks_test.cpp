// How the analysis cuts a movie into blocks: the tags as the lister reads them
// (checked for every row), which block ends each frame of the main timeline,
// how many blocks there are, and one progress tick per tag and action record.
#include <gtest/gtest.h>

#include "support/documents.hpp"
#include "support/test_files.hpp"

namespace framestow::test {
namespace {

struct BlocksRow {
  const char* name;
  ByteVector file;
  std::vector<std::uint32_t> frameEnds;  // block of the ShowFrame ending frame 1, 2, ...
  std::size_t blocks;
  int ticks;  // -1: not counted
};

ByteVector declaring(const Tags& tags, std::uint32_t fileLength) {
  MovieOptions options;
  options.fileLength = fileLength;
  return movieOf(tags, options);
}

TEST(Blocks, WhereEachTagAndFrameIs) {
  const ByteVector longDoAction = tagBytes(kDoAction, Bytes().u8(0), true);
  const ByteVector twoActions = doAction(Actions().action(0x07).pushString("attachMovie").bytes);
  const BlocksRow rows[] = {
      {"a movie of only an End tag: three header blocks, End and the closing record", movieOf({kEnd}), {}, 5, 1},
      {"tag headers keep their long form", movieOf({longDoAction, tagBytes(77, Bytes().fill(70), true), kShowFrame, kEnd}), {5}, 8, 4},
      {"a progress tick per tag and per action record", movieOf({twoActions, kShowFrame, kEnd}), {4}, 7, 3 + 2},
      {"a sprite's tags are blocks of its timeline, its frames not the main timeline's",
       movieOf({shape(1), sprite(5, {place(1), kShowFrame, kShowFrame, kEnd}), kShowFrame, place(5, 2), kShowFrame, kEnd}), {9, 11}, 14, -1},
      {"a sprite without End ends where its length says",
       movieOf({shape(1), sprite(5, {place(1), kShowFrame}), kShowFrame, place(5, 2), kShowFrame, kEnd}), {7, 9}, 12, -1},
      {"sprites one after the other are timelines 1 and 2",
       movieOf({sprite(3, {kShowFrame, kEnd}), sprite(4, {kShowFrame, kEnd}), kShowFrame, kEnd}), {9}, 12, -1},
      {"bytes after the End tag belong to no block", movieOf({kShowFrame, kEnd, ByteVector{0xAB, 0xCD, 0xEF}}), {3}, 6, -1},
      {"a movie without End ends at its last tag", movieOf({kShowFrame, kShowFrame}), {3, 4}, 5, -1},
      {"the scan stops at the declared length", declaring({kShowFrame, kEnd, kShowFrame}, static_cast<std::uint32_t>(movieOf({kShowFrame, kEnd}).size())),
       {3}, 6, -1},
      {"a tag claiming more than the movie holds ends with the movie",
       movieOf({kShowFrame, ByteVector{0x3F, 0x03, 0xFF, 0xFF, 0xFF, 0x7F, 1, 2, 3}}), {3}, 5, -1},
  };
  for (const BlocksRow& row : rows) {
    SCOPED_TRACE(row.name);
    Document doc;
    int ticks = 0;
    ASSERT_EQ(load(doc, writeFile(tempPath("movie.swf"), row.file)), "");
    ASSERT_TRUE(doc.analyze([&ticks] { ++ticks; }));
    expectAnalysisOfListing(doc, row.file);
    EXPECT_EQ(doc.frameEnds(), row.frameEnds);
    EXPECT_EQ(doc.blocks().size(), row.blocks);
    for (const Block& b : doc.blocks()) EXPECT_LE(std::size_t{b.offset} + b.headerSize + b.bodySize, row.file.size());
    if (row.ticks >= 0) {
      EXPECT_EQ(ticks, row.ticks);
    }
  }
}

}  // namespace
}  // namespace framestow::test
