// A "CWS" body inflated on its own thread while another reads what is
// already there: the inflater publishes how many bytes of the movie are in
// place, and the reader waits for the bytes it needs next.
#pragma once

#include <atomic>
#include <cstdint>
#include <span>

namespace framestow {

// How far the inflate has come, in bytes of the movie (file header included).
// One writer (the inflating thread), any number of readers.
class InflateProgress {
 public:
  // Blocks until the first `end` bytes of the movie are in place. False when
  // the inflate stopped short of them (the movie will not load).
  bool waitFor(std::uint64_t end) const {
    std::uint64_t state = state_.load(std::memory_order_acquire);
    while ((state & ~kFinished) < end) {
      if (state & kFinished) return false;
      state_.wait(state, std::memory_order_acquire);
      state = state_.load(std::memory_order_acquire);
    }
    return true;
  }
  // The inflating thread: the first `ready` bytes are in place.
  void publish(std::uint64_t ready) {
    state_.store(ready, std::memory_order_release);
    state_.notify_all();
  }
  // The inflating thread: no more bytes will come.
  void finish(std::uint64_t ready) {
    state_.store(ready | kFinished, std::memory_order_release);
    state_.notify_all();
  }

 private:
  static constexpr std::uint64_t kFinished = std::uint64_t{1} << 63;
  std::atomic<std::uint64_t> state_{0};
};

// Inflates the zlib stream `body` into `movieBody` with zlib, a quarter of a
// megabyte at a time, publishing after each piece (`headerSize` bytes of the
// movie come before `movieBody`). True when it fills `movieBody`: exactly the
// test a whole load applies, so both agree on every stream.
bool inflateStreaming(std::span<const std::uint8_t> body, std::span<std::uint8_t> movieBody, std::uint64_t headerSize,
                      InflateProgress& progress);

}  // namespace framestow
