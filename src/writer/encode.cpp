#include <zlib.h>

#include <algorithm>
#include <limits>
#include <memory>
#include <vector>

#include "writer/deflate_pieces.hpp"
#include "writer/writer.hpp"

namespace framestow {

namespace {

// The movie is deflated a megabyte at a time: the memory a save needs beyond
// the loaded movie stays small whatever the movie's size (the piece, its
// deflated bytes, and about 4 MB of level 10's tables), and each new piece's
// lost window costs a few hundred bytes in a megabyte.
constexpr std::size_t kPiece = std::size_t{1} << 20;

// libdeflate's level 10, its first "near-optimal" level: on every benchmark
// movie and on the corpus as a whole its output is smaller than zlib's level
// 9 (by 0.9 % on the corpus, 1.7 to 2.7 % on the benchmark movies), where
// its level 9 is up to 0.8 % larger; 11 and 12 save a few bytes more at up
// to twice the time.
constexpr int kDeflateLevel = 10;

void putBigEndian(std::uint8_t* field, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) field[i] = static_cast<std::uint8_t>(value >> (24 - 8 * i));
}

}  // namespace

std::error_code deflateMovie(const AssembledMovie& movie, const ByteSink& put, bool& deflateFailed) {
  // The header is the movie's, signed "CWS"; the body (everything after the
  // first 8 bytes) one zlib stream, deflated by libdeflate a piece at a
  // time and handed on as each piece comes out: neither the movie nor the
  // compressed file is ever whole in memory.
  deflateFailed = false;
  const std::size_t size = movie.size();
  PieceDeflater deflater(kDeflateLevel);
  if (size < 8 || size - 8 > std::numeric_limits<std::uint32_t>::max() || !deflater.ready()) {
    deflateFailed = true;
    return {};
  }
  std::uint8_t header[8 + sizeof kZlibHeader];
  movie.copy(0, header, 8);
  header[0] = 'C';
  std::copy(std::begin(kZlibHeader), std::end(kZlibHeader), header + 8);
  std::error_code error = put(header, sizeof header);
  std::vector<std::uint8_t> in(std::min(kPiece, size - 8));
  std::vector<std::uint8_t> out;
  uLong checksum = adler32(0, nullptr, 0);
  for (std::size_t read = 8; !error && (read < size || read == 8);) {
    const std::size_t count = std::min(kPiece, size - read);
    movie.copy(read, in.data(), count);
    read += count;
    checksum = adler32(checksum, in.data(), static_cast<uInt>(count));
    if (!deflater.deflate(std::span(in).first(count), read == size, out)) {
      deflateFailed = true;
      return error;
    }
    error = put(out.data(), out.size());
    if (read == size) break;
  }
  std::uint8_t trailer[4];
  putBigEndian(trailer, static_cast<std::uint32_t>(checksum));
  if (!error) error = put(trailer, sizeof trailer);
  return error;
}

}  // namespace framestow
