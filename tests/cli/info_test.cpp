// framestow-cli info: the file name line and the four file-information lines,
// or the loading message.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "cli_movies.hpp"
#include "cli_runner.hpp"

namespace framestow::clitest {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;

TEST(CliInfo, PrintsTheFileInformationOfAnUncompressedMovie) {
  const std::string folder = freshFolder();
  const ByteVector bytes = OneAssetMovie().file("FWS");
  const std::string path = writeMovie(folder, "intro.swf", bytes);

  const CliResult result = runCli({"info", path});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.err, "");
  EXPECT_THAT(linesOf(result.out),
              ElementsAre("File Name: intro.swf", "SWF Version: 6",
                          "File Size: " + std::to_string(bytes.size()) + " bytes ", "Dimensions: 400 x 300",
                          "Frames (main timeline): 2"));
}

TEST(CliInfo, MarksACompressedMovieAndGivesItsUncompressedSize) {
  const std::string folder = freshFolder();
  const OneAssetMovie movie;
  const std::string path = writeMovie(folder, "intro.swf", movie.file("CWS"));
  const std::size_t uncompressed = movie.file("FWS").size();

  const CliResult result = runCli({"info", path});
  EXPECT_EQ(result.status, 0);
  const auto lines = linesOf(result.out);
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[1], "SWF Version: 6 (compressed)");
  EXPECT_EQ(lines[2], "File Size: " + std::to_string(uncompressed) + " bytes (uncompressed)");
}

TEST(CliInfo, MissingFileShowsTheReadingMessageAndExitsTwo) {
  const std::string folder = freshFolder();
  const CliResult result = runCli({"info", folder + "/absent.swf"});
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.out, "File Name: absent.swf\n");
  const std::string path = folder + "/absent.swf";
  EXPECT_EQ(result.err, path + ": Sorry, an error has occured reading the file.\n" + path +
                            ": No such file or directory: " + path + "\n");
}

TEST(CliInfo, NonMovieShowsTheNotAnSwfMessage) {
  const std::string folder = freshFolder();
  const std::string path = writeMovie(folder, "notes.swf", ByteVector(40, 'x'));
  const CliResult result = runCli({"info", path});
  EXPECT_EQ(result.status, 2);
  EXPECT_THAT(result.err, HasSubstr("Sorry, the file doesn't appear to be an swf."));
  EXPECT_THAT(result.err, Not(HasSubstr("\r")));
}

TEST(CliInfo, TruncatedMoviesShowTheIncompleteMessage) {
  const std::string folder = freshFolder();
  // info inflates only the header of a "CWS" movie; analyze reads it all.
  for (const auto& [signature, command] : {std::pair{"FWS", "info"}, std::pair{"CWS", "analyze"}}) {
    ByteVector bytes = OneAssetMovie().file(signature);
    bytes.resize(bytes.size() - 10);
    const std::string path = writeMovie(folder, std::string(signature) + ".swf", bytes);
    const CliResult result = runCli({command, path});
    EXPECT_EQ(result.status, 2) << signature;
    EXPECT_EQ(result.err, path + ": Sorry, the file doesn't appear to be complete.\n") << signature;
  }
}

TEST(CliInfo, SeveralFilesAreEachReportedAndTheWorstStatusWins) {
  const std::string folder = freshFolder();
  const std::string good = writeMovie(folder, "good.swf", OneAssetMovie().file());
  const std::string missing = folder + "/missing.swf";

  const CliResult result = runCli({"info", missing, good});
  EXPECT_EQ(result.status, 2);
  EXPECT_THAT(result.out, HasSubstr("File Name: missing.swf"));
  EXPECT_THAT(result.out, HasSubstr("File Name: good.swf\nSWF Version: 6"));
  EXPECT_EQ(runCli({"info", good, good}).status, 0);
}

}  // namespace
}  // namespace framestow::clitest
