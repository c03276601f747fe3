// Helpers shared by the reliability tests: scratch folders, large movies, and
// the whole job run in memory with its invariants checked.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdint>
#include <filesystem>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "analysis/tables.hpp"
#include "analysis/tag_scanner.hpp"
#include "planner/plan.hpp"
#include "planner/planner.hpp"
#include "reliability/plan_check.hpp"
#include "support/swf_builder.hpp"
#include "swfin/loader.hpp"
#include "swfin/movie.hpp"
#include "writer/writer.hpp"

namespace framestow::test {

// An empty scratch folder for one test.
inline std::string scratchFolder(const std::string& name) {
  const std::filesystem::path folder = std::filesystem::path(FRAMESTOW_TEST_TMP) / "reliability" / name;
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  return folder.string();
}

inline std::set<std::string> namesIn(const std::string& folder) {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) names.insert(entry.path().filename().string());
  return names;
}

inline bool isTemporaryOf(const std::string& name, const std::string& target) {
  const std::string prefix = target + ".framestow-";
  if (name.rfind(prefix, 0) != 0 || name.size() <= prefix.size() + 4) return false;
  if (name.compare(name.size() - 4, 4, ".tmp") != 0) return false;
  const std::string digits = name.substr(prefix.size(), name.size() - prefix.size() - 4);
  return std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The whole file, read in one go (the builder's reader goes byte by byte).
inline ByteVector readAll(const std::string& path) {
  ByteVector out;
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return out;
  std::uint8_t chunk[1 << 16];
  std::size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) out.insert(out.end(), chunk, chunk + got);
  std::fclose(file);
  return out;
}

inline ByteVector randomBytes(std::size_t count, std::mt19937& rng) {
  ByteVector out(count);
  for (auto& b : out) b = static_cast<std::uint8_t>(rng() >> 24);
  return out;
}

// A movie of about `approxBytes` uncompressed: bitmaps with incompressible
// bodies in frame 1 (shapes filled with them, exported), attached in frame 2,
// some placed in frame 3. Target frame 2 moves most of frame 1.
inline ByteVector largeMovie(std::size_t approxBytes, const std::string& signature, std::uint32_t seed,
                             std::size_t bitmapBytes = 256 * 1024) {
  std::mt19937 rng(seed);
  const std::size_t count = std::max<std::size_t>(2, approxBytes / bitmapBytes);
  Timeline main;
  main.setBackgroundColor(10, 20, 30);
  std::vector<std::pair<std::uint16_t, std::string>> exports;
  for (std::size_t i = 0; i < count; ++i) {
    const auto bitmap = static_cast<std::uint16_t>(1 + 2 * i);
    const auto shape = static_cast<std::uint16_t>(2 + 2 * i);
    main.tag(20, Bytes().u16(bitmap).u8(5).u16(1).u16(1).raw(randomBytes(bitmapBytes, rng)));
    main.defineShape(shape, {bitmap});
    exports.emplace_back(shape, "asset" + std::to_string(i));
  }
  main.exportAssets(exports).showFrame();
  Actions attach;
  attach.pushString("asset0").pushString("attachMovie").callMethod();
  main.doAction(attach.bytes).showFrame();
  main.placeObject2(2, 1).showFrame().end();
  MovieOptions options;
  options.signature = signature;
  return buildMovie(main, options);
}

// What one run of the whole job in memory came to.
struct JobOutcome {
  std::string message;    // loading message ("" when loaded)
  bool analysed = false;
  std::string analysisError;
  int outputs = 0;        // movies assembled and checked
};

inline std::uint32_t le32At(const ByteVector& b, std::size_t at) {
  return static_cast<std::uint32_t>(b[at]) | static_cast<std::uint32_t>(b[at + 1]) << 8 |
         static_cast<std::uint32_t>(b[at + 2]) << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

// Load, analyse, plan frames 1..maxFrame, assemble for a few frames with
// removal on and off; every outcome must be a clear message or a sound
// analysis, every output must carry its own length. Failures are reported
// through gtest with `label` and stop nothing.
inline JobOutcome runWholeJob(const ByteVector& bytes, const std::string& label, std::int32_t maxFrame = 8) {
  JobOutcome outcome;
  LoadedMovie movie;
  Analysis analysis;
  outcome.message = prescanBytes("sweep.swf", bytes, movie, analysis);
  if (!outcome.message.empty()) {
    EXPECT_TRUE(outcome.message == kErrorReadingFile || outcome.message == kErrorNotSwf ||
                outcome.message == kErrorIncomplete)
        << label << ": " << outcome.message;
    EXPECT_FALSE(movie.loaded) << label;
    return outcome;
  }
  if (movie.m.version < 5) return outcome;
  scanSelectedFile(movie, analysis);
  outcome.analysed = analysis.analysed;
  outcome.analysisError = analysis.analysisError;
  if (!analysis.analysed) {
    EXPECT_EQ(analysis.analysisError.rfind("Unknown fill type: ", 0), 0u) << label << ": " << analysis.analysisError;
    return outcome;
  }
  // The declared length is all there, and the header and the tags stay inside it.
  const bool sound = !analysis.tagsRunPastData &&
                     (movie.swfCompressed || std::uint64_t{movie.fileBufferCount} >= std::uint64_t{movie.m.size} + 1) &&
                     std::uint64_t{movie.ScanStartOffset} + 2 <= movie.m.size;
  Plan plan;
  clearPlan(plan);
  const std::int32_t last = std::clamp<std::int32_t>(movie.m.nFrames, 1, maxFrame);
  for (std::int32_t n = 1; n <= last; ++n) {
    const Verdict verdict = updateTargetFrame(analysis, plan, n, false, false);
    EXPECT_GE(verdict.movableBytes, 0) << label;
    EXPECT_EQ(verdict.movableBytes, countBytes(analysis, plan, n)) << label << ": count kept while walking, frame " << n;
    EXPECT_EQ(usedBeforeDefinition(analysis, plan, n), "") << label << ", frame " << n;
    if (n != 1 && n != 2 && n != last) continue;
    for (const bool optimise : {false, true}) {
      const auto out = assembleMovie(movie, analysis, plan, n, optimise);
      if (!out) {
        EXPECT_FALSE(sound) << label << ": a sound movie could not be assembled for frame " << n;
        continue;
      }
      ++outcome.outputs;
      EXPECT_GE(out->size(), 8u) << label;
      if (out->size() < 8) continue;
      EXPECT_EQ(le32At(*out, 4), out->size()) << label << ": file length field, frame " << n;
      if (!optimise && sound) {
        EXPECT_EQ(out->size(), movie.m.size) << label << ": length, frame " << n;
      }
      const auto encoded = encodeMovie(movie, *out);
      EXPECT_TRUE(encoded.has_value()) << label;
    }
  }
  return outcome;
}

}  // namespace framestow::test
