#include "support/test_files.hpp"

#include <gtest/gtest.h>

#include "support/documents.hpp"
#include "support/tag_list.hpp"

namespace framestow::test {

Document analysedMovie(const Tags& tags, MovieOptions options, const std::string& name) {
  Document doc;
  const ByteVector file = movieOf(tags, options);
  EXPECT_EQ(loadAndAnalyse(doc, file, tempPath(name)), "");
  expectBlocksOfListing(doc, file);
  return doc;
}

void expectBlocksOfListing(const Document& doc, const ByteVector& file) {
  const Listing listing = listMovie(file);
  const std::vector<Block> blocks = doc.blocks();
  if (!listing.whole) {
    for (const Block& b : blocks) EXPECT_LE(std::size_t{b.offset} + b.headerSize + b.bodySize, listing.movie.size());
    return;
  }
  const auto first = static_cast<std::uint32_t>(8 + (5 + 4 * (listing.movie[8] >> 3) + 7) / 8 + 4);
  std::vector<Block> expected{{0, 0, 4, 0, 0}, {0, 0, 4, 4, 0}, {0, 0, first - 8, 8, 0}};
  auto add = [&](const ListedTag& tag, std::uint32_t timeline) {
    const std::uint32_t head = (tag.bytes[0] & 0x3F) == 0x3F ? 6 : 2;
    const auto body = static_cast<std::uint32_t>(tag.code == 39 ? 4 : tag.bytes.size() - head);
    expected.push_back({tag.code, head, body, static_cast<std::uint32_t>(tag.offset), timeline});
  };
  std::uint32_t sprites = 0;
  for (const ListedTag& tag : listing.tags) {
    add(tag, tag.code == 39 ? ++sprites : 0);
    if (tag.code != 39) continue;
    for (const ListedTag& inner : spriteTags(tag)) add(inner, sprites);
  }
  if (!listing.tags.empty() && listing.tags.back().code == 0) expected.push_back(Block{});
  EXPECT_EQ(blocks, expected);
}

}  // namespace framestow::test
