// A zlib stream deflated by libdeflate a piece at a time. libdeflate deflates
// a whole buffer into a whole raw deflate stream, whose last block is marked
// final; a piece that is not the movie's last gets that mark cleared and an
// empty stored block after its last block (what zlib's Z_SYNC_FLUSH writes),
// which leaves the stream on a byte boundary, so that the next piece's stream
// continues it. Each piece starts without the previous piece's window, which
// costs a few hundred bytes a piece.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

struct libdeflate_compressor;

namespace framestow {

class PieceDeflater {
 public:
  explicit PieceDeflater(int level);
  ~PieceDeflater();
  PieceDeflater(const PieceDeflater&) = delete;
  PieceDeflater& operator=(const PieceDeflater&) = delete;

  bool ready() const { return compressor_ != nullptr; }
  // Deflates `piece` into `out` (replacing what it held): raw deflate blocks,
  // the last one final only when `last`. False when it could not be done.
  bool deflate(std::span<const std::uint8_t> piece, bool last, std::vector<std::uint8_t>& out);

 private:
  libdeflate_compressor* compressor_ = nullptr;
};

// The 2-byte zlib header before the deflate data: deflate with a 32 kB
// window, "maximum compression" in its level field.
inline constexpr std::uint8_t kZlibHeader[2] = {0x78, 0xDA};

}  // namespace framestow
