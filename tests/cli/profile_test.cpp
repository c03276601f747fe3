// framestow-cli profile: the frames of the intro movie as they stream in,
// before and after the move to frame 2, as text, JSON and a chart.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "cli_runner.hpp"

namespace framestow::clitest {
namespace {

std::string twoDecimals(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", value);
  return text;
}

TEST(CliProfile, FramesBeforeAndAfterTheMove) {
  // The uncompressed intro: frame 1 holds the shape, the sprite and the
  // export; after the move it is the background colour alone.
  const ByteVector movie = intro();
  const Tags sprite2 = {sprite(2, {place(1), kShowFrameBytes, kEndBytes})};
  const auto size = static_cast<std::int64_t>(movie.size());
  const std::int64_t header = size - sizeOf({kBackground, shape(1), sprite2[0], exports({{2, "hero"}}), kShowFrameBytes, attach(),
                                              kShowFrameBytes, kEndBytes});
  const std::int64_t frame1 = header + sizeOf({kBackground, shape(1), sprite2[0], exports({{2, "hero"}}), kShowFrameBytes});
  const std::int64_t movedFrame1 = header + sizeOf({kBackground, kShowFrameBytes});
  const std::int64_t frame2 = size - 2;  // everything but the End tag
  // At 1 kB/s (1000 bytes a second) and 12 frames per second.
  const std::string headline = "At 1 kB/s: first frame after " + twoDecimals(movedFrame1 / 1000.0) + " s instead of " +
                               twoDecimals(frame1 / 1000.0) + " s.\n";
  const auto chartWritten = [](const std::string& folder) {
    std::ifstream svg(folder + "/chart.svg");
    const std::string text((std::istreambuf_iterator<char>(svg)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text.rfind("<svg ", 0), 0u);
    EXPECT_NE(text.find("After the move to frame 2"), std::string::npos);
  };
  const CliCase cases[] = {
      {"the table, the headline and the chart", {{"intro.swf", movie}},
       {{{"profile", "@intro.swf", "--frame", "2", "--bandwidth", "1", "--svg", "@chart.svg"}, 0,
         {headline, "Before (FWS, uncompressed):\n", "After the move to frame 2 (FWS, uncompressed):\n"}, "", {}, chartWritten}}},
      {"JSON: every frame, before and after, in bytes and seconds", {{"intro.swf", movie}},
       {{{"profile", "@intro.swf", "--frame", "2", "--bandwidth", "1", "--json"}, 0, {}, "", {}, {},
         {{"/frameRate", 12.0}, {"/bandwidth", 1000.0}, {"/before/frames/0/cumulativeBytes", frame1},
          {"/before/frames/0/waitsSeconds", frame1 / 1000.0}, {"/before/frames/1/bytes", frame2 - frame1},
          // Frame 2's few bytes are there before its turn, 1/12 s after frame 1.
          {"/before/frames/1/arrivesSeconds", frame2 / 1000.0},
          {"/before/frames/1/showsSeconds", frame1 / 1000.0 + 1 / 12.0}, {"/before/frames/1/waitsSeconds", 0.0},
          {"/before/completeSeconds", size / 1000.0}, {"/after/firstFrameSeconds", movedFrame1 / 1000.0},
          {"/after/frames/1/cumulativeBytes", frame2}, {"/after/frames/2", nullptr}}}}},
      {"without --frame only the file as it is, at 56k by default", {{"intro.swf", movie}},
       {{{"profile", "@intro.swf", "--json"}, 0, {}, "", {}, {}, {{"/bandwidth", 4800.0}, {"/after", nullptr}}}}},
      {"a speed that is neither a preset nor kB/s, a frame outside the movie", {{"intro.swf", movie}},
       {{{"profile", "@intro.swf", "--bandwidth", "fast"}, 1, {}, "--bandwidth takes 14.4, 28.8, 56k, DSL, T1"},
        {{"profile", "@intro.swf", "--frame", "5"}, 1, {}, "choose 1 to 2"}}},
  };
  for (const CliCase& scenario : cases) {
    SCOPED_TRACE(scenario.name);
    runCase(scenario);
  }
}

}  // namespace
}  // namespace framestow::clitest
