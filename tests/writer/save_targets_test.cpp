// What a save replaces: the real file behind symbolic links (in its own
// folder, where its backup goes too), exactly the path asked for, and only a
// regular file that may be replaced. Anything else is refused before a single
// file changes.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <filesystem>
#include <functional>

#include "support/faulty_file_system.hpp"
#include "support/folder_snapshot.hpp"
#include "support/movie_files.hpp"
#include "support/temp_dir.hpp"

namespace framestow {
namespace {

namespace fs = std::filesystem;
using test::ByteVector;

ByteVector assetMovie() {
  test::Timeline t;
  t.setBackgroundColor().defineBitsLossless(1, 200).exportAssets({{1, "art"}}).showFrame().showFrame().end();
  return test::buildMovie(t);
}

// Every case starts from the movie at real/m.swf and an empty folder other/.
struct TargetCase {
  std::string name;
  std::function<void()> setUp;  // runs in the case's folder
  std::string load;             // the path loaded
  std::string output;           // "" for an in-place save
  SaveResult result;
  std::string reason;       // how the reason starts: this, then the case's folder and `reasonPath`
  std::string reasonPath;
  std::string newMovieAt{};  // where the saved movie lands; "" for nowhere
  std::string backupAt{};    // where the backup lands; "" for nowhere
  bool backup = true;
  bool readOnlyFolder = false;  // real/ refuses new files (as for a user without write rights there)
  bool needsRoot = false;
};

void link(const std::string& target, const std::string& name) { fs::create_symlink(target, name); }

const std::string kLongName = std::string(251, 'n') + ".swf";  // 255 bytes, the most a name may have

const std::vector<TargetCase> kCases = {
    {"RegularFile", [] {}, "real/m.swf", "", kFileModified, "", "", "real/m.swf", "real/m_old.swf"},
    {"LinkToTheMovie", [] { link("real/m.swf", "m.swf"); }, "m.swf", "", kFileModified, "", "", "real/m.swf",
     "real/m_old.swf"},
    {"LinkToALinkInAnotherFolder", [] { link("../real/m.swf", "other/m.swf"), link("other/m.swf", "m.swf"); },
     "m.swf", "", kFileModified, "", "", "real/m.swf", "real/m_old.swf"},
    {"OutputLinkToAnotherFile",
     [] { test::writeFile("other/out.swf", {1, 2, 3}), link("other/out.swf", "out.swf"); }, "real/m.swf",
     "out.swf", kFileModified, "", "", "other/out.swf", ""},
    {"OutputLinkToTheMovie", [] { link("real/m.swf", "same.swf"); }, "real/m.swf", "same.swf", kFileModified, "",
     "", "real/m.swf", "real/m_old.swf"},
    {"OutputNamingTheMovieOtherwise", [] {}, "real/m.swf", "other/../real/./m.swf", kFileModified, "", "",
     "real/m.swf", "real/m_old.swf"},
    {"OutputHardLinkOfTheMovie", [] { fs::create_hard_link("real/m.swf", "other/hard.swf"); }, "real/m.swf",
     "other/hard.swf", kFileModified, "", "", "other/hard.swf", ""},
    {"OutputThroughALinkedFolderToTheHardLinkedMovie",
     [] { fs::create_hard_link("real/m.swf", "other/hard.swf"), link("real", "linked"); }, "real/m.swf",
     "linked/m.swf", kFileModified, "", "", "real/m.swf", "real/m_old.swf"},
    {"OutputNewFile", [] {}, "real/m.swf", "other/new.swf", kFileModified, "", "", "other/new.swf", ""},
    {"OutputDanglingLink", [] { link("other/none.swf", "dangling.swf"); }, "real/m.swf", "dangling.swf",
     kErrorWritingFile, "The symbolic link points to no file: ", "dangling.swf"},
    {"OutputFifo", [] { ASSERT_EQ(mkfifo("other/pipe.swf", 0644), 0); }, "real/m.swf", "other/pipe.swf",
     kErrorWritingFile, "Not a regular file (a FIFO): ", "other/pipe.swf"},
    {"OutputFolder", [] { fs::create_directory("other/folder.swf"); }, "real/m.swf", "other/folder.swf",
     kErrorWritingFile, "Not a regular file (a folder): ", "other/folder.swf"},
    {"OutputDevice", [] { ASSERT_EQ(mknod("other/null", S_IFCHR | 0666, makedev(1, 3)), 0); }, "real/m.swf",
     "other/null", kErrorWritingFile, "Not a regular file (a device): ", "other/null", "", "", true, false, true},
    {"OutputInAMissingFolder", [] {}, "real/m.swf", "none/out.swf", kErrorWritingFile,
     "No such file or directory: ", "none/out.swf"},
    {"ReadOnlyMovie", [] { fs::permissions("real/m.swf", fs::perms::owner_read, fs::perm_options::replace); },
     "real/m.swf", "", kErrorWritingFile, "The file is read-only: ", "real/m.swf"},
    {"ReadOnlyFolder", [] {}, "real/m.swf", "", kErrorWritingFile, "Permission denied: ", "real/m.swf", "", "",
     true, true},
    {"DanglingLinkWhereTemporaryFilesWent",
     [] { link("nowhere", "real/m.swf.framestow-0.tmp"), link("nowhere", "real/.fstw-0.tmp"); }, "real/m.swf", "",
     kFileModified, "", "", "real/m.swf", "real/m_old.swf"},
    {"LongNameWithoutBackup", [] { fs::rename("real/m.swf", "real/" + kLongName); }, "real/" + kLongName, "",
     kFileModified, "", "", "real/" + kLongName, "", false},
    {"LongNameWithBackup", [] { fs::rename("real/m.swf", "real/" + kLongName); }, "real/" + kLongName, "",
     kErrorCreatingBackup, "File name too long: ", "real/" + std::string(251, 'n') + "_old.swf"},
};

TEST(SaveTargets, OnlyTheRealFileAskedForIsReplacedAndAnythingElseIsRefused) {
  const ByteVector original = assetMovie();
  const ByteVector saved = test::savedMovie(original, 2);
  const auto home = fs::current_path();
  for (const TargetCase& c : kCases) {
    SCOPED_TRACE(c.name);
    if (c.needsRoot && geteuid() != 0) {
      std::cout << "[ SKIPPED  ] " << c.name << ": making a device node needs root\n";
      continue;
    }
    const std::string folder = test::tempPath(c.name);
    test::writeFile(folder + "/real/m.swf", original);
    fs::create_directories(folder + "/other");
    fs::current_path(folder);
    c.setUp();
    fs::current_path(home);
    test::FolderSnapshot expected = test::snapshotOf(folder);

    Document doc;
    ASSERT_EQ(doc.load(folder + "/" + c.load), "");
    ASSERT_TRUE(doc.analyze());
    test::FaultyFileSystem fs;
    if (c.readOnlyFolder) fs.readOnlyFolder = folder + "/real";
    const SaveOutcome outcome = doc.save(2, false, c.backup, c.output.empty() ? "" : folder + "/" + c.output, fs);

    EXPECT_EQ(outcome.result, c.result);
    const std::string reason = c.reason.empty() ? "" : c.reason + folder + "/" + c.reasonPath;
    EXPECT_EQ(outcome.reason.substr(0, reason.size()), reason);
    EXPECT_EQ(outcome.reason.empty(), reason.empty()) << outcome.reason;
    EXPECT_EQ(outcome.backupPath, c.backupAt.empty() ? "" : folder + "/" + c.backupAt);
    if (!c.newMovieAt.empty()) {
      EXPECT_EQ(test::readFile(folder + "/" + c.newMovieAt), saved);
      EXPECT_EQ(outcome.outputPath, folder + "/" + c.newMovieAt);
    }
    const test::FolderSnapshot after = test::snapshotOf(folder);
    if (!c.newMovieAt.empty() && after.count(c.newMovieAt)) expected[c.newMovieAt] = after.at(c.newMovieAt);
    if (!c.backupAt.empty()) {
      EXPECT_EQ(test::readFile(folder + "/" + c.backupAt), original);
      if (after.count(c.backupAt)) expected[c.backupAt] = after.at(c.backupAt);
    }
    EXPECT_EQ(after, expected) << "nothing but the new movie and its backup changed";
  }
}

}  // namespace
}  // namespace framestow
