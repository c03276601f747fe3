// The whole job in memory on arbitrary bytes: load, analyse, plan every
// target frame up to a bound, assemble and encode the output for a few frames
// with removal on and off, reload what was written. Nothing touches the disk.
#include <zlib.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "analysis/tables.hpp"
#include "analysis/tag_scanner.hpp"
#include "planner/plan.hpp"
#include "planner/planner.hpp"
#include "reliability/plan_check.hpp"
#include "swfin/loader.hpp"
#include "swfin/movie.hpp"
#include "writer/writer.hpp"
#include "fuzz_check.hpp"

namespace {

using framestow::Analysis;
using framestow::LoadedMovie;
using framestow::Plan;

constexpr std::int32_t kMaxPlannedFrame = 64;


std::uint32_t le32(const std::vector<std::uint8_t>& b, std::size_t at) {
  return static_cast<std::uint32_t>(b[at]) | static_cast<std::uint32_t>(b[at + 1]) << 8 |
         static_cast<std::uint32_t>(b[at + 2]) << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

// Byte histogram of a movie without its file-length field.
std::array<std::uint64_t, 256> histogram(const std::uint8_t* data, std::size_t size) {
  std::array<std::uint64_t, 256> h{};
  for (std::size_t i = 0; i < size; ++i) {
    if (i < 4 || i >= 8) ++h[data[i]];
  }
  return h;
}

// A movie whose declared length is all there and whose tags stay inside it:
// nothing of it may be lost.
bool sound(const LoadedMovie& movie, const Analysis& a) {
  const bool complete = movie.swfCompressed || std::uint64_t{movie.fileBufferCount} >= std::uint64_t{movie.m.size} + 1;
  // The frame size, rate and count end inside the declared length.
  const bool headerInside = std::uint64_t{movie.ScanStartOffset} + 2 <= movie.m.size;
  return a.analysed && !a.tagsRunPastData && complete && headerInside;
}

void checkOutput(const LoadedMovie& movie, const Analysis& a, const Plan& plan, std::int32_t n, bool optimise,
                 bool reload) {
  auto assembled = framestow::assembleMovie(movie, a, plan, n, optimise);
  if (!assembled) {
    CHECK(!sound(movie, a));
    return;
  }
  const std::vector<std::uint8_t>& out = *assembled;
  CHECK(out.size() >= 8);
  // The header's file length is the uncompressed length written.
  CHECK(le32(out, 4) == out.size());
  const auto data = movie.fileBuffer();
  CHECK(std::equal(out.begin(), out.begin() + 4, data.begin()));
  if (!optimise && sound(movie, a)) {
    CHECK(out.size() == movie.m.size);
    // Without removal the output is the input's blocks in another order.
    CHECK(histogram(out.data(), out.size()) == histogram(data.data(), movie.m.size));
  }
  if (n <= 1 && !optimise && sound(movie, a)) {
    CHECK(std::equal(out.begin() + 8, out.end(), data.begin() + 8));
  }

  auto encoded = framestow::encodeMovie(movie, out);
  CHECK(encoded.has_value());
  CHECK(encoded->size() >= 8);
  CHECK((*encoded)[0] == (movie.swfCompressed ? 'C' : 'F'));
  CHECK(std::equal(encoded->begin() + 1, encoded->begin() + 8, out.begin() + 1));

  if (!reload) return;
  LoadedMovie again;
  Analysis againAnalysis;
  const std::string message = framestow::prescanBytes("again.swf", *encoded, again, againAnalysis);
  CHECK(message.empty());
  CHECK(again.fileBuffer().size() >= out.size());
  CHECK(std::equal(out.begin() + 8, out.end(), again.fileBuffer().begin() + 8));
  framestow::scanSelectedFile(again, againAnalysis);
  CHECK(againAnalysis.analysed);
  if (!optimise && sound(movie, a)) {
    // Tags keep their bytes, so no frame of the main timeline is lost.
    CHECK(againAnalysis.mainFrameCount == a.mainFrameCount);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  LoadedMovie movie;
  Analysis analysis;
  const std::string message =
      framestow::prescanBytes("fuzz.swf", std::vector<std::uint8_t>(data, data + size), movie, analysis);
  if (!message.empty()) {
    CHECK(message == framestow::kErrorReadingFile || message == framestow::kErrorNotSwf ||
          message == framestow::kErrorIncomplete);
    CHECK(!movie.loaded);
    return 0;
  }
  CHECK(movie.loaded);
  if (movie.m.version < 5) return 0;
  framestow::scanSelectedFile(movie, analysis);
  if (!analysis.analysed) {
    CHECK(analysis.analysisError.rfind("Unknown fill type: ", 0) == 0);
    return 0;
  }
  CHECK(!analysis.byteoutput.empty());

  Plan plan;
  framestow::clearPlan(plan);
  const std::int32_t last = std::clamp<std::int32_t>(movie.m.nFrames, 1, kMaxPlannedFrame);
  for (std::int32_t n = 1; n <= last; ++n) {
    const auto verdict = framestow::updateTargetFrame(analysis, plan, n, false, (n & 1) != 0);
    CHECK(verdict.movableBytes >= 0);
    // The count kept by the walks is the count of the moving blocks.
    CHECK(verdict.movableBytes == framestow::countBytes(analysis, plan, n));
    CHECK(verdict.targetFrame == n);
    // Nothing that frames 1 to n - 1 need, and had in time, moves away.
    const std::string unsound = framestow::test::usedBeforeDefinition(analysis, plan, n);
    if (!unsound.empty()) {
      std::fprintf(stderr, "frame %d: %s\n", n, unsound.c_str());
      framestow::fuzz::fail("plan moves a definition that an earlier frame needs");
    }
    // Assemble for a few frames: the first, the second, the middle and the last.
    if (n == 1 || n == 2 || n == (last + 1) / 2 || n == last) {
      checkOutput(movie, analysis, plan, n, false, n == last);
      checkOutput(movie, analysis, plan, n, true, n == 2);
    }
  }
  return 0;
}
