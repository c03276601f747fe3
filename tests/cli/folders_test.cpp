// Folders, lists and several jobs: which movies a run takes and in what order,
// output that does not depend on the number of jobs, JSON Lines and the
// summary for collections, save --frame attach, one file named twice, and the
// progress bar on a terminal only.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <sstream>
#include <nlohmann/json.hpp>

#include "cli_runner.hpp"
#include "support/test_files.hpp"

namespace framestow::clitest {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;
using Arguments = std::vector<std::string>;

Arguments operator+(Arguments first, const Arguments& more) {
  first.insert(first.end(), more.begin(), more.end());
  return first;
}

// Linked assets, but no attach code: no frame is known to be safe.
const ByteVector kNoAttach = movieOf({kBackground, shape(1), sprite(2, {place(1), kShowFrame, kEnd}), exports({{2, "hero"}}), kShowFrame, kShowFrame, kEnd});
const ByteVector kNoLinkedAssets = movieOf({kBackground, shape(1), place(1), kShowFrame, kShowFrame, kEnd});
const ByteVector kUnknownFill = movieOf({kBackground, tagBytes(kDefineShape, Bytes().u16(1).rect(0, 200, 0, 200).u8(1).u8(0x13).fill(8)),
                                         exports({{1, "broken"}}), kShowFrame, kShowFrame, kEnd});

std::string freshFolder() {
  static int folders = 0;
  const std::string folder = tempPath("f" + std::to_string(++folders));
  fs::create_directories(folder);
  return folder;
}
std::string writeMovie(const std::string& folder, const std::string& name, const ByteVector& bytes) { return writeFile(folder + "/" + name, bytes); }
// The intro movie stretched to 400 frames: slower to analyse than the others.
ByteVector slowMovie() {
  Tags tags{kBackground, shape(1), sprite(2, {place(1), kShowFrame, kEnd}), exports({{2, "hero"}}), kShowFrame, attach()};
  tags.insert(tags.end(), 400, kShowFrame);
  tags.push_back(kEnd);
  return movieOf(tags);
}
std::vector<std::string> linesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}
bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// A tree of movies, files that are no movies, backups and links:
//   films/A.SWF b.swf c.txt b_old.swf b_old_2.swf pipe.swf (FIFO) up -> .
//   films/sub/c.swf films/sub/deeper/d.swf films/sub.swf/e.swf
std::string filmTree() {
  const std::string root = freshFolder() + "/films";
  fs::create_directories(root + "/sub/deeper");
  fs::create_directories(root + "/sub.swf");
  const ByteVector movie = intro();
  for (const char* name : {"A.SWF", "b.swf", "c.txt", "b_old.swf", "b_old_2.swf", "sub/c.swf", "sub/deeper/d.swf",
                           "sub.swf/e.swf"}) {
    writeMovie(root, name, movie);
  }
  ::mkfifo((root + "/pipe.swf").c_str(), 0600);
  fs::create_directory_symlink(".", root + "/up");
  return root;
}

// The files of a JSON Lines output, relative to `root`.
std::vector<std::string> filesOf(const std::string& jsonLines, const std::string& root) {
  std::vector<std::string> files;
  for (const std::string& line : linesOf(jsonLines)) {
    files.push_back(fs::path(json::parse(line)["file"].get<std::string>()).lexically_relative(root).string());
  }
  return files;
}

struct ListingCase {
  const char* name;
  Arguments options;
  std::vector<std::string> files;
};

void PrintTo(const ListingCase& c, std::ostream* os) { *os << c.name; }

const ListingCase kListings[] = {
    {"FolderGivesItsMoviesSortedByName", {}, {"A.SWF", "b.swf", "pipe.swf"}},
    {"RecursiveAddsSubfoldersAfterTheFilesInNameOrder",
     {"--recursive"},
     {"A.SWF", "b.swf", "pipe.swf", "sub/c.swf", "sub/deeper/d.swf", "sub.swf/e.swf"}},
};

