// A save that fails at any file step leaves every file as it was.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "support/faulty_file_system.hpp"
#include "support/movie_files.hpp"
#include "support/temp_dir.hpp"

namespace framestow {
namespace {

namespace fs = std::filesystem;
using test::buildMovie;
using test::ByteVector;
using test::Timeline;

ByteVector assetMovie(std::size_t bitmapBytes = 200) {
  Timeline t;
  t.setBackgroundColor().defineBitsLossless(1, bitmapBytes).exportAssets({{1, "art"}}).showFrame().showFrame().end();
  return buildMovie(t);
}

std::set<std::string> filesIn(const std::string& dir) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir)) names.insert(entry.path().filename().string());
  return names;
}

unsigned permissionsOf(const std::string& path) {
  return static_cast<unsigned>(fs::status(path).permissions() & fs::perms::mask);
}

// Counts the steps of a save that succeeds, then makes each of them fail in turn.
void failEachStep(const ByteVector& input, bool backup, bool backupExisted) {
  const ByteVector oldBackup = {'o', 'l', 'd'};
  std::vector<std::string> steps;
  {
    // The same files as in the runs below, so that the steps are the same.
    if (backupExisted) test::writeFile(test::tempPath("count_old.swf"), oldBackup);
    Document doc;
    const std::string path = test::loadMovie(doc, input, "count.swf");
    ASSERT_TRUE(doc.analysed());
    test::FaultyFileSystem counting;
    ASSERT_EQ(doc.save(2, false, backup, {}, counting), kFileModified);
    steps = counting.steps();
    fs::remove(path);
    fs::remove(test::tempPath("count_old.swf"));
  }
  ASSERT_FALSE(steps.empty());
  for (int k = 0; k < static_cast<int>(steps.size()); ++k) {
    SCOPED_TRACE("failing step " + std::to_string(k) + ": " + steps[static_cast<std::size_t>(k)]);
    const std::string name = "movie" + std::to_string(k) + ".swf";
    const std::string backupPath = test::tempPath("movie" + std::to_string(k) + "_old.swf");
    if (backupExisted) test::writeFile(backupPath, oldBackup);
    Document doc;
    const std::string path = test::loadMovie(doc, input, name);
    ASSERT_TRUE(doc.analysed());
    const std::set<std::string> before = filesIn(test::testTempDir());

    test::FaultyFileSystem faulty(k);
    const int result = doc.save(2, false, backup, {}, faulty).result;
    for (std::size_t later = static_cast<std::size_t>(k) + 1; later < faulty.steps().size(); ++later) {
      EXPECT_EQ(faulty.steps()[later].rfind("close ", 0), 0u) << "after the failure: " << faulty.steps()[later];
    }
    const bool backupStep = steps[static_cast<std::size_t>(k)].rfind("link ", 0) == 0;
    EXPECT_EQ(result, backupStep ? kErrorCreatingBackup : kErrorWritingFile);
    EXPECT_EQ(test::readFile(path), input);
    // No temporary file, and no backup of a movie that stayed as it was;
    // an earlier backup is never touched.
    EXPECT_EQ(filesIn(test::testTempDir()), before);
    if (backupExisted) {
      EXPECT_EQ(test::readFile(backupPath), oldBackup);
    }
  }
}

TEST(SaveFailure, EveryStepOfTheMovieFailingLeavesItUntouched) { failEachStep(assetMovie(), false, false); }

TEST(SaveFailure, EveryStepOfTheBackupFailingWritesNothing) { failEachStep(assetMovie(), true, true); }

TEST(SaveFailure, BackupWithoutAnEarlierOne) { failEachStep(assetMovie(), true, false); }

TEST(SaveFailure, MovieWrittenInSeveralPiecesFailsAtEachOfThem) {
  // Over two megabytes: more than one write per file.
  failEachStep(assetMovie(2'500'000), false, false);
}

TEST(SaveFailure, PermissionBitsOfTheTargetAreKept) {
  Document doc;
  const std::string path = test::loadMovie(doc, assetMovie());
  ASSERT_TRUE(doc.analysed());
  fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read, fs::perm_options::replace);
  ASSERT_EQ(doc.save(2, false, false), kFileModified);
  EXPECT_EQ(permissionsOf(path), 0640u);
}

