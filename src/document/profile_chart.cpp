#include "document/profile_chart.hpp"

#include <algorithm>
#include <cstdio>

namespace framestow {
namespace {

std::string format(const char* pattern, double value) {
  char text[64];
  std::snprintf(text, sizeof text, pattern, value);
  return text;
}

// The smallest of 1, 2, 5 x 10^k bytes at or above `value`.
std::uint64_t roundUp(std::uint64_t value) {
  std::uint64_t step = 1;
  while (true) {
    for (std::uint64_t m : {1, 2, 5}) {
      if (step * m >= value) return step * m;
    }
    step *= 10;
  }
}

ChartPanel panelOf(const Playback& playback, std::string title) {
  ChartPanel panel;
  panel.title = std::move(title);
  for (const FrameTiming& t : playback.frames) {
    panel.frameBytes.push_back(t.bytes);
    // Frame 1 always waits for its bytes: the headline gives how long.
    panel.waits.push_back(t.frame > 1 && t.waitsSeconds > 0);
  }
  panel.summary = playbackSummary(playback);
  return panel;
}

}  // namespace

std::string formatSeconds(double seconds) { return format("%.2f s", seconds); }

std::string profileHeadline(const Playback& before, const Playback* after) {
  std::string line = "At " + bandwidthName(before.bytesPerSecond) + ": ";
  if (after) {
    return line + "first frame after " + formatSeconds(after->firstFrameSeconds) + " instead of " +
           formatSeconds(before.firstFrameSeconds) + ".";
  }
  return line + "first frame after " + formatSeconds(before.firstFrameSeconds) + ".";
}

std::string playbackSummary(const Playback& playback) {
  const std::int32_t waiting = playback.waitingFrames();
  std::string line = "First frame after " + formatSeconds(playback.firstFrameSeconds) + "; whole file after " +
                     formatSeconds(playback.completeSeconds) + "; ";
  if (waiting == 0) return line + "no frame waits.";
  return line + std::to_string(waiting) + (waiting == 1 ? " frame waits, " : " frames wait, ") +
         formatSeconds(playback.totalWaitSeconds()) + " in all.";
}

std::string axisBytes(std::uint64_t bytes) {
  if (bytes < 1024) return std::to_string(bytes) + " B";
  const double kilobytes = static_cast<double>(bytes) / 1024.0;
  const bool whole = kilobytes == static_cast<double>(static_cast<std::uint64_t>(kilobytes));
  if (kilobytes < 1024) return format(whole ? "%.0f kB" : "%.1f kB", kilobytes);
  return format("%.1f MB", kilobytes / 1024.0);
}

ProfileChart makeProfileChart(const Playback& before, const Playback* after, std::int32_t targetFrame) {
  ProfileChart chart;
  chart.headline = profileHeadline(before, after);
  chart.panels.push_back(panelOf(before, "Before"));
  if (after) chart.panels.push_back(panelOf(*after, "After the move to frame " + std::to_string(targetFrame)));
  std::uint64_t largest = 1;
  for (const ChartPanel& panel : chart.panels) {
    chart.frameCount = std::max(chart.frameCount, panel.frameBytes.size());
    for (std::uint64_t bytes : panel.frameBytes) largest = std::max(largest, bytes);
  }
  if (before.frameRate > 0) {
    chart.budgetBytes = static_cast<std::uint64_t>(before.bytesPerSecond / before.frameRate);
  }
  // Round numbers of bytes, or of kB (1024 bytes) from there on, as the axis shows them.
  const std::uint64_t top = std::max(largest, chart.budgetBytes + chart.budgetBytes / 5);
  chart.scaleBytes = top < 1024 ? roundUp(top) : roundUp((top + 1023) / 1024) * 1024;
  // Four steps up the axis.
  const std::uint64_t step = std::max<std::uint64_t>(1, chart.scaleBytes / 4);
  for (std::uint64_t v = 0; v <= chart.scaleBytes; v += step) chart.ticks.push_back(v);
  return chart;
}

}  // namespace framestow