class FolderListing : public ::testing::TestWithParam<ListingCase> {};

TEST_P(FolderListing, TakesMoviesNotBackupsNorLinksToFolders) {
  const std::string root = filmTree();
  Arguments arguments{"analyze", root, "--json"};
  arguments.insert(arguments.end(), GetParam().options.begin(), GetParam().options.end());
  const CliResult result = runCli(arguments);
  EXPECT_EQ(filesOf(result.out, root), GetParam().files);
  EXPECT_EQ(result.status, 2) << "the FIFO is refused";
  EXPECT_TRUE(has(result.err, "Is a named pipe (FIFO), not a regular file"));
  EXPECT_TRUE(has(result.err, "Backups in the folders, left out: 2"));
}

INSTANTIATE_TEST_SUITE_P(Cases, FolderListing, ::testing::ValuesIn(kListings),
                         [](const auto& info) { return std::string(info.param.name); });

// A folder of every kind of outcome, the slow movie first, so that the
// others finish before it.
std::string mixedFolder() {
  const std::string folder = freshFolder();
  writeMovie(folder, "a-long.swf", slowMovie());
  writeMovie(folder, "b-one.swf", intro(exports({{2, "hero"}}), "CWS"));
  writeMovie(folder, "c-none.swf", kNoLinkedAssets);
  writeMovie(folder, "d-fill.swf", kUnknownFill);
  writeMovie(folder, "e-text.swf", ByteVector{'h', 'e', 'l', 'l', 'o'});
  writeMovie(folder, "f-old.swf", intro(exports({{2, "hero"}}), "FWS", 4));
  for (int i = 0; i < 12; ++i) writeMovie(folder, "g-" + std::to_string(i) + ".swf", kNoAttach);
  return folder;
}

TEST(FolderJobs, EveryNumberOfJobsPrintsTheSame) {
  const std::string folder = mixedFolder();
  struct Run {
    Arguments command;
    int status;  // the worst of the folder's: info reads no fill styles
  };
  for (const Run& run : {Run{{"info"}, 2}, Run{{"analyze", "--all-frames"}, 3}, Run{{"analyze", "--json"}, 3},
                         Run{{"analyze", "--frame", "2"}, 3}}) {
    const CliResult one = runCli(run.command + Arguments{folder, "--jobs", "1"});
    EXPECT_EQ(one.status, run.status) << run.command[0];
    for (const char* jobs : {"2", "7"}) {
      const CliResult many = runCli(run.command + Arguments{folder, "--jobs", jobs});
      EXPECT_EQ(many.out, one.out) << run.command[0] << " with " << jobs << " jobs";
      EXPECT_EQ(many.status, one.status) << run.command[0] << " with " << jobs << " jobs";
    }
  }
}

struct FramingCase {
  const char* name;
  bool list;            // the movies named through --files-from rather than as files
  bool lines;           // JSON Lines expected, else one array
  bool summary;
};

void PrintTo(const FramingCase& c, std::ostream* os) { *os << c.name; }

const FramingCase kFramings[] = {
    {"FilesNamedOneByOneGiveTheArrayAndNoSummary", false, false, false},
    {"AListGivesJsonLinesAndTheSummary", true, true, true},
};

class JsonFraming : public ::testing::TestWithParam<FramingCase> {};

