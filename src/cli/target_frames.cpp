#include "cli/target_frames.hpp"

#include <algorithm>

#include "common/byte_text.hpp"

namespace framestow::cli {

std::vector<std::int32_t> defaultTargetFrames(std::int32_t frameCount, std::int32_t attachFrame) {
  std::vector<std::int32_t> frames;
  for (std::int32_t n = 1; n <= std::min(frameCount, kDefaultFrameRows); ++n) frames.push_back(n);
  for (const std::int32_t extra : {attachFrame, attachFrame + 1, frameCount}) {
    if (extra >= 1 && extra <= frameCount) frames.push_back(extra);
  }
  std::sort(frames.begin(), frames.end());
  frames.erase(std::unique(frames.begin(), frames.end()), frames.end());
  return frames;
}

std::vector<std::int32_t> allTargetFrames(std::int32_t frameCount) {
  std::vector<std::int32_t> frames;
  frames.reserve(static_cast<std::size_t>(std::max(frameCount, 0)));
  for (std::int32_t n = 1; n <= frameCount; ++n) frames.push_back(n);
  return frames;
}

std::optional<std::string> frameRangeError(std::int64_t frame, std::int32_t frameCount) {
  if (frameCount < 1) {
    return formatText("Target frame %lld cannot be used: the movie's header declares no frames.",
                      static_cast<long long>(frame));
  }
  if (frame < 1 || frame > frameCount) {
    return formatText("Target frame %lld is outside the movie's frames: choose 1 to %d.",
                      static_cast<long long>(frame), frameCount);
  }
  return std::nullopt;
}

}  // namespace framestow::cli
