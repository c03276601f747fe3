#include "support/tag_list.hpp"

#include <lzma.h>
#include <zlib.h>

namespace framestow::test {
namespace {

// The uncompressed movie of a "CWS" file: the body inflated, with room for one
// byte past the declared length so that a longer stream is noticed.
ByteVector inflated(const ByteVector& file, std::string& problem) {
  const std::uint32_t declared = u32At(file, 4);
  ByteVector movie(file.begin(), file.begin() + 8);
  movie.resize(std::max<std::size_t>(9, std::size_t{declared} + 1));
  uLongf produced = movie.size() - 8;
  uLong consumed = file.size() - 8;
  const int rc = uncompress2(movie.data() + 8, &produced, file.data() + 8, &consumed);
  movie.resize(8 + produced);
  if (rc != Z_OK || movie.size() != declared || consumed != file.size() - 8) problem = "the body does not inflate to exactly the declared length";
  return movie;
}

// The uncompressed movie of a "ZWS" file: the data after the length field
// and the properties decoded by the .lzma format's decoder, given the 13-byte
// header that format has (the properties, then the 64-bit size).
ByteVector decodedLzma(const ByteVector& file, std::string& problem) {
  const std::uint32_t declared = u32At(file, 4);
  ByteVector movie(file.begin(), file.begin() + 8);
  problem = "the body does not decode to exactly the declared length";
  if (file.size() < 17 || declared < 8 || u32At(file, 8) != file.size() - 17) return movie;
  ByteVector input(file.begin() + 12, file.begin() + 17);
  for (int i = 0; i < 8; ++i) input.push_back(i < 4 ? static_cast<std::uint8_t>((declared - 8) >> (8 * i)) : 0);
  input.insert(input.end(), file.begin() + 17, file.end());
  movie.resize(std::size_t{declared} + 1);
  lzma_stream stream = LZMA_STREAM_INIT;
  if (lzma_alone_decoder(&stream, UINT64_MAX) != LZMA_OK) return movie;
  stream.next_in = input.data();
  stream.avail_in = input.size();
  stream.next_out = movie.data() + 8;
  stream.avail_out = movie.size() - 8;
  const lzma_ret rc = lzma_code(&stream, LZMA_FINISH);
  movie.resize(movie.size() - stream.avail_out);
  lzma_end(&stream);
  if (rc == LZMA_STREAM_END && movie.size() == declared && stream.avail_in == 0) problem.clear();
  return movie;
}

// Tags from `at` to `end`, until an End tag; false when one runs past `end`.
// `stop` receives where the last whole tag ends.
bool readTags(const ByteVector& movie, std::size_t at, std::size_t end, std::vector<ListedTag>& tags, std::size_t& stop) {
  std::uint32_t frame = 1;
  for (stop = at; at + 2 <= end; stop = at) {
    const std::uint32_t word = u16At(movie, at);
    const std::uint32_t head = (word & 0x3F) == 0x3F ? 6 : 2;
    const std::size_t length = head == 6 ? u32At(movie, at + 2) : word & 0x3F;
    if (at + head > end || length > end - at - head) return false;
    tags.push_back({static_cast<std::uint16_t>(word >> 6), frame, static_cast<std::uint16_t>(length >= 2 ? u16At(movie, at + head) : 0), head, at,
                    ByteVector(movie.begin() + static_cast<std::ptrdiff_t>(at), movie.begin() + static_cast<std::ptrdiff_t>(at + head + length))});
    at += head + length;
    if (tags.back().code == 1) ++frame;
    if (tags.back().code == 0) {
      stop = at;
      break;
    }
  }
  return true;  // a byte too few to be a tag is no tag that runs past
}

}  // namespace

std::uint32_t u16At(const ByteVector& b, std::size_t at) { return at + 2 <= b.size() ? static_cast<std::uint32_t>(b[at] | (b[at + 1] << 8)) : 0; }
std::uint32_t u32At(const ByteVector& b, std::size_t at) { return at + 4 <= b.size() ? u16At(b, at) | (u16At(b, at + 2) << 16) : 0; }

Listing listMovie(const ByteVector& file) {
  Listing listing;
  if (file.size() < 9) return listing;
  const std::uint32_t declared = u32At(file, 4);
  ByteVector& movie = listing.movie = file[0] == 'C'   ? inflated(file, listing.problem)
                                      : file[0] == 'Z' ? decodedLzma(file, listing.problem)
                                                       : file;
  listing.complete = movie.size() >= declared;
  if (listing.complete) movie.resize(declared);
  const std::size_t first = movie.size() < 9 ? 0 : 8 + (5 + 4 * static_cast<std::size_t>(movie[8] >> 3) + 7) / 8 + 4;
  if (first == 0 || first > movie.size()) return listing;
  std::size_t stop = first;
  listing.whole = readTags(movie, first, movie.size(), listing.tags, stop) && listing.complete;
  for (const ListedTag& tag : listing.tags) {
    if (tag.code == 39) spriteTags(tag, &listing.whole);
  }
  listing.trailer.assign(movie.begin() + static_cast<std::ptrdiff_t>(stop), movie.end());
  return listing;
}

std::vector<ListedTag> spriteTags(const ListedTag& sprite, bool* whole) {
  std::vector<ListedTag> tags;
  std::size_t stop = 0;
  // A player reads the body by its length: the tags must fill it exactly.
  const bool inside = sprite.bytes.size() >= sprite.head + 4 && readTags(sprite.bytes, sprite.head + 4, sprite.bytes.size(), tags, stop);
  for (ListedTag& tag : tags) {
    tag.offset += sprite.offset;
    tag.frame = sprite.frame;
  }
  if (whole != nullptr && !(inside && stop == sprite.bytes.size())) *whole = false;
  return tags;
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
  const ByteVector& b = tag.bytes;
  std::size_t at = tag.head + 2;
  for (std::uint32_t i = 0, count = tag.code == 56 ? u16At(b, tag.head) : 0; i < count && at + 2 <= b.size(); ++i) {
    std::string name;
    const auto id = static_cast<std::uint16_t>(u16At(b, at));
    for (at += 2; at < b.size() && b[at] != 0; ++at) name.push_back(static_cast<char>(b[at]));
    if (at++ == b.size()) break;
    entries.emplace_back(id, name);
  }
  return entries;
}

}  // namespace framestow::test
