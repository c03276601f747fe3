// The stream profile through the Document: where each frame arrives in the
// file as stored and in the file a save would write, and when a player at a
// given connection shows it.
#include <gtest/gtest.h>

#include <random>

#include "document/document.hpp"
#include "document/player_model.hpp"
#include "support/documents.hpp"
#include "support/saved_movie_check.hpp"
#include "support/stream_check.hpp"
#include "support/test_files.hpp"

namespace framestow::test {
namespace {

// A tag the analysis only steps over (Metadata), `size` bytes in all.
Timeline& filler(Timeline& t, std::size_t size, std::mt19937* noise = nullptr) {
  Bytes body;
  const std::size_t bodySize = size >= 69 ? size - 6 : size - 2;
  for (std::size_t i = 0; i < bodySize; ++i) body.u8(noise ? (*noise)() & 0xFF : 'a');
  return t.tag(77, body, size >= 69);
}

// Frames of the given tag sizes (0: the frame is its ShowFrame alone) after a
// 20-byte header (an 8-byte stage rectangle, rate and count).
ByteVector framesOf(const std::vector<std::size_t>& sizes, std::uint8_t rate) {
  Timeline main;
  for (std::size_t size : sizes) {
    if (size > 0) filler(main, size);
    main.showFrame();
  }
  main.end();
  MovieOptions options;
  options.rateInteger = rate;
  return buildMovie(main, options);
}

struct PlaybackRow {
  const char* name;
  std::vector<std::size_t> tagSizes;
  std::uint8_t rate;
  double bytesPerSecond;
  // Worked out by hand: frame f ends at 20 + its tags + 2 bytes per ShowFrame so far.
  std::vector<double> shows;
  std::vector<double> waits;
  double complete;
};

TEST(Playback, FramesShowWhenTheirBytesHaveArrivedAndTheirTurnHasCome) {
  const std::vector<PlaybackRow> rows = {
      // Ends at 1022, 2024, 2026 bytes; the file is 2028.
      {"a slow line: frame 2 waits for its bytes, frame 3 then keeps time",
       {1000, 1000, 0}, 12, 1000, {1.022, 2.024, 2.024 + 1 / 12.0}, {1.022, 2.024 - (1.022 + 1 / 12.0), 0}, 2.028},
      {"a fast line: every frame after the first plays on its turn",
       {1000, 1000, 0}, 12, 100000, {0.01022, 0.01022 + 1 / 12.0, 0.01022 + 2 / 12.0}, {0.01022, 0, 0}, 0.02028},
      {"frame rate 0: each frame shows as it arrives, none counts as waiting",
       {1000, 1000, 0}, 0, 1000, {1.022, 2.024, 2.026}, {1.022, 0, 0}, 2.028},
      // Ends at 4022, 4024, 4026, 8028: at 56k (4800 B/s) and 1 fps frame 4
      // arrives at 1.672 s, before its turn at 0.838 + 3 s.
      {"56k at 1 fps: the big last frame arrives in time",
       {4000, 0, 0, 4000}, 1, 4800, {4022 / 4800.0, 4022 / 4800.0 + 1, 4022 / 4800.0 + 2, 4022 / 4800.0 + 3},
       {4022 / 4800.0, 0, 0, 0}, 8030 / 4800.0},
      {"14.4 at 24 fps: every frame waits",
       {1200, 1200}, 24, 1200, {1222 / 1200.0, 2424 / 1200.0}, {1222 / 1200.0, 2424 / 1200.0 - 1222 / 1200.0 - 1 / 24.0},
       2426 / 1200.0},
  };
  for (const PlaybackRow& row : rows) {
    SCOPED_TRACE(row.name);
    Document doc;
    ASSERT_EQ(loadAndAnalyse(doc, framesOf(row.tagSizes, row.rate), testTempDir() + "/playback.swf"), "");
    const auto profile = doc.streamProfile();
    ASSERT_TRUE(profile);
    const Playback playback = playBack(*profile, row.rate, row.bytesPerSecond);
    ASSERT_EQ(playback.frames.size(), row.shows.size());
    for (std::size_t f = 0; f < row.shows.size(); ++f) {
      EXPECT_NEAR(playback.frames[f].showsSeconds, row.shows[f], 1e-9) << "frame " << f + 1;
      EXPECT_NEAR(playback.frames[f].waitsSeconds, row.waits[f], 1e-9) << "frame " << f + 1;
    }
    EXPECT_NEAR(playback.firstFrameSeconds, row.shows[0], 1e-9);
    EXPECT_NEAR(playback.completeSeconds, row.complete, 1e-9);
  }
}

TEST(Playback, ConnectionSpeedsByNameOrKilobytesPerSecond) {
  const std::vector<std::pair<const char*, std::optional<double>>> rows = {
      {"14.4", 1200}, {"28.8", 2400}, {"56K", 4800}, {"dsl", 33400}, {"T1", 134400},
      {"2.5", 2500},  {"0", std::nullopt}, {"-3", std::nullopt}, {"fast", std::nullopt}, {"4x", std::nullopt},
  };
  for (const auto& [text, bytes] : rows) EXPECT_EQ(parseBandwidth(text), bytes) << text;
}

// A movie of many frames with an exported shape and its bitmap in frame 1,
// with noise that does not compress, so that frames cross the pieces the
// decoders take.
ByteVector noisyMovie(const std::string& signature, std::size_t frames, std::size_t frameBytes) {
  std::mt19937 noise(7);
  Timeline main;
  main.setBackgroundColor().defineBitsLossless(1, 30000).defineShape(2, {1}).exportAssets({{2, "shape"}});
  for (std::size_t f = 0; f < frames; ++f) {
    filler(main, frameBytes, f % 3 == 0 ? nullptr : &noise);
    if (f == 1) main.placeObject2(2, 1);
    main.showFrame();
  }
  main.end();
  MovieOptions options;
  options.signature = signature == "ZWS" ? "FWS" : signature;
  options.version = 13;
  const ByteVector file = buildMovie(main, options);
  return signature == "ZWS" ? lzmaMovieOf(file) : file;
}

TEST(StreamProfile, ArrivalsAreTheFirstBytesThatDecodeToEachFrameAsLoadedAndAsSaved) {
  const std::vector<std::pair<const char*, ByteVector>> rows = {
      {"uncompressed", noisyMovie("FWS", 30, 1500)},
      {"zlib, frames of noise and of text across many pieces", noisyMovie("CWS", 60, 1500)},
      {"zlib, several frames inside one piece", noisyMovie("CWS", 200, 40)},
      {"LZMA", noisyMovie("ZWS", 60, 1500)},
      {"LZMA, several frames inside one piece", noisyMovie("ZWS", 200, 40)},
  };
  for (const auto& [name, file] : rows) {
    SCOPED_TRACE(name);
    // The whole job checks the profile as loaded and, for every save, the one predicted.
    const JobReport report = runWholeJob(file, testTempDir(), 3);
    EXPECT_TRUE(report.analysed);
    EXPECT_GT(report.saves, 0);
    for (const std::string& failure : report.failures) ADD_FAILURE() << failure;
  }
}

}  // namespace
}  // namespace framestow::test
