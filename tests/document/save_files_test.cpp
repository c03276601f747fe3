// What a save writes, and what it leaves behind when it cannot or when one of
// its file steps fails: the files are those of a file system in memory, so
// every step can be made to fail and every file read back afterwards.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

#include "support/documents.hpp"
#include "support/fault_injecting_file_system.hpp"
#include "support/saved_movie_check.hpp"
#include "support/test_files.hpp"

namespace framestow::test {
namespace {

std::set<std::string> names(const std::map<std::string, FaultInjectingFileSystem::File>& files) {
  std::set<std::string> out;
  for (const auto& [path, file] : files) out.insert(path);
  return out;
}

struct StepsRow {
  const char* name;
  ByteVector file;
  bool backup;
  bool olderBackup;  // a file already lies under the backup name
  bool removal;
  bool diskFull;     // every write, flush and close after the failed step fails too
};

TEST(SaveSteps, EachFileStepFailingLeavesEveryFileAsItWas) {
  const ByteVector older = movieOf({kShowFrame, kEnd});
  const StepsRow rows[] = {
      {"with a backup, over an older one", bitmapsMovie(200), true, true, false, false},
      {"with the first backup", bitmapsMovie(200), true, false, true, false},
      {"without a backup", bitmapsMovie(200), false, true, false, false},
      {"a compressed movie", bitmapsMovie(200, "CWS"), true, true, true, false},
      {"a movie written in several pieces", bitmapsMovie(2'500'000), true, false, false, false},
      {"a compressed movie written in several pieces", bitmapsMovie(2'500'000, "CWS"), false, false, false, false},
      {"a disk that fills up", bitmapsMovie(2'500'000), true, true, false, true},
  };
  for (const StepsRow& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string path = tempPath("movie.swf");
    const std::string backupPath = tempPath("movie_old.swf");
    Document doc;
    ASSERT_EQ(loadAndAnalyse(doc, row.file, path), "");
    auto freshFileSystem = [&] {
      FaultInjectingFileSystem fs;
      fs.files[path] = {row.file, 0644};
      if (row.olderBackup) fs.files[backupPath] = {older, 0644};
      return fs;
    };
    FaultInjectingFileSystem clean = freshFileSystem();
    ASSERT_EQ(save(doc, 2, {row.removal, row.backup, ""}, clean), kSaved);
    const ByteVector saved = clean.files[path].bytes;
    // The megabytes of a long run go to the file in one write, not through a 64 kB buffer.
    EXPECT_LE(std::count_if(clean.steps.begin(), clean.steps.end(), [](auto& s) { return s.rfind("write ", 0) == 0; }), 12);
    EXPECT_TRUE(checkSavedMovie(doc, row.file, saved, {2, row.removal}).empty());
    for (int k = 0; k < static_cast<int>(clean.steps.size()); ++k) {
      FaultInjectingFileSystem fs = freshFileSystem();
      fs.failAt(k, row.diskFull);
      const std::string result = save(doc, 2, {row.removal, row.backup, ""}, fs);
      ASSERT_GE(fs.failed(), 0);
      const std::string failed = fs.steps[static_cast<std::size_t>(fs.failed())];
      SCOPED_TRACE("failed step: " + failed);
      const bool inBackup = failed.find(backupPath) != std::string::npos;
      EXPECT_EQ(result, inBackup ? kErrorBackup : kErrorWriting);
      for (std::size_t later = static_cast<std::size_t>(fs.failed()) + 1; later < fs.steps.size(); ++later) {
        EXPECT_EQ(fs.steps[later].rfind("close ", 0), 0u) << fs.steps[later];
      }
      EXPECT_EQ(fs.files[path].bytes, row.file);
      std::set<std::string> expected{path};
      // A backup made before the movie's own steps began stays, complete.
      if (row.olderBackup || (row.backup && !inBackup)) expected.insert(backupPath);
      EXPECT_EQ(names(fs.files), expected) << "a temporary file was left behind";
      if (fs.files.count(backupPath) != 0) {
        EXPECT_EQ(fs.files[backupPath].bytes, row.backup && !inBackup ? row.file : older);
      }
    }
  }
}

struct SituationRow {
  const char* name;
  ByteVector file;
  bool analyse;
  int leftovers;       // temporary files of interrupted saves beside the movie and the backup
  int saves;           // in a row, each with a backup
  std::string result;
  bool written;        // the movie and its backup (the file as loaded) were written
};

TEST(SaveSituations, WhatASaveWritesAndWhatItLeaves) {
  const ByteVector good = bitmapsMovie(300);
  const ByteVector shortByOne(good.begin(), good.end() - 1);
  const SituationRow rows[] = {
      {"the backup is the file as loaded, compressed as it was", bitmapsMovie(300, "CWS"), true, 0, 1, kSaved, true},
      {"temporary files of interrupted saves are stepped over and left alone", good, true, 150, 1, kSaved, true},
      {"a second save keeps the file as loaded as the backup", good, true, 0, 2, kSaved, true},
      {"a movie whose analysis stopped is not saved",
       movieOf({kBackground, tagBytes(kDefineShape, Bytes().u16(1).rect(0, 20, 0, 20).u8(1).u8(0x33).u8(0)), exports({{1, "bad"}}), kShowFrame, kEnd}), true,
       0, 1, kErrorWriting, false},
      {"a movie that was not analysed is not saved", good, false, 0, 1, kErrorWriting, false},
      {"a movie whose last tag runs past its data is not saved",
       movieOf({kBackground, shape(1), exports({{1, "box"}}), kShowFrame, kShowFrame, ByteVector{0x3F, 0x03, 0xFF, 0xFF, 0, 0, 1, 2}}), true, 0, 1, kErrorWriting, false},
      {"a movie a byte shorter than it declares is not saved", shortByOne, true, 0, 1, kErrorWriting, false},
      {"a movie before version 5 is not saved", movieOf({kBackground, kShowFrame, kShowFrame, kEnd}, header("FWS", 4)), true, 0, 1, kErrorWriting, false},
  };
  for (const SituationRow& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string movie = tempPath("movie.swf"), backup = tempPath("movie_old.swf");
    Document doc;
    load(doc, writeFile(movie, row.file));
    if (row.analyse) analyse(doc);
    FaultInjectingFileSystem fs;
    fs.files[movie] = {row.file, 0644};
    for (int i = 0; i < row.leftovers; ++i) {
      for (const std::string& path : {movie, backup}) fs.files[path + ".framestow-" + std::to_string(i) + ".tmp"] = {{1, 2, 3}, 0600};
    }
    const auto before = fs.files;
    for (int i = 0; i < row.saves; ++i) EXPECT_EQ(save(doc, 2, {false, true, ""}, fs), row.result);
    std::set<std::string> expected = names(before);
    if (row.written) expected.insert(backup);
    EXPECT_EQ(names(fs.files), expected);
    for (const auto& [path, file] : before) EXPECT_TRUE(path == movie || fs.files[path].bytes == file.bytes) << path;
    EXPECT_EQ(fs.files[movie].bytes != row.file, row.written);
    if (row.written) {
      EXPECT_EQ(fs.files[backup].bytes, row.file);
      for (const auto& failure : checkSavedMovie(doc, row.file, fs.files[movie].bytes, {2, false})) ADD_FAILURE() << failure;
    }
  }
}

}  // namespace
}  // namespace framestow::test
