// When each frame of a streaming movie shows: a player receives the file at a
// steady number of bytes per second and shows frame f once its bytes have
// arrived, but never sooner than one frame interval after frame f - 1.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "document/stream_profile.hpp"

namespace framestow {

struct FrameTiming {
  std::int32_t frame = 0;
  std::uint64_t bytes = 0;            // bytes of the file this frame adds (frame 1: with the file header)
  std::uint64_t cumulativeBytes = 0;  // bytes of the file needed before it shows
  double arrivesSeconds = 0;          // when those bytes have arrived
  double showsSeconds = 0;            // max(arrival, previous frame's show + 1 / frame rate)
  double waitsSeconds = 0;            // how much later than its turn it shows (frame 1: its arrival)
};

struct Playback {
  double bytesPerSecond = 0;
  double frameRate = 0;
  double firstFrameSeconds = 0;  // when frame 1 shows
  double completeSeconds = 0;    // when the whole file has arrived
  std::vector<FrameTiming> frames;

  // Frames after the first that show later than their turn, and their waits together.
  std::int32_t waitingFrames() const;
  double totalWaitSeconds() const;
};

// A frame rate of 0 or less plays the frames as soon as they arrive.
Playback playBack(const StreamProfile& profile, double frameRate, double bytesPerSecond);

// Connection speeds an author tests a movie at.
struct ConnectionSpeed {
  const char* name;       // "56k"
  double bytesPerSecond;  // what the connection delivers in practice
};
std::span<const ConnectionSpeed> connectionSpeeds();
// The speed of the default connection (56k).
inline constexpr double kDefaultBytesPerSecond = 4800;

// "56k" (any case) or a number of kB/s (1 kB = 1000 bytes) as bytes per
// second; nothing when it is neither, or not above 0.
std::optional<double> parseBandwidth(const std::string& text);
// The name of the preset with this speed, else the speed in kB/s ("12.5 kB/s").
std::string bandwidthName(double bytesPerSecond);

}  // namespace framestow
