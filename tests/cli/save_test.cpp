// framestow-cli save: the movie written for a target frame, the backup, and
// the files left untouched when something stops the save.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>

#include "cli_movies.hpp"
#include "cli_runner.hpp"

namespace framestow::clitest {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;

bool exists(const std::string& path) { return fs::exists(path); }

TEST(CliSave, MovesTheAssetsToTheTargetFrameAndKeepsABackup) {
  const std::string folder = freshFolder();
  const OneAssetMovie movie;
  const ByteVector original = movie.file();
  const std::string path = writeMovie(folder, "intro.swf", original);

  const CliResult result = runCli({"save", path, "--frame", "2"});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(test::readFile(path), movie.movedToFrame2(movie.exports));
  EXPECT_EQ(test::readFile(folder + "/intro_old.swf"), original);
  EXPECT_THAT(result.out, HasSubstr("OK to move to frame 2.\n"));
  EXPECT_THAT(result.out, HasSubstr("Backup: " + folder + "/intro_old.swf\n"));
  EXPECT_THAT(result.out, HasSubstr("FILE MODIFIED\n"));
  EXPECT_THAT(result.out, HasSubstr("Size before: " + std::to_string(original.size()) + " bytes\n"));
  EXPECT_THAT(result.out, HasSubstr("Size after: " + std::to_string(original.size()) + " bytes\n"));
}

TEST(CliSave, RemovesRedundantExportEntriesUnlessAskedToKeepThem) {
  const std::string folder = freshFolder();
  const OneAssetMovie movie({{2, "hero"}, {2, "hero"}});
  const std::string removed = writeMovie(folder, "removed.swf", movie.file());
  const std::string kept = writeMovie(folder, "kept.swf", movie.file());

  const CliResult removing = runCli({"save", removed, "--frame", "2", "--no-backup"});
  EXPECT_EQ(removing.status, 0) << removing.err;
  EXPECT_EQ(test::readFile(removed), movie.movedToFrame2(exportTag({{2, "hero"}})));
  EXPECT_THAT(removing.out, HasSubstr("Redundant export bytes removed: 7\n"));

  const CliResult keeping = runCli({"save", kept, "--frame", "2", "--no-backup", "--keep-redundant"});
  EXPECT_EQ(keeping.status, 0) << keeping.err;
  EXPECT_EQ(test::readFile(kept), movie.movedToFrame2(movie.exports));
}

TEST(CliSave, FrameOneWithRedundantEntriesOnlyRemovesThem) {
  const std::string folder = freshFolder();
  const OneAssetMovie movie({{2, "hero"}, {2, "hero"}});
  const std::string path = writeMovie(folder, "intro.swf", movie.file());

  const CliResult result = runCli({"save", path, "--frame", "1", "--no-backup"});
  EXPECT_EQ(result.status, 0) << result.err;
  const OneAssetMovie reduced({{2, "hero"}});
  EXPECT_EQ(test::readFile(path), reduced.file());
}

TEST(CliSave, FrameOneWithNothingToChangeIsRefusedAndWritesNothing) {
  const std::string folder = freshFolder();
  const ByteVector original = OneAssetMovie().file();
  const std::string path = writeMovie(folder, "intro.swf", original);

  const CliResult result = runCli({"save", path, "--frame", "1"});
  EXPECT_EQ(result.status, 3);
  EXPECT_THAT(result.err, HasSubstr("Nothing to write for frame 1"));
  EXPECT_EQ(test::readFile(path), original);
  EXPECT_FALSE(exists(folder + "/intro_old.swf"));
}

TEST(CliSave, NoBackupWritesOnlyTheMovie) {
  const std::string folder = freshFolder();
  const OneAssetMovie movie;
  const std::string path = writeMovie(folder, "intro.swf", movie.file());

  const CliResult result = runCli({"save", path, "--frame", "2", "--no-backup"});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_FALSE(exists(folder + "/intro_old.swf"));
  EXPECT_THAT(result.out, ::testing::Not(HasSubstr("Backup:")));
  EXPECT_EQ(test::readFile(path), movie.movedToFrame2(movie.exports));
}

TEST(CliSave, OutputPathLeavesTheInputUntouched) {
  const std::string folder = freshFolder();
  const OneAssetMovie movie;
  const ByteVector original = movie.file("CWS");
  const std::string path = writeMovie(folder, "intro.swf", original);
  const std::string output = folder + "/streamed.swf";

  const CliResult result = runCli({"save", path, "--frame", "2", "--output", output});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(test::readFile(path), original);
  EXPECT_FALSE(exists(folder + "/intro_old.swf")) << "nothing to back up when the input stays";
  const ByteVector written = test::readFile(output);
  ASSERT_GE(written.size(), 3u);
  EXPECT_EQ(std::string(written.begin(), written.begin() + 3), "CWS") << "compression is kept";
  EXPECT_EQ(test::inflateMovie(written), test::inflateMovie(movie.movedToFrame2(movie.exports, "CWS")));
  EXPECT_THAT(result.out, HasSubstr("Output: " + output + "\n"));
  const std::string uncompressed = std::to_string(movie.file("FWS").size()) + " bytes uncompressed)";
  EXPECT_THAT(result.out, HasSubstr("Size before: " + std::to_string(original.size()) + " bytes (" + uncompressed));
  EXPECT_THAT(result.out, HasSubstr("Size after: " + std::to_string(written.size()) + " bytes (" + uncompressed));
}

TEST(CliSave, TargetFrameOutsideTheMovieIsRefusedWithoutWriting) {
  const std::string folder = freshFolder();
  const ByteVector original = OneAssetMovie().file();
  const std::string path = writeMovie(folder, "intro.swf", original);

  const CliResult result = runCli({"save", path, "--frame", "5"});
  EXPECT_EQ(result.status, 1);
  EXPECT_THAT(result.err, HasSubstr("1 to 2"));
  EXPECT_EQ(test::readFile(path), original);
  EXPECT_FALSE(exists(folder + "/intro_old.swf"));
}

TEST(CliSave, MoviesThatCannotBeModifiedExitWithThree) {
  const std::string folder = freshFolder();
  const ByteVector old = OneAssetMovie().file("FWS", 4);
  const std::string oldPath = writeMovie(folder, "old.swf", old);
  const CliResult oldResult = runCli({"save", oldPath, "--frame", "2"});
  EXPECT_EQ(oldResult.status, 3);
  EXPECT_EQ(oldResult.err, oldPath + ": Version 4 Flash files do not use linked assets.\n");
  EXPECT_EQ(test::readFile(oldPath), old);

  const std::string plainPath = writeMovie(folder, "plain.swf", noLinkedAssetsMovie());
  const CliResult plainResult = runCli({"save", plainPath, "--frame", "2"});
  EXPECT_EQ(plainResult.status, 3);
  EXPECT_THAT(plainResult.err, HasSubstr("This movie does not contain linked assets."));

  const std::string brokenPath = writeMovie(folder, "broken.swf", unknownFillMovie());
  EXPECT_EQ(runCli({"save", brokenPath, "--frame", "2"}).status, 3);
}

TEST(CliSave, UnreadableFilesExitWithTwo) {
  const std::string folder = freshFolder();
  const CliResult result = runCli({"save", folder + "/absent.swf", "--frame", "2"});
  EXPECT_EQ(result.status, 2);
  EXPECT_THAT(result.err, HasSubstr("Sorry, an error has occured reading the file."));
}

TEST(CliSave, BackupThatCannotBeCreatedStopsTheSave) {
  const std::string folder = freshFolder();
  const ByteVector original = OneAssetMovie().file();
  // A name of 255 bytes, the most a folder entry holds: "_old" does not fit.
  const std::string path = writeMovie(folder, std::string(251, 'm') + ".swf", original);

  const CliResult result = runCli({"save", path, "--frame", "2"});
  EXPECT_EQ(result.status, 4);
  EXPECT_EQ(result.err, path + ": ERROR CREATING BACKUP\n" + path + ": File name too long: " + folder + "/" +
                            std::string(251, 'm') + "_old.swf\n");
  EXPECT_EQ(test::readFile(path), original);
}

TEST(CliSave, OutputThatCannotBeWrittenExitsWithFour) {
  const std::string folder = freshFolder();
  const ByteVector original = OneAssetMovie().file();
  const std::string path = writeMovie(folder, "intro.swf", original);

  const std::string output = folder + "/no/such/folder/out.swf";
  const CliResult result = runCli({"save", path, "--frame", "2", "--output", output});
  EXPECT_EQ(result.status, 4);
  EXPECT_EQ(result.err, path + ": ERROR WRITING FILE\n" + path + ": No such file or directory: " + output + "\n");
  EXPECT_EQ(test::readFile(path), original);
}

TEST(CliSave, OutputNamingTheInputIsAnInPlaceSave) {
  const std::string folder = freshFolder();
  const OneAssetMovie movie;
  const ByteVector original = movie.file();
  const std::string path = writeMovie(folder, "intro.swf", original);

  const CliResult result = runCli({"save", path, "--frame", "2", "--output", folder + "/./intro.swf"});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(test::readFile(folder + "/intro_old.swf"), original) << "replacing the input keeps its backup";
  EXPECT_EQ(test::readFile(path), movie.movedToFrame2(movie.exports));
}

TEST(CliSave, JsonReportsTheSave) {
  const std::string folder = freshFolder();
  const OneAssetMovie movie({{2, "hero"}, {2, "hero"}});
  const ByteVector original = movie.file();
  const std::string path = writeMovie(folder, "intro.swf", original);

  const CliResult result = runCli({"save", path, "--frame", "2", "--json"});
  EXPECT_EQ(result.status, 0) << result.err;
  const nlohmann::json document = nlohmann::json::parse(result.out);
  ASSERT_EQ(document.size(), 1u);
  const nlohmann::json& save = document[0];
  EXPECT_EQ(save["status"], "ok");
  EXPECT_EQ(save["frame"], 2);
  EXPECT_EQ(save["movableBytes"], movie.movableBytes());
  EXPECT_EQ(save["result"], "FILE MODIFIED");
  EXPECT_EQ(save["removedRedundantBytes"], 7);
  EXPECT_EQ(save["backup"], folder + "/intro_old.swf");
  EXPECT_EQ(save["output"], path);
  EXPECT_EQ(save["sizeBefore"], original.size());
  EXPECT_EQ(save["declaredLengthAfter"], original.size() - 7);
  EXPECT_EQ(save["sizeAfter"], original.size() - 7);
}

}  // namespace
}  // namespace framestow::clitest
