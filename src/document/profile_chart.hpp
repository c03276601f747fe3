// What the profile chart shows, for any front end to draw (the command
// line's SVG, the dialog's window): one panel of bars per stream (before the
// move, and after it), the bytes a frame may take at the chosen connection
// without the next one waiting, the frames that wait, and the headline.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "document/player_model.hpp"

namespace framestow {

struct ChartPanel {
  std::string title;  // "Before", "After the move to frame 2"
  std::vector<std::uint64_t> frameBytes;
  std::vector<bool> waits;  // a frame after the first that shows later than its turn
  std::string summary;      // "First frame after 1.70 s; whole file after 1.71 s; 1 frame waits."
};

struct ProfileChart {
  std::string headline;  // "At 56k: first frame after 0.52 s instead of 1.70 s."
  std::vector<ChartPanel> panels;
  std::size_t frameCount = 0;    // the longest panel's frames
  std::uint64_t budgetBytes = 0;  // bytes per frame interval at the connection (0: no frame rate)
  std::uint64_t scaleBytes = 1;   // the top of the bytes axis, a round number
  std::vector<std::uint64_t> ticks;  // values marked on the bytes axis, from 0
};

// "1.70 s"
std::string formatSeconds(double seconds);
// "At 56k: first frame after 0.52 s instead of 1.70 s." (with `after`), or
// "At 56k: first frame after 1.70 s."
std::string profileHeadline(const Playback& before, const Playback* after);
// A panel's line: first frame, whole file, waiting frames.
std::string playbackSummary(const Playback& playback);

ProfileChart makeProfileChart(const Playback& before, const Playback* after, std::int32_t targetFrame);

// "12.3 kB" style axis label of a byte count (1 kB = 1024 bytes, as the file sizes shown elsewhere).
std::string axisBytes(std::uint64_t bytes);

}  // namespace framestow
