#include "swfin/arrival_positions.hpp"

#include <lzma.h>
#include <zlib.h>

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <optional>

namespace framestow {
namespace {

// Compressed bytes decoded between two copies of the zlib state: a copy
// (its 32 kB window) costs a few per cent of inflating this much.
constexpr std::size_t kPiece = 16 * 1024;
// Output is decoded into this and dropped.
constexpr std::size_t kScratch = 64 * 1024;
constexpr std::uint64_t kUnlimited = std::numeric_limits<std::uint64_t>::max();
// When inflate stops because its output is full, it may already have taken
// the bytes of the next code (a length, a distance and their extra bits: at
// most 48 bits); the first byte that completes the output lies within this
// many bytes before where it stopped.
constexpr std::size_t kLookahead = 8;

// One inflate stream that drops its output and counts it.
class Inflater {
 public:
  Inflater() { ok_ = inflateInit(&zs_) == Z_OK; }
  Inflater(const Inflater& other) : produced_(other.produced_), taken_(other.taken_), ended_(other.ended_) {
    ok_ = other.ok_ && inflateCopy(&zs_, const_cast<z_stream*>(&other.zs_)) == Z_OK;
  }
  Inflater& operator=(const Inflater&) = delete;
  ~Inflater() {
    if (ok_) inflateEnd(&zs_);
  }

  // Decodes from `size` bytes at `data` until the output grows by `limit`
  // bytes or the input is used up. The bytes taken; `damaged()` after an
  // error. With Z_BLOCK inflate also pauses between deflate blocks, so that
  // output that ends a block leaves it there rather than in the next one.
  std::size_t run(const std::uint8_t* data, std::size_t size, std::uint64_t limit, std::uint8_t* scratch,
                  int flush = Z_NO_FLUSH) {
    if (!ok_ || ended_) return 0;
    zs_.next_in = const_cast<std::uint8_t*>(data);
    zs_.avail_in = static_cast<uInt>(size);
    for (std::uint64_t got = 0; got < limit;) {
      const auto room = static_cast<uInt>(std::min<std::uint64_t>(kScratch, limit - got));
      zs_.next_out = scratch;
      zs_.avail_out = room;
      const uInt before = zs_.avail_in;
      const int rc = inflate(&zs_, flush);
      const uInt out = room - zs_.avail_out;
      got += out;
      produced_ += out;
      taken_ += before - zs_.avail_in;
      if (rc == Z_STREAM_END) {
        ended_ = true;
        break;
      }
      if (rc != Z_OK && rc != Z_BUF_ERROR) {
        ok_ = false;
        inflateEnd(&zs_);
        break;
      }
      // It wants more input (or, with Z_BLOCK, paused between blocks).
      if (zs_.avail_out > 0 && (zs_.avail_in == 0 || (out == 0 && before == zs_.avail_in))) break;
    }
    return size - zs_.avail_in;
  }

  // Stopped with its output limited: how many bytes of the stream a decoder
  // needs for the last byte put out, read off the code in hand
  // (inflateMark) and the bits taken but unused; nothing when that code is
  // unknown (between blocks). A code whose bytes are partly out holds that
  // byte and ends where inflate stands; a code not yet out is the one after
  // it, which started where the one holding the byte ended. In a stored
  // block a byte out is a byte in.
  std::optional<std::uint64_t> bytesForLastOutput() {
    const long mark = inflateMark(&zs_);
    const long back = mark >> 16;
    const long out = mark & 0xFFFF;
    const std::uint64_t bit = taken_ * 8 - static_cast<std::uint64_t>(zs_.data_type & 63);
    if (back >= 0) {
      const std::uint64_t end = out > 0 ? bit : bit - static_cast<std::uint64_t>(back);
      return (end + 7) / 8;
    }
    if (out > 0) return taken_;
    return std::nullopt;
  }

  std::uint64_t produced() const { return produced_; }
  std::uint64_t taken() const { return taken_; }
  bool damaged() const { return !ok_; }
  bool ended() const { return ended_; }

