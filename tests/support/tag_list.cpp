#include "support/tag_list.hpp"

#include <zlib.h>

namespace framestow::test {
namespace {

std::uint32_t u16At(const ByteVector& b, std::size_t at) {
  return at + 2 <= b.size() ? static_cast<std::uint32_t>(b[at] | (b[at + 1] << 8)) : 0;
}

// The uncompressed movie of a "CWS" file: header, then the body inflated up to
// one byte past the declared length, so that a longer stream is noticed.
ByteVector inflated(const ByteVector& file, std::string& problem) {
  const std::uint32_t declared = u32At(file, 4);
  ByteVector movie(file.begin(), file.begin() + 8);
  movie.resize(std::max<std::size_t>(8, std::size_t{declared} + 1));
  z_stream zs{};
  inflateInit(&zs);
  zs.next_in = const_cast<Bytef*>(file.data() + 8);
  zs.avail_in = static_cast<uInt>(file.size() - 8);
  zs.next_out = movie.data() + 8;
  zs.avail_out = static_cast<uInt>(movie.size() - 8);
  const int rc = inflate(&zs, Z_FINISH);
  movie.resize(movie.size() - zs.avail_out);
  if (rc != Z_STREAM_END) problem = "the zlib stream is damaged, or longer or shorter than the declared length";
  else if (movie.size() != declared) problem = "the body inflates to " + std::to_string(movie.size()) + " bytes, the header declares " + std::to_string(declared);
  else if (zs.avail_in != 0) problem = std::to_string(zs.avail_in) + " bytes follow the zlib stream";
  inflateEnd(&zs);
  return movie;
}

// Tags from `at` to `end`, until an End tag; false when one runs past `end`.
// `stop` receives where the last whole tag ends.
bool readTags(const ByteVector& movie, std::size_t at, std::size_t end, std::vector<ListedTag>& tags, std::size_t& stop) {
  std::uint32_t frame = 1;
  stop = at;
  while (at + 2 <= end) {
    const std::uint32_t word = u16At(movie, at);
    std::size_t head = 2, length = word & 0x3F;
    if (length == 0x3F) {
      if (at + 6 > end) return false;
      head = 6;
      length = u32At(movie, at + 2);
    }
    if (length > end - at - head) return false;
    const auto next = static_cast<std::ptrdiff_t>(at + head + length);
    tags.push_back({static_cast<std::uint16_t>(word >> 6), frame,
                    static_cast<std::uint16_t>(length >= 2 ? u16At(movie, at + head) : 0), at,
                    ByteVector(movie.begin() + static_cast<std::ptrdiff_t>(at), movie.begin() + next)});
    stop = at = static_cast<std::size_t>(next);
    if (tags.back().code == 1) ++frame;
    if (tags.back().code == 0) break;
  }
  return true;  // a byte too few to be a tag is no tag that runs past
}

}  // namespace

std::uint32_t u32At(const ByteVector& b, std::size_t at) {
  return at + 4 <= b.size() ? u16At(b, at) | (u16At(b, at + 2) << 16) : 0;
}

Listing listMovie(const ByteVector& file) {
  Listing listing;
  if (file.size() < 9) return listing;
  const std::uint32_t declared = u32At(file, 4);
  listing.movie = file[0] == 'C' ? inflated(file, listing.problem) : file;
  ByteVector& movie = listing.movie;
  const bool complete = listing.complete = movie.size() >= declared;
  if (complete) movie.resize(declared);
  if (movie.size() < 9) return listing;
  const std::size_t first = 8 + (5 + 4 * static_cast<std::size_t>(movie[8] >> 3) + 7) / 8 + 4;
  if (first > movie.size()) return listing;
  std::size_t stop = first;
  const bool tiled = readTags(movie, first, movie.size(), listing.tags, stop);
  bool whole = complete && tiled;
  for (const ListedTag& tag : listing.tags) {
    if (tag.code == 39) spriteTags(tag, &whole);
  }
  listing.trailer.assign(movie.begin() + static_cast<std::ptrdiff_t>(stop), movie.end());
  listing.whole = whole;
  return listing;
}

std::vector<ListedTag> listTags(const ByteVector& file) { return listMovie(file).tags; }

std::vector<ListedTag> spriteTags(const ListedTag& sprite, bool* whole) {
  std::vector<ListedTag> tags;
  const std::size_t head = (sprite.bytes[0] & 0x3F) == 0x3F ? 6 : 2;
  std::size_t stop = 0;
  // The sprite's tags must fill its body exactly: a player reads the body by its length.
  const bool inside = sprite.bytes.size() >= head + 4 && readTags(sprite.bytes, head + 4, sprite.bytes.size(), tags, stop);
  for (ListedTag& tag : tags) {
    tag.offset += sprite.offset;
    tag.frame = sprite.frame;
  }
  if (whole != nullptr && !(inside && stop == sprite.bytes.size())) *whole = false;
  return tags;
}

int findTag(const std::vector<ListedTag>& tags, std::uint16_t code, std::uint16_t id) {
  for (std::size_t i = 0; i < tags.size(); ++i) {
    if (tags[i].code == code && tags[i].id == id) return static_cast<int>(i);
  }
  return -1;
}

bool definesCharacter(std::uint16_t code) {
  switch (code) {
    case 2: case 22: case 32: case 83: case 46: case 84:  // shapes, morph shapes
    case 6: case 20: case 21: case 35: case 36: case 90:  // bitmaps
    case 10: case 48: case 75: case 11: case 33: case 37:  // fonts, texts, edit text
    case 14: case 7: case 34: case 39: case 60: case 87:  // sound, buttons, sprite, video, binary data
      return true;
    default:
      return false;
  }
}

std::vector<std::pair<std::uint16_t, std::string>> exportEntries(const ListedTag& tag) {
  std::vector<std::pair<std::uint16_t, std::string>> entries;
  const std::size_t head = (tag.bytes[0] & 0x3F) == 0x3F ? 6 : 2;
  const ByteVector& b = tag.bytes;
  std::size_t at = head + 2;
  for (std::uint32_t i = 0, count = u16At(b, head); i < count && at + 2 <= b.size(); ++i) {
    std::string name;
    const auto id = static_cast<std::uint16_t>(u16At(b, at));
    for (at += 2; at < b.size() && b[at] != 0; ++at) name.push_back(static_cast<char>(b[at]));
    if (at++ == b.size()) break;  // a name without its NUL is no entry
    entries.emplace_back(id, name);
  }
  return entries;
}

}  // namespace framestow::test
