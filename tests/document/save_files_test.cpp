// What a save writes on the disk and what it leaves there: when one of its
// file steps fails, in the situations around a movie (backups already there,
// links, special files, a file changed since it was loaded), and to the owner
// and mode of what it writes. Every file of the folder is compared before and
// after.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <iostream>
#include <map>

#include "support/documents.hpp"
#include "support/fault_injecting_file_system.hpp"
#include "support/saved_movie_check.hpp"
#include "support/test_files.hpp"

namespace framestow::test {
namespace {

namespace fs = std::filesystem;

// Every entry below `folder` by relative path: "file <mode> <bytes>", "link -> <target>", "folder" or "other".
std::map<std::string, std::string> snapshotOf(const std::string& folder) {
  std::map<std::string, std::string> snapshot;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    const fs::file_status status = entry.symlink_status();
    std::string& what = snapshot[entry.path().lexically_relative(folder).generic_string()];
    if (fs::is_symlink(status)) {
      what = "link -> " + fs::read_symlink(entry.path()).generic_string();
    } else if (fs::is_regular_file(status)) {
      const ByteVector bytes = readFile(entry.path().string());
      what = "file " + std::to_string(static_cast<unsigned>(status.permissions() & fs::perms::mask)) + " " + std::string(bytes.begin(), bytes.end());
    } else {
      what = fs::is_directory(status) ? "folder" : "other";
    }
  }
  return snapshot;
}

// `text` with each "@" replaced by the folder and a slash.
std::string inFolder(const std::string& text, const std::string& folder) {
  std::string out;
  for (const char c : text) out += c == '@' ? folder + "/" : std::string(1, c);
  return out;
}

struct StepsRow {
  const char* name;
  ByteVector file;
  bool backup;
  bool olderBackup;  // a file already lies under the first backup name
  bool removal;
  bool diskFull;     // every write, flush and close from the failed step on fails too, with ENOSPC
  bool toOutput;     // saved to out.swf beside the movie
};

TEST(SaveSteps, EachFileStepFailingLeavesEveryFileAsItWasAndSaysWhy) {
  const StepsRow rows[] = {
      {"with a backup, beside an older one", bitmapsMovie(200), true, true, false, false, false},
      {"without a backup", bitmapsMovie(200), false, true, false, false, false},
      {"a compressed movie with removal", bitmapsMovie(200, "CWS"), true, false, true, false, false},
      {"a movie written in several pieces", bitmapsMovie(2'500'000), true, false, false, false, false},
      {"a compressed movie written in several pieces", bitmapsMovie(2'500'000, "CWS"), false, false, false, false, false},
      {"a disk that fills up", bitmapsMovie(2'500'000), true, true, false, true, false},
      {"a disk that fills up under another file", bitmapsMovie(2'500'000), false, false, false, true, true},
  };
  for (const StepsRow& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string folder = tempPath(row.name), movie = folder + "/movie.swf", output = row.toOutput ? folder + "/out.swf" : "";
    const std::string backup = folder + (row.olderBackup ? "/movie_old_2.swf" : "/movie_old.swf");  // the first free name
    Document doc;
    ASSERT_EQ(loadAndAnalyse(doc, row.file, movie), "");
    if (row.olderBackup) writeFile(folder + "/movie_old.swf", movieOf({kShowFrameBytes, kEndBytes}));
    const auto before = snapshotOf(folder);
    FaultInjectingFileSystem clean;
    ASSERT_EQ(doc.save(2, row.removal, row.backup, output, clean).result, kFileModified);
    EXPECT_EQ(readFile(row.toOutput ? output : movie), saveInMemory(doc, 2, row.removal).bytes);
    // The megabytes of a long run go to the file in one write, not through a 64 kB buffer.
    EXPECT_LE(std::count_if(clean.steps().begin(), clean.steps().end(), [](const std::string& s) { return s.rfind("write ", 0) == 0; }), 12);
    const std::error_code error = std::make_error_code(row.diskFull ? std::errc::no_space_on_device : std::errc::io_error);
    for (std::size_t k = 0; k < clean.steps().size(); ++k) {
      writeFile(movie, row.file);
      fs::remove(backup);
      fs::remove(folder + "/out.swf");
      FaultInjectingFileSystem faulty(static_cast<int>(k), error);
      faulty.diskFull = row.diskFull;
      const SaveOutcome outcome = doc.save(2, row.removal, row.backup, output, faulty);
      const std::string& failed = faulty.steps()[k];
      SCOPED_TRACE("failed step: " + failed);
      const bool inBackup = failed.rfind("link ", 0) == 0;
      EXPECT_EQ(outcome.result, inBackup ? kErrorCreatingBackup : kErrorWritingFile);
      // A backup's link names the backup it tried.
      EXPECT_EQ(outcome.reason, error.message() + ": " + (inBackup ? failed.substr(failed.find(" -> ") + 4) : row.toOutput ? output : movie));
      EXPECT_EQ(outcome.backupPath, "");
      for (std::size_t later = k + 1; later < faulty.steps().size(); ++later) EXPECT_EQ(faulty.steps()[later].rfind("close ", 0), 0u) << faulty.steps()[later];
      EXPECT_EQ(snapshotOf(folder), before) << "a file changed, or a backup or temporary file was left";
      if (HasFailure()) return;
    }
  }
}

// Each case starts from `movie` at real/m.swf and an empty folder other/, then
// `prepare` runs in the case's folder. In paths and the reason "@" stands for
// the case's folder and a slash.
struct SituationRow {
  const char* name;
  ByteVector movie = bitmapsMovie(300);
  std::function<void()> prepare = [] {};
  std::string load = "real/m.swf";
  bool analyse = true;
  // What happens between the analysis and the save; it may hold the movie locked.
  std::function<std::unique_ptr<LockedFile>(Document&, const std::string& path)> meanwhile = {};
  std::int32_t frame = 2;
  bool removal = false;
  bool backup = true;
  std::string output = "";             // "" for the loaded movie
  std::string result = kSaved;
  std::string reason = "";
  std::string savedAt = "real/m.swf";  // where a save that went through put the new movie
  std::string backupAt = "";           // where the backup of what was there is; "" for nowhere
  bool readOnlyFolder = false;         // real/ takes no new file (as for a user who may not write there)
};

void expectSituation(const SituationRow& row, const std::string& folder) {
  writeFile(folder + "/real/m.swf", row.movie);
  fs::create_directories(folder + "/other");
  const fs::path home = fs::current_path();
  fs::current_path(folder);
  row.prepare();
  fs::current_path(home);
  Document doc;
  ASSERT_EQ(load(doc, folder + "/" + row.load), "");
  if (row.analyse) analyse(doc);
  const std::unique_ptr<LockedFile> held = row.meanwhile ? row.meanwhile(doc, folder + "/real/m.swf") : nullptr;
  auto expected = snapshotOf(folder);
  FaultInjectingFileSystem files;
  if (row.readOnlyFolder) files.readOnlyFolder = folder + "/real";
  const SaveOutcome outcome = doc.save(row.frame, row.removal, row.backup, inFolder(row.output, folder), files);
  EXPECT_EQ(saveResultText(outcome.result), row.result);
  EXPECT_EQ(outcome.reason, inFolder(row.reason, folder));
  EXPECT_EQ(outcome.backupPath, row.backupAt.empty() ? "" : folder + "/" + row.backupAt);
  const auto after = snapshotOf(folder);
  if (row.result == kSaved) {
    EXPECT_EQ(outcome.outputPath, folder + "/" + row.savedAt);
    EXPECT_EQ(readFile(folder + "/" + row.savedAt), saveInMemory(doc, row.frame, row.removal).bytes);
    if (!row.backupAt.empty()) expected[row.backupAt] = expected[row.savedAt];
    if (after.count(row.savedAt) != 0) expected[row.savedAt] = after.at(row.savedAt);
  }
  EXPECT_EQ(after, expected) << "something besides the new movie and its backup changed";
}

void link(const std::string& target, const std::string& name) { fs::create_symlink(target, name); }
void notes(const std::string& path) { writeFile(path, {'n', 'o'}); }
std::unique_ptr<LockedFile> lockedElsewhere(Document&, const std::string& path) {
  std::unique_ptr<LockedFile> held;
  EXPECT_FALSE(realFileSystem().lock(path, std::chrono::milliseconds(0), held));
  return held;
}
std::unique_ptr<LockedFile> rewritten(Document&, const std::string& path) { return writeFile(path, {'o'}), nullptr; }
std::unique_ptr<LockedFile> savedForFrame2(Document& doc, const std::string&) { return doc.save(2, false, true), nullptr; }

TEST(SaveSituations, WhatASaveWritesAndWhatItLeaves) {
  const ByteVector cutShort = [] { ByteVector m = bitmapsMovie(300); m.pop_back(); return m; }();
  const auto movedTo2 = [](const ByteVector& file) {
    Document doc;
    EXPECT_EQ(loadAndAnalyse(doc, file, tempPath("to-move.swf")), "");
    return saveInMemory(doc, 2, false).bytes;
  };
  const SituationRow rows[] = {
      {.name = "the backup is the file as loaded", .backupAt = "real/m_old.swf"},
      {.name = "a compressed movie stays compressed, its backup too", .movie = bitmapsMovie(300, "CWS"), .backupAt = "real/m_old.swf"},
      {.name = "without a backup, what lies under the backup name stays", .prepare = [] { notes("real/m_old.swf"); }, .backup = false},
      {.name = "whatever lies under backup names stays: the backup takes the first free name",
       .prepare = [] { notes("real/m_old.swf"), fs::create_directory("real/m_old_2.swf"), link("none.swf", "real/m_old_3.swf"), notes("real/m_old_5.swf"); },
       .backupAt = "real/m_old_4.swf"},
      {.name = "links and files where temporary files go are stepped over",
       .prepare = [] { link("none", "real/m.swf.framestow-0.tmp"), link("none", "real/.fstw-0.tmp"), notes("real/.fstw-1.tmp"); }, .backupAt = "real/m_old.swf"},
      {.name = "through links in another folder: the real file is replaced, the backup goes beside it, the links stay",
       .prepare = [] { link("../real/m.swf", "other/m.swf"), link("other/m.swf", "m.swf"); }, .load = "m.swf", .backupAt = "real/m_old.swf"},
      {.name = "through a link that climbs out of its folder, the real file is named without the climb",
       .prepare = [] { link("../real/m.swf", "other/m.swf"); }, .load = "other/m.swf", .backupAt = "real/m_old.swf"},
      {.name = "an output link to another file writes that file", .prepare = [] { notes("other/out.swf"), link("other/out.swf", "out.swf"); },
       .output = "@out.swf", .savedAt = "other/out.swf"},
      {.name = "an output link to the movie is an in-place save", .prepare = [] { link("real/m.swf", "same.swf"); }, .output = "@same.swf",
       .backupAt = "real/m_old.swf"},
      {.name = "an output naming the movie another way is an in-place save", .output = "@other/../real/./m.swf", .backupAt = "real/m_old.swf"},
      {.name = "an output that is another hard link of the movie is written alone", .prepare = [] { fs::create_hard_link("real/m.swf", "other/hard.swf"); },
       .output = "@other/hard.swf", .savedAt = "other/hard.swf"},
      {.name = "an output through a linked folder to the movie, which has another hard link, is an in-place save",
       .prepare = [] { fs::create_hard_link("real/m.swf", "other/hard.swf"), link("real", "linked"); }, .output = "@linked/m.swf", .backupAt = "real/m_old.swf"},
      {.name = "a new output file", .output = "@other/new.swf", .savedAt = "other/new.swf"},
      {.name = "an output link to nothing is refused", .prepare = [] { link("other/none.swf", "dangling.swf"); }, .output = "@dangling.swf",
       .result = kErrorWriting, .reason = "The symbolic link points to no file: @dangling.swf -> @other/none.swf"},
      {.name = "a FIFO is refused", .prepare = [] { ASSERT_EQ(mkfifo("other/pipe.swf", 0644), 0); }, .output = "@other/pipe.swf", .result = kErrorWriting,
       .reason = "Not a regular file (a FIFO): @other/pipe.swf"},
      {.name = "a folder is refused", .prepare = [] { fs::create_directory("other/folder.swf"); }, .output = "@other/folder.swf", .result = kErrorWriting,
       .reason = "Not a regular file (a folder): @other/folder.swf"},
      {.name = "a device is refused, even for root", .output = "/dev/null", .result = kErrorWriting, .reason = "Not a regular file (a device): /dev/null"},
      {.name = "a read-only movie is refused before its backup", .prepare = [] { fs::permissions("real/m.swf", fs::perms::owner_read, fs::perm_options::replace); },
       .result = kErrorWriting, .reason = "The file is read-only: @real/m.swf"},
      {.name = "a folder that takes no new file", .result = kErrorWriting, .reason = "Permission denied: @real/m.swf", .readOnlyFolder = true},
      {.name = "a movie another save holds is left alone", .meanwhile = lockedElsewhere, .result = kErrorWriting,
       .reason = "Another save is writing this file: @real/m.swf"},
      {.name = "a movie rewritten since it was loaded is left alone", .meanwhile = rewritten, .result = kErrorWriting,
       .reason = "The file changed since it was loaded: @real/m.swf"},
      {.name = "a movie replaced by a copy of itself is saved", .meanwhile = [](Document&, const std::string& path) {
         return fs::copy_file(path, path + ".copy"), fs::rename(path + ".copy", path), nullptr; }, .backupAt = "real/m_old.swf"},
      {.name = "a movie removed since it was loaded is not written anew", .meanwhile = [](Document&, const std::string& path) { return fs::remove(path), nullptr; },
       .result = kErrorWriting, .reason = "No such file or directory: @real/m.swf"},
      {.name = "a save for frame 3 after one for frame 2 replaces what that wrote", .meanwhile = savedForFrame2, .frame = 3, .backupAt = "real/m_old_2.swf"},
      {.name = "a save put back as loaded is saved again", .meanwhile = [](Document& doc, const std::string& path) {
         return savedForFrame2(doc, path), writeFile(path, bitmapsMovie(300)), nullptr; }, .backupAt = "real/m_old_2.swf"},
      {.name = "a save rewritten by someone else is left alone", .meanwhile = [](Document& doc, const std::string& path) {
         return savedForFrame2(doc, path), rewritten(doc, path); }, .frame = 3, .result = kErrorWriting, .reason = "The file changed since it was loaded: @real/m.swf"},
      {.name = "a copy saved elsewhere, put over the movie, is no save of the movie's own", .meanwhile = [](Document& doc, const std::string& path) {
         const std::string out = fs::path(path).parent_path().parent_path().string() + "/other/out.swf";
         return doc.save(2, false, true, out), fs::copy_file(out, path, fs::copy_options::overwrite_existing), nullptr; },
       .frame = 3, .result = kErrorWriting, .reason = "The file changed since it was loaded: @real/m.swf"},
      {.name = "a movie that already has the layout is not written again", .movie = movedTo2(bitmapsMovie(300)), .result = kLaidOut},
      {.name = "nor when it is compressed, with removal", .movie = movedTo2(bitmapsMovie(300, "CWS")), .removal = true, .result = kLaidOut},
      {.name = "a movie moved to frame 2 is saved for frame 3", .movie = movedTo2(bitmapsMovie(300)), .frame = 3, .backupAt = "real/m_old.swf"},
      {.name = "a movie that was not analysed is not saved", .analyse = false, .result = kErrorWriting,
       .reason = "The movie was not analysed, so nothing is written: @real/m.swf"},
      {.name = "a movie whose analysis stopped is not saved",
       .movie = movieOf({kBackground, tagBytes(kDefineShape, Bytes().u16(1).rect(0, 20, 0, 20).u8(1).u8(0x33).u8(0)), exports({{1, "bad"}}), kShowFrameBytes, kShowFrameBytes, kEndBytes}),
       .result = kErrorWriting, .reason = "The movie was not analysed, so nothing is written: @real/m.swf"},
      {.name = "a movie before version 5 is not saved", .movie = movieOf({kBackground, kShowFrameBytes, kShowFrameBytes, kEndBytes}, header("FWS", 4)),
       .result = kErrorWriting, .reason = "The movie was not analysed, so nothing is written: @real/m.swf"},
      {.name = "a movie whose last tag runs past its data is not saved",
       .movie = movieOf({kBackground, shape(1), exports({{1, "box"}}), kShowFrameBytes, kShowFrameBytes, ByteVector{0x3F, 0x03, 0xFF, 0xFF, 0, 0, 1, 2}}),
       .result = kErrorWriting, .reason = "The movie is incomplete and cannot be written: @real/m.swf"},
      {.name = "a movie a byte shorter than it declares is not saved", .movie = cutShort, .result = kErrorWriting,
       .reason = "The movie is incomplete and cannot be written: @real/m.swf"},
      {.name = "a second save for the same frame finds its layout in place", .meanwhile = savedForFrame2, .result = kLaidOut},
  };
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    SCOPED_TRACE(rows[i].name);
    expectSituation(rows[i], tempPath(std::to_string(i)));
  }
}

