#include "document/player_model.hpp"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace framestow {
namespace {

// The "Simulate Download" settings of the authoring tool: the bytes per
// second a line delivers in practice, below its rated bits per second / 8.
constexpr std::array<ConnectionSpeed, 5> kSpeeds{{
    {"14.4", 1200},
    {"28.8", 2400},
    {"56k", 4800},
    {"DSL", 33400},
    {"T1", 134400},
}};

std::string lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

}  // namespace

std::int32_t Playback::waitingFrames() const {
  return static_cast<std::int32_t>(
      std::count_if(frames.begin() + (frames.empty() ? 0 : 1), frames.end(), [](const FrameTiming& t) { return t.waitsSeconds > 0; }));
}

double Playback::totalWaitSeconds() const {
  double total = 0;
  for (std::size_t f = 1; f < frames.size(); ++f) total += frames[f].waitsSeconds;
  return total;
}

Playback playBack(const StreamProfile& profile, double frameRate, double bytesPerSecond) {
  Playback out;
  out.bytesPerSecond = bytesPerSecond;
  out.frameRate = frameRate;
  const double interval = frameRate > 0 ? 1.0 / frameRate : 0.0;
  const double rate = bytesPerSecond > 0 ? bytesPerSecond : 1.0;
  std::uint64_t previousBytes = 0;
  double previousShow = 0;
  for (std::size_t f = 0; f < profile.frameArrivals.size(); ++f) {
    FrameTiming t;
    t.frame = static_cast<std::int32_t>(f + 1);
    t.cumulativeBytes = std::max(profile.frameArrivals[f], previousBytes);
    t.bytes = t.cumulativeBytes - previousBytes;
    t.arrivesSeconds = static_cast<double>(t.cumulativeBytes) / rate;
    const double turn = f == 0 ? 0.0 : previousShow + interval;
    t.showsSeconds = std::max(t.arrivesSeconds, turn);
    // Without a frame rate there is no turn to be late for.
    t.waitsSeconds = f > 0 && interval == 0 ? 0 : t.showsSeconds - turn;
    previousBytes = t.cumulativeBytes;
    previousShow = t.showsSeconds;
    out.frames.push_back(t);
  }
  out.firstFrameSeconds = out.frames.empty() ? 0 : out.frames.front().showsSeconds;
  out.completeSeconds = static_cast<double>(profile.fileSize) / rate;
  return out;
}

std::span<const ConnectionSpeed> connectionSpeeds() { return kSpeeds; }

std::optional<double> parseBandwidth(const std::string& text) {
  for (const ConnectionSpeed& speed : kSpeeds) {
    if (lower(text) == lower(speed.name)) return speed.bytesPerSecond;
  }
  double kilobytes = 0;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, kilobytes);
  if (error != std::errc{} || stop != end || !(kilobytes > 0) || !std::isfinite(kilobytes)) return std::nullopt;
  return kilobytes * 1000.0;
}

std::string bandwidthName(double bytesPerSecond) {
  for (const ConnectionSpeed& speed : kSpeeds) {
    if (speed.bytesPerSecond == bytesPerSecond) return speed.name;
  }
  char text[64];
  std::snprintf(text, sizeof text, "%g kB/s", bytesPerSecond / 1000.0);
  return text;
}

}  // namespace framestow
