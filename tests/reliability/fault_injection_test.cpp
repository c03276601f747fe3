// Every file step of a save made to fail in turn, through the document, with
// and without the backup: afterwards the target and an older backup hold what
// they held before, no new backup and no temporary file is left beside them,
// and the result names the step that failed and why.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "document/document.hpp"
#include "reliability/reliability_support.hpp"
#include "support/faulty_file_system.hpp"
#include "writer/writer.hpp"

namespace framestow::test {
namespace {

struct Scenario {
  std::string name;
  std::string signature;
  bool backup;
  bool backupExisted;  // an older backup lies under the backup name
  bool optimise;
  bool diskFull;
};

std::string describe(const FaultyFileSystem& fs) {
  std::string text;
  for (const std::string& step : fs.steps()) text += step.substr(step.find_last_of('/') + 1) + "; ";
  return text;
}

void runScenario(const Scenario& s) {
  SCOPED_TRACE(s.name);
  const std::string folder = scratchFolder("fault_" + s.name);
  const std::string target = folder + "/movie.swf";
  const std::string olderBackupPath = folder + "/movie_old.swf";
  // The backup a save makes takes the first free name.
  const std::string newBackupPath = s.backupExisted ? folder + "/movie_old_2.swf" : olderBackupPath;
  // Over two write chunks each, so that "each write" means several.
  const ByteVector original = largeMovie(2'600'000, s.signature, 7);
  const ByteVector olderBackup = buildMovie(Timeline().setBackgroundColor().showFrame().end());
  writeFile(target, original);

  Document doc;
  ASSERT_EQ(doc.load(target), "");
  ASSERT_TRUE(doc.analyze());
  const std::int32_t n = 2;
  doc.plan(n, s.optimise);
  auto assembled = assembleMovie(doc.movie(), doc.analysis(), doc.planState(), n, s.optimise);
  ASSERT_TRUE(assembled.has_value());
  const auto expected = encodeMovie(doc.movie(), std::move(*assembled));
  ASSERT_TRUE(expected.has_value());
  ASSERT_NE(*expected, original);

  const std::error_code error =
      std::make_error_code(s.diskFull ? std::errc::no_space_on_device : std::errc::io_error);
  int failures = 0;
  for (int k = 0; k < 1000; ++k) {
    SCOPED_TRACE("failing step " + std::to_string(k));
    writeFile(target, original);
    std::filesystem::remove(olderBackupPath);
    std::filesystem::remove(newBackupPath);
    if (s.backupExisted) writeFile(olderBackupPath, olderBackup);
    std::set<std::string> names{"movie.swf"};
    if (s.backupExisted) names.insert("movie_old.swf");

    FaultyFileSystem fs(k, error);
    fs.diskFull = s.diskFull;
    const SaveOutcome outcome = doc.save(n, s.optimise, s.backup, {}, fs);
    if (s.backupExisted) {
      EXPECT_EQ(readAll(olderBackupPath), olderBackup) << describe(fs);
    }
    if (static_cast<std::size_t>(k) >= fs.steps().size()) {
      // Every step went through: the save is complete.
      EXPECT_EQ(outcome.result, kFileModified) << describe(fs);
      EXPECT_EQ(readAll(target), *expected);
      if (s.backup) {
        EXPECT_EQ(outcome.backupPath, newBackupPath);
        EXPECT_EQ(readAll(newBackupPath), original);
        names.insert(std::filesystem::path(newBackupPath).filename().string());
      }
      EXPECT_EQ(namesIn(folder), names) << describe(fs);
      break;
    }
    ++failures;
    const std::string& failed = fs.steps()[static_cast<std::size_t>(k)];
    EXPECT_EQ(outcome.result, failed.rfind("link ", 0) == 0 ? kErrorCreatingBackup : kErrorWritingFile)
        << describe(fs);
    EXPECT_NE(outcome.reason.find(error.message()), std::string::npos) << outcome.reason;
    EXPECT_EQ(outcome.backupPath, "");
    // The movie as it was, no backup of it, no temporary file.
    EXPECT_EQ(readAll(target), original) << describe(fs);
    EXPECT_EQ(namesIn(folder), names) << describe(fs);
    if (::testing::Test::HasFailure()) return;
  }
  EXPECT_GT(failures, s.backup ? 7 : 6);
  // A save after all that goes through on the real file system.
  writeFile(target, original);
  EXPECT_EQ(doc.save(n, s.optimise, s.backup), kFileModified);
  EXPECT_EQ(readAll(target), *expected);
}

TEST(FaultInjection, EveryStepOfASaveWithBackupFailsCleanly_FWS) {
  runScenario({"fws_backup", "FWS", true, true, false, false});
}

TEST(FaultInjection, EveryStepOfASaveWithBackupFailsCleanly_CWS) {
  runScenario({"cws_backup", "CWS", true, true, false, false});
}

TEST(FaultInjection, EveryStepFailsCleanlyWhenNoBackupExistedBefore) {
  runScenario({"fws_first_backup", "FWS", true, false, true, false});
}

TEST(FaultInjection, EveryStepOfASaveWithoutBackupFailsCleanly) {
  runScenario({"cws_no_backup", "CWS", false, true, true, false});
}

TEST(FaultInjection, DiskFullFromEveryStepOnFailsCleanly) {
  runScenario({"fws_disk_full", "FWS", true, true, false, true});
  runScenario({"cws_disk_full", "CWS", true, false, true, true});
}

}  // namespace
}  // namespace framestow::test
