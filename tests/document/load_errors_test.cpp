// A file that cannot be read says why, and only regular files are read: a
// FIFO, a device or a folder is refused before anything is read from it.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "document/document.hpp"
#include "support/swf_builder.hpp"
#include "support/temp_dir.hpp"

namespace framestow {
namespace {

constexpr const char* kReadingError = "Sorry, an error has occured reading the file.\r\n";

struct LoadErrorCase {
  const char* name;
  std::string (*makePath)();  // creates what the path names
  const char* cause;          // the cause, before ": <path>"
};

void PrintTo(const LoadErrorCase& c, std::ostream* os) { *os << c.name; }

std::string fifo() {
  const std::string path = test::tempPath("pipe.swf");
  std::filesystem::remove(path);
  EXPECT_EQ(::mkfifo(path.c_str(), 0600), 0);
  // A writer held open for the rest of the test, so that a loader that opens
  // the FIFO anyway fails this test instead of waiting for one.
  ::open(path.c_str(), O_RDWR | O_NONBLOCK);
  return path;
}

const LoadErrorCase kLoadErrors[] = {
    {"MissingFile", [] { return test::tempPath("absent/intro.swf"); }, "No such file or directory"},
    {"Folder", [] { return test::testTempDir(); }, "Is a directory"},
    {"TooLongName", [] { return test::tempPath(std::string(300, 'n') + ".swf"); }, "File name too long"},
    {"Fifo", fifo, "Is a named pipe (FIFO), not a regular file"},
    {"Device", [] { return std::string("/dev/zero"); }, "Is a device, not a regular file"},
};

class LoadErrors : public ::testing::TestWithParam<LoadErrorCase> {};

TEST_P(LoadErrors, KeepTheMessageAndNameTheCauseAndThePath) {
  const std::string path = GetParam().makePath();
  Document doc;
  for (const bool headerOnly : {false, true}) {
    EXPECT_EQ(headerOnly ? doc.loadHeader(path) : doc.load(path), kReadingError);
    EXPECT_EQ(doc.loadErrorCause(), std::string(GetParam().cause) + ": " + path);
    EXPECT_FALSE(doc.loaded());
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, LoadErrors, ::testing::ValuesIn(kLoadErrors),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(LoadErrors, UnreadableFileIsPermissionDenied) {
  if (::geteuid() == 0) GTEST_SKIP() << "root reads every file";
  const std::string path = test::writeFile(test::tempPath("locked.swf"), {'F', 'W', 'S', 6, 9, 0, 0, 0, 0});
  ::chmod(path.c_str(), 0);
  Document doc;
  EXPECT_EQ(doc.load(path), kReadingError);
  EXPECT_EQ(doc.loadErrorCause(), "Permission denied: " + path);
}

TEST(LoadErrors, OtherRefusalsAndSuccessHaveNoCause) {
  const std::string notSwf = test::writeFile(test::tempPath("notes.swf"), {'G', 'I', 'F', '8', '9', 'a'});
  const std::string good = test::writeFile(
      test::tempPath("good.swf"), test::buildMovie(std::move(test::Timeline().showFrame().end())));
  Document doc;
  EXPECT_NE(doc.load(test::tempPath("absent.swf")), "");
  EXPECT_EQ(doc.load(notSwf), "Sorry, the file doesn't appear to be an swf.\r\n");
  EXPECT_EQ(doc.loadErrorCause(), "");
  EXPECT_NE(doc.load(test::tempPath("absent.swf")), "");
  EXPECT_EQ(doc.load(good), "");
  EXPECT_EQ(doc.loadErrorCause(), "");
}

}  // namespace
}  // namespace framestow
