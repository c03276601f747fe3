#include <zlib.h>

#include <algorithm>
#include <limits>

#include "writer/writer.hpp"

namespace framestow {

namespace {

constexpr std::size_t kStep = std::size_t{1} << 20;

// Deflates the body (everything after the first 8 bytes) of a movie of
// `size` bytes at level 9, the stream compress2 writes, reading it through
// `chunkAt(offset, count)` at most a megabyte at a time, into a buffer that
// grows as output arrives: room for the worst case is reserved, yet only what
// deflate writes is ever touched. The header is the movie's, signed "CWS".
template <typename ChunkAt>
std::optional<std::vector<std::uint8_t>> deflateMovie(std::size_t size, ChunkAt chunkAt) {
  if (size < 8) return std::nullopt;
  const std::size_t bodyLength = size - 8;
  if (bodyLength > std::numeric_limits<uLong>::max()) return std::nullopt;
  z_stream zs{};
  if (deflateInit(&zs, 9) != Z_OK) return std::nullopt;
  std::vector<std::uint8_t> file;
  file.reserve(8 + compressBound(static_cast<uLong>(bodyLength)));
  const std::uint8_t* header = chunkAt(0, 8);
  file.assign(header, header + 8);
  file[0] = 'C';
  std::size_t read = 8;
  int rc = Z_OK;
  while (rc == Z_OK) {
    if (zs.avail_in == 0 && read < size) {
      const std::size_t count = std::min(kStep, size - read);
      zs.next_in = const_cast<Bytef*>(chunkAt(read, count));
      zs.avail_in = static_cast<uInt>(count);
      read += count;
    }
    // Within the reserved room (which deflate never needs to exceed).
    const std::size_t used = file.size();
    const std::size_t step = std::max<std::size_t>(std::min(kStep, file.capacity() - used), 64);
    file.resize(used + step);
    zs.next_out = file.data() + used;
    zs.avail_out = static_cast<uInt>(step);
    rc = deflate(&zs, read < size ? Z_NO_FLUSH : Z_FINISH);
    file.resize(used + (step - zs.avail_out));
  }
  deflateEnd(&zs);
  if (rc != Z_STREAM_END) return std::nullopt;
  return file;
}

}  // namespace

std::optional<std::vector<std::uint8_t>> encodeMovie(const LoadedMovie& movie, std::vector<std::uint8_t> movieBytes) {
  if (!movie.header.compressed) return movieBytes;
  return deflateMovie(movieBytes.size(),
                      [&](std::size_t offset, std::size_t) { return movieBytes.data() + offset; });
}

std::optional<std::vector<std::uint8_t>> encodeMovie(const LoadedMovie& movie, const AssembledMovie& uncompressed) {
  if (!movie.header.compressed) return std::nullopt;
  std::vector<std::uint8_t> chunk(std::min(kStep, uncompressed.size()));
  return deflateMovie(uncompressed.size(), [&](std::size_t offset, std::size_t count) {
    uncompressed.copy(offset, chunk.data(), count);
    return static_cast<const std::uint8_t*>(chunk.data());
  });
}

}  // namespace framestow
