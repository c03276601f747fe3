#include "app/busy_animation.hpp"

#include <chrono>
#include <utility>

namespace framestow::app {

BusyAnimation::BusyAnimation(Clock clock) : clock_(clock ? std::move(clock) : Clock(monotonicMilliseconds)) {}

bool BusyAnimation::step() {
  const std::uint32_t now = clock_();
  if (now - clockTime_ <= kStepMilliseconds && frame_ != kIdleFrame) {
    return false;
  }
  clockTime_ = now;
  const int next = frame_ + 1;
  frame_ = next == kBusyFrames ? 0 : next == kFrameCount ? kIdleFrame : next;
  return true;
}

int BusyAnimation::frameToPaint() {
  const int frame = frame_;
  if (frame < 0 || frame >= kBusyFrames) {
    frame_ = kIdleFrame;
    return kIdleFrame;
  }
  return frame;
}

std::uint32_t monotonicMilliseconds() {
  // A wall clock, not process CPU time: the pace must not depend on how busy
  // the processor is.
  using namespace std::chrono;
  return static_cast<std::uint32_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

}  // namespace framestow::app
