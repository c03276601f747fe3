// Command-line arguments and movies to the exit status, the texts printed, the
// JSON fields scripts rely on, and the files written. One table per command.
#include <gtest/gtest.h>

#include "cli_runner.hpp"

namespace framestow::clitest {
namespace {

using nlohmann::json;

// One frame, padded with a long tag to exactly `total` bytes uncompressed.
ByteVector movieOfLength(std::size_t total, const std::string& signature = "FWS") {
  const std::size_t base = movieOf({kBackground, kShowFrame, kEnd}).size();
  return movieOf({kBackground, tagBytes(77, Bytes().fill(total - base - 6), true), kShowFrame, kEnd}, header(signature));
}

// An exported bitmap tag of exactly `bytes` in frame 1, `frames` frames, attachMovie in frame `attachFrame` (0: none).
ByteVector verdictMovie(std::size_t bytes, int frames, int attachFrame) {
  Tags tags{kBackground, bitmap(1, bytes - 13), exports({{1, "art"}})};
  for (int f = 1; f <= frames; ++f) {
    if (f == attachFrame) tags.push_back(attach());
    tags.push_back(kShowFrame);
  }
  tags.push_back(kEnd);
  return movieOf(tags);
}

const ByteVector kUnknownFill = movieOf({kBackground, tagBytes(kDefineShape, Bytes().u16(1).rect(0, 200, 0, 200).u8(1).u8(0x13).fill(8)),
                                         exports({{1, "broken"}}), kShowFrame, kShowFrame, kEnd});
const ByteVector kNoLinkedAssets = movieOf({kBackground, shape(1), place(1), kShowFrame, kShowFrame, kEnd});
const ByteVector kNotAMovie(40, 'x');
const std::string kIncomplete = "Sorry, the file doesn't appear to be complete.\n";

ByteVector declaring(std::uint32_t length, const std::string& signature) {
  MovieOptions options = header(signature);
  options.fileLength = length;
  return movieOf({kBackground, kShowFrame, kEnd}, options);
}

TEST(CliArguments, Info) {
  const ByteVector movie = intro();
  const ByteVector compressed = intro(exports({{2, "hero"}}), "CWS");
  const MovieOptions odd{"FWS", 7, 419, 300, 0x80, 0x18, {}, {}, 15};  // 20.95 x 15 pixels, 24.5 frames a second, 15-bit frame fields
  const ByteVector big = intro(exports({{2, std::string(4000, 'n')}}), "CWS");
  ByteVector damaged = big;
  damaged[12] ^= 0xFF;
  const CliCase cases[] = {
      {"a compressed movie: its uncompressed size", {{"c.swf", compressed}},
       {{{"info", "@c.swf"}, 0, {"File Name: c.swf\nSWF Version: 6 (compressed)\nFile Size: " + std::to_string(movie.size()) + " bytes (uncompressed)\n"}, ""}}},
      {"sizes from 1,024 bytes on in kBytes", {{"a.swf", movieOfLength(1024)}, {"b.swf", movieOfLength(1025)}, {"c.swf", movieOfLength(3000, "CWS")}},
       {{{"info", "@a.swf", "@b.swf", "@c.swf"}, 0, {"File Size: 1024 bytes \n", "File Size: 1.00 kBytes \n", "File Size: 2.93 kBytes (uncompressed)\n"}, ""}}},
      {"whole pixels, the frame rate, a wide frame rectangle", {{"odd.swf", movieOf({kBackground, kShowFrame, kEnd}, odd)}},
       {{{"analyze", "--json", "@odd.swf"}, 0, {}, "", {}, {},
         {{"/0/fileInfo", {"SWF Version: 7", "File Size: " + std::to_string(movieOf({kBackground, kShowFrame, kEnd}, odd).size()) + " bytes ",
                           "Dimensions: 20 x 15", "Frames (main timeline): 1"}}, {"/0/frameRate", 24.5}, {"/0/width", 20.95}, {"/0/blockCount", 3 + 3 + 1}}}}},
      {"a frame rectangle that starts left of 0", {{"wide.swf", [] { Bytes m; m.raw(ByteVector{'F', 'W', 'S', 6}).u32(29).rect(-400, 8000, 0, 6000).u8(0).u8(12).u16(1).raw(joined({kBackground, kShowFrame, kEnd})); return m.data; }()}},
       {{{"analyze", "--json", "@wide.swf"}, 0, {}, "", {}, {}, {{"/0/width", 420}, {"/0/declaredLength", 29}, {"/0/fileSize", 29}, {"/0/blockCount", 3 + 3 + 1}}}}},
      {"a frame rectangle cut off by the declared length reads as zeros, not as the bytes after it", {{"cut.swf", Bytes().raw(ByteVector{'F', 'W', 'S', 6, 9, 0, 0, 0, 0x50}).fill(16, 0x7F).data}},
       {{{"info", "@cut.swf"}, 0, {"Dimensions: 0 x 0\n"}, ""}}},
      {"a missing file", {}, {{{"info", "@absent.swf"}, 2, {"File Name: absent.swf\n"}, "@absent.swf: Sorry, an error has occured reading the file.\n"}}},
      {"files that are no movies", {{"empty.swf", {}}, {"fw.swf", {'F', 'W'}}, {"gif.swf", {'G', 'I', 'F', '8', '9', 'a', 0, 0, 0, 0}},
        {"lzma.swf", {'Z', 'W', 'S', 13, 0, 0, 0, 0, 0, 0}}, {"text.swf", kNotAMovie}},
       {{{"info", "@empty.swf", "@fw.swf", "@gif.swf", "@lzma.swf", "@text.swf"}, 2, {"File Name: text.swf\n"},
         "@empty.swf: Sorry, the file doesn't appear to be an swf.\n@fw.swf: Sorry, the file doesn't appear to be an swf.\n"
         "@gif.swf: Sorry, the file doesn't appear to be an swf.\n@lzma.swf: Sorry, the file doesn't appear to be an swf.\n"
         "@text.swf: Sorry, the file doesn't appear to be an swf.\n"}}},
      {"movies cut short, damaged, or declaring what cannot be",
       {{"a.swf", ByteVector(movie.begin(), movie.end() - 2)}, {"b.swf", ByteVector(big.begin(), big.begin() + big.size() / 2)}, {"c.swf", damaged},
        {"d.swf", declaring(0xFFFFFFF0u, "CWS")}, {"e.swf", declaring(5, "CWS")}, {"f.swf", declaring(5, "FWS")}, {"g.swf", {'F', 'W', 'S'}}},
       {{{"info", "@a.swf", "@b.swf", "@c.swf", "@d.swf", "@e.swf", "@f.swf", "@g.swf"}, 2, {},
         "@a.swf: " + kIncomplete + "@b.swf: " + kIncomplete + "@c.swf: " + kIncomplete + "@d.swf: " + kIncomplete + "@e.swf: " + kIncomplete +
             "@f.swf: " + kIncomplete + "@g.swf: " + kIncomplete}}},
      {"an uncompressed movie one byte short still loads", {{"a.swf", ByteVector(movie.begin(), movie.end() - 1)}}, {{{"info", "@a.swf"}, 0, {"SWF Version: 6\n"}, ""}}},
  };
  for (const CliCase& scenario : cases) runCase(scenario);
}

TEST(CliArguments, Analyze) {
  const ByteVector movie = intro();
  const std::string movable = introMovable();
  const std::string warning1 = "WARNING - Attach codes not located! These could be";
  const std::string warning2 = "from a parent or submovie, or within obfuscated code.";
  const ByteVector obfuscated = movieOf({kBackground, shape(1), sprite(2, {place(1), kShowFrame, kEnd}), exports({{2, "hero"}}), kShowFrame,
                                         attach(), kShowFrame, tagBytes(kDoAction, Bytes().u8(0x96).u16(200).u8(0)), kShowFrame, kEnd});
  const CliCase cases[] = {
      {"every field of one movie", {{"intro.swf", movie}}, {{{"analyze", "--json", "@intro.swf"}, 0, {}, "", {}, {},
         {{"/0/file", json("@intro.swf")}, {"/0/status", "ok"}, {"/0/message", ""}, {"/0/signature", "FWS"}, {"/0/version", 6},
          {"/0/declaredLength", movie.size()}, {"/0/fileSize", movie.size()}, {"/0/frameCount", 2}, {"/0/frameRate", 12.0}, {"/0/width", 400}, {"/0/height", 300},
          {"/0/fileInfo", {"SWF Version: 6", "File Size: " + std::to_string(movie.size()) + " bytes ", "Dimensions: 400 x 300", "Frames (main timeline): 2"}},
          {"/0/analysis", {"Number of linked assets found: 1", "Attach codes were found in frame 2", "No redundant export codes found.", ""}},
          {"/0/linkedAssets", json::parse(R"([{"id": 2, "names": ["hero"]}])")}, {"/0/assetCount", 1}, {"/0/redundantBytes", 0},
          {"/0/attachFrame", 2}, {"/0/obfuscation", false}, {"/0/blockCount", 3 + 11 + 1},
          {"/0/targets/0", {{"frame", 1}, {"movableBytes", std::stoll(movable)}, {"verdict", {"", "", ""}}, {"saveEnabled", false}}},
          {"/0/targets/1", {{"frame", 2}, {"movableBytes", std::stoll(movable)}, {"verdict", {movable + " bytes", "OK to move to frame 2.", ""}}, {"saveEnabled", true}}}}}}},
      {"linked assets in first-export order with every name; removal alone is worth a save at frame 1",
       {{"intro.swf", intro(exports({{2, "hero"}, {1, "block"}, {2, "heroAgain"}}))}}, {{{"analyze", "--json", "@intro.swf"}, 0, {}, "", {}, {},
         {{"/0/linkedAssets", json::parse(R"([{"id": 2, "names": ["hero", "heroAgain"]}, {"id": 1, "names": ["block"]}])")},
          {"/0/assetCount", 2}, {"/0/redundantBytes", 2 + 10}, {"/0/targets/0/saveEnabled", true}, {"/0/analysis/2", "Redundant export codes found: 12 Bytes"}}}}},
      {"redundant bytes above 1,024 in kBytes", {{"intro.swf", intro(exports({{2, "hero"}, {2, std::string(1100, 'x')}}))}},
       {{{"analyze", "@intro.swf"}, 0, {"Redundant export codes found: 1.08 kBytes\n", "Redundant export bytes: 1103\n"}, ""}}},
      {"a movie before version 5 gets the version line only", {{"old.swf", intro(exports({{2, "hero"}}), "FWS", 4)}},
       {{{"analyze", "@old.swf"}, 0, {"\nVersion 4 Flash files do not use linked assets.\n"}, ""}, {{"analyze", "--json", "@old.swf"}, 0, {}, "", {}, {},
         {{"/0/analysis", {"Version 4 Flash files do not use linked assets.", "", "", ""}}, {"/0/analysed", false}, {"/0/targets", json::array()}}}}},
      {"without linked assets", {{"plain.swf", kNoLinkedAssets}}, {{{"analyze", "--json", "@plain.swf"}, 0, {}, "", {}, {},
         {{"/0/analysis", {"This movie does not contain linked assets.", " ", " ", ""}}, {"/0/targets/1/saveEnabled", false}}}}},
      {"a single frame", {{"one.swf", movieOf({kBackground, shape(1), exports({{1, "a"}}), kShowFrame, kEnd})}}, {{{"analyze", "--json", "@one.swf"}, 0, {}, "", {}, {},
         {{"/0/analysis", {"Number of linked assets found: 1", "There is only one frame in the main timeline.", "Assets cannot be moved.",
                           "No redundant export codes found."}}}}}},
      {"no attach code", {{"quiet.swf", verdictMovie(100, 4, 0)}}, {{{"analyze", "--json", "--frame", "3", "@quiet.swf"}, 0, {}, "", {}, {},
         {{"/0/analysis", {"Number of linked assets found: 1", warning1, warning2, "No redundant export codes found."}},
          {"/0/targets/0/verdict", {"100 bytes", "Move to frame 3.", "Warning! - Attach codes not located!"}}}}}},
      {"code running past its tag hides attach codes", {{"hidden.swf", obfuscated}},
       {{{"analyze", "--json", "@hidden.swf"}, 0, {}, "", {}, {}, {{"/0/obfuscation", true}, {"/0/analysis/1", warning1}, {"/0/analysis/2", warning2}}}}},
      {"the attach frame, and a warning after it", {{"m.swf", verdictMovie(100, 4, 3)}},
       {{{"analyze", "--json", "--frame", "3", "@m.swf"}, 0, {}, "", {}, {}, {{"/0/targets/0/verdict", {"100 bytes", "OK to move to frame 3.", ""}}}},
        {{"analyze", "--frame", "4", "@m.swf"}, 0, {"Target frame: 4\nMovable bytes: 100\n100 bytes - WARNING!\nSome assets may be unavailable\nif moved to the selected frame.\n"}, ""}}},
      {"byte counts around a kilobyte",
       {{"a.swf", verdictMovie(1024, 3, 2)}, {"b.swf", verdictMovie(1025, 3, 2)}, {"c.swf", verdictMovie(1152, 3, 2)}, {"d.swf", verdictMovie(2048, 3, 2)}},
       {{{"analyze", "--json", "--frame", "2", "@a.swf", "@b.swf", "@c.swf"}, 0, {}, "", {}, {},
         {{"/0/targets/0/verdict/0", "1024 bytes"}, {"/1/targets/0/verdict/0", "1.00 kBytes"}, {"/2/targets/0/verdict/0", "1.12 kBytes"}}},
        {{"analyze", "--json", "--frame", "3", "@a.swf", "@d.swf"}, 0, {}, "", {}, {},
         {{"/0/targets/0/verdict/0", "1024 bytes - WARNING!"}, {"/1/targets/0/verdict/0", "2.00 kBytes - WARNING!"}}}}},
      {"frames past the ShowFrames the movie has move nothing", {{"m.swf", [] { MovieOptions o; o.frameCount = 9; return movieOf({kBackground, shape(1), exports({{1, "a"}}), kShowFrame, kShowFrame, kEnd}, o); }()}},
       {{{"analyze", "--json", "--frame", "9", "@m.swf"}, 0, {}, "", {}, {}, {{"/0/targets/0/movableBytes", 0}, {"/0/targets/0/verdict/0", "0 bytes"}}}}},
      {"an unknown fill type", {{"broken.swf", kUnknownFill}}, {{{"analyze", "@broken.swf"}, 3, {"File Name: broken.swf\n"}, "@broken.swf: Unknown fill type: 19\n"},
        {{"analyze", "--json", "@broken.swf"}, 3, {}, "Unknown fill type: 19", {}, {},
         {{"/0/status", "error"}, {"/0/message", "Unknown fill type: 19"}, {"/0/version", 6}, {"/0/analysed", false}}}}},
      {"a frame outside the movie names the range", {{"intro.swf", movie}}, {{{"analyze", "@intro.swf", "--frame", "0"}, 1, {}, "choose 1 to 2"},
        {{"analyze", "@intro.swf", "--frame", "3"}, 1, {}, "choose 1 to 2"}, {{"analyze", "--json", "--frame", "9", "@intro.swf"}, 1, {}, "choose 1 to 2", {}, {},
         {{"/0/status", "error"}, {"/0/message", "Target frame 9 is outside the movie's frames: choose 1 to 2."}}}}},
      {"a long movie: a few frames by default, all on request, one by --frame", {{"long.swf", verdictMovie(100, 5000, 2)}},
       {{{"analyze", "@long.swf"}, 0, {"\n 5000  ", "(21 of 5000 frames listed; --all-frames lists every frame.)\n"}, ""},
        {{"analyze", "--json", "--all-frames", "@long.swf"}, 0, {}, "", {}, {}, {{"/0/targets/4999/frame", 5000}}},
        {{"analyze", "--json", "--frame", "7", "@long.swf"}, 0, {}, "", {}, {}, {{"/0/targets/0/frame", 7}, {"/0/targets/1", nullptr}}}}},
      {"several files: each analysed, the worst status wins", {{"good.swf", movie}, {"broken.swf", kUnknownFill}, {"text.swf", kNotAMovie}},
       {{{"analyze", "@text.swf", "@broken.swf", "@good.swf"}, 3, {"File Name: good.swf", "Number of linked assets found: 1"},
         "@text.swf: Sorry, the file doesn't appear to be an swf.\n@broken.swf: Unknown fill type: 19\n"},
        {{"analyze", "--json", "@missing.swf", "@good.swf"}, 2, {}, "@missing.swf: Sorry", {}, {},
         {{"/0/status", "error"}, {"/0/message", "Sorry, an error has occured reading the file."}, {"/0/targets", json::array()}, {"/1/status", "ok"}}}}},
  };
  for (const CliCase& scenario : cases) runCase(scenario);
}

TEST(CliArguments, Save) {
  const ByteVector movie = intro();
  const ByteVector twice = intro(exports({{2, "hero"}, {2, "hero2"}}));
  const ByteVector compressed = intro(exports({{2, "hero"}}), "CWS");
  const std::string fws = std::to_string(movie.size()) + " bytes uncompressed)\n";
  const CliCase cases[] = {
      {"redundant entries go unless kept", {{"intro.swf", twice}},
       {{{"save", "@intro.swf", "--frame", "2", "--json"}, 0, {}, "", {{"intro.swf", introMoved()}, {"intro_old.swf", twice}}, {},
         {{"/0/status", "ok"}, {"/0/frame", 2}, {"/0/movableBytes", std::stoll(introMovable())}, {"/0/result", "FILE MODIFIED"},
          {"/0/removedRedundantBytes", 8}, {"/0/backup", json("@intro_old.swf")}, {"/0/output", json("@intro.swf")},
          {"/0/sizeBefore", twice.size()}, {"/0/sizeAfter", twice.size() - 8}, {"/0/declaredLengthAfter", twice.size() - 8}}}}},
      {"frame 1 with nothing to change writes nothing", {{"intro.swf", movie}},
       {{{"save", "@intro.swf", "--frame", "1"}, 3, {}, "Nothing to write for frame 1", {{"intro.swf", movie}, {"intro_old.swf", std::nullopt}}}}},
      {"--output leaves the input as it is, compressed stays compressed", {{"intro.swf", compressed}},
       {{{"save", "@intro.swf", "--frame", "2", "--output", "@streamed.swf"}, 0,
         {"Output: @streamed.swf\n", "Size before: " + std::to_string(compressed.size()) + " bytes (" + fws}, "",
         {{"intro.swf", compressed}, {"intro_old.swf", std::nullopt}, {"streamed.swf", introMoved(exports({{2, "hero"}}), "CWS")}}}}},
      {"--output naming the input is an in-place save with its backup", {{"intro.swf", movie}},
       {{{"save", "@intro.swf", "--frame", "2", "--output", "@./intro.swf"}, 0, {}, "", {{"intro.swf", introMoved()}, {"intro_old.swf", movie}}}}},
      {"movies that cannot be modified", {{"old.swf", intro(exports({{2, "hero"}}), "FWS", 4)}, {"plain.swf", kNoLinkedAssets}, {"broken.swf", kUnknownFill}},
       {{{"save", "@old.swf", "--frame", "2"}, 3, {}, "@old.swf: Version 4 Flash files do not use linked assets.\n", {{"old_old.swf", std::nullopt}}},
        {{"save", "@plain.swf", "--frame", "2"}, 3, {}, "@plain.swf: This movie does not contain linked assets.\n", {{"plain.swf", kNoLinkedAssets}}},
        {{"save", "@broken.swf", "--frame", "2"}, 3, {}, "@broken.swf: Unknown fill type: 19\n", {{"broken.swf", kUnknownFill}}}}},
  };
  for (const CliCase& scenario : cases) runCase(scenario);
}

TEST(CliArguments, HelpVersionAndUsage) {
  const CliCase cases[] = {
      {"usage errors exit with 1 and speak on standard error", {{"intro.swf", intro()}},
       {{{}, 1, {}, "*"}, {{"transmogrify", "@intro.swf"}, 1, {}, "*"}, {{"info"}, 1, {}, "*"}, {{"save", "@intro.swf"}, 1, {}, "*"},
        {{"analyze", "@intro.swf", "--frame", "two"}, 1, {}, "*"}, {{"analyze", "@intro.swf", "--frame", "2", "--all-frames"}, 1, {}, "*"},
        {{"analyze", "@intro.swf", "--colour"}, 1, {}, "*", {{"intro.swf", intro()}}}}},
  };
  for (const CliCase& scenario : cases) {
    const CliResult last = runCase(scenario);
    if (scenario.steps.back().status == 1) {
      EXPECT_EQ(last.out, "");
    }
  }
}

}  // namespace
}  // namespace framestow::clitest
