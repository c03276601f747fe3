// Command-line arguments and movies to the exit status, the texts printed, the
// JSON fields scripts rely on, and the files written. One table per command.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <zlib.h>

#include <filesystem>

#include "cli_runner.hpp"
#include "support/test_files.hpp"

namespace framestow::clitest {
namespace {

using nlohmann::json;
namespace fs = std::filesystem;

// One frame, padded with a long tag to exactly `total` bytes uncompressed.
ByteVector movieOfLength(std::size_t total, const std::string& signature = "FWS") {
  const std::size_t base = movieOf({kBackground, kShowFrameBytes, kEndBytes}).size();
  return movieOf({kBackground, tagBytes(77, Bytes().fill(total - base - 6), true), kShowFrameBytes, kEndBytes}, header(signature));
}

// An exported bitmap tag of exactly `bytes` in frame 1, `frames` frames, attachMovie in frame `attachFrame` (0: none).
ByteVector verdictMovie(std::size_t bytes, int frames, int attachFrame) {
  Tags tags{kBackground, bitmap(1, bytes - 13), exports({{1, "art"}})};
  for (int f = 1; f <= frames; ++f) {
    if (f == attachFrame) tags.push_back(attach());
    tags.push_back(kShowFrameBytes);
  }
  tags.push_back(kEndBytes);
  return movieOf(tags);
}

const ByteVector kUnknownFill = movieOf({kBackground, tagBytes(kDefineShape, Bytes().u16(1).rect(0, 200, 0, 200).u8(1).u8(0x13).fill(8)),
                                         exports({{1, "broken"}}), kShowFrameBytes, kShowFrameBytes, kEndBytes});
const ByteVector kNoLinkedAssets = movieOf({kBackground, shape(1), place(1), kShowFrameBytes, kShowFrameBytes, kEndBytes});
const ByteVector kNotAMovie(40, 'x');
const std::string kIncomplete = "Sorry, the file doesn't appear to be complete.\n";
const std::string kCannotSaveTagPast = "This movie cannot be saved: its last tag runs past the end of the movie.";

// A long tag header declaring `declared` body bytes, of which `present` follow.
ByteVector cutShort(std::uint16_t code, std::uint32_t declared, const ByteVector& present) { return Bytes().u16(code << 6 | 0x3F).u32(declared).raw(present).data; }
const ByteVector kTagPastTheEnd = movieOf({kBackground, shape(1), exports({{1, "a"}}), kShowFrameBytes, kShowFrameBytes, cutShort(77, 100, ByteVector(10, 1))});

ByteVector declaring(std::uint32_t length, const std::string& signature) {
  MovieOptions options = header(signature);
  options.fileLength = length;
  return movieOf({kBackground, kShowFrameBytes, kEndBytes}, options);
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
      {"whole pixels, the frame rate, a wide frame rectangle", {{"odd.swf", movieOf({kBackground, kShowFrameBytes, kEndBytes}, odd)}},
       {{{"analyze", "--json", "@odd.swf"}, 0, {}, "", {}, {},
         {{"/0/fileInfo", {"SWF Version: 7", "File Size: " + std::to_string(movieOf({kBackground, kShowFrameBytes, kEndBytes}, odd).size()) + " bytes ",
                           "Dimensions: 20 x 15", "Frames (main timeline): 1"}}, {"/0/frameRate", 24.5}, {"/0/width", 20.95}, {"/0/blockCount", 3 + 3 + 1}}}}},
      {"a frame rectangle that starts left of 0", {{"wide.swf", [] { Bytes m; m.raw(ByteVector{'F', 'W', 'S', 6}).u32(29).rect(-400, 8000, 0, 6000).u8(0).u8(12).u16(1).raw(joined({kBackground, kShowFrameBytes, kEndBytes})); return m.data; }()}},
       {{{"analyze", "--json", "@wide.swf"}, 0, {}, "", {}, {}, {{"/0/width", 420}, {"/0/declaredLength", 29}, {"/0/fileSize", 29}, {"/0/blockCount", 3 + 3 + 1}}}}},
      {"a frame rectangle cut off by the declared length reads as zeros, not as the bytes after it", {{"cut.swf", Bytes().raw(ByteVector{'F', 'W', 'S', 6, 9, 0, 0, 0, 0x50}).fill(16, 0x7F).data}},
       {{{"info", "@cut.swf"}, 0, {"Dimensions: 0 x 0\n"}, ""}}},
      {"a missing file: the message, then the cause and the path", {}, {{{"info", "@absent.swf"}, 2, {"File Name: absent.swf\n"},
         "@absent.swf: Sorry, an error has occured reading the file.\n@absent.swf: No such file or directory: @absent.swf\n"}}},
      {"files that are no regular files, or cannot be read: the message, then the cause and the path, in text and JSON", {},
       {{{"info", "@pipe.swf"}, 2, {"File Name: pipe.swf\n"},
         "@pipe.swf: Sorry, an error has occured reading the file.\n@pipe.swf: Is a named pipe (FIFO), not a regular file: @pipe.swf\n"},
        {{"analyze", "--json", "@absent.swf", "@pipe.swf", "/dev/zero", "@" + std::string(300, 'n') + ".swf"}, 2, {}, "*", {}, {},
         {{"/0/reason", "No such file or directory: @absent.swf"}, {"/1/reason", "Is a named pipe (FIFO), not a regular file: @pipe.swf"},
          {"/2/reason", "Is a device, not a regular file: /dev/zero"}, {"/3/reason", "File name too long: @" + std::string(300, 'n') + ".swf"}}},
        {{"save", "--json", "@pipe.swf", "--frame", "2"}, 2, {}, "*", {}, {}, {{"/0/reason", "Is a named pipe (FIFO), not a regular file: @pipe.swf"}}}},
       [](const std::string& folder) { ASSERT_EQ(mkfifo((folder + "/pipe.swf").c_str(), 0600), 0); }},
      {"files that are no movies", {{"empty.swf", {}}, {"fw.swf", {'F', 'W'}}, {"gif.swf", {'G', 'I', 'F', '8', '9', 'a', 0, 0, 0, 0}},
        {"text.swf", kNotAMovie}},
       {{{"info", "@empty.swf", "@fw.swf", "@gif.swf", "@text.swf"}, 2, {"File Name: text.swf\n"},
         "@empty.swf: Sorry, the file doesn't appear to be an swf.\n@fw.swf: Sorry, the file doesn't appear to be an swf.\n"
         "@gif.swf: Sorry, the file doesn't appear to be an swf.\n"
         "@text.swf: Sorry, the file doesn't appear to be an swf.\n"}}},
      {"movies cut short, damaged, or declaring what cannot be; info reads a compressed body only as far as its header, analyze reads it all",
       {{"a.swf", ByteVector(movie.begin(), movie.end() - 2)}, {"b.swf", ByteVector(big.begin(), big.begin() + big.size() / 2)}, {"c.swf", damaged},
        {"d.swf", declaring(0xFFFFFFF0u, "CWS")}, {"e.swf", declaring(5, "CWS")}, {"f.swf", declaring(5, "FWS")}, {"g.swf", {'F', 'W', 'S'}},
        {"h.swf", ByteVector(compressed.begin(), compressed.begin() + 4)}, {"i.swf", ByteVector(compressed.begin(), compressed.begin() + 12)}},
       {{{"info", "@a.swf", "@c.swf", "@e.swf", "@f.swf", "@g.swf", "@h.swf", "@i.swf"}, 2, {},
         "@a.swf: " + kIncomplete + "@c.swf: " + kIncomplete + "@e.swf: " + kIncomplete + "@f.swf: " + kIncomplete + "@g.swf: " + kIncomplete +
             "@h.swf: " + kIncomplete + "@i.swf: " + kIncomplete},
        {{"info", "@b.swf", "@d.swf"}, 0, {"File Name: b.swf\nSWF Version: 6 (compressed)\nFile Size: 4.01 kBytes (uncompressed)\nDimensions: 400 x 300\n"}, ""},
        {{"analyze", "@b.swf", "@d.swf"}, 2, {}, "@b.swf: " + kIncomplete + "@d.swf: " + kIncomplete}}},
      {"an uncompressed movie one byte short still loads", {{"a.swf", ByteVector(movie.begin(), movie.end() - 1)}}, {{{"info", "@a.swf"}, 0, {"SWF Version: 6\n"}, ""}}},
  };
  for (const CliCase& scenario : cases) runCase(scenario);
}

TEST(CliArguments, Analyze) {
  const ByteVector movie = intro();
  const std::string movable = introMovable();
  const std::string warning1 = "WARNING - Attach codes not located! These could be";
  const std::string warning2 = "from a parent or submovie, or within obfuscated code.";
  const ByteVector obfuscated = movieOf({kBackground, shape(1), sprite(2, {place(1), kShowFrameBytes, kEndBytes}), exports({{2, "hero"}}), kShowFrameBytes,
                                         attach(), kShowFrameBytes, tagBytes(kDoAction, Bytes().u8(0x96).u16(200).u8(0)), kShowFrameBytes, kEndBytes});
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
       {{"intro.swf", intro(exports({{2, "hero"}, {1, "block"}, {2, "heroAgain"}, {2, "hero"}}))}}, {{{"analyze", "--json", "@intro.swf"}, 0, {}, "", {}, {},
         {{"/0/linkedAssets", json::parse(R"([{"id": 2, "names": ["hero", "heroAgain"]}, {"id": 1, "names": ["block"]}])")},
          {"/0/assetCount", 2}, {"/0/redundantBytes", 2 + 5}, {"/0/targets/0/saveEnabled", true}, {"/0/analysis/2", "Redundant export codes found: 7 Bytes"}}}}},
      {"redundant bytes above 1,024 in kBytes", {{"intro.swf", intro(exports({{2, std::string(1100, 'x')}, {2, std::string(1100, 'x')}}))}},
       {{{"analyze", "@intro.swf"}, 0, {"Redundant export codes found: 1.08 kBytes\n", "Redundant export bytes: 1103\n"}, ""}}},
      {"a movie before version 5 gets the version line only", {{"old.swf", intro(exports({{2, "hero"}}), "FWS", 4)}},
       {{{"analyze", "@old.swf"}, 0, {"\nVersion 4 Flash files do not use linked assets.\n"}, ""}, {{"analyze", "--json", "@old.swf"}, 0, {}, "", {}, {},
         {{"/0/analysis", {"Version 4 Flash files do not use linked assets.", "", "", ""}}, {"/0/analysed", false}, {"/0/targets", json::array()}}}}},
      {"without linked assets", {{"plain.swf", kNoLinkedAssets}}, {{{"analyze", "--json", "@plain.swf"}, 0, {}, "", {}, {},
         {{"/0/analysis", {"This movie does not contain linked assets.", " ", " ", ""}}, {"/0/targets/1/saveEnabled", false}}}}},
      {"a single frame", {{"one.swf", movieOf({kBackground, shape(1), exports({{1, "a"}}), kShowFrameBytes, kEndBytes})}}, {{{"analyze", "--json", "@one.swf"}, 0, {}, "", {}, {},
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
      {"frames past the ShowFrames the movie has move nothing", {{"m.swf", [] { MovieOptions o; o.frameCount = 9; return movieOf({kBackground, shape(1), exports({{1, "a"}}), kShowFrameBytes, kShowFrameBytes, kEndBytes}, o); }()}},
       {{{"analyze", "--json", "--frame", "9", "@m.swf"}, 0, {}, "", {}, {}, {{"/0/targets/0/movableBytes", 0}, {"/0/targets/0/verdict/0", "0 bytes"}}}}},
      {"movies whose bytes are not all there say why they cannot be saved, and no frame offers Save",
       {{"a.swf", ByteVector(movie.begin(), movie.end() - 1)}, {"b.swf", kTagPastTheEnd}, {"c.swf", movieOf({kBackground, shape(1), exports({{1, "a"}}), kShowFrameBytes, kShowFrameBytes, cutShort(77, 100, ByteVector(10, 1))}, header("CWS"))},
        {"d.swf", movieOf({kBackground, shape(1), exports({{1, "a"}}), kShowFrameBytes, kShowFrameBytes, cutShort(kDefineSprite, 50, Bytes().u16(9).u16(1).u16(1 << 6).data)})}, {"e.swf", movie}},
       {{{"analyze", "@a.swf"}, 0, {"\nThis movie cannot be saved: the file is 1 byte shorter than its header declares.\n"}, ""},
        {{"analyze", "--json", "@a.swf", "@b.swf", "@c.swf", "@d.swf", "@e.swf"}, 0, {}, "", {}, {},
         {{"/0/cannotSave", "This movie cannot be saved: the file is 1 byte shorter than its header declares."}, {"/1/cannotSave", kCannotSaveTagPast},
          {"/2/cannotSave", kCannotSaveTagPast}, {"/3/cannotSave", kCannotSaveTagPast}, {"/4/cannotSave", ""}, {"/0/targets/1/saveEnabled", false},
          {"/1/targets/1/saveEnabled", false}, {"/4/targets/1/saveEnabled", true}}}}},
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
         {{"/0/status", "error"}, {"/0/message", "Sorry, an error has occured reading the file."}, {"/0/targets", json::array()}, {"/1/status", "ok"}, {"/1/reason", ""}}}}},
  };
  for (const CliCase& scenario : cases) runCase(scenario);
}

