#include <zlib.h>

#include <algorithm>
#include <limits>
#include <memory>

#include "writer/writer.hpp"

namespace framestow {

namespace {

constexpr std::size_t kStep = std::size_t{1} << 20;
constexpr std::size_t kOutputStep = std::size_t{256} << 10;

}  // namespace

std::error_code deflateMovie(const AssembledMovie& movie, const ByteSink& put, bool& deflateFailed) {
  // The body (everything after the first 8 bytes) deflated at level 9, the
  // stream compress2 writes, read a megabyte at a time and handed on as it
  // comes out: neither the movie nor the compressed file is ever whole in
  // memory. The header is the movie's, signed "CWS".
  deflateFailed = false;
  const std::size_t size = movie.size();
  if (size < 8 || size - 8 > std::numeric_limits<uLong>::max()) {
    deflateFailed = true;
    return {};
  }
  z_stream zs{};
  if (deflateInit(&zs, 9) != Z_OK) {
    deflateFailed = true;
    return {};
  }
  const std::unique_ptr<std::uint8_t[]> in(new std::uint8_t[std::min(kStep, size)]);
  const std::unique_ptr<std::uint8_t[]> out(new std::uint8_t[kOutputStep]);
  std::uint8_t header[8];
  movie.copy(0, header, 8);
  header[0] = 'C';
  std::error_code error = put(header, 8);
  std::size_t read = 8;
  int rc = Z_OK;
  while (!error && rc == Z_OK) {
    if (zs.avail_in == 0 && read < size) {
      const std::size_t count = std::min(kStep, size - read);
      movie.copy(read, in.get(), count);
      zs.next_in = in.get();
      zs.avail_in = static_cast<uInt>(count);
      read += count;
    }
    zs.next_out = out.get();
    zs.avail_out = static_cast<uInt>(kOutputStep);
    rc = deflate(&zs, read < size ? Z_NO_FLUSH : Z_FINISH);
    const std::size_t produced = kOutputStep - zs.avail_out;
    if (produced > 0) error = put(out.get(), produced);
  }
  deflateEnd(&zs);
  if (!error && rc != Z_STREAM_END) deflateFailed = true;
  return error;
}

}  // namespace framestow
