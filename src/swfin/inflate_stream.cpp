#include "swfin/inflate_stream.hpp"

#include <zlib.h>

#include <algorithm>
#include <limits>

namespace framestow {
namespace {

// Small enough that the reader starts early and never waits long, large
// enough that publishing costs nothing measurable.
constexpr std::size_t kPiece = std::size_t{256} << 10;

}  // namespace

bool inflateStreaming(std::span<const std::uint8_t> body, std::span<std::uint8_t> movieBody, std::uint64_t headerSize,
                      InflateProgress& progress) {
  const std::size_t wanted = movieBody.size();
  std::size_t produced = 0;
  z_stream zs{};
  if (inflateInit(&zs) != Z_OK) {
    progress.finish(headerSize);
    return false;
  }
  zs.next_in = const_cast<Bytef*>(body.data());
  zs.avail_in = static_cast<uInt>(std::min<std::size_t>(body.size(), std::numeric_limits<uInt>::max()));
  while (produced < wanted) {
    const std::size_t room = std::min(wanted - produced, kPiece);
    zs.next_out = movieBody.data() + produced;
    zs.avail_out = static_cast<uInt>(room);
    const int rc = inflate(&zs, Z_NO_FLUSH);
    produced += room - zs.avail_out;
    if (produced < wanted) progress.publish(headerSize + produced);
    if (rc != Z_OK) break;  // the end of the stream, a damaged stream, or no more input
  }
  inflateEnd(&zs);
  progress.finish(headerSize + produced);
  return produced == wanted;
}

}  // namespace framestow
