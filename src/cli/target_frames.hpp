// Which target frames a report lists, and the check of a frame the user names.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace framestow::cli {

// Rows listed when neither a frame nor every frame is asked for: enough to see
// where the count stops growing on an ordinary movie, without printing
// thousands of rows for a long one.
inline constexpr std::int32_t kDefaultFrameRows = 20;

// The frames to plan, ascending: 1..min(frames, 20), the frame of the first
// attach code and the one after it (where the warning starts), and the last frame.
std::vector<std::int32_t> defaultTargetFrames(std::int32_t frameCount, std::int32_t attachFrame);
std::vector<std::int32_t> allTargetFrames(std::int32_t frameCount);

// Empty when `frame` lies in 1..frameCount, else the error naming the valid range.
std::optional<std::string> frameRangeError(std::int64_t frame, std::int32_t frameCount);

}  // namespace framestow::cli
