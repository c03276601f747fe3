// A backup never replaces anything: whatever lies under name_old.swf (an
// older backup, notes, a folder, a link) stays, and the backup takes the
// first free name of name_old_2.swf, name_old_3.swf, ...
#include <gtest/gtest.h>

#include <filesystem>

#include "support/folder_snapshot.hpp"
#include "support/movie_files.hpp"
#include "support/temp_dir.hpp"

namespace framestow {
namespace {

namespace fs = std::filesystem;
using test::ByteVector;

ByteVector threeFrameMovie() {
  test::Timeline t;
  t.setBackgroundColor().defineBitsLossless(1, 200).defineBitsLossless(2, 100);
  t.exportAssets({{1, "art"}, {2, "more"}}).showFrame().showFrame().showFrame().end();
  return test::buildMovie(t);
}

struct AroundTheMovie {
  std::string name;
  std::vector<std::pair<std::string, std::string>> existing;  // name -> "notes", "folder" or "link"
  bool backup;
  std::string backupName;  // the backup the save reports; "" for none
};

const AroundTheMovie kCases[] = {
    {"NothingYet", {}, true, "m_old.swf"},
    {"NotesUnderTheBackupName", {{"m_old.swf", "notes"}}, true, "m_old_2.swf"},
    {"TwoBackupsAlready", {{"m_old.swf", "notes"}, {"m_old_2.swf", "notes"}}, true, "m_old_3.swf"},
    {"AGapInTheNumbers", {{"m_old.swf", "notes"}, {"m_old_3.swf", "notes"}}, true, "m_old_2.swf"},
    {"FolderUnderTheBackupName", {{"m_old.swf", "folder"}}, true, "m_old_2.swf"},
    {"DanglingLinkUnderTheBackupName", {{"m_old.swf", "link"}}, true, "m_old_2.swf"},
    {"NoBackupAskedFor", {{"m_old.swf", "notes"}}, false, ""},
};

TEST(BackupNames, ExistingFilesStayAndTheBackupTakesTheFirstFreeName) {
  const ByteVector original = threeFrameMovie();
  for (const AroundTheMovie& c : kCases) {
    SCOPED_TRACE(c.name);
    const std::string folder = test::tempPath(c.name);
    fs::create_directories(folder);
    for (const auto& [name, kind] : c.existing) {
      const std::string path = folder + "/" + name;
      if (kind == "notes") test::writeFile(path, {'n', 'o', 't', 'e', 's'});
      if (kind == "folder") fs::create_directory(path);
      if (kind == "link") fs::create_symlink("nowhere.swf", path);
    }
    test::FolderSnapshot expected = test::snapshotOf(folder);
    Document doc;
    test::loadMovie(doc, original, c.name + "/m.swf");
    const SaveOutcome outcome = doc.save(2, false, c.backup);

    EXPECT_EQ(outcome.result, kFileModified) << outcome.reason;
    EXPECT_EQ(outcome.backupPath, c.backupName.empty() ? "" : folder + "/" + c.backupName);
    const test::FolderSnapshot after = test::snapshotOf(folder);
    expected["m.swf"] = after.at("m.swf");
    EXPECT_EQ(test::readFile(folder + "/m.swf"), test::savedMovie(original, 2));
    if (!c.backupName.empty()) {
      EXPECT_EQ(test::readFile(folder + "/" + c.backupName), original);
      expected[c.backupName] = after.count(c.backupName) ? after.at(c.backupName) : "missing";
    }
    EXPECT_EQ(after, expected) << "only the movie and its new backup changed";
  }
}

TEST(BackupNames, SavingTheSavedMovieAgainKeepsTheOriginal) {
  const ByteVector original = threeFrameMovie();
  Document first;
  const std::string path = test::loadMovie(first, original, "m.swf");
  ASSERT_EQ(first.save(2, false, true), kFileModified);
  const ByteVector frame2 = test::readFile(path);

  Document second;
  test::loadMovie(second, frame2, "m.swf");
  const SaveOutcome outcome = second.save(3, false, true);
  ASSERT_EQ(outcome.result, kFileModified) << outcome.reason;
  EXPECT_EQ(outcome.backupPath, test::tempPath("m_old_2.swf"));
  EXPECT_EQ(test::readFile(test::tempPath("m_old.swf")), original);
  EXPECT_EQ(test::readFile(test::tempPath("m_old_2.swf")), frame2);
}

}  // namespace
}  // namespace framestow
