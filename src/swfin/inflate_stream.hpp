// A "CWS" body inflated while its reader reads it: the reader asks for the
// bytes it needs next, and they are there once some inflater has put them
// in place.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <span>
#include <thread>

#include <zlib.h>

namespace framestow {

// How far the inflate of a movie has come, in bytes of the movie (file header
// included), as its reader sees it.
class InflateProgress {
 public:
  virtual ~InflateProgress() = default;
  // True once the first `end` bytes of the movie are in place, inflating
  // them first if need be; false when the stream stops short of them (the
  // movie will not load).
  bool waitFor(std::uint64_t end) const { return end <= ready_ || reach(end); }

 protected:
  virtual bool reach(std::uint64_t end) const = 0;
  mutable std::uint64_t ready_ = 0;
};

// Two inflaters race over one body. libdeflate inflates it whole on a second
// thread into a buffer of its own (about twice as fast as zlib, but nothing
// is in place until it is done); meanwhile zlib inflates it on the reader's
// thread, a quarter megabyte at a time, as the reader asks for bytes. Once
// libdeflate is done, what zlib has not reached yet is copied from its
// buffer. So the reader starts at once, and the inflate takes about the time
// of libdeflate's. A stream libdeflate does not take whole is left to zlib,
// whose verdict (finish()) is the plain load's on every stream.
// The reader's side is single-threaded: one reader, on the thread that made it.
class RacingInflate final : public InflateProgress {
 public:
  // `movie` has room for the declared movie; its first `headerSize` bytes are in place.
  RacingInflate(std::span<const std::uint8_t> body, std::span<std::uint8_t> movie, std::size_t headerSize);
  ~RacingInflate() override;
  RacingInflate(const RacingInflate&) = delete;
  RacingInflate& operator=(const RacingInflate&) = delete;

  // Starts libdeflate's thread; false when there is no thread (or memory) to be had.
  bool start();
  // Puts the rest of the movie in place; true when the stream filled it.
  bool finish();

 protected:
  bool reach(std::uint64_t end) const override;

 private:
  enum Fast : int { kRunning, kWhole, kNotWhole };
  bool takeFromFast() const;

  std::span<const std::uint8_t> body_;
  std::span<std::uint8_t> movie_;
  std::size_t headerSize_;
  std::unique_ptr<std::uint8_t[]> fastBuffer_;
  std::atomic<int> fast_{kRunning};
  std::jthread fastThread_;
  mutable z_stream zlib_{};
  mutable bool zlibReady_ = false;
  mutable bool stopped_ = false;  // no more bytes will come: the movie is whole, or the stream ended short
};

}  // namespace framestow
