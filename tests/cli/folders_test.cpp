// Folders, lists and several jobs: which movies a run takes and in what order,
// output that does not depend on the number of jobs, JSON Lines and the
// summary for collections, save --frame attach, one file named twice, and the
// progress bar on a terminal only.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "cli_runner.hpp"
#include "support/test_files.hpp"

namespace framestow::clitest {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

// Linked assets, but no attach code: no frame is known to be safe.
const ByteVector kNoAttach = movieOf({kBackground, shape(1), sprite(2, {place(1), kShowFrameBytes, kEndBytes}), exports({{2, "hero"}}), kShowFrameBytes, kShowFrameBytes, kEndBytes});
const ByteVector kNoLinkedAssets = movieOf({kBackground, shape(1), place(1), kShowFrameBytes, kShowFrameBytes, kEndBytes});
const ByteVector kUnknownFill = movieOf({kBackground, tagBytes(kDefineShape, Bytes().u16(1).rect(0, 200, 0, 200).u8(1).u8(0x13).fill(8)),
                                         exports({{1, "broken"}}), kShowFrameBytes, kShowFrameBytes, kEndBytes});
const ByteVector kOld = intro(exports({{2, "hero"}}), "FWS", 4);
const std::string kNotAnSwf = "Sorry, the file doesn't appear to be an swf.";

TEST(CliFolders, Collections) {
  const ByteVector movie = intro();
  const auto fifo = [](const std::string& folder) { ASSERT_EQ(mkfifo((folder + "/pipe.swf").c_str(), 0600), 0); };
  const CliCase cases[] = {
      {"a folder gives its movies sorted by name: no other files, no backups, no subfolders unless asked, no links to folders; a FIFO is refused at once",
       {{"A.SWF", movie}, {"b.swf", movie}, {"c.txt", movie}, {"b_old.swf", movie}, {"b_old_2.swf", movie}, {"sub/c.swf", movie}, {"sub/deeper/d.swf", movie}, {"sub.swf/e.swf", movie}},
       {{{"analyze", "--json", "@"}, 2, {}, "Backups in the folders, left out: 2\n", {}, {},
         {{"/0/file", "@A.SWF"}, {"/1/file", "@b.swf"}, {"/2/reason", "Is a named pipe (FIFO), not a regular file: @pipe.swf"}, {"/3", nullptr}}},
        {{"analyze", "--json", "--recursive", "@"}, 2, {}, "*", {}, {},
         {{"/2/file", "@pipe.swf"}, {"/3/file", "@sub/c.swf"}, {"/4/file", "@sub/deeper/d.swf"}, {"/5/file", "@sub.swf/e.swf"}, {"/6", nullptr}}}},
       [&](const std::string& folder) { fifo(folder); fs::create_directory_symlink(".", folder + "/up"); }},
      {"a list names a path a line, or a path per NUL with --null; blank lines name nothing, spaces belong to the name, a Windows line end goes, a folder gives its movies",
       {{" spaced .swf", movie}, {"plain.swf", movie}, {"dir/inner.swf", movie}, {"line\nfeed.swf", movie}},
       {{{"analyze", "--json", "--files-from", "-"}, 0, {}, "Summary: 3 movies in ", {}, {},
         {{"/0/file", "@ spaced .swf"}, {"/1/file", "@plain.swf"}, {"/2/file", "@dir/inner.swf"}, {"/3", nullptr}}, "\n@ spaced .swf\n\n@plain.swf\r\n@dir\n"},
        {{"analyze", "--json", "--files-from", "-", "--null"}, 0, {}, "*", {}, {}, {{"/0/file", "@line\nfeed.swf"}, {"/1/file", "@plain.swf"}, {"/2", nullptr}},
         std::string("@line\nfeed.swf\0@plain.swf\0", 26)}}},
      {"files named one by one give the JSON array and no summary; a list gives JSON Lines and a summary on standard error",
       {{"good.swf", movie}, {"bad.swf", {'n', 'o'}}},
       {{{"analyze", "--json", "@good.swf", "@bad.swf"}, 2, {"},\n  {"}, "@bad.swf: " + kNotAnSwf + "\n", {}, {}, {{"/0/status", "ok"}, {"/1/message", kNotAnSwf}}},
        {{"analyze", "--json", "--files-from", "-"}, 2, {"}\n{"}, "Refused: 1\n       1  " + kNotAnSwf + "\n", {}, {}, {{"/0/status", "ok"}, {"/1/message", kNotAnSwf}}, "@good.swf\n@bad.swf\n"},
        {{"save", "--json", "--frame", "2", "--files-from", "-"}, 2, {"}\n{"}, "Summary: 2 movies in ", {{"good.swf", introMoved()}}, {},
         {{"/0/result", "FILE MODIFIED"}, {"/1/message", kNotAnSwf}}, "@good.swf\n@bad.swf\n"}}},
      {"save --frame attach saves each movie for its own attach frame where that is OK, skips the rest saying why; a second run finds the layout and leaves the backup out",
       {{"a-one.swf", movie}, {"b-none.swf", kNoLinkedAssets}, {"c-noattach.swf", kNoAttach}, {"d-old.swf", kOld}, {"e-fill.swf", kUnknownFill}},
       {{{"save", "--json", "--frame", "attach", "@"}, 3, {}, "Saved: 1\nAlready had the layout: 0\n",
         {{"a-one.swf", introMoved()}, {"a-one_old.swf", movie}, {"c-noattach.swf", kNoAttach}, {"c-noattach_old.swf", std::nullopt}}, {},
         {{"/0/result", "FILE MODIFIED"}, {"/0/frame", 2}, {"/0/skipped", ""}, {"/1/result", ""}, {"/1/skipped", "This movie does not contain linked assets."},
          {"/2/skipped", "No attach code was found, so no frame is known to be safe."}, {"/3/skipped", "Version 4 Flash files do not use linked assets."},
          {"/4/message", "Unknown fill type: 19"}, {"/4/skipped", ""}}},
        {{"save", "--frame", "attach", "@"}, 3, {"FILE ALREADY HAS THIS LAYOUT\n", "Skipped: No attach code was found"}, "Backups in the folders, left out: 1\n", {{"a-one_old_old.swf", std::nullopt}}}}},
      {"one file named twice, through a link, is saved once and then found laid out, whatever the number of jobs", {{"a.swf", movie}},
       {{{"save", "--json", "--frame", "2", "--jobs", "1", "@"}, 0, {}, "*", {{"a.swf", introMoved()}}, [&](const std::string& folder) { writeFile(folder + "/a.swf", movie); fs::remove(folder + "/a_old.swf"); },
         {{"/0/result", "FILE MODIFIED"}, {"/1/file", "@b.swf"}, {"/1/result", "FILE ALREADY HAS THIS LAYOUT"}}},
        {{"save", "--json", "--frame", "2", "--jobs", "2", "@"}, 0, {}, "*", {{"a.swf", introMoved()}, {"a_old.swf", movie}}, {},
         {{"/0/result", "FILE MODIFIED"}, {"/1/result", "FILE ALREADY HAS THIS LAYOUT"}}}},
       [](const std::string& folder) { fs::create_symlink("a.swf", folder + "/b.swf"); }},
      {"a list that cannot be read, and options that do not fit a collection", {{"intro.swf", movie}},
       {{{"analyze", "--files-from", "@absent.txt"}, 2, {}, "No such file or directory: @absent.txt"},
        {{"analyze", "@intro.swf", "--null"}, 1, {}, "*"},
        {{"analyze", "@intro.swf", "--jobs", "0"}, 1, {}, "*"},
        {{"save", "@", "--frame", "2", "--output", "@x.swf"}, 1, {}, "*"},
        {{"save", "@intro.swf", "@intro.swf", "--frame", "2", "--output", "@x.swf"}, 1, {}, "*", {{"x.swf", std::nullopt}, {"intro.swf", movie}}}}},
  };
  for (const CliCase& scenario : cases) runCase(scenario);
}

// A folder of every kind of outcome, a slow movie first, so that the others
// finish before it.
std::string mixedFolder() {
  Tags slow{kBackground, shape(1), sprite(2, {place(1), kShowFrameBytes, kEndBytes}), exports({{2, "hero"}}), kShowFrameBytes, attach()};
  slow.insert(slow.end(), 400, kShowFrameBytes);
  slow.push_back(kEndBytes);
  const std::pair<std::string, ByteVector> files[] = {{"a-slow.swf", movieOf(slow)}, {"b-one.swf", intro(exports({{2, "hero"}}), "CWS")}, {"c-none.swf", kNoLinkedAssets},
                                                      {"d-fill.swf", kUnknownFill}, {"e-text.swf", {'h', 'i'}}, {"f-old.swf", kOld}};
  for (const auto& [name, bytes] : files) writeFile(tempPath("mixed/" + name), bytes);
  for (int i = 0; i < 12; ++i) writeFile(tempPath("mixed/g-" + std::to_string(i) + ".swf"), kNoAttach);
  return tempPath("mixed");
}

TEST(CliFolders, EveryNumberOfJobsPrintsTheSame) {
  const std::string folder = mixedFolder();
  const struct {
    std::vector<std::string> command;
    int status;  // the worst of the folder's: info reads no fill styles
  } runs[] = {{{"info"}, 2}, {{"analyze", "--all-frames"}, 3}, {{"analyze", "--json"}, 3}, {{"analyze", "--frame", "2"}, 3}};
  for (const auto& run : runs) {
    std::vector<CliResult> results;
    for (const char* jobs : {"1", "2", "7"}) {
      std::vector<std::string> arguments = run.command;
      arguments.insert(arguments.end(), {folder, "--jobs", jobs});
      results.push_back(runCli(arguments));
      EXPECT_EQ(results.back().status, run.status) << run.command[0] << " with " << jobs << " jobs";
      EXPECT_EQ(results.back().out, results.front().out) << run.command[0] << " with " << jobs << " jobs";
    }
  }
}

TEST(CliFolders, AProgressBarOnATerminalOnly) {
  const std::string folder = mixedFolder();
  const CliResult terminal = runCliOnTerminal({"analyze", folder, "--json"});
  EXPECT_NE(terminal.err.find("analyze  "), std::string::npos) << terminal.err;
  EXPECT_NE(terminal.err.find("/18"), std::string::npos) << terminal.err;
  EXPECT_NE(terminal.err.find("Summary: 18 movies"), std::string::npos) << terminal.err;
  EXPECT_EQ(terminal.out, runCli({"analyze", folder, "--json"}).out);
  EXPECT_EQ(runCli({"analyze", folder}).err.find('\r'), std::string::npos) << "no bar when standard error is a file";
  EXPECT_EQ(runCliOnTerminal({"analyze", folder, "--no-progress"}).err.find("/18"), std::string::npos);
}

}  // namespace
}  // namespace framestow::clitest
