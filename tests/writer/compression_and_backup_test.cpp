// A compressed movie stays compressed; the backup is the file as it was.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/movie_check.hpp"
#include "support/movie_files.hpp"
#include "support/temp_dir.hpp"

namespace framestow {
namespace {

using test::buildMovie;
using test::ByteVector;
using test::MovieOptions;
using test::Timeline;

std::uint32_t lengthField(const ByteVector& b) {
  return b[4] | b[5] << 8 | b[6] << 16 | static_cast<std::uint32_t>(b[7]) << 24;
}

Timeline assetMovie() {
  Timeline t;
  t.setBackgroundColor().defineShape(1).defineBitsLossless(2, 300).exportAssets({{1, "a"}, {2, "b"}, {1, "a2"}});
  t.showFrame().placeObject2(1, 1).showFrame().showFrame().end();
  return t;
}

MovieOptions compressed() {
  MovieOptions o;
  o.signature = "CWS";
  return o;
}

TEST(CompressionAndBackup, CompressedMovieIsWrittenCompressedWithItsUncompressedLength) {
  const ByteVector input = buildMovie(assetMovie(), compressed());
  for (bool optimise : {false, true}) {
    Document doc;
    const std::string path = test::loadMovie(doc, input, optimise ? "opt.swf" : "plain.swf");
    ASSERT_TRUE(doc.analysed());
    const std::string out = test::tempPath(optimise ? "opt-out.swf" : "plain-out.swf");
    ASSERT_EQ(doc.save(2, optimise, false, out), kFileModified);
    const ByteVector file = test::readFile(out);
    ASSERT_GE(file.size(), 8u);
    EXPECT_EQ(std::string(file.begin(), file.begin() + 3), "CWS");
    ByteVector movie;
    std::string why;
    EXPECT_TRUE(test::inflateExactly(file, movie, why)) << why;
    EXPECT_EQ(lengthField(file), movie.size());
    for (const auto& failure : test::checkSavedMovie(path, out, {2, optimise})) ADD_FAILURE() << failure;
  }
}

TEST(CompressionAndBackup, UncompressedMovieIsWrittenUncompressed) {
  Document doc;
  const std::string path = test::loadMovie(doc, buildMovie(assetMovie()));
  ASSERT_TRUE(doc.analysed());
  ASSERT_EQ(doc.save(2, false, false), kFileModified);
  const ByteVector file = test::readFile(path);
  EXPECT_EQ(std::string(file.begin(), file.begin() + 3), "FWS");
  EXPECT_EQ(lengthField(file), file.size());
}

TEST(CompressionAndBackup, BackupIsTheCompressedFileAsLoaded) {
  const ByteVector input = buildMovie(assetMovie(), compressed());
  Document doc;
  const std::string path = test::loadMovie(doc, input, "intro.swf");
  ASSERT_TRUE(doc.analysed());
  ASSERT_EQ(doc.save(2, true, true), kFileModified);

  const std::string backup = test::tempPath("intro_old.swf");
  ASSERT_TRUE(std::filesystem::exists(backup));
  EXPECT_EQ(test::readFile(backup), input);
  EXPECT_NE(test::readFile(path), input);
  for (const auto& failure : test::checkSavedMovie(backup, path, {2, true})) ADD_FAILURE() << failure;
}

TEST(CompressionAndBackup, SecondSaveBacksUpTheFileAsLoadedNotTheFirstSave) {
  const ByteVector input = buildMovie(assetMovie());
  Document doc;
  const std::string path = test::loadMovie(doc, input, "intro.swf");
  ASSERT_TRUE(doc.analysed());
  ASSERT_EQ(doc.save(2, false, true), kFileModified);
  const ByteVector first = test::readFile(path);
  // The same plan finds its layout in place: nothing is written again.
  ASSERT_EQ(doc.save(2, false, true), kAlreadyLaidOut);
  EXPECT_EQ(test::readFile(test::tempPath("intro_old.swf")), input);
  EXPECT_EQ(test::readFile(path), first);
}

TEST(CompressionAndBackup, BackupNameReplacesTheExtensionOnly) {
  EXPECT_EQ(backupNameFor("/films/intro.swf"), "/films/intro_old.swf");
  EXPECT_EQ(backupNameFor("intro.SWF"), "intro_old.swf");
  // No four-character extension: the whole name is kept.
  EXPECT_EQ(backupNameFor("/films/intro"), "/films/intro_old.swf");
  EXPECT_EQ(backupNameFor("/films.d/abc"), "/films.d/abc_old.swf");
  EXPECT_EQ(backupNameFor("/films/a.b"), "/films/a.b_old.swf");
}

TEST(CompressionAndBackup, OutputReplacesTheLoadedFileWhenNoOtherPathIsGiven) {
  const ByteVector input = buildMovie(assetMovie());
  Document doc;
  const std::string path = test::loadMovie(doc, input, "in-place.swf");
  ASSERT_TRUE(doc.analysed());
  ASSERT_EQ(doc.save(2, false, false), kFileModified);
  EXPECT_NE(test::readFile(path), input);
  EXPECT_FALSE(std::filesystem::exists(test::tempPath("in-place_old.swf")));
  // Nothing else appears beside it.
  std::size_t files = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(test::testTempDir())) ++files;
  EXPECT_EQ(files, 1u);
}

}  // namespace
}  // namespace framestow