TEST(SaveFailure, ReadOnlyTargetIsRefusedAndUntouched) {
  const ByteVector input = assetMovie();
  Document doc;
  const std::string path = test::loadMovie(doc, input);
  ASSERT_TRUE(doc.analysed());
  fs::permissions(path, fs::perms::owner_read | fs::perms::group_read, fs::perm_options::replace);
  const std::set<std::string> before = filesIn(test::testTempDir());
  EXPECT_EQ(doc.save(2, false, false), kErrorWritingFile);
  EXPECT_EQ(test::readFile(path), input);
  EXPECT_EQ(permissionsOf(path), 0440u);
  EXPECT_EQ(filesIn(test::testTempDir()), before);
  fs::permissions(path, fs::perms::owner_write, fs::perm_options::add);
}

TEST(SaveFailure, MovieThatFailedItsAnalysisIsNotSaved) {
  // A shape with fill style type 0x33, which no SWF version defines.
  test::Bytes shape;
  shape.u16(1).rect(0, 20, 0, 20).u8(1).u8(0x33).u8(0);
  Timeline t;
  t.setBackgroundColor().tag(2, shape).exportAssets({{1, "bad"}}).showFrame().showFrame().end();
  const ByteVector input = buildMovie(t);
  Document doc;
  const std::string path = test::loadMovie(doc, input);
  ASSERT_FALSE(doc.analysed());
  const std::set<std::string> before = filesIn(test::testTempDir());
  EXPECT_EQ(doc.save(2, false, true), kErrorWritingFile);
  EXPECT_EQ(doc.save(1, true, false), kErrorWritingFile);
  EXPECT_EQ(test::readFile(path), input);
  EXPECT_EQ(filesIn(test::testTempDir()), before);
}

TEST(SaveFailure, MovieWhoseTagRunsPastTheDataIsNotSaved) {
  Timeline t;
  t.setBackgroundColor().defineShape(1).exportAssets({{1, "box"}}).showFrame().showFrame();
  t.raw({0x3F, 0x03, 0xFF, 0xFF, 0x00, 0x00, 0x01, 0x02});  // a long tag claiming 65535 bytes
  const ByteVector input = buildMovie(t);
  Document doc;
  const std::string path = test::loadMovie(doc, input);
  const std::set<std::string> before = filesIn(test::testTempDir());
  EXPECT_EQ(doc.save(2, false, true), kErrorWritingFile);
  EXPECT_EQ(test::readFile(path), input);
  EXPECT_EQ(filesIn(test::testTempDir()), before);
}

TEST(SaveFailure, MovieOneByteShorterThanDeclaredIsNotSaved) {
  // The End tag's second byte is missing. Loading accepts the movie (the
  // reading loop's end-of-file byte stands in for it), but that byte was never
  // in the file and must not be written as if it were.
  Timeline t;
  t.setBackgroundColor().defineShape(1).exportAssets({{1, "box"}}).showFrame().showFrame().end();
  ByteVector input = buildMovie(t);
  input.pop_back();
  Document doc;
  const std::string path = test::loadMovie(doc, input);
  ASSERT_TRUE(doc.loaded());
  const std::set<std::string> before = filesIn(test::testTempDir());
  EXPECT_EQ(doc.save(2, false, true), kErrorWritingFile);
  EXPECT_EQ(doc.save(1, false, false), kErrorWritingFile);
  EXPECT_EQ(test::readFile(path), input);
  EXPECT_EQ(filesIn(test::testTempDir()), before);
}

TEST(SaveFailure, LoadThatFailedIsNotSaved) {
  Document doc;
  const std::string path = test::loadMovie(doc, {'F', 'W', 'S', 6, 0xFF, 0xFF, 0, 0, 0});
  EXPECT_FALSE(doc.loaded());
  EXPECT_EQ(doc.save(2, false, true), kErrorWritingFile);
  EXPECT_EQ(filesIn(test::testTempDir()), std::set<std::string>{"movie.swf"});
}

}  // namespace
}  // namespace framestow