struct OwnerRow {
  const char* name;
  unsigned mode;
  bool otherOwner;        // the movie belongs to user 1234, group 5678 (only root can do that)
  bool linksFail;         // the backup is a copy, not a second name of the movie
  bool ownerChangesFail;  // as for a user who may not give files away
  unsigned savedMode;
};

TEST(SaveOwners, TheSavedMovieAndItsBackupKeepTheOwnerAndModeOfTheOriginal) {
  const OwnerRow rows[] = {
      {"a group-readable movie", 0640, false, false, false, 0640},
      {"a private movie with a copied backup", 0600, false, true, false, 0600},
      {"setuid kept with its owner", 06755, false, true, false, 06755},
      {"setuid and setgid dropped where the owner cannot be kept", 06755, false, false, true, 0755},
      {"another user's movie saved by root", 0604, true, false, false, 0604},
      {"another user's movie with a copied backup", 06750, true, true, false, 06750},
  };
  const auto ownerOf = [](const std::string& path) {
    struct stat st {};
    EXPECT_EQ(stat(path.c_str(), &st), 0) << path;
    return std::vector<unsigned>{static_cast<unsigned>(st.st_mode & 07777), st.st_uid, st.st_gid};
  };
  for (const OwnerRow& row : rows) {
    SCOPED_TRACE(row.name);
    if (row.otherOwner && geteuid() != 0) {
      std::cout << "[ SKIPPED  ] " << row.name << ": giving a file to another user needs root\n";
      continue;
    }
    const std::string path = tempPath(std::string(row.name) + ".swf");
    Document doc;
    ASSERT_EQ(loadAndAnalyse(doc, bitmapsMovie(300), path), "");
    ASSERT_TRUE(!row.otherOwner || chown(path.c_str(), 1234, 5678) == 0);
    ASSERT_EQ(chmod(path.c_str(), row.mode), 0);
    const std::vector<unsigned> before = ownerOf(path);
    FaultInjectingFileSystem files;
    files.linksFail = row.linksFail;
    files.ownerChangesFail = row.ownerChangesFail;
    const SaveOutcome outcome = doc.save(2, false, true, "", files);
    ASSERT_EQ(outcome.result, kFileModified) << outcome.reason;
    std::vector<unsigned> saved = before;
    saved[0] = row.savedMode;
    EXPECT_EQ(ownerOf(path), saved);
    EXPECT_EQ(ownerOf(outcome.backupPath), before) << "the backup is the original, owner and mode included";
    EXPECT_EQ(readFile(outcome.backupPath), bitmapsMovie(300));
  }
}

}  // namespace
}  // namespace framestow::test