TEST(CliArguments, Save) {
  const ByteVector movie = intro();
  const ByteVector twice = intro(exports({{2, "hero"}, {2, "hero"}}));
  const ByteVector compressed = intro(exports({{2, "hero"}}), "CWS");
  const std::string fws = std::to_string(movie.size()) + " bytes uncompressed)\n";
  const ByteVector hero = exports({{2, "hero"}});
  const CliCase cases[] = {
      {"redundant entries go unless kept; JSON gives the backup written, then a layout in place, then a refusal with its reason",
       {{"intro.swf", twice}, {"intro_old.swf", {'n', 'o'}}, {"other.swf", movie}},
       {{{"save", "@intro.swf", "--frame", "2", "--json"}, 0, {}, "", {{"intro.swf", introMoved()}, {"intro_old_2.swf", twice}}, {},
         {{"/0/status", "ok"}, {"/0/frame", 2}, {"/0/movableBytes", std::stoll(introMovable())}, {"/0/result", "FILE MODIFIED"}, {"/0/reason", ""},
          {"/0/removedRedundantBytes", 7}, {"/0/backup", json("@intro_old_2.swf")}, {"/0/output", json("@intro.swf")},
          {"/0/sizeBefore", twice.size()}, {"/0/sizeAfter", twice.size() - 7}, {"/0/declaredLengthAfter", twice.size() - 7}}},
        {{"save", "@intro.swf", "--frame", "2", "--json"}, 0, {}, "", {}, [](const std::string& folder) { fs::permissions(folder + "/intro.swf", fs::perms::owner_read); },
         {{"/0/status", "ok"}, {"/0/result", "FILE ALREADY HAS THIS LAYOUT"}, {"/0/backup", ""}}},
        {{"save", "@other.swf", "--frame", "2", "--json", "-o", "@intro.swf"}, 4, {}, "@other.swf: The file is read-only: @intro.swf\n", {{"intro.swf", introMoved()}}, {},
         {{"/0/result", "ERROR WRITING FILE"}, {"/0/reason", "The file is read-only: @intro.swf"}, {"/0/backup", ""}}}}},
      {"--output - writes the movie to standard output and the report to standard error", {{"intro.swf", movie}, {"c.swf", compressed}},
       {{{"save", "@intro.swf", "--frame", "2", "--output", "-"}, 0, {}, "Output: -\nFILE MODIFIED\n", {{"-", introMoved()}, {"intro.swf", movie}, {"intro_old.swf", std::nullopt}}},
        {{"save", "@c.swf", "--frame", "2", "--output", "-", "--json"}, 0, {}, "\"output\": \"-\"", {{"-", introMoved(exports({{2, "hero"}}), "CWS")}, {"c_old.swf", std::nullopt}}}}},
      {"--compress: a ZWS movie stays LZMA, zlib and none write CWS and FWS, LZMA is refused before version 13", {{"z.swf", intro(hero, "ZWS", 13)}, {"intro.swf", movie}},
       {{{"save", "@z.swf", "--frame", "2", "-o", "@z2.swf"}, 0, {"SWF Version: 13 (LZMA compressed)\n", "uncompressed)\nSize after: "}, ""},
        {{"info", "@z2.swf"}, 0, {"SWF Version: 13 (LZMA compressed)\n"}, ""},
        {{"save", "@z2.swf", "--frame", "2", "--compress", "none", "-o", "-"}, 0, {}, "*", {{"-", introMoved(hero, "FWS", 13)}}},
        {{"save", "@z.swf", "--frame", "2", "--compress", "zlib", "-o", "@c.swf"}, 0, {}, "", {{"c.swf", introMoved(hero, "CWS", 13)}}},
        {{"save", "@intro.swf", "--frame", "2", "--compress", "lzma"}, 1, {},
         "@intro.swf: LZMA compression needs SWF version 13 or later; this movie is version 6 (use --compress zlib or none).\n", {{"intro.swf", movie}, {"intro_old.swf", std::nullopt}}},
        {{"save", "@intro.swf", "--frame", "2", "--compress", "xz"}, 1, {}, "*", {{"intro.swf", movie}}}}},
      {"--output \"\" is a usage error; a FIFO output is refused with its reason", {{"intro.swf", movie}},
       {{{"save", "@intro.swf", "--frame", "2", "--output", ""}, 1, {}, "@intro.swf: --output needs a path (- for standard output).\n", {{"intro.swf", movie}}},
        {{"save", "@intro.swf", "--frame", "2", "-o", "@pipe"}, 4, {"Output: @pipe\n"}, "@intro.swf: ERROR WRITING FILE\n@intro.swf: Not a regular file (a FIFO): @pipe\n"}},
       [](const std::string& folder) { ASSERT_EQ(mkfifo((folder + "/pipe").c_str(), 0600), 0); }},
      {"a movie named through a link: the real file is saved, its backup beside it", {{"real/intro.swf", movie}},
       {{{"save", "@intro.swf", "--frame", "2"}, 0, {"Backup: @real/intro_old.swf\nOutput: @real/intro.swf\n"}, "", {{"real/intro.swf", introMoved()}, {"real/intro_old.swf", movie}}}},
       [](const std::string& folder) { fs::create_symlink("real/intro.swf", folder + "/intro.swf"); }},
      {"a movie whose bytes are not all there is refused before anything is written", {{"b.swf", kTagPastTheEnd}},
       {{{"save", "@b.swf", "--frame", "2"}, 3, {}, "@b.swf: " + kCannotSaveTagPast + "\n", {{"b.swf", kTagPastTheEnd}, {"b_old.swf", std::nullopt}}}}},
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
      {"an unknown command is named; under --json a usage error is a JSON object too", {{"intro.swf", intro()}},
       {{{"bogus", "@intro.swf"}, 1, {}, "Unknown command: bogus (the commands are info, analyze, save, assets and profile)\n"},
        {{"bogus", "--json"}, 1, {}, "Unknown command: bogus", {}, {}, {{"/status", "error"}, {"/message", "Unknown command: bogus (the commands are info, analyze, save, assets and profile)"}}},
        {{"analyze", "--json"}, 1, {}, "No movie given", {}, {}, {{"/message", "No movie given: name files or folders, or use --files-from."}}},
        {{"analyze", "@intro.swf", "--json", "--colour"}, 1, {}, "*", {}, {}, {{"/message", "The following argument was not expected: --colour"}}},
        {{"save", "@intro.swf", "--json"}, 1, {}, "*", {}, {}, {{"/message", "--frame is required"}}},
        {{"save", "@intro.swf", "--json", "--frame", "0x2"}, 1, {}, "*", {}, {}, {{"/message", "--frame: \"0x2\" is not a frame number: give decimal digits only, such as 2"}}}}},
      {"frame numbers are plain decimal digits", {{"intro.swf", intro()}}, [] {
         std::vector<CliStep> steps{{{"analyze", "@intro.swf", "--frame", "02"}, 0, {"Target frame: 2\n"}, ""},
                                    {{"analyze", "@intro.swf", "--frame", "010"}, 1, {}, "Target frame 10 is outside"},
                                    {{"save", "@intro.swf", "--frame", "99999999999999999999"}, 1, {}, "too large to be a frame number", {{"intro_old.swf", std::nullopt}}}};
         for (const std::string text : {"0x2", "2.0", "+2", "-1", "", " 2"}) steps.push_back({{"analyze", "@intro.swf", "--frame", text}, 1, {}, "\"" + text + "\" is not a frame number"});
         return steps;
       }()},
  };
  for (const CliCase& scenario : cases) {
    const CliResult last = runCase(scenario);
    if (scenario.steps.back().json.empty() && scenario.steps.back().status == 1) {
      EXPECT_EQ(last.out, "");
    }
  }
}

