#include <zlib.h>

#include <algorithm>
#include <limits>

#include "writer/writer.hpp"

namespace framestow {

std::optional<std::vector<std::uint8_t>> encodeMovie(const LoadedMovie& movie, std::vector<std::uint8_t> movieBytes) {
  if (!movie.swfCompressed) return movieBytes;
  if (movieBytes.size() < 8) return std::nullopt;
  const std::size_t bodyLength = movieBytes.size() - 8;
  if (bodyLength > std::numeric_limits<uLong>::max()) return std::nullopt;
  // Deflated as compress2 at level 9 would (the same stream), but into a
  // buffer that grows as output arrives: room for the worst case is reserved,
  // yet only what deflate writes is ever touched.
  z_stream zs{};
  if (deflateInit(&zs, 9) != Z_OK) return std::nullopt;
  std::vector<std::uint8_t> file;
  file.reserve(8 + compressBound(static_cast<uLong>(bodyLength)));
  file.resize(8);
  zs.next_in = movieBytes.data() + 8;
  std::size_t inputLeft = bodyLength;
  constexpr std::size_t kStep = std::size_t{1} << 20;
  int rc = Z_OK;
  while (rc == Z_OK) {
    if (zs.avail_in == 0 && inputLeft > 0) {
      zs.avail_in = static_cast<uInt>(std::min<std::size_t>(inputLeft, std::numeric_limits<uInt>::max()));
      inputLeft -= zs.avail_in;
    }
    // Within the reserved room (which deflate never needs to exceed).
    const std::size_t used = file.size();
    const std::size_t step = std::max<std::size_t>(std::min(kStep, file.capacity() - used), 64);
    file.resize(used + step);
    zs.next_out = file.data() + used;
    zs.avail_out = static_cast<uInt>(step);
    rc = deflate(&zs, inputLeft > 0 ? Z_NO_FLUSH : Z_FINISH);
    file.resize(used + (step - zs.avail_out));
  }
  deflateEnd(&zs);
  if (rc != Z_STREAM_END) return std::nullopt;
  std::copy(movieBytes.begin(), movieBytes.begin() + 8, file.begin());
  file[0] = 'C';
  return file;
}

}  // namespace framestow
