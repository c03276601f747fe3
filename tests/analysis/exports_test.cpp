// ExportAssets: the linked assets and each tag without its redundant entries.
#include <gtest/gtest.h>

#include "common/tag_codes.hpp"
#include "support/scan.hpp"

namespace framestow {
namespace {

using test::ByteVector;
using test::Bytes;
using test::scanTimeline;
using test::tagBytes;
using test::Timeline;

ByteVector exportTag(const std::vector<std::pair<std::uint16_t, std::string>>& entries, bool forceLong = false) {
  Bytes body;
  body.u16(static_cast<std::uint32_t>(entries.size()));
  for (const auto& [id, name] : entries) body.u16(id).str(name);
  return tagBytes(kExportAssets, body, forceLong);
}

ByteVector copyOf(const test::Scanned& s, std::size_t block) {
  const ExportCopy& copy = s.analysis.redundantList.at(static_cast<std::uint32_t>(block));
  return ByteVector(copy.byteNum.begin(), copy.byteNum.begin() + copy.thisLength);
}

TEST(Exports, EachIdListedOnceInFirstExportOrder) {
  Timeline t;
  t.exportAssets({{5, "a"}, {3, "b"}}).exportAssets({{3, "c"}, {9, "d"}}).showFrame().end();
  const auto s = scanTimeline(t);
  EXPECT_EQ(s.analysis.origAssetsList, (std::vector<std::int32_t>{5, 3, 9}));
  EXPECT_EQ(s.analysis.assetCountTotal, 3);
}

TEST(Exports, TagWithoutRedundantEntriesIsCopiedByteForByte) {
  Timeline t;
  t.raw(exportTag({{1, "one"}, {2, "two"}})).showFrame().end();
  const auto s = scanTimeline(t);
  EXPECT_EQ(copyOf(s, s.find(kExportAssets)), exportTag({{1, "one"}, {2, "two"}}));
  EXPECT_EQ(s.analysis.redundantAssetTotal, 0);
}

TEST(Exports, SecondExportOfAnIdInTheSameTagGoes) {
  Timeline t;
  t.raw(exportTag({{1, "one"}, {1, "one"}, {2, "two"}})).showFrame().end();
  const auto s = scanTimeline(t);
  EXPECT_EQ(copyOf(s, s.find(kExportAssets)), exportTag({{1, "one"}, {2, "two"}}));
  EXPECT_EQ(s.analysis.redundantAssetTotal, 6);  // 2 + "one" + NUL
}

TEST(Exports, LaterTagLosesTheEntryTheEarlierOneKeeps) {
  Timeline t;
  t.raw(exportTag({{1, "one"}})).raw(exportTag({{1, "one"}, {4, "four"}})).showFrame().end();
  const auto s = scanTimeline(t);
  const std::size_t first = s.find(kExportAssets);
  const std::size_t second = s.find(kExportAssets, first + 1);
  EXPECT_EQ(copyOf(s, first), exportTag({{1, "one"}}));
  EXPECT_EQ(copyOf(s, second), exportTag({{4, "four"}}));
  EXPECT_EQ(s.analysis.redundantAssetTotal, 6);
}

TEST(Exports, AllRedundantOrEmptyTagsAreDroppedWhole) {
  Timeline t;
  t.raw(exportTag({{1, "x"}})).raw(exportTag({{1, "x"}})).raw(exportTag({})).showFrame().end();
  const auto s = scanTimeline(t);
  const std::size_t second = s.find(kExportAssets, s.find(kExportAssets) + 1);
  const std::size_t third = s.find(kExportAssets, second + 1);
  EXPECT_EQ(s.analysis.redundantList.at(second).thisLength, 0u);
  EXPECT_EQ(s.analysis.redundantList.at(second).thisHead, 0u);
  EXPECT_EQ(s.analysis.redundantList.at(third).thisLength, 0u);
  // Whole tags: (2 + 2 + 2 + "x\0") and (2 + 2)
  EXPECT_EQ(s.analysis.redundantAssetTotal, 8 + 4);
  EXPECT_EQ(s.block(second).thisLength, 8u);  // the block still stands for the whole tag
}

TEST(Exports, ShortHeaderLengthIsRewritten) {
  // Body of 40 bytes: count, then entries of 8, 10, 8 and 12 bytes; the second 8-byte one is a repeat.
  Timeline t;
  t.raw(exportTag({{1, "vwxyz"}, {2, "hijklmn"}, {1, "vwxyz"}, {3, "opqrstuvw"}})).showFrame().end();
  const auto s = scanTimeline(t);
  const auto copy = copyOf(s, s.find(kExportAssets));
  ASSERT_EQ(copy.size(), 2u + 32u);
  EXPECT_EQ(copy[0] | (copy[1] << 8), 56 * 64 + 32);
  EXPECT_EQ(copy[2], 3);  // count
}

TEST(Exports, LongHeaderStaysLong) {
  Timeline t;
  t.raw(exportTag({{1, "a"}, {1, "a"}}, true)).showFrame().end();
  const auto s = scanTimeline(t);
  const auto copy = copyOf(s, s.find(kExportAssets));
  ASSERT_EQ(copy.size(), 6u + 2u + 4u);
  EXPECT_EQ(copy[0] | (copy[1] << 8), 56 * 64 + 0x3F);
  EXPECT_EQ(copy[2], 6);
  EXPECT_EQ(copy[3] | copy[4] | copy[5], 0);
}

TEST(Exports, SameNameDifferentIdsBothStay) {
  Timeline t;
  t.raw(exportTag({{1, "same"}, {2, "same"}})).showFrame().end();
  const auto s = scanTimeline(t);
  EXPECT_EQ(s.analysis.assetCountTotal, 2);
  EXPECT_EQ(s.analysis.redundantAssetTotal, 0);
}

TEST(Exports, NamesAreCopiedAsTheyStandInTheFile) {
  Timeline t;
  t.raw(exportTag({{1, "a\tb"}, {1, "a\tb"}, {2, "e\rf"}})).showFrame().end();
  const auto s = scanTimeline(t);
  EXPECT_EQ(copyOf(s, s.find(kExportAssets)), exportTag({{1, "a\tb"}, {2, "e\rf"}}));
  EXPECT_EQ(s.analysis.redundantAssetTotal, 6);  // the file's bytes, not the escaped form
}

TEST(Exports, EntryRunningPastTheTagEndsItsEntries) {
  Bytes body;
  body.u16(3).u16(1).str("ok").u16(1).str("ok").u16(2).u8('n').u8('o');  // last name unterminated
  Timeline t;
  t.tag(kExportAssets, body).showFrame().end();
  const auto s = scanTimeline(t);
  ASSERT_TRUE(s.analysis.analysed);
  const auto copy = copyOf(s, s.find(kExportAssets));
  EXPECT_EQ(s.analysis.origAssetsList, (std::vector<std::int32_t>{1}));
  // The copy keeps the bytes it could not read as an entry and loses only the repeat.
  const std::uint32_t declared = copy[0] | (copy[1] << 8);
  EXPECT_EQ(declared & 0x3F, copy.size() - 2);
  EXPECT_EQ(static_cast<std::int64_t>(body.size() - (copy.size() - 2)), s.analysis.redundantAssetTotal);
}

TEST(Exports, IdZeroIsKeptButIsNoLinkedAsset) {
  Timeline t;
  t.raw(exportTag({{0, "nothing"}, {0, "again"}})).showFrame().end();
  const auto s = scanTimeline(t);
  EXPECT_EQ(s.analysis.assetCountTotal, 0);
  EXPECT_EQ(copyOf(s, s.find(kExportAssets)), exportTag({{0, "nothing"}, {0, "again"}}));
  EXPECT_EQ(s.analysis.redundantAssetTotal, 0);
}

}  // namespace
}  // namespace framestow
