// framestow-cli analyze as text: the dialog's analysis lines, the redundant
// export bytes and the target frame table.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

#include "cli_movies.hpp"
#include "cli_runner.hpp"

namespace framestow::clitest {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

// Table rows are the lines that start with a frame number.
std::vector<std::string> tableRows(const std::string& out) {
  std::vector<std::string> rows;
  bool inTable = false;
  for (const std::string& line : linesOf(out)) {
    if (line.find("Movable bytes") != std::string::npos && line.find("Frame") != std::string::npos) {
      inTable = true;
      continue;
    }
    if (inTable && !line.empty() && line.find_first_not_of(' ') != std::string::npos &&
        std::isdigit(static_cast<unsigned char>(line[line.find_first_not_of(' ')]))) {
      rows.push_back(line);
    }
  }
  return rows;
}

TEST(CliAnalyze, ShowsTheAnalysisLinesAndTheBytesThatCanMove) {
  const std::string folder = freshFolder();
  const OneAssetMovie movie;
  const std::string path = writeMovie(folder, "intro.swf", movie.file());

  const CliResult result = runCli({"analyze", path});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.err, "");
  EXPECT_THAT(result.out, HasSubstr("\nNumber of linked assets found: 1\n"
                                    "Attach codes were found in frame 2\n"
                                    "No redundant export codes found.\n"));
  EXPECT_THAT(result.out, HasSubstr("Redundant export bytes: 0\n"));
  const auto rows = tableRows(result.out);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_THAT(rows[1], HasSubstr(" " + std::to_string(movie.movableBytes()) + " "));
  EXPECT_THAT(rows[1], HasSubstr(std::to_string(movie.movableBytes()) + " bytes | OK to move to frame 2."));
}

TEST(CliAnalyze, OneFrameGivesThatFramesThreeVerdictLines) {
  const std::string folder = freshFolder();
  const OneAssetMovie movie;
  const std::string path = writeMovie(folder, "intro.swf", movie.file());

  const CliResult result = runCli({"analyze", path, "--frame", "2"});
  EXPECT_EQ(result.status, 0);
  EXPECT_THAT(result.out, HasSubstr("Target frame: 2\nMovable bytes: " + std::to_string(movie.movableBytes()) +
                                    "\n" + std::to_string(movie.movableBytes()) +
                                    " bytes\nOK to move to frame 2.\n"));
  EXPECT_TRUE(tableRows(result.out).empty());
}

TEST(CliAnalyze, RedundantExportEntriesAreCounted) {
  const std::string folder = freshFolder();
  // The second export of id 2 as "hero" is redundant: 2 bytes of id, "hero" and its NUL.
  const OneAssetMovie movie({{2, "hero"}, {2, "hero"}});
  const std::string path = writeMovie(folder, "intro.swf", movie.file());

  const CliResult result = runCli({"analyze", path});
  EXPECT_EQ(result.status, 0);
  EXPECT_THAT(result.out, HasSubstr("Redundant export codes found: 7 Bytes\n"));
  EXPECT_THAT(result.out, HasSubstr("Redundant export bytes: 7\n"));
}

TEST(CliAnalyze, MovieBelowVersionFiveGetsTheVersionLineOnly) {
  const std::string folder = freshFolder();
  const std::string path = writeMovie(folder, "old.swf", OneAssetMovie().file("FWS", 4));

  const CliResult result = runCli({"analyze", path});
  EXPECT_EQ(result.status, 0) << "an old movie is described, not refused";
  EXPECT_THAT(result.out, HasSubstr("\nVersion 4 Flash files do not use linked assets.\n"));
  EXPECT_THAT(result.out, Not(HasSubstr("Movable bytes")));
  EXPECT_THAT(result.out, Not(HasSubstr("linked assets found")));
}

TEST(CliAnalyze, MovieWithoutLinkedAssetsSaysSo) {
  const std::string folder = freshFolder();
  const std::string path = writeMovie(folder, "plain.swf", noLinkedAssetsMovie());

  const CliResult result = runCli({"analyze", path});
  EXPECT_EQ(result.status, 0);
  EXPECT_THAT(result.out, HasSubstr("\nThis movie does not contain linked assets.\n"));
}