TEST_P(JsonFraming, ForEveryCommand) {
  const std::string folder = freshFolder();
  const std::string good = writeMovie(folder, "good.swf", intro());
  const std::string bad = writeMovie(folder, "bad.swf", ByteVector{'n', 'o'});
  for (const Arguments& command : {Arguments{"analyze", "--json"}, Arguments{"save", "--json", "--frame", "2"}}) {
    const CliResult result = GetParam().list ? runCliWithInput(command + Arguments{"--files-from", "-"},
                                                               good + "\n" + bad + "\n")
                                             : runCli(command + Arguments{good, bad});
    std::vector<json> objects;
    if (GetParam().lines) {
      for (const std::string& line : linesOf(result.out)) objects.push_back(json::parse(line));
    } else {
      for (const json& object : json::parse(result.out)) objects.push_back(object);
    }
    ASSERT_EQ(objects.size(), 2u) << command[0];
    EXPECT_EQ(objects[0]["status"], "ok") << command[0];
    EXPECT_EQ(objects[1]["message"], "Sorry, the file doesn't appear to be an swf.") << command[0];
    EXPECT_EQ(result.status, 2) << command[0];
    if (GetParam().summary) {
      EXPECT_TRUE(has(result.err, "Summary: 2 movies in ")) << command[0];
      EXPECT_TRUE(has(result.err, "Refused: 1\n       1  Sorry, the file doesn't appear to be an swf.\n"));
    } else {
      EXPECT_FALSE(has(result.err, "Summary: ")) << command[0];
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, JsonFraming, ::testing::ValuesIn(kFramings),
                         [](const auto& info) { return std::string(info.param.name); });

struct ListCase {
  const char* name;
  std::string (*list)(const std::string& folder);  // the --files-from list for the folder's movies
  Arguments options;
  std::vector<std::string> files;  // of the objects printed, relative to the folder
};

void PrintTo(const ListCase& c, std::ostream* os) { *os << c.name; }

const ListCase kLists[] = {
    {"BlankLinesNameNothingAndSpacesBelongToTheName",
     [](const std::string& f) { return "\n" + f + "/ spaced .swf\n\n" + f + "/plain.swf"; },
     {},
     {" spaced .swf", "plain.swf"}},
    {"WindowsLineEndsAreDropped",
     [](const std::string& f) { return f + "/plain.swf\r\n" + f + "/ spaced .swf\r\n"; },
     {},
     {"plain.swf", " spaced .swf"}},
    {"NulSeparatedNamesMayHoldLineFeeds",
     [](const std::string& f) { return f + "/line\nfeed.swf" + std::string(1, '\0') + f + "/plain.swf" + '\0'; },
     {"--null"},
     {"line\nfeed.swf", "plain.swf"}},
    {"AListedFolderIsExpanded", [](const std::string& f) { return f; }, {}, {" spaced .swf", "line\nfeed.swf", "plain.swf"}},
};

class FilesFrom : public ::testing::TestWithParam<ListCase> {};

TEST_P(FilesFrom, ReadsPathsFromStandardInput) {
  const std::string folder = freshFolder();
  for (const char* name : {" spaced .swf", "line\nfeed.swf", "plain.swf"}) {
    writeMovie(folder, name, intro());
  }
  const CliResult result =
      runCliWithInput(Arguments{"analyze", "--json", "--files-from", "-"} + GetParam().options, GetParam().list(folder));
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(filesOf(result.out, folder), GetParam().files);
}

INSTANTIATE_TEST_SUITE_P(Cases, FilesFrom, ::testing::ValuesIn(kLists),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(FilesFromErrors, AListThatCannotBeReadAndOptionsThatDoNotFit) {
  const std::string folder = freshFolder();
  const std::string movie = writeMovie(folder, "intro.swf", intro());
  const CliResult missing = runCli({"analyze", "--files-from", folder + "/absent.txt"});
  EXPECT_EQ(missing.status, 2);
  EXPECT_TRUE(has(missing.err, "No such file or directory: " + folder + "/absent.txt"));
  EXPECT_EQ(runCli({"analyze", movie, "--null"}).status, 1) << "--null without a list";
  EXPECT_EQ(runCli({"analyze", movie, "--jobs", "0"}).status, 1);
  EXPECT_EQ(runCli({"save", folder, "--frame", "2", "--output", folder + "/x.swf"}).status, 1) << "--output of a folder";
  EXPECT_EQ(runCli({"save", movie, movie, "--frame", "2", "--output", folder + "/x.swf"}).status, 1);
}

TEST(SaveAttachFrame, SavesWhereItIsSafeAndSkipsTheRest) {
  const std::string folder = freshFolder();
  writeMovie(folder, "a-one.swf", intro());
  writeMovie(folder, "b-none.swf", kNoLinkedAssets);
  writeMovie(folder, "c-noattach.swf", kNoAttach);
  writeMovie(folder, "d-old.swf", intro(exports({{2, "hero"}}), "FWS", 4));
  writeMovie(folder, "e-fill.swf", kUnknownFill);
  const CliResult result = runCli({"save", folder, "--frame", "attach", "--json"});
  const std::vector<std::string> lines = linesOf(result.out);
  ASSERT_EQ(lines.size(), 5u) << result.out;
  struct Expected {
    const char* result;
    const char* skipped;
  };
  const Expected expected[] = {
      {"FILE MODIFIED", ""},
      {"", "This movie does not contain linked assets."},
      {"", "No attach code was found, so no frame is known to be safe."},
      {"", "Version 4 Flash files do not use linked assets."},
      {"", ""},
  };
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const json object = json::parse(lines[i]);
    EXPECT_EQ(object["result"], expected[i].result) << lines[i];
    EXPECT_EQ(object["skipped"], expected[i].skipped) << lines[i];
  }
  EXPECT_EQ(json::parse(lines[0])["frame"], 2);
  EXPECT_EQ(json::parse(lines[4])["message"], "Unknown fill type: 19");
  EXPECT_EQ(result.status, 3) << "skips are no failures; the unknown fill type is";
  EXPECT_TRUE(has(result.err, "Saved: 1\n"));
  EXPECT_TRUE(has(result.err, "Skipped: 3\n"));
  EXPECT_TRUE(fs::exists(folder + "/a-one_old.swf"));
  EXPECT_FALSE(fs::exists(folder + "/c-noattach_old.swf"));

  const CliResult again = runCli({"save", folder, "--frame", "attach"});
  EXPECT_TRUE(has(again.out, "FILE ALREADY HAS THIS LAYOUT"));
  EXPECT_TRUE(has(again.err, "Backups in the folders, left out: 1"));
  EXPECT_FALSE(fs::exists(folder + "/a-one_old_old.swf")) << "the backup is no movie to save";
}

TEST(SaveSameFileTwice, TheSecondSaveSeesTheFirstOnesMovie) {
  const std::string folder = freshFolder();
  const std::string movie = writeMovie(folder, "a.swf", intro());
  fs::create_symlink("a.swf", folder + "/b.swf");
  for (const char* jobs : {"1", "2"}) {
    fs::remove(folder + "/a_old.swf");
    writeMovie(folder, "a.swf", intro());
    const CliResult result = runCli({"save", folder, "--frame", "2", "--json", "--jobs", jobs});
    const std::vector<std::string> lines = linesOf(result.out);
    ASSERT_EQ(lines.size(), 2u) << result.out;
    EXPECT_EQ(json::parse(lines[0])["result"], "FILE MODIFIED") << jobs;
    EXPECT_EQ(json::parse(lines[1])["result"], "FILE ALREADY HAS THIS LAYOUT") << jobs;
    EXPECT_EQ(result.status, 0) << result.err;
  }
}

TEST(ProgressBar, OnlyOnATerminal) {
  const std::string folder = mixedFolder();
  const CliResult terminal = runCliOnTerminal({"analyze", folder, "--json"});
  EXPECT_TRUE(has(terminal.err, "analyze  "));
  EXPECT_TRUE(has(terminal.err, "/18"));
  EXPECT_TRUE(has(terminal.err, "Summary: 18 movies"));
  EXPECT_EQ(terminal.out, runCli({"analyze", folder, "--json"}).out);
  EXPECT_FALSE(has(runCli({"analyze", folder}).err, "\r")) << "no bar when standard error is a file";
  EXPECT_FALSE(has(runCliOnTerminal({"analyze", folder, "--no-progress"}).err, "/18"));
}

}  // namespace
}  // namespace framestow::clitest
