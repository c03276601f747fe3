// The bundled sample movie through the command line, as `make run` shows it.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "cli_movies.hpp"
#include "cli_runner.hpp"
#include "sample_movie.hpp"

namespace framestow::clitest {
namespace {

using nlohmann::json;

json analysed(const std::string& path) {
  const CliResult result = runCli({"analyze", "--json", path});
  EXPECT_EQ(result.status, 0) << result.err;
  return json::parse(result.out)[0];
}

TEST(CliSample, IsTheCompressedPreloaderMovieWithFourLinkedAssets) {
  const std::string folder = freshFolder();
  const std::string path = writeMovie(folder, "intro.swf", sample::buildSampleMovie());

  const json file = analysed(path);
  EXPECT_EQ(file["signature"], "CWS");
  EXPECT_EQ(file["version"], 6);
  EXPECT_EQ(file["frameCount"], 2);
  EXPECT_EQ(file["linkedAssets"], json::parse(R"([
      {"id": 20, "names": ["hero"]}, {"id": 21, "names": ["coin"]},
      {"id": 30, "names": ["chime"]}, {"id": 22, "names": ["scoreLabel"]}])"));
  EXPECT_EQ(file["redundantBytes"], 2 + 5) << "coin exported a second time";
  EXPECT_EQ(file["attachFrame"], 2);
  EXPECT_EQ(file["obfuscation"], false);
  EXPECT_GT(file["targets"][1]["movableBytes"].get<std::int64_t>(), 4096)
      << "the bitmaps, the sound and the font all leave frame 1";
}

TEST(CliSample, SavedForFrameTwoKeepsItsAssetsAndDropsTheRedundantEntry) {
  const std::string folder = freshFolder();
  const std::string path = writeMovie(folder, "intro.swf", sample::buildSampleMovie());
  const std::string output = folder + "/intro_frame2.swf";

  const CliResult saved = runCli({"save", path, "--frame", "2", "--output", output});
  ASSERT_EQ(saved.status, 0) << saved.err;

  const json before = analysed(path);
  const json after = analysed(output);
  EXPECT_EQ(after["signature"], "CWS");
  EXPECT_EQ(after["linkedAssets"], before["linkedAssets"]);
  EXPECT_EQ(after["redundantBytes"], 0);
  EXPECT_EQ(after["declaredLength"], before["declaredLength"].get<std::int64_t>() - 7);
  EXPECT_EQ(after["attachFrame"], 2);
  EXPECT_EQ(after["targets"][1]["movableBytes"], before["targets"][1]["movableBytes"])
      << "the same definitions, now at the start of frame 2";
}

}  // namespace
}  // namespace framestow::clitest