 private:
  z_stream zs_{};
  bool ok_ = false;
  std::uint64_t produced_ = 0;
  std::uint64_t taken_ = 0;  // stream bytes taken in all
  bool ended_ = false;
};

// zlib: inflate runs piece by piece with its output limited to the next
// length, and where it stops says which byte completed it. Where it cannot
// say (a length that ends a deflate block), a copy of the state taken
// before the piece is stepped a byte at a time over the last few of the
// bytes inflate took.
class ZlibTracker final : public ArrivalTracker {
 public:
  explicit ZlibTracker(std::vector<std::uint64_t> lengths)
      : ArrivalTracker(std::move(lengths)), main_(std::make_unique<Inflater>()), scratch_(new std::uint8_t[kScratch]) {}

 protected:
  bool feedPiece(const std::uint8_t* data, std::size_t size) override {
    std::size_t at = 0;
    reached(main_->produced(), consumed_);
    while (at < size && !allReached()) {
      if (main_->damaged() || main_->ended()) return !main_->damaged();
      const Inflater before(*main_);
      if (before.damaged()) return false;
      const std::uint64_t wanted = nextLength();
      const std::size_t used = main_->run(data + at, size - at, wanted - main_->produced(), scratch_.get(), Z_BLOCK);
      if (main_->produced() < wanted) {
        at += used;
        if (main_->damaged()) return false;
        continue;
      }
      // Reached within the bytes taken so far.
      const std::uint64_t earliest = positionCount() > 0 ? positions().back() : 0;
      if (const auto needed = main_->bytesForLastOutput(); needed && *needed >= earliest && *needed <= main_->taken()) {
        reached(main_->produced(), *needed);
        at += used;
        continue;
      }
      std::size_t step = used > kLookahead ? used - kLookahead : 0;
      auto exact = std::make_unique<Inflater>(before);
      exact->run(data + at, step, kUnlimited, scratch_.get());
      if (exact->produced() >= wanted && step > 0) {  // never expected: step from the piece's start
        exact = std::make_unique<Inflater>(before);
        step = 0;
        exact->run(data + at, 0, kUnlimited, scratch_.get());  // what it can give without a byte more
      }
      while (exact->produced() < wanted && step < used && !exact->damaged()) {
        exact->run(data + at + step, 1, kUnlimited, scratch_.get());
        ++step;
      }
      if (exact->damaged() || exact->produced() < wanted) return false;
      reached(exact->produced(), consumed_ + at + step);
      main_ = std::move(exact);
      at += step;
    }
    return true;
  }

 private:
  std::unique_ptr<Inflater> main_;
  std::unique_ptr<std::uint8_t[]> scratch_;
};

// One raw LZMA decoder that drops its output and counts it.
class LzmaDecoder {
 public:
  LzmaDecoder() = default;
  LzmaDecoder(const LzmaDecoder&) = delete;
  LzmaDecoder& operator=(const LzmaDecoder&) = delete;
  ~LzmaDecoder() { lzma_end(&stream_); }

  bool start(std::span<const std::uint8_t> properties, std::uint64_t decodedSize) {
    if (properties.size() < 5) return false;
    lzma_filter filters[2] = {{LZMA_FILTER_LZMA1EXT, nullptr}, {LZMA_VLI_UNKNOWN, nullptr}};
    if (lzma_properties_decode(&filters[0], nullptr, properties.data(), 5) != LZMA_OK) return false;
    auto* options = static_cast<lzma_options_lzma*>(filters[0].options);
    // No dictionary beyond the body: nothing can refer further back.
    options->dict_size = static_cast<std::uint32_t>(
        std::clamp<std::uint64_t>(decodedSize, LZMA_DICT_SIZE_MIN, options->dict_size));
    options->ext_flags = LZMA_LZMA1EXT_ALLOW_EOPM;
    lzma_set_ext_size(*options, decodedSize);
    ok_ = lzma_raw_decoder(&stream_, filters) == LZMA_OK;
    std::free(options);
    return ok_;
  }

  // As Inflater::run.
  std::size_t run(const std::uint8_t* data, std::size_t size, std::uint64_t limit, std::uint8_t* scratch) {
    if (!ok_ || ended_) return 0;
    stream_.next_in = data;
    stream_.avail_in = size;
    for (std::uint64_t got = 0; got < limit;) {
      const auto room = static_cast<std::size_t>(std::min<std::uint64_t>(kScratch, limit - got));
      stream_.next_out = scratch;
      stream_.avail_out = room;
      const lzma_ret rc = lzma_code(&stream_, LZMA_RUN);
      const std::size_t out = room - stream_.avail_out;
      got += out;
      produced_ += out;
      if (rc == LZMA_STREAM_END) {
        ended_ = true;
        break;
      }
      if (rc != LZMA_OK && rc != LZMA_BUF_ERROR) {
        ok_ = false;
        break;
      }
      if (stream_.avail_out > 0) break;  // it wants more input
    }
    return size - stream_.avail_in;
  }
  std::uint64_t produced() const { return produced_; }
  bool damaged() const { return !ok_; }

