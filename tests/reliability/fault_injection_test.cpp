// Every file step of a save made to fail in turn, through the document, with
// and without the backup: afterwards the target and the backup name hold what
// they held before (the backup the file as loaded once its own replacement
// went through), the result names the step that failed, and no temporary file
// is left beside them.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "document/document.hpp"
#include "reliability/reliability_support.hpp"
#include "writer/file_system.hpp"
#include "writer/writer.hpp"

namespace framestow::test {
namespace {

// One file step: which operation, on which path.
struct Step {
  std::string operation;
  std::string path;
};

// Wraps the real file system and fails the k-th file step (create, write,
// flush, close, set permissions, rename). Queries (exists, permissions) and
// the clean-up (remove) are passed through. In "disk full" mode every write,
// flush and close from the k-th step on fails, as when the disk fills up.
class FailingFileSystem final : public FileSystem {
 public:
  FailingFileSystem(int failAt, bool diskFull) : failAt_(failAt), diskFull_(diskFull) {}

  // False when this step is to fail.
  bool step(const std::string& operation, const std::string& path) {
    steps.push_back({operation, path});
    const int index = static_cast<int>(steps.size());
    const bool dataStep = operation == "write" || operation == "flush" || operation == "close";
    const bool fails = diskFull_ ? (index >= failAt_ && dataStep) : index == failAt_;
    if (fails && failed < 0) failed = index - 1;
    return !fails;
  }

  class File final : public WritableFile {
   public:
    File(std::unique_ptr<WritableFile> real, FailingFileSystem& owner, std::string path)
        : real_(std::move(real)), owner_(owner), path_(std::move(path)) {}
    bool write(const std::uint8_t* data, std::size_t size) override {
      if (!owner_.step("write", path_)) {
        real_->write(data, size / 2);  // a short write: part of the bytes reach the file
        return false;
      }
      return real_->write(data, size);
    }
    bool flush() override { return owner_.step("flush", path_) && real_->flush(); }
    bool close() override {
      const bool allowed = owner_.step("close", path_);
      const bool closed = real_->close();
      return allowed && closed;
    }

   private:
    std::unique_ptr<WritableFile> real_;
    FailingFileSystem& owner_;
    std::string path_;
  };

  std::unique_ptr<WritableFile> createNew(const std::string& path) override {
    if (!step("create", path)) return nullptr;
    auto file = realFileSystem().createNew(path);
    if (!file) return nullptr;
    return std::make_unique<File>(std::move(file), *this, path);
  }
  bool rename(const std::string& from, const std::string& to) override {
    return step("rename", to) && realFileSystem().rename(from, to);
  }
  bool remove(const std::string& path) override { return realFileSystem().remove(path); }
  bool exists(const std::string& path) override { return realFileSystem().exists(path); }
  std::optional<unsigned> permissions(const std::string& path) override { return realFileSystem().permissions(path); }
  bool setPermissions(const std::string& path, unsigned bits) override {
    return step("set permissions", path) && realFileSystem().setPermissions(path, bits);
  }

  std::vector<Step> steps;
  int failed = -1;  // index into steps of the first failed step

 private:
  int failAt_;
  bool diskFull_;
};

struct Scenario {
  std::string name;
  std::string signature;
  bool backup;
  bool backupExisted;  // an older backup lies under the backup name
  bool optimise;
  bool diskFull;
};

std::string describe(const FailingFileSystem& fs) {
  std::string text;
  for (std::size_t i = 0; i < fs.steps.size(); ++i) {
    text += (i == static_cast<std::size_t>(fs.failed) ? "[FAILED] " : "") + fs.steps[i].operation + " " +
            std::filesystem::path(fs.steps[i].path).filename().string() + "; ";
  }
  return text;
}

void runScenario(const Scenario& s) {
  SCOPED_TRACE(s.name);
  const std::string folder = scratchFolder("fault_" + s.name);
  const std::string target = folder + "/movie.swf";
  const std::string backup = folder + "/movie_old.swf";
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

  int failures = 0;
  for (int k = 1; k < 1000; ++k) {
    SCOPED_TRACE("failing step " + std::to_string(k));
    writeFile(target, original);
    std::filesystem::remove(backup);
    if (s.backupExisted) writeFile(backup, olderBackup);

    FailingFileSystem fs(k, s.diskFull);
    const int result = doc.save(n, s.optimise, s.backup, {}, fs);

    std::set<std::string> expectedNames{"movie.swf"};
    if (s.backupExisted || (s.backup && result != kErrorCreatingBackup)) expectedNames.insert("movie_old.swf");
    EXPECT_EQ(namesIn(folder), expectedNames) << describe(fs);

    if (fs.failed < 0) {
      // Every step went through: the save is complete.
      EXPECT_EQ(result, kFileModified) << describe(fs);
      EXPECT_EQ(readAll(target), *expected);
      if (s.backup) {
        EXPECT_EQ(readAll(backup), original);
      }
      if (!s.backup && s.backupExisted) {
        EXPECT_EQ(readAll(backup), olderBackup);
      }
      // The steps of a complete save: per file, create, writes, flush, close,
      // permissions and rename.
      EXPECT_GE(fs.steps.size(), s.backup ? 14u : 7u) << describe(fs);
      break;
    }
    if (result == kFileModified) {
      // A step that can be retried (another temporary name) did not stop the save.
      EXPECT_EQ(fs.steps[static_cast<std::size_t>(fs.failed)].operation, "create") << describe(fs);
      EXPECT_EQ(readAll(target), *expected) << describe(fs);
      if (s.backup) {
        EXPECT_EQ(readAll(backup), original) << describe(fs);
      }
      if (::testing::Test::HasFailure()) return;
      continue;
    }
    ++failures;
    const bool inBackup = fs.steps[static_cast<std::size_t>(fs.failed)].path.rfind(backup, 0) == 0;
    EXPECT_EQ(result, inBackup ? kErrorCreatingBackup : kErrorWritingFile) << describe(fs);
    EXPECT_EQ(readAll(target), original) << describe(fs);
    if (std::filesystem::exists(backup)) {
      const ByteVector& backupBefore = inBackup || !s.backup ? olderBackup : original;
      EXPECT_EQ(readAll(backup), backupBefore) << describe(fs);
    }
    if (::testing::Test::HasFailure()) return;
  }
  EXPECT_GT(failures, s.backup ? 12 : 6);
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
