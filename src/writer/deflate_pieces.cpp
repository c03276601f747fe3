#include "writer/deflate_pieces.hpp"

#include <libdeflate.h>
#include <zlib.h>

#include <optional>

namespace framestow {
namespace {

// Where the stream's final block starts and where it ends, in bits from the
// stream's start (deflate packs bits from each byte's least significant bit).
// zlib's inflate stops at every block boundary when asked (Z_BLOCK), and says
// then how many bits of the last byte it took are still unused.
struct FinalBlock {
  std::uint64_t start = 0;
  std::uint64_t end = 0;
};

std::optional<FinalBlock> findFinalBlock(std::span<const std::uint8_t> stream) {
  z_stream zs{};
  if (inflateInit2(&zs, -15) != Z_OK) return std::nullopt;
  zs.next_in = const_cast<Bytef*>(stream.data());
  zs.avail_in = static_cast<uInt>(stream.size());
  std::uint8_t scratch[1 << 16];
  std::optional<FinalBlock> found;
  std::uint64_t boundary = 0;
  for (;;) {
    zs.next_out = scratch;
    zs.avail_out = sizeof scratch;
    const int rc = inflate(&zs, Z_BLOCK);
    if (rc != Z_OK && rc != Z_BUF_ERROR) break;
    const std::uint64_t bit = static_cast<std::uint64_t>(zs.total_in) * 8 - (zs.data_type & 7);
    const bool atBoundary = (zs.data_type & 128) != 0;
    const bool inFinal = (zs.data_type & 64) != 0;
    if (atBoundary && !inFinal) boundary = bit;
    if (atBoundary && inFinal) {
      found = FinalBlock{boundary, bit};
      break;
    }
    if (rc == Z_BUF_ERROR && zs.avail_in == 0) break;
  }
  inflateEnd(&zs);
  return found;
}

}  // namespace

PieceDeflater::PieceDeflater(int level) : compressor_(libdeflate_alloc_compressor(level)) {}

PieceDeflater::~PieceDeflater() {
  if (compressor_) libdeflate_free_compressor(compressor_);
}

bool PieceDeflater::deflate(std::span<const std::uint8_t> piece, bool last, std::vector<std::uint8_t>& out) {
  if (!compressor_) return false;
  // Room for the worst case, and for the empty stored block; pages that are
  // never written cost no memory.
  out.resize(libdeflate_deflate_compress_bound(compressor_, piece.size()) + 5);
  const std::size_t size = libdeflate_deflate_compress(compressor_, piece.data(), piece.size(), out.data(), out.size());
  if (size == 0) return false;
  out.resize(size);
  if (last) return true;
  const std::optional<FinalBlock> final = findFinalBlock(out);
  if (!final) return false;
  out[final->start / 8] &= static_cast<std::uint8_t>(~(1u << (final->start % 8)));
  // An empty stored block: a 0 bit (not final) and 00 (stored) after the
  // last block, zero bits to the byte boundary, then its length 0 and the
  // length's complement.
  const std::uint64_t headerEnd = final->end + 3;
  const std::size_t keepBits = final->end % 8;
  out.resize(static_cast<std::size_t>((headerEnd + 7) / 8), 0);
  if (keepBits != 0) out[final->end / 8] &= static_cast<std::uint8_t>((1u << keepBits) - 1);
  for (std::size_t at = final->end / 8 + 1; at < out.size(); ++at) out[at] = 0;
  out.insert(out.end(), {0x00, 0x00, 0xFF, 0xFF});
  return true;
}

}  // namespace framestow
