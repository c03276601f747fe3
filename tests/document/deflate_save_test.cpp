// A "CWS" save is one zlib stream, deflated as it is written: over several
// megabytes of stored, fixed and dynamic blocks, it inflates (by zlib) to
// exactly the movie an uncompressed save writes.
#include <gtest/gtest.h>
#include <zlib.h>

#include <random>

#include "support/documents.hpp"
#include "support/tag_list.hpp"
#include "support/test_files.hpp"

namespace framestow::test {
namespace {

// Pixels of a DefineBitsLossless: random (stored blocks), constant (long
// matches) or text-like (dynamic Huffman blocks).
ByteVector bitmapOf(std::uint16_t id, std::size_t size, int kind) {
  std::mt19937 random(id);
  Bytes pixels;
  for (std::size_t i = 0; i < size; ++i) {
    pixels.u8(kind == 0 ? random() >> 24 : kind == 1 ? 0x78 : "abcdefgh"[random() % 8]);
  }
  return tagBytes(kDefineBitsLossless, Bytes().u16(id).u8(5).u16(1).u16(1).raw(pixels));
}

TEST(DeflateSave, AMovieOfManyPiecesInflatesToTheUncompressedSave) {
  const std::size_t kilobyte = 1024;
  const struct {
    const char* name;
    Tags bitmaps;
  } rows[] = {
      {"random, text-like and constant pixels over several megabytes",
       {bitmapOf(1, 600 * kilobyte, 0), bitmapOf(2, 800 * kilobyte, 2), bitmapOf(3, 1200 * kilobyte, 1)}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    Tags tags{kBackground};
    tags = tags + row.bitmaps + Tags{exports({{1, "art"}}), kShowFrameBytes, attach(), kShowFrameBytes, kEndBytes};
    Document doc;
    ASSERT_EQ(loadAndAnalyse(doc, movieOf(tags, header("CWS")), tempPath("big.swf")), "");
    doc.setSaveCompression(Compression::kNone);
    const SavedCopy plain = saveInMemory(doc, 2, false);
    doc.setSaveCompression(Compression::kZlib);
    const SavedCopy deflated = saveInMemory(doc, 2, false);
    ASSERT_EQ(deflated.result, kSaved);
    ASSERT_EQ(plain.result, kSaved);
    ByteVector body(plain.bytes.size() - 8);
    uLongf length = static_cast<uLongf>(body.size());
    ASSERT_EQ(uncompress(body.data(), &length, deflated.bytes.data() + 8, static_cast<uLong>(deflated.bytes.size() - 8)), Z_OK);
    EXPECT_EQ(length, body.size());
    EXPECT_TRUE(std::equal(body.begin(), body.end(), plain.bytes.begin() + 8));
    EXPECT_EQ(listMovie(deflated.bytes).problem, "");
  }
}

}  // namespace
}  // namespace framestow::test
