// The busy animation's frame counter. The analysis runs on the window's only
// thread and ticks for every tag and action record it reads, many thousands of
// times a second; the step lets the picture change at most once per 50 ms so
// the animation runs at a steady pace whatever the movie. The analysis may
// tick on a thread of its own while the window paints the frame: the frame
// number is shared, the clock only read by the ticking side.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>

namespace framestow::app {

class BusyAnimation {
 public:
  static constexpr int kBusyFrames = 12;  // frames 0..11 repeat while busy
  static constexpr int kIdleFrame = 12;   // the resting picture
  static constexpr int kFrameCount = 13;
  static constexpr std::uint32_t kStepMilliseconds = 50;

  // Milliseconds from any fixed start; differences are taken modulo 2^32.
  using Clock = std::function<std::uint32_t()>;

  explicit BusyAnimation(Clock clock = {});

  int frame() const { return frame_; }
  // 0 starts the busy cycle; kIdleFrame stops it.
  void setFrame(int frame) { frame_ = frame; }

  // One tick. Returns true when the picture's area must be repainted: the
  // frame advanced, or the animation is idle (the idle picture is redrawn).
  bool step();

  // The frame a paint draws. Anything outside the busy cycle shows (and
  // becomes) the idle picture.
  int frameToPaint();

 private:
  Clock clock_;
  std::uint32_t clockTime_ = 0;
  std::atomic<int> frame_ = kIdleFrame;
};

// Milliseconds of a monotonic clock, for the real window.
std::uint32_t monotonicMilliseconds();

}  // namespace framestow::app