TEST(CliArguments, ResultsThatCannotBeWrittenFailTheRun) {
  const std::string movie = writeFile(tempPath("intro.swf"), intro());
  for (const std::vector<std::string>& arguments : {std::vector<std::string>{"info", movie}, {"analyze", movie}, {"analyze", "--json", movie},
                                                    {"save", movie, "--frame", "2", "--output", tempPath("out.swf")}, {"--help"}}) {
    const CliResult result = runCliWritingTo(arguments, "/dev/full");
    EXPECT_EQ(result.status, 1) << arguments[0];
    EXPECT_NE(result.err.find("could not be written to standard output"), std::string::npos) << arguments[0] << ": " << result.err;
  }
}

// A "CWS" movie of one frame whose one tag holds `size` zero bytes: small on disk, large inflated.
ByteVector compressedZeros(std::uint32_t size) {
  const ByteVector head = Bytes().rect(0, 11000, 0, 8000).u8(0).u8(12).u16(1).u16(77 << 6 | 0x3F).u32(size).data, tail = joined({kShowFrameBytes, kEndBytes});
  ByteVector file = Bytes{'C', 'W', 'S', 10}.u32(static_cast<std::uint32_t>(8 + head.size() + size + tail.size())).data, out(1 << 16);
  const ByteVector zeros(1 << 20, 0);
  z_stream z{};
  deflateInit(&z, 1);
  const auto put = [&](const ByteVector& in, std::size_t count, int flush) {
    z.next_in = const_cast<Bytef*>(in.data());
    z.avail_in = static_cast<uInt>(count);
    do {
      z.next_out = out.data();
      z.avail_out = static_cast<uInt>(out.size());
      deflate(&z, flush);
      file.insert(file.end(), out.data(), out.data() + out.size() - z.avail_out);
    } while (z.avail_out == 0);
  };
  put(head, head.size(), Z_NO_FLUSH);
  for (std::uint32_t left = size; left > 0; left -= std::min<std::uint32_t>(left, 1 << 20)) put(zeros, std::min<std::uint32_t>(left, 1 << 20), Z_NO_FLUSH);
  put(tail, tail.size(), Z_FINISH);
  deflateEnd(&z);
  return file;
}

