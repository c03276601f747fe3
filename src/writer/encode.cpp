#include <zlib.h>

#include <limits>

#include "writer/writer.hpp"

namespace framestow {

std::optional<std::vector<std::uint8_t>> encodeMovie(const LoadedMovie& movie, std::vector<std::uint8_t> movieBytes) {
  if (!movie.swfCompressed) return movieBytes;
  if (movieBytes.size() < 8) return std::nullopt;
  const std::size_t bodyLength = movieBytes.size() - 8;
  if (bodyLength > std::numeric_limits<uLong>::max()) return std::nullopt;
  // Room for the worst case, so that deflate always completes.
  uLongf destLen = compressBound(static_cast<uLong>(bodyLength));
  std::vector<std::uint8_t> file(8 + destLen);
  if (compress2(file.data() + 8, &destLen, movieBytes.data() + 8, static_cast<uLong>(bodyLength), 9) != Z_OK) {
    return std::nullopt;
  }
  file.resize(8 + destLen);
  std::copy(movieBytes.begin(), movieBytes.begin() + 8, file.begin());
  file[0] = 'C';
  return file;
}

}  // namespace framestow
