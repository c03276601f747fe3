// The per-asset report and the safe plan on the command line: `assets` as
// text and JSON, and --safe on analyze, save and assets.
#include <gtest/gtest.h>

#include "cli_runner.hpp"

namespace framestow::clitest {
namespace {

TEST(CliAssets, ReportAndSafePlan) {
  // Sprite "hero" (placing shape 1) is named by frame 1's code; sound "beep"
  // is not; frame 2 attaches.
  const ByteVector hero = sprite(2, {place(1), kShowFrameBytes, kEndBytes});
  const ByteVector names = doAction(Actions().pushString("hero").bytes);
  const ByteVector exported = exports({{2, "hero"}, {5, "beep"}});
  const ByteVector movie = movieOf({kBackground, shape(1), hero, sound(5), exported, names, kShowFrameBytes, attach(), kShowFrameBytes, kEndBytes});
  // The safe copy keeps "hero" and its linkage name in frame 1; "beep" moves with its entry.
  const ByteVector safeCopy = movieOf({kBackground, shape(1), hero, exports({{2, "hero"}}), names, kShowFrameBytes, sound(5), exports({{5, "beep"}}), attach(), kShowFrameBytes, kEndBytes});
  const ByteVector repeated = movieOf({kBackground, shape(1), hero, sound(5), exports({{2, "hero"}, {2, "hero"}, {5, "beep"}}), names, kShowFrameBytes, attach(), kShowFrameBytes, kEndBytes});
  const std::string allBytes = std::to_string(sizeOf({shape(1), hero, sound(5)}));
  const std::string soundBytes = std::to_string(sizeOf({sound(5)}));
  const std::string heroBytes = std::to_string(sizeOf({shape(1), hero}));
  const CliCase cases[] = {
      {"each asset with its fate under the default and the safe plan", {{"m.swf", movie}},
       {{{"assets", "@m.swf", "--json"}, 0, {}, "", {}, {},
         {{"/0/assetReport/targetFrame", 2}, {"/0/assetReport/plan", "default"}, {"/0/assetReport/movableBytes", std::stoll(allBytes)},
          {"/0/assetReport/assets/0/names", {"hero"}}, {"/0/assetReport/assets/0/kind", "sprite"}, {"/0/assetReport/assets/0/bytes", std::stoll(heroBytes)},
          {"/0/assetReport/assets/0/firstNamedFrame", 1}, {"/0/assetReport/assets/0/fate", "moves"},
          {"/0/assetReport/assets/1/kind", "sound"}, {"/0/assetReport/assets/1/definedFrame", 1}}},
        {{"assets", "@m.swf", "--json", "--safe", "--frame", "2"}, 0, {}, "", {}, {},
         {{"/0/assetReport/plan", "safe"}, {"/0/assetReport/movableBytes", std::stoll(soundBytes)}, {"/0/assetReport/assets/0/fate", "stays"},
          {"/0/assetReport/assets/0/why", "named"}, {"/0/assetReport/assets/0/whyText", "named by code that runs before frame 2"},
          {"/0/assetReport/assets/1/fate", "moves"}}},
        {{"assets", "@m.swf", "--safe"}, 0, {"Target frame: 2 (safe plan)\nMovable bytes: " + soundBytes + "\n", "hero (named by code that runs before frame 2)\n"}, ""}}},
      {"--safe on analyze and save: the count and the copy keep what frame 1's code names", {{"m.swf", movie}},
       {{{"analyze", "@m.swf", "--frame", "2"}, 0, {"Movable bytes: " + allBytes + "\n"}, ""},
        {{"analyze", "@m.swf", "--frame", "2", "--safe"}, 0, {"Movable bytes: " + soundBytes + "\n", "OK to move to frame 2.\n"}, ""},
        {{"save", "@m.swf", "--frame", "2", "--safe", "--output", "@safe.swf"}, 0, {"FILE MODIFIED\n"}, "", {{"safe.swf", safeCopy}, {"m.swf", movie}}}}},
      {"a repeated entry goes from the part of the export tag that stays", {{"m.swf", repeated}},
       {{{"save", "@m.swf", "--frame", "2", "--safe", "--output", "@safe.swf"}, 0, {"Redundant export bytes removed: 7\n"}, "", {{"safe.swf", safeCopy}}}}},
      {"a frame outside the movie is refused", {{"m.swf", movie}}, {{{"assets", "@m.swf", "--frame", "3"}, 1, {}, "Target frame 3 is outside"}}},
  };
  for (const CliCase& scenario : cases) runCase(scenario);
}

}  // namespace
}  // namespace framestow::clitest
