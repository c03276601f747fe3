// A movie whose bytes are not all there is analysed with the reason it cannot
// be saved, no target frame offers Save, and save refuses before writing.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>

#include "cli_movies.hpp"
#include "cli_runner.hpp"

namespace framestow::clitest {
namespace {

using ::testing::HasSubstr;
using nlohmann::json;

struct IncompleteCase {
  const char* name;
  ByteVector file;
  const char* reason;
};

void PrintTo(const IncompleteCase& c, std::ostream* os) { *os << c.name; }

ByteVector oneByteShort() {
  ByteVector bytes = OneAssetMovie().file();
  bytes.pop_back();
  return bytes;
}

// The End tag replaced by a tag declaring 100 bytes of which 10 follow.
ByteVector tagPastTheEnd() {
  const OneAssetMovie m;
  test::Timeline main;
  main.raw(joined({m.background, m.shape, m.sprite, m.exports, m.showFrame, m.attach, m.showFrame}));
  main.raw(test::Bytes().u16(77 << 6 | 0x3F).u32(100).fill(10, 1).data);
  test::MovieOptions twoFrames;
  twoFrames.frameCount = 2;
  return test::buildMovie(main, twoFrames);
}

const IncompleteCase kCases[] = {
    {"FileOneByteShort", oneByteShort(),
     "This movie cannot be saved: the file is 1 byte shorter than its header declares."},
    {"LastTagRunsPastTheEnd", tagPastTheEnd(),
     "This movie cannot be saved: its last tag runs past the end of the movie."},
};

class CannotSave : public ::testing::TestWithParam<IncompleteCase> {};

TEST_P(CannotSave, AnalyzeSaysWhyAndSaveRefusesBeforeWritingAnything) {
  const IncompleteCase& c = GetParam();
  const std::string folder = freshFolder();
  const std::string path = writeMovie(folder, "intro.swf", c.file);

  const CliResult text = runCli({"analyze", path});
  EXPECT_EQ(text.status, 0);
  EXPECT_THAT(text.out, HasSubstr(std::string("\n") + c.reason + "\n"));

  const json analysed = json::parse(runCli({"analyze", "--json", path}).out)[0];
  EXPECT_EQ(analysed.value("cannotSave", ""), c.reason);
  ASSERT_FALSE(analysed["targets"].empty());
  for (const json& target : analysed["targets"]) EXPECT_EQ(target["saveEnabled"], false) << target["frame"];

  const CliResult saved = runCli({"save", path, "--frame", "2"});
  EXPECT_EQ(saved.status, 3);
  EXPECT_EQ(saved.err, path + ": " + c.reason + "\n");
  EXPECT_EQ(test::readFile(path), c.file);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 1) << "no backup, no temporary file";
}

INSTANTIATE_TEST_SUITE_P(Cases, CannotSave, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CannotSave, CompleteMovieHasNoReason) {
  const std::string path = writeMovie(freshFolder(), "intro.swf", OneAssetMovie().file());
  EXPECT_EQ(json::parse(runCli({"analyze", "--json", path}).out)[0]["cannotSave"], "");
}

}  // namespace
}  // namespace framestow::clitest
