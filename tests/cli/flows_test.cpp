// What a person does at the command line, step by step: look at a movie,
// analyse it, try target frames, save, save again, run into a failure, mend it
// and try again. Each scenario checks what every step prints and the files it
// leaves.
#include <gtest/gtest.h>

#include <filesystem>

#include "cli_runner.hpp"

namespace framestow::clitest {
namespace {

namespace fs = std::filesystem;

TEST(CliFlows, UserScenarios) {
  const ByteVector movie = intro();
  const ByteVector moved = introMoved();
  const ByteVector twice = intro(exports({{2, "hero"}, {2, "hero"}}));
  const ByteVector threeFrames = movieOf({kBackground, bitmap(1, 40), exports({{1, "art"}}), kShowFrameBytes, kShowFrameBytes, kShowFrameBytes, kEndBytes});
  const std::string longName = std::string(251, 'm');  // with ".swf" the longest name a folder holds: "_old" does not fit
  const std::string size = std::to_string(movie.size());
  const std::string movable = introMovable();
  const auto readOnly = [](const std::string& folder) { fs::permissions(folder + "/intro.swf", fs::perms::owner_read | fs::perms::group_read); };
  const CliCase cases[] = {
      {"look, analyse, choose the attach frame, save, and analyse the copy", {{"intro.swf", movie}},
       {{{"info", "@intro.swf"}, 0, {"File Name: intro.swf\nSWF Version: 6\nFile Size: " + size + " bytes \nDimensions: 400 x 300\nFrames (main timeline): 2\n"}, ""},
        {{"analyze", "@intro.swf"}, 0,
         {"\nNumber of linked assets found: 1\nAttach codes were found in frame 2\nNo redundant export codes found.\nRedundant export bytes: 0\n",
          "  " + movable + "  yes   " + movable + " bytes | OK to move to frame 2.\n"}, ""},
        {{"analyze", "@intro.swf", "--frame", "2"}, 0, {"Target frame: 2\nMovable bytes: " + movable + "\n" + movable + " bytes\nOK to move to frame 2.\n"}, ""},
        {{"save", "@intro.swf", "--frame", "2"}, 0,
         {"OK to move to frame 2.\nBackup: @intro_old.swf\nOutput: @intro.swf\nFILE MODIFIED\nSize before: " + size + " bytes\nSize after: " + size + " bytes\n"}, "",
         {{"intro.swf", moved}, {"intro_old.swf", movie}}},
        {{"analyze", "@intro.swf", "--frame", "2"}, 0, {"Number of linked assets found: 1\n", "Movable bytes: " + movable + "\n"}, ""}}},
      {"save a second time: the movie already has its layout, nothing is written", {{"intro.swf", movie}},
       {{{"save", "@intro.swf", "--frame", "2"}, 0, {"FILE MODIFIED\n"}, "", {{"intro.swf", moved}}},
        {{"save", "@intro.swf", "--frame", "2"}, 0, {"FILE ALREADY HAS THIS LAYOUT\n"}, "", {{"intro.swf", moved}, {"intro_old.swf", movie}, {"intro_old_2.swf", std::nullopt}}}}},
      {"save for frame 2, then for frame 3: the original stays in the first backup", {{"m.swf", threeFrames}},
       {{{"save", "@m.swf", "--frame", "2"}, 0, {"Backup: @m_old.swf\n"}, ""},
        {{"save", "@m.swf", "--frame", "3"}, 0, {"Backup: @m_old_2.swf\n"}, "",
         {{"m.swf", movieOf({kBackground, kShowFrameBytes, kShowFrameBytes, bitmap(1, 40), exports({{1, "art"}}), kShowFrameBytes, kEndBytes})}, {"m_old.swf", threeFrames},
          {"m_old_2.swf", movieOf({kBackground, kShowFrameBytes, bitmap(1, 40), exports({{1, "art"}}), kShowFrameBytes, kShowFrameBytes, kEndBytes})}}}}},
      {"a frame outside the movie, then the right one", {{"intro.swf", movie}},
       {{{"save", "@intro.swf", "--frame", "5"}, 1, {}, "choose 1 to 2", {{"intro.swf", movie}, {"intro_old.swf", std::nullopt}}},
        {{"save", "@intro.swf", "--frame", "2", "--no-backup"}, 0, {}, "", {{"intro.swf", moved}, {"intro_old.swf", std::nullopt}}}}},
      {"whatever lies under the backup names stays: the backup takes the first free name", {{"intro.swf", movie}, {"intro_old.swf", {'n', 'o'}}},
       {{{"save", "@intro.swf", "--frame", "2"}, 0, {"Backup: @intro_old_3.swf\n"}, "", {{"intro.swf", moved}, {"intro_old.swf", ByteVector{'n', 'o'}}, {"intro_old_3.swf", movie}}}},
       [](const std::string& folder) { fs::create_directory(folder + "/intro_old_2.swf"); }},
      {"a name too long for its backup stops the save; without a backup it goes", {{longName + ".swf", movie}},
       {{{"save", "@" + longName + ".swf", "--frame", "2"}, 4, {}, "@" + longName + ".swf: ERROR CREATING BACKUP\n@" + longName + ".swf: File name too long: @" + longName + "_old.swf\n",
         {{longName + ".swf", movie}}},
        {{"save", "@" + longName + ".swf", "--frame", "2", "--no-backup"}, 0, {"FILE MODIFIED\n"}, "", {{longName + ".swf", moved}}}}},
      {"an output folder that does not exist, made, then the save again", {{"intro.swf", movie}},
       {{{"save", "@intro.swf", "--frame", "2", "--output", "@out/copy.swf"}, 4, {}, "@intro.swf: ERROR WRITING FILE\n@intro.swf: No such file or directory: @out/copy.swf\n", {{"intro.swf", movie}},
         [](const std::string& folder) { fs::create_directory(folder + "/out"); }},
        {{"save", "@intro.swf", "--frame", "2", "--output", "@out/copy.swf"}, 0, {"Output: @out/copy.swf\n"}, "",
         {{"intro.swf", movie}, {"out/copy.swf", moved}, {"intro_old.swf", std::nullopt}}}}},
      {"a read-only movie is refused before its backup; made writable, it is saved, with its permissions kept", {{"intro.swf", movie}}, {{{"info", "@intro.swf"}, 0, {}, "", {}, readOnly},
        {{"save", "@intro.swf", "--frame", "2"}, 4, {}, "@intro.swf: ERROR WRITING FILE\n@intro.swf: The file is read-only: @intro.swf\n", {{"intro.swf", movie}, {"intro_old.swf", std::nullopt}},
         [](const std::string& folder) { fs::permissions(folder + "/intro.swf", fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read); }},
        {{"save", "@intro.swf", "--frame", "2", "--no-backup"}, 0, {}, "", {{"intro.swf", moved}}, [](const std::string& folder) {
           EXPECT_EQ(fs::status(folder + "/intro.swf").permissions() & fs::perms::mask, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read); }}}},
      {"keep the redundant entries while moving, then drop them alone at frame 1", {{"intro.swf", twice}},
       {{{"save", "@intro.swf", "--frame", "2", "--keep-redundant", "--no-backup"}, 0, {"Redundant export bytes kept: 7\n"}, "",
         {{"intro.swf", introMoved(exports({{2, "hero"}, {2, "hero"}}))}}},
        {{"save", "@intro.swf", "--frame", "1", "--no-backup"}, 0, {"Redundant export bytes removed: 7\n"}, "", {{"intro.swf", introMoved(exports({{2, "hero"}}))}}}}},
  };
  for (const CliCase& scenario : cases) runCase(scenario);
}

}  // namespace
}  // namespace framestow::clitest
