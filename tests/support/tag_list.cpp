#include "support/tag_list.hpp"

namespace framestow::test {

std::vector<ListedTag> listTags(const ByteVector& file) {
  const ByteVector movie = inflateMovie(file);
  std::vector<ListedTag> tags;
  if (movie.size() < 9) return tags;
  const int nbits = movie[8] >> 3;
  std::size_t offset = 8 + (5 + 4 * static_cast<std::size_t>(nbits) + 7) / 8 + 4;
  std::uint32_t frame = 1;
  while (offset + 2 <= movie.size()) {
    const std::uint32_t word = movie[offset] | (movie[offset + 1] << 8);
    std::size_t head = 2;
    std::size_t length = word & 0x3F;
    if (length == 0x3F) {
      if (offset + 6 > movie.size()) break;
      length = movie[offset + 2] | (movie[offset + 3] << 8) | (movie[offset + 4] << 16) |
               (static_cast<std::size_t>(movie[offset + 5]) << 24);
      head = 6;
    }
    if (offset + head + length > movie.size()) break;
    ListedTag tag;
    tag.code = static_cast<std::uint16_t>(word >> 6);
    tag.frame = frame;
    if (length >= 2) tag.id = static_cast<std::uint16_t>(movie[offset + head] | (movie[offset + head + 1] << 8));
    tag.bytes.assign(movie.begin() + static_cast<std::ptrdiff_t>(offset),
                     movie.begin() + static_cast<std::ptrdiff_t>(offset + head + length));
    tags.push_back(std::move(tag));
    offset += head + length;
    if (tags.back().code == 1) ++frame;
    if (tags.back().code == 0) break;
  }
  return tags;
}

int findTag(const std::vector<ListedTag>& tags, std::uint16_t code, std::uint16_t id) {
  for (std::size_t i = 0; i < tags.size(); ++i) {
    if (tags[i].code == code && tags[i].id == id) return static_cast<int>(i);
  }
  return -1;
}

}  // namespace framestow::test
