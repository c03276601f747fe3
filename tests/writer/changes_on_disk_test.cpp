// A save replaces the movie's file only while it holds it locked and finds in
// it what was loaded (or what this document last wrote there): a file another
// save holds, changed or removed meanwhile is left alone. A save that would
// write the same movie again writes nothing.
#include <gtest/gtest.h>

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

ByteVector threeFrameMovie(const std::string& signature = "FWS") {
  test::Timeline t;
  t.setBackgroundColor().defineBitsLossless(1, 200).defineBitsLossless(2, 100);
  t.exportAssets({{1, "art"}, {2, "more"}}).showFrame().showFrame().showFrame().end();
  test::MovieOptions options;
  options.signature = signature;
  return test::buildMovie(t, options);
}

const ByteVector kOtherBytes = {'o', 't', 'h', 'e', 'r'};

struct SinceLoaded {
  std::string name;
  // What happens between the load and the save; may hold the file locked.
  std::function<std::unique_ptr<LockedFile>(Document&, const std::string& path)> meanwhile;
  std::int32_t frame;
  SaveResult result;
  std::string reason;  // followed by the movie's path
};

std::unique_ptr<LockedFile> nothing(Document&, const std::string&) { return nullptr; }

const SinceLoaded kCases[] = {
    {"Nothing", nothing, 2, kFileModified, ""},
    {"AnotherSaveHoldsIt",
     [](Document&, const std::string& path) {
       std::unique_ptr<LockedFile> held;
       EXPECT_FALSE(realFileSystem().lock(path, std::chrono::milliseconds(0), held));
       return held;
     },
     2, kErrorWritingFile, "Another save is writing this file: "},
    {"RewrittenWithOtherBytes",
     [](Document&, const std::string& path) { return test::writeFile(path, kOtherBytes), nullptr; }, 2,
     kErrorWritingFile, "The file changed since it was loaded: "},
    {"ReplacedByACopyOfItself",
     [](Document&, const std::string& path) {
       fs::copy_file(path, path + ".copy"), fs::rename(path + ".copy", path);
       return nullptr;
     },
     2, kFileModified, ""},
    {"Removed", [](Document&, const std::string& path) { return fs::remove(path), nullptr; }, 2, kErrorWritingFile,
     "No such file or directory: "},
    {"SavedForAnotherFrame", [](Document& doc, const std::string&) { return doc.save(2, false, true), nullptr; }, 3,
     kFileModified, ""},
    {"SavedForThisFrame", [](Document& doc, const std::string&) { return doc.save(2, false, true), nullptr; }, 2,
     kAlreadyLaidOut, ""},
    {"SavedThenTheOriginalPutBack",
     [](Document& doc, const std::string& path) {
       doc.save(2, false, false);
       return test::writeFile(path, threeFrameMovie()), nullptr;
     },
     2, kFileModified, ""},
    {"SavedThenRewrittenWithOtherBytes",
     [](Document& doc, const std::string& path) {
       doc.save(2, false, false);
       return test::writeFile(path, kOtherBytes), nullptr;
     },
     3, kErrorWritingFile, "The file changed since it was loaded: "},
};

TEST(ChangesOnDisk, OnlyTheFileAsLoadedOrAsLastSavedIsReplaced) {
  const ByteVector original = threeFrameMovie();
  for (const SinceLoaded& c : kCases) {
    SCOPED_TRACE(c.name);
    Document doc;
    const std::string path = test::loadMovie(doc, original, c.name + "/m.swf");
    const auto held = c.meanwhile(doc, path);
    const test::FolderSnapshot before = test::snapshotOf(test::tempPath(c.name));

    test::FaultyFileSystem fs;  // takes locks without waiting
    const SaveOutcome outcome = doc.save(c.frame, false, true, {}, fs);
    EXPECT_EQ(outcome.result, c.result);
    EXPECT_EQ(outcome.reason, c.reason.empty() ? "" : c.reason + path);
    if (c.result == kFileModified) {
      EXPECT_EQ(test::readFile(path), test::savedMovie(original, c.frame));
      EXPECT_EQ(test::snapshotOf(test::tempPath(c.name)).size(), before.size() + 1) << "the movie and a backup";
    } else {
      EXPECT_EQ(test::snapshotOf(test::tempPath(c.name)), before) << "nothing written";
    }
  }
}

struct LaidOutCase {
  std::string name;
  std::string signature;
  std::int32_t frame;
  bool optimise;
  SaveResult result;
};

const LaidOutCase kLaidOutCases[] = {
    {"MovedAlready", "FWS", 2, false, kAlreadyLaidOut},
    {"MovedAlreadyAndCompressed", "CWS", 2, true, kAlreadyLaidOut},
    {"MovedAlreadyToAnEarlierFrame", "FWS", 3, false, kFileModified},
};

TEST(ChangesOnDisk, AMovieThatAlreadyHasTheLayoutIsNotWrittenAgain) {
  for (const LaidOutCase& c : kLaidOutCases) {
    SCOPED_TRACE(c.name);
    const ByteVector movedToFrame2 = test::savedMovie(threeFrameMovie(c.signature), 2);
    Document doc;
    const std::string path = test::loadMovie(doc, movedToFrame2, c.name + "/m.swf");
    const test::FolderSnapshot before = test::snapshotOf(test::tempPath(c.name));
    const SaveOutcome outcome = doc.save(c.frame, c.optimise, true);
    EXPECT_EQ(outcome.result, c.result) << outcome.reason;
    if (c.result == kAlreadyLaidOut) {
      EXPECT_EQ(outcome.backupPath, "");
      EXPECT_EQ(outcome.outputPath, path);
      EXPECT_EQ(test::snapshotOf(test::tempPath(c.name)), before) << "nothing written, no backup";
    }
  }
}

}  // namespace
}  // namespace framestow
