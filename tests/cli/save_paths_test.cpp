// framestow-cli save on the paths around a movie: the backup it reports is
// the one written, --output writes exactly what it names ("-": standard
// output, "": a usage error), special files are refused with the reason, and
// a movie that already has the layout is left alone.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <nlohmann/json.hpp>

#include "cli_movies.hpp"
#include "cli_runner.hpp"

namespace framestow::clitest {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;

// "{}" in an argument or an expected text stands for the case's folder.
std::string placed(std::string text, const std::string& folder) {
  for (std::size_t at; (at = text.find("{}")) != std::string::npos;) text.replace(at, 2, folder);
  return text;
}

struct PathCase {
  std::string name;
  std::function<void()> setUp;  // runs in the folder, which holds intro.swf
  std::vector<std::string> arguments;
  int status;
  std::string out;           // a line standard output holds
  std::string err;           // standard error, all of it
  bool movieSaved;           // intro.swf holds the saved movie (else the original)
  bool needsRoot = false;
};

const ByteVector kNotes = {'n', 'o', 't', 'e', 's'};

const std::vector<PathCase> kCases = {
    {"NumberedBackup", [] { test::writeFile("intro_old.swf", kNotes); }, {"save", "{}/intro.swf", "-f", "2"}, 0,
     "Backup: {}/intro_old_2.swf", "", true},
    {"EmptyOutput", [] {}, {"save", "{}/intro.swf", "-f", "2", "--output", ""}, 1, "",
     "{}/intro.swf: --output needs a path (- for standard output).\n", false},
    {"ReadOnlyMovie", [] { fs::permissions("intro.swf", fs::perms::owner_read, fs::perm_options::replace); },
     {"save", "{}/intro.swf", "-f", "2"}, 4, "Output: {}/intro.swf",
     "{}/intro.swf: ERROR WRITING FILE\n{}/intro.swf: The file is read-only: {}/intro.swf\n", false},
    {"FifoOutput", [] { mkfifo("pipe", 0644); }, {"save", "{}/intro.swf", "-f", "2", "-o", "{}/pipe"}, 4,
     "Output: {}/pipe", "{}/intro.swf: ERROR WRITING FILE\n{}/intro.swf: Not a regular file (a FIFO): {}/pipe\n",
     false},
    {"DeviceOutput", [] { mknod("null", S_IFCHR | 0666, makedev(1, 3)); },
     {"save", "{}/intro.swf", "-f", "2", "-o", "{}/null"}, 4, "Output: {}/null",
     "{}/intro.swf: ERROR WRITING FILE\n{}/intro.swf: Not a regular file (a device): {}/null\n", false, true},
    {"LinkedMovie", [] { fs::create_directory("real"), fs::rename("intro.swf", "real/intro.swf"),
                         fs::create_symlink("real/intro.swf", "intro.swf"); },
     {"save", "{}/intro.swf", "-f", "2"}, 0, "Backup: {}/real/intro_old.swf", "", true},
    {"AlreadyLaidOut", [] { test::writeFile("intro.swf", OneAssetMovie().movedToFrame2(OneAssetMovie().exports)); },
     {"save", "{}/intro.swf", "-f", "2"}, 0, "FILE ALREADY HAS THIS LAYOUT", "", true},
};

TEST(CliSavePaths, ReportsWhatWasWrittenAndWhyNothingWas) {
  const OneAssetMovie movie;
  const ByteVector saved = movie.movedToFrame2(movie.exports);
  const auto home = fs::current_path();
  const std::string base = freshFolder();
  for (const PathCase& c : kCases) {
    SCOPED_TRACE(c.name);
    if (c.needsRoot && geteuid() != 0) {
      std::cout << "[ SKIPPED  ] " << c.name << ": making a device node needs root\n";
      continue;
    }
    const std::string folder = base + "/" + c.name;
    writeMovie(folder, "intro.swf", movie.file());
    fs::current_path(folder);
    c.setUp();
    fs::current_path(home);
    const bool linked = fs::is_symlink(folder + "/intro.swf");
    std::vector<std::string> arguments;
    for (const std::string& argument : c.arguments) arguments.push_back(placed(argument, folder));

    const CliResult result = runCli(arguments);
    EXPECT_EQ(result.status, c.status) << result.err;
    if (!c.out.empty()) {
      EXPECT_THAT(result.out, HasSubstr(placed(c.out, folder) + "\n"));
    }
    EXPECT_EQ(result.err, placed(c.err, folder));
    EXPECT_EQ(test::readFile(folder + "/intro.swf"), c.movieSaved ? saved : movie.file());
    EXPECT_EQ(fs::is_symlink(folder + "/intro.swf"), linked) << "a link stays a link";
  }
}

TEST(CliSavePaths, OutputDashWritesTheMovieToStandardOutputAndTheReportToStandardError) {
  const std::string folder = freshFolder();
  const OneAssetMovie movie;
  const std::string path = writeMovie(folder, "intro.swf", movie.file("CWS"));
  for (const bool json : {false, true}) {
    std::vector<std::string> arguments{"save", path, "--frame", "2", "--output", "-"};
    if (json) arguments.push_back("--json");
    const CliResult result = runCli(arguments);
    EXPECT_EQ(result.status, 0) << result.err;
    const ByteVector written(result.out.begin(), result.out.end());
    EXPECT_EQ(test::inflateMovie(written), test::inflateMovie(movie.movedToFrame2(movie.exports, "CWS")));
    if (json) {
      const nlohmann::json report = nlohmann::json::parse(result.err)[0];
      EXPECT_EQ(report["output"], "-");
      EXPECT_EQ(report["result"], "FILE MODIFIED");
      EXPECT_EQ(report["sizeAfter"], written.size());
    } else {
      EXPECT_THAT(result.err, HasSubstr("Output: -\nFILE MODIFIED\n"));
    }
  }
  EXPECT_EQ(test::readFile(path), movie.file("CWS"));
  EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1) << "no backup, no file";
}

TEST(CliSavePaths, JsonCarriesTheReasonAndTheBackupWritten) {
  const std::string folder = freshFolder();
  const std::string path = writeMovie(folder, "intro.swf", OneAssetMovie().file());
  test::writeFile(folder + "/intro_old.swf", kNotes);
  const nlohmann::json saved = nlohmann::json::parse(runCli({"save", path, "-f", "2", "--json"}).out)[0];
  EXPECT_EQ(saved["backup"], folder + "/intro_old_2.swf");
  EXPECT_EQ(saved["reason"], "");

  const nlohmann::json again = nlohmann::json::parse(runCli({"save", path, "-f", "2", "--json"}).out)[0];
  EXPECT_EQ(again["status"], "ok");
  EXPECT_EQ(again["result"], "FILE ALREADY HAS THIS LAYOUT");
  EXPECT_EQ(again["backup"], "");

  fs::permissions(path, fs::perms::owner_read, fs::perm_options::replace);
  const std::string other = writeMovie(folder, "other.swf", OneAssetMovie().file());
  const CliResult refused = runCli({"save", other, "-f", "2", "--json", "-o", path});
  EXPECT_EQ(refused.status, 4);
  const nlohmann::json report = nlohmann::json::parse(refused.out)[0];
  EXPECT_EQ(report["result"], "ERROR WRITING FILE");
  EXPECT_EQ(report["reason"], "The file is read-only: " + path);
  EXPECT_EQ(report["backup"], "");
}

}  // namespace
}  // namespace framestow::clitest
