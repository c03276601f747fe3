// The argument handling: help, version, and usage errors with exit status 1.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "cli_movies.hpp"
#include "cli_runner.hpp"

namespace framestow::clitest {
namespace {

using ::testing::HasSubstr;

TEST(CliOptions, HelpNamesEveryCommandAndExitsZero) {
  const CliResult result = runCli({"--help"});
  EXPECT_EQ(result.status, 0);
  EXPECT_THAT(result.out, HasSubstr("info"));
  EXPECT_THAT(result.out, HasSubstr("analyze"));
  EXPECT_THAT(result.out, HasSubstr("save"));
  EXPECT_THAT(result.out, HasSubstr("Exit status"));
}

TEST(CliOptions, EachCommandHasItsOwnHelp) {
  EXPECT_THAT(runCli({"analyze", "--help"}).out, HasSubstr("--all-frames"));
  const CliResult save = runCli({"save", "--help"});
  EXPECT_EQ(save.status, 0);
  EXPECT_THAT(save.out, HasSubstr("--keep-redundant"));
  EXPECT_THAT(save.out, HasSubstr("--no-backup"));
  EXPECT_THAT(save.out, HasSubstr("--output"));
}

TEST(CliOptions, VersionPrintsTheProjectVersion) {
  const CliResult result = runCli({"--version"});
  EXPECT_EQ(result.status, 0);
  EXPECT_THAT(result.out, HasSubstr(FRAMESTOW_VERSION));
}

TEST(CliOptions, UsageErrorsExitWithOne) {
  const std::string folder = freshFolder();
  const std::string movie = writeMovie(folder, "movie.swf", OneAssetMovie().file());
  EXPECT_EQ(runCli({}).status, 1) << "no command";
  EXPECT_EQ(runCli({"transmogrify", movie}).status, 1) << "unknown command";
  EXPECT_EQ(runCli({"info"}).status, 1) << "no file";
  EXPECT_EQ(runCli({"save", movie}).status, 1) << "save without --frame";
  EXPECT_EQ(runCli({"analyze", movie, "--frame", "two"}).status, 1) << "frame not a number";
  EXPECT_EQ(runCli({"analyze", movie, "--frame", "2", "--all-frames"}).status, 1) << "contradicting options";
  EXPECT_EQ(runCli({"analyze", movie, "--colour"}).status, 1) << "unknown option";
}

TEST(CliOptions, UsageErrorsGoToStandardError) {
  const CliResult result = runCli({"save"});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.out, "");
  EXPECT_NE(result.err, "");
}

}  // namespace
}  // namespace framestow::clitest