TEST(CliArguments, AFileIsRefusedOrDescribedFromItsFirstBytesWhateverItsSize) {
  const std::string huge = writeFile(tempPath("huge.swf"), {'G', 'I', 'F', '8', '9', 'a'});
  std::filesystem::resize_file(huge, std::uint64_t{1} << 30);  // sparse: it costs no disk
  const std::string zeros = writeFile(tempPath("zeros.swf"), compressedZeros(256u << 20));
  const struct {
    std::vector<std::string> arguments;
    int status;
    std::string text;  // in standard output or standard error
  } rows[] = {{{"info", huge}, 2, "doesn't appear to be an swf"}, {{"analyze", huge}, 2, "doesn't appear to be an swf"},
              {{"save", huge, "--frame", "2"}, 2, "doesn't appear to be an swf"}, {{"info", zeros}, 0, "Dimensions: 550 x 400\nFrames (main timeline): 1\n"}};
  for (const auto& row : rows) {
    const CliResult result = runCli(row.arguments);
    EXPECT_EQ(result.status, row.status) << row.arguments[1];
    EXPECT_NE((result.out + result.err).find(row.text), std::string::npos) << result.out << result.err;
    EXPECT_LT(result.peakMemoryKb, 128 * 1024) << row.arguments[0] << " " << row.arguments[1] << " reads more than it needs";
  }
}

}  // namespace
}  // namespace framestow::clitest
