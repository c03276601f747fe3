// framestow-cli analyze --json: one document, an array with one object per
// file, whose field names scripts rely on.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "cli_movies.hpp"
#include "cli_runner.hpp"

namespace framestow::clitest {
namespace {

using nlohmann::json;
using ::testing::HasSubstr;

json parsed(const CliResult& result) {
  json document = json::parse(result.out, nullptr, false);
  EXPECT_FALSE(document.is_discarded()) << "stdout is not JSON:\n" << result.out;
  return document;
}

TEST(CliAnalyzeJson, DescribesTheMovieItsAnalysisAndItsTargets) {
  const std::string folder = freshFolder();
  const OneAssetMovie movie;
  const ByteVector bytes = movie.file("FWS");
  const std::string path = writeMovie(folder, "intro.swf", bytes);

  const CliResult result = runCli({"analyze", "--json", path});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.err, "");
  const json document = parsed(result);
  ASSERT_TRUE(document.is_array());
  ASSERT_EQ(document.size(), 1u);
  const json& file = document[0];

  EXPECT_EQ(file["file"], path);
  EXPECT_EQ(file["status"], "ok");
  EXPECT_EQ(file["message"], "");
  EXPECT_EQ(file["signature"], "FWS");
  EXPECT_EQ(file["version"], 6);
  EXPECT_EQ(file["declaredLength"], bytes.size());
  EXPECT_EQ(file["frameCount"], 2);
  EXPECT_EQ(file["frameRate"], 12.0);
  EXPECT_EQ(file["width"], 400);
  EXPECT_EQ(file["height"], 300);
  EXPECT_EQ(file["fileInfo"], json({"SWF Version: 6", "File Size: " + std::to_string(bytes.size()) + " bytes ",
                                    "Dimensions: 400 x 300", "Frames (main timeline): 2"}));
  EXPECT_EQ(file["analysis"], json({"Number of linked assets found: 1", "Attach codes were found in frame 2",
                                    "No redundant export codes found.", ""}));
  EXPECT_EQ(file["linkedAssets"], json::parse(R"([{"id": 2, "names": ["hero"]}])"));
  EXPECT_EQ(file["assetCount"], 1);
  EXPECT_EQ(file["redundantBytes"], 0);
  EXPECT_EQ(file["attachFrame"], 2);
  EXPECT_EQ(file["obfuscation"], false);
  // Three header blocks, one per tag (the sprite's three inner tags included),
  // and the empty record that closes the table after the End tag.
  EXPECT_EQ(file["blockCount"], 3 + 11 + 1);

  ASSERT_EQ(file["targets"].size(), 2u);
  const json& first = file["targets"][0];
  EXPECT_EQ(first["frame"], 1);
  EXPECT_EQ(first["verdict"], json({"", "", ""}));
  EXPECT_EQ(first["saveEnabled"], false) << "nothing to remove and nothing moves before frame 1";
  const json& second = file["targets"][1];
  EXPECT_EQ(second["frame"], 2);
  EXPECT_EQ(second["movableBytes"], movie.movableBytes());
  EXPECT_EQ(second["verdict"],
            json({std::to_string(movie.movableBytes()) + " bytes", "OK to move to frame 2.", ""}));
  EXPECT_EQ(second["saveEnabled"], true);
}

TEST(CliAnalyzeJson, LinkedAssetsKeepFirstExportOrderAndEveryName) {
  const std::string folder = freshFolder();
  // Shape 1 is exported after sprite 2, then sprite 2 again under a second name,
  // then under its first name again (the one redundant entry).
  const OneAssetMovie movie({{2, "hero"}, {1, "block"}, {2, "heroAgain"}, {2, "hero"}});
  const std::string path = writeMovie(folder, "intro.swf", movie.file());

  const json file = parsed(runCli({"analyze", "--json", path}))[0];
  EXPECT_EQ(file["linkedAssets"],
            json::parse(R"([{"id": 2, "names": ["hero", "heroAgain"]}, {"id": 1, "names": ["block"]}])"));
  EXPECT_EQ(file["assetCount"], 2);
  EXPECT_EQ(file["redundantBytes"], 2 + 4 + 1);
  EXPECT_EQ(file["targets"][0]["saveEnabled"], true) << "removal alone is worth a save at frame 1";
}

TEST(CliAnalyzeJson, CompressedMovieReportsItsSignatureAndUncompressedLength) {
  const std::string folder = freshFolder();
  const OneAssetMovie movie;
  const std::string path = writeMovie(folder, "intro.swf", movie.file("CWS"));

  const json file = parsed(runCli({"analyze", "--json", path}))[0];
  EXPECT_EQ(file["signature"], "CWS");
  EXPECT_EQ(file["declaredLength"], movie.file("FWS").size());
}

TEST(CliAnalyzeJson, ObfuscatedActionsAreFlagged) {
  const std::string folder = freshFolder();
  const std::string path = writeMovie(folder, "hidden.swf", obfuscatedMovie());

  const json file = parsed(runCli({"analyze", "--json", path}))[0];
  EXPECT_EQ(file["obfuscation"], true);
  EXPECT_EQ(file["analysis"][1], "WARNING - Attach codes not located! These could be");
}

TEST(CliAnalyzeJson, FailedFilesStayInTheDocumentWithTheirMessage) {
  const std::string folder = freshFolder();
  const std::string good = writeMovie(folder, "good.swf", OneAssetMovie().file());
  const std::string missing = folder + "/missing.swf";
  const std::string broken = writeMovie(folder, "broken.swf", unknownFillMovie());

  const CliResult result = runCli({"analyze", "--json", missing, good, broken});
  EXPECT_EQ(result.status, 3);
  EXPECT_THAT(result.err, HasSubstr(missing + ": Sorry, an error has occured reading the file."));
  const json document = parsed(result);
  ASSERT_EQ(document.size(), 3u);
  EXPECT_EQ(document[0]["status"], "error");
  EXPECT_EQ(document[0]["message"], "Sorry, an error has occured reading the file.");
  EXPECT_EQ(document[0]["targets"], json::array());
  EXPECT_EQ(document[1]["status"], "ok");
  EXPECT_EQ(document[2]["status"], "error");
  EXPECT_EQ(document[2]["message"], "Unknown fill type: 19");
  EXPECT_EQ(document[2]["version"], 6) << "the header was read before the analysis failed";
}

TEST(CliAnalyzeJson, FrameOptionListsOnlyThatTarget) {
  const std::string folder = freshFolder();
  const std::string path = writeMovie(folder, "long.swf", longMovie(40));

  const json only = parsed(runCli({"analyze", "--json", "--frame", "7", path}))[0];
  ASSERT_EQ(only["targets"].size(), 1u);
  EXPECT_EQ(only["targets"][0]["frame"], 7);

  const json all = parsed(runCli({"analyze", "--json", "--all-frames", path}))[0];
  EXPECT_EQ(all["targets"].size(), 40u);
}

TEST(CliAnalyzeJson, OutOfRangeFrameIsAnErrorObject) {
  const std::string folder = freshFolder();
  const std::string path = writeMovie(folder, "intro.swf", OneAssetMovie().file());

  const CliResult result = runCli({"analyze", "--json", "--frame", "9", path});
  EXPECT_EQ(result.status, 1);
  const json file = parsed(result)[0];
  EXPECT_EQ(file["status"], "error");
  EXPECT_THAT(file["message"].get<std::string>(), HasSubstr("1 to 2"));
}

}  // namespace
}  // namespace framestow::clitest
