// Every failed save says why and where: the system's own words for the error
// and the path it concerns (the output asked for, not the loaded file).
#include <gtest/gtest.h>

#include <cstdio>

#include "support/faulty_file_system.hpp"
#include "support/movie_files.hpp"
#include "support/temp_dir.hpp"

namespace framestow {
namespace {

struct ReasonCase {
  std::string name;
  std::string failingStep;  // the first step whose text starts so fails
  std::errc error;
  bool toOutput;            // saved to out.swf instead of in place
  SaveResult result;
  std::string reason;       // followed by the path
  std::string reasonPath;   // "movie", "output" or "backup"
};

const ReasonCase kCases[] = {
    {"DiskFullWritingTheMovie", "write ", std::errc::no_space_on_device, false, kErrorWritingFile,
     "No space left on device: ", "movie"},
    {"DiskFullWritingTheOutput", "write ", std::errc::no_space_on_device, true, kErrorWritingFile,
     "No space left on device: ", "output"},
    {"NoRightToCreateBesideTheOutput", "create ", std::errc::permission_denied, true, kErrorWritingFile,
     "Permission denied: ", "output"},
    {"FlushFailing", "flush ", std::errc::io_error, false, kErrorWritingFile, "Input/output error: ", "movie"},
    {"BackupFailing", "link ", std::errc::io_error, false, kErrorCreatingBackup, "Input/output error: ", "backup"},
    {"ReplacementFailing", "rename ", std::errc::permission_denied, false, kErrorWritingFile,
     "Permission denied: ", "movie"},
};

TEST(SaveReasons, AFailedSaveSaysWhyAndWhere) {
  test::Timeline t;
  t.setBackgroundColor().defineBitsLossless(1, 200).exportAssets({{1, "art"}}).showFrame().showFrame().end();
  const test::ByteVector original = test::buildMovie(t);
  for (const ReasonCase& c : kCases) {
    SCOPED_TRACE(c.name);
    Document doc;
    const std::string path = test::loadMovie(doc, original, c.name + "/m.swf");
    const std::string output = c.toOutput ? test::tempPath(c.name + "/out.swf") : "";
    test::FaultyFileSystem counting;
    ASSERT_EQ(doc.save(2, false, true, output, counting), kFileModified);
    test::writeFile(path, original);
    std::remove(test::tempPath(c.name + "/m_old.swf").c_str());
    std::remove(output.c_str());
    int failAt = 0;
    while (failAt < static_cast<int>(counting.steps().size()) &&
           counting.steps()[static_cast<std::size_t>(failAt)].rfind(c.failingStep, 0) != 0) {
      ++failAt;
    }

    Document again;  // a document that has not saved yet
    test::loadMovie(again, original, c.name + "/m.swf");
    test::FaultyFileSystem faulty(failAt, std::make_error_code(c.error));
    const SaveOutcome outcome = again.save(2, false, true, output, faulty);
    const std::string where = c.reasonPath == "movie"    ? path
                              : c.reasonPath == "output" ? output
                                                         : test::tempPath(c.name + "/m_old.swf");
    EXPECT_EQ(outcome.result, c.result);
    EXPECT_EQ(outcome.reason, c.reason + where);
    EXPECT_EQ(outcome.backupPath, "");
    EXPECT_EQ(test::readFile(path), original);
  }
}

}  // namespace
}  // namespace framestow
