#include "swfin/deflate_body.hpp"

#include <libdeflate.h>

#include <memory>

namespace framestow {
namespace {

constexpr std::uint64_t kMaxInflateRatio = 1032;
// Room for the zlib header, a stored block's overhead and the checksum.
constexpr std::uint64_t kPlausibleSlack = 1024;

struct DecompressorDeleter {
  void operator()(libdeflate_decompressor* d) const { libdeflate_free_decompressor(d); }
};

}  // namespace

std::uint64_t plausibleInflatedLength(std::uint64_t compressedLength) {
  return compressedLength * kMaxInflateRatio + kPlausibleSlack;
}

bool inflateWholeBody(std::span<const std::uint8_t> body, std::span<std::uint8_t> movieBody) {
  const std::unique_ptr<libdeflate_decompressor, DecompressorDeleter> decompressor(libdeflate_alloc_decompressor());
  if (!decompressor) return false;
  std::size_t produced = 0;
  const libdeflate_result rc = libdeflate_zlib_decompress(decompressor.get(), body.data(), body.size(),
                                                          movieBody.data(), movieBody.size(), &produced);
  return rc == LIBDEFLATE_SUCCESS && produced == movieBody.size();
}

}  // namespace framestow
