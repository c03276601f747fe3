// An ExportAssets entry repeats an export only when it names the same
// character with the same linkage name; a second name for a character is how
// ActionScript attaches or registers it by that name, so it must survive a save.
#include <gtest/gtest.h>

#include <filesystem>

#include "common/tag_codes.hpp"
#include "document/document.hpp"
#include "support/corpus.hpp"
#include "support/movie_files.hpp"
#include "support/tag_list.hpp"
#include "support/temp_dir.hpp"

namespace framestow {
namespace {

using test::ByteVector;
using test::Timeline;
using Entries = std::vector<std::pair<std::uint16_t, std::string>>;

ByteVector exportTag(const Entries& entries) { return Timeline().exportAssets(entries).bytes(); }

struct ExportCase {
  const char* name;
  std::vector<Entries> tags;      // the ExportAssets tags of frame 1, in order
  std::vector<Entries> savedTags;  // what a save with removal keeps of them
  const char* redundantLine;      // the analysis line about redundant export codes
};

// Sprite 2 (placing shape 1) exported in frame 1, attached in frame 2.
ByteVector movieExporting(const std::vector<Entries>& tags) {
  Timeline inner;
  inner.placeObject2(1, 1).showFrame().end();
  Timeline main;
  main.setBackgroundColor().defineShape(1).sprite(2, inner);
  for (const Entries& entries : tags) main.exportAssets(entries);
  main.showFrame().doAction(test::Actions().pushString("attachMovie").bytes).showFrame().end();
  return test::buildMovie(main);
}

const ExportCase kExportCases[] = {
    {"SecondNameInALaterTagStays", {{{2, "DDD"}}, {{2, "CCC"}}}, {{{2, "DDD"}}, {{2, "CCC"}}},
     "No redundant export codes found."},
    {"SecondNameInTheSameTagStays", {{{2, "DDD"}, {2, "CCC"}}}, {{{2, "DDD"}, {2, "CCC"}}},
     "No redundant export codes found."},
    // The repeated tag goes whole: 2 header + 2 count + 2 id + "DDD\0".
    {"SameNameInALaterTagGoes", {{{2, "DDD"}}, {{2, "DDD"}}}, {{{2, "DDD"}}},
     "Redundant export codes found: 10 Bytes"},
    {"OnlyTheRepeatOfOneNameGoes", {{{2, "DDD"}, {2, "CCC"}, {2, "DDD"}, {2, "CCC"}}}, {{{2, "DDD"}, {2, "CCC"}}},
     "Redundant export codes found: 12 Bytes"},
};

void PrintTo(const ExportCase& c, std::ostream* os) { *os << c.name; }

class ExportsByName : public ::testing::TestWithParam<ExportCase> {};

TEST_P(ExportsByName, OneLinkedAssetAndEveryNameKept) {
  const ExportCase& c = GetParam();
  Document doc;
  test::loadMovie(doc, movieExporting(c.tags));
  ASSERT_TRUE(doc.analysed());
  EXPECT_EQ(doc.report().lines[0], "Number of linked assets found: 1");
  EXPECT_EQ(doc.report().lines[2], c.redundantLine);

  const std::string output = test::tempPath("out.swf");
  ASSERT_EQ(doc.save(2, true, false, output), kFileModified);
  std::vector<ByteVector> saved;
  for (const test::ListedTag& tag : test::listTags(test::readFile(output))) {
    if (tag.code == kExportAssets) saved.push_back(tag.bytes);
  }
  std::vector<ByteVector> expected;
  for (const Entries& entries : c.savedTags) expected.push_back(exportTag(entries));
  EXPECT_EQ(saved, expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, ExportsByName, ::testing::ValuesIn(kExportCases),
                         [](const auto& info) { return std::string(info.param.name); });

// A real movie that exports character 2 as "DDD" and then as "CCC", and
// registers a class for "CCC".
TEST(ExportsByName, RealMovieWithTwoNamesForOneCharacterHasNoRedundantBytes) {
  const auto path = std::filesystem::path(test::corpusDir()) / "from_shumway/doubleAndRegister/test.swf";
  if (!std::filesystem::exists(path)) GTEST_SKIP() << "corpus movie absent: " << path;
  Document doc;
  ASSERT_EQ(doc.load(path.string()), "");
  ASSERT_TRUE(doc.analyze());
  EXPECT_EQ(doc.report().lines[0], "Number of linked assets found: 1");
  EXPECT_EQ(doc.report().lines[3], "No redundant export codes found.");
}

}  // namespace
}  // namespace framestow