TEST(CliAnalyze, UnknownFillTypeCannotBeAnalysed) {
  const std::string folder = freshFolder();
  const std::string path = writeMovie(folder, "broken.swf", unknownFillMovie());

  const CliResult result = runCli({"analyze", path});
  EXPECT_EQ(result.status, 3);
  EXPECT_EQ(result.err, path + ": Unknown fill type: 19\n");
  EXPECT_THAT(result.out, HasSubstr("File Name: broken.swf\n"));
}

TEST(CliAnalyze, TargetFrameOutsideTheMovieNamesTheValidRange) {
  const std::string folder = freshFolder();
  const std::string path = writeMovie(folder, "intro.swf", OneAssetMovie().file());

  for (const std::string frame : {"0", "3"}) {
    const CliResult result = runCli({"analyze", path, "--frame", frame});
    EXPECT_EQ(result.status, 1) << frame;
    EXPECT_THAT(result.err, HasSubstr("1 to 2")) << frame;
    EXPECT_THAT(result.out, Not(HasSubstr("Target frame:"))) << "no silent clamp to a valid frame";
  }
}

TEST(CliAnalyze, LongMovieListsAFewFramesByDefaultAndAllOnRequest) {
  const std::string folder = freshFolder();
  const std::string path = writeMovie(folder, "long.swf", longMovie(5000));

  const auto started = std::chrono::steady_clock::now();
  const CliResult byDefault = runCli({"analyze", path});
  const auto elapsed = std::chrono::steady_clock::now() - started;
  EXPECT_EQ(byDefault.status, 0);
  const auto rows = tableRows(byDefault.out);
  EXPECT_LE(rows.size(), 25u);
  EXPECT_THAT(rows.back(), ::testing::StartsWith(" 5000")) << "the last frame is listed";
  EXPECT_THAT(byDefault.out, HasSubstr("--all-frames"));
  EXPECT_LT(elapsed, std::chrono::seconds(10));

  const CliResult all = runCli({"analyze", path, "--all-frames"});
  EXPECT_EQ(all.status, 0);
  EXPECT_EQ(tableRows(all.out).size(), 5000u);
}

TEST(CliAnalyze, AttachFrameAndTheFrameAfterItShowTheirVerdicts) {
  const std::string folder = freshFolder();
  const std::string path = writeMovie(folder, "long.swf", longMovie(30));

  const CliResult result = runCli({"analyze", path, "--frame", "3"});
  EXPECT_EQ(result.status, 0);
  EXPECT_THAT(result.out, HasSubstr("Some assets may be unavailable\nif moved to the selected frame.\n"));
  EXPECT_THAT(result.out, HasSubstr(" bytes - WARNING!\n"));
}

TEST(CliAnalyze, SeveralFilesAreEachAnalysedAndTheWorstStatusWins) {
  const std::string folder = freshFolder();
  const std::string good = writeMovie(folder, "good.swf", OneAssetMovie().file());
  const std::string broken = writeMovie(folder, "broken.swf", unknownFillMovie());
  const std::string notMovie = writeMovie(folder, "text.swf", ByteVector(30, 'a'));

  const CliResult result = runCli({"analyze", notMovie, broken, good});
  EXPECT_EQ(result.status, 3);
  EXPECT_THAT(result.out, HasSubstr("File Name: good.swf"));
  EXPECT_THAT(result.out, HasSubstr("Number of linked assets found: 1"));
  EXPECT_THAT(result.err, HasSubstr(notMovie + ": Sorry, the file doesn't appear to be an swf."));
  EXPECT_THAT(result.err, HasSubstr(broken + ": Unknown fill type: 19"));
  EXPECT_EQ(runCli({"analyze", good, notMovie}).status, 2);
}

}  // namespace
}  // namespace framestow::clitest
