#include "swfin/inflate_stream.hpp"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>
#include <system_error>

#include "swfin/deflate_body.hpp"

namespace framestow {
namespace {

// Small enough that the reader starts early, large enough that each step's
// overhead costs nothing measurable.
constexpr std::size_t kPiece = std::size_t{256} << 10;

}  // namespace

RacingInflate::RacingInflate(std::span<const std::uint8_t> body, std::span<std::uint8_t> movie, std::size_t headerSize)
    : body_(body), movie_(movie), headerSize_(headerSize) {
  ready_ = headerSize;
  if (inflateInit(&zlib_) == Z_OK) {
    zlibReady_ = true;
    zlib_.next_in = const_cast<Bytef*>(body_.data());
    zlib_.avail_in = static_cast<uInt>(std::min<std::size_t>(body_.size(), std::numeric_limits<uInt>::max()));
  } else {
    stopped_ = true;
  }
}

RacingInflate::~RacingInflate() {
  if (fastThread_.joinable()) fastThread_.join();
  if (zlibReady_) inflateEnd(&zlib_);
}

bool RacingInflate::start() {
  const std::size_t wanted = movie_.size() - headerSize_;
  fastBuffer_.reset(new (std::nothrow) std::uint8_t[std::max<std::size_t>(wanted, 1)]);
  if (!fastBuffer_) return false;
  try {
    fastThread_ = std::jthread([this, wanted] {
      const bool whole = inflateWholeBody(body_, std::span(fastBuffer_.get(), wanted));
      fast_.store(whole ? kWhole : kNotWhole, std::memory_order_release);
    });
  } catch (const std::system_error&) {
    fastBuffer_.reset();
    return false;
  }
  return true;
}

// Once libdeflate has the movie whole, the bytes zlib has not reached come
// from its buffer (the same bytes: both inflate the same valid stream).
bool RacingInflate::takeFromFast() const {
  if (fast_.load(std::memory_order_acquire) != kWhole) return false;
  const auto done = static_cast<std::size_t>(ready_);
  std::memcpy(movie_.data() + done, fastBuffer_.get() + (done - headerSize_), movie_.size() - done);
  ready_ = movie_.size();
  stopped_ = true;
  return true;
}

bool RacingInflate::reach(std::uint64_t end) const {
  while (ready_ < end && !stopped_) {
    if (takeFromFast()) break;
    const std::size_t room = std::min<std::size_t>(movie_.size() - static_cast<std::size_t>(ready_), kPiece);
    zlib_.next_out = movie_.data() + ready_;
    zlib_.avail_out = static_cast<uInt>(room);
    const int rc = inflate(&zlib_, Z_NO_FLUSH);
    ready_ += room - zlib_.avail_out;
    // The end of the stream, a damaged stream, or no more input: nothing more comes.
    if (rc != Z_OK || ready_ == movie_.size()) stopped_ = true;
  }
  return end <= ready_;
}

bool RacingInflate::finish() {
  if (!stopped_ && fastThread_.joinable()) {
    // The reader is done: libdeflate, if it takes the stream, finishes sooner than zlib would.
    fastThread_.join();
    takeFromFast();
  }
  reach(movie_.size());
  return ready_ == movie_.size();
}

}  // namespace framestow