 private:
  lzma_stream stream_ = LZMA_STREAM_INIT;
  bool ok_ = false;
  bool ended_ = false;
  std::uint64_t produced_ = 0;
};

// Compressed bytes an LZMA decoder takes between checks: its state cannot be
// copied, so a length reached within these bytes is found by stepping a
// second decoder over them a byte at a time.
constexpr std::size_t kLzmaPiece = 1024;

// LZMA: a leading decoder, its output limited to each length in turn, tells
// in which piece each length is reached (even a decoder limited so may take
// a few bytes more than the length needs, so it cannot say at which byte); a
// following decoder steps through such a piece a byte at a time to the first
// byte that reaches each, and takes the other pieces whole.
class LzmaTracker final : public ArrivalTracker {
 public:
  explicit LzmaTracker(std::vector<std::uint64_t> lengths)
      : ArrivalTracker(std::move(lengths)), scratch_(new std::uint8_t[kScratch]) {}

  bool start(std::span<const std::uint8_t> properties, std::uint64_t decodedSize) {
    return lead_.start(properties, decodedSize) && follow_.start(properties, decodedSize);
  }

 protected:
  bool feedPiece(const std::uint8_t* data, std::size_t size) override {
    for (std::size_t at = 0; at < size && !allReached();) {
      const std::size_t piece = std::min(kLzmaPiece, size - at);
      // The lengths the whole piece reaches: those the leader reaches in it.
      std::size_t leadTaken = 0;
      while (leadNext_ < lengthCount()) {
        const std::uint64_t wanted = length(leadNext_);
        if (lead_.produced() < wanted) {
          leadTaken += lead_.run(data + at + leadTaken, piece - leadTaken, wanted - lead_.produced(), scratch_.get());
          if (lead_.damaged()) return false;
        }
        if (lead_.produced() < wanted) break;
        ++leadNext_;
      }
      std::size_t done = 0;
      while (positionCount() < leadNext_) {
        const std::uint64_t wanted = nextLength();
        while (follow_.produced() < wanted && done < piece && !follow_.damaged()) {
          follow_.run(data + at + done, 1, kUnlimited, scratch_.get());
          ++done;
        }
        if (follow_.damaged() || follow_.produced() < wanted) return false;
        reached(follow_.produced(), consumed_ + at + done);
      }
      // Whatever follows the last length is not looked at.
      if (allReached()) return true;
      follow_.run(data + at + done, piece - done, kUnlimited, scratch_.get());
      if (follow_.damaged()) return false;
      at += piece;
    }
    return true;
  }

 private:
  LzmaDecoder lead_;
  LzmaDecoder follow_;
  std::unique_ptr<std::uint8_t[]> scratch_;
  std::size_t leadNext_ = 0;  // the first length the leader has not reached
};

}  // namespace

bool ArrivalTracker::feed(const std::uint8_t* data, std::size_t size) {
  for (std::size_t at = 0; at < size && !allReached();) {
    const std::size_t piece = std::min(kPiece, size - at);
    if (!feedPiece(data + at, piece)) return false;
    consumed_ += piece;
    at += piece;
  }
  return true;
}

std::unique_ptr<ArrivalTracker> ArrivalTracker::forZlib(std::vector<std::uint64_t> decodedLengths) {
  return std::make_unique<ZlibTracker>(std::move(decodedLengths));
}

std::unique_ptr<ArrivalTracker> ArrivalTracker::forLzma(std::span<const std::uint8_t> properties,
                                                        std::uint64_t decodedSize,
                                                        std::vector<std::uint64_t> decodedLengths) {
  auto tracker = std::make_unique<LzmaTracker>(std::move(decodedLengths));
  if (!tracker->start(properties, decodedSize)) return nullptr;
  return tracker;
}

}  // namespace framestow
