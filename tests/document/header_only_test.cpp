// Describing a file reads its header only: of a compressed body, only what the
// frame header needs, so the cost does not grow with the movie.
#include <gtest/gtest.h>

#include <array>

#include "document/document.hpp"
#include "support/swf_builder.hpp"
#include "support/temp_dir.hpp"

namespace framestow {
namespace {

using test::ByteVector;

constexpr const char* kIncomplete = "Sorry, the file doesn't appear to be complete.\r\n";

// Two frames and a 3,000-byte tag, 550 x 400 pixels.
ByteVector movie(const std::string& signature) {
  test::Timeline main;
  main.setBackgroundColor().tag(77, test::Bytes().fill(3000, 0x5A), true).showFrame().showFrame().end();
  test::MovieOptions options;
  options.signature = signature;
  options.widthTwips = 11000;
  options.heightTwips = 8000;
  return test::buildMovie(main, options);
}

std::array<std::string, 4> infoLines(const Document& doc) {
  const LoadedMovie& m = doc.movie();
  return {m.hInfoString1, m.hInfoString2, m.hInfoString3, m.hInfoString4};
}

struct HeaderCase {
  const char* name;
  const char* signature;
  std::size_t cut;        // bytes missing at the end of the file
  const char* wholeLoad;  // what load() says; loadHeader() reads the header alone and says ""
};

void PrintTo(const HeaderCase& c, std::ostream* os) { *os << c.name; }

ByteVector withoutLast(ByteVector bytes, std::size_t count) {
  bytes.resize(bytes.size() - count);
  return bytes;
}

const HeaderCase kHeaderCases[] = {
    {"Uncompressed", "FWS", 0, ""},
    {"Compressed", "CWS", 0, ""},
    {"CompressedBodyCutShortAfterTheFrameHeader", "CWS", 20, kIncomplete},
};

class HeaderOnly : public ::testing::TestWithParam<HeaderCase> {};

TEST_P(HeaderOnly, GivesTheFileInformationOfTheWholeMovie) {
  const HeaderCase& c = GetParam();
  const ByteVector intact = movie(c.signature);
  const std::string path = test::writeFile(test::tempPath("movie.swf"), withoutLast(intact, c.cut));
  Document header;
  ASSERT_EQ(header.loadHeader(path), "");
  EXPECT_FALSE(header.analyze()) << "a header is no movie to analyse";
  EXPECT_EQ(header.movie().fileSize, intact.size() - c.cut);

  Document whole;
  EXPECT_EQ(whole.load(path), c.wholeLoad);
  ASSERT_EQ(whole.load(test::writeFile(test::tempPath("intact.swf"), intact)), "");
  EXPECT_EQ(infoLines(header), infoLines(whole));
}

INSTANTIATE_TEST_SUITE_P(Cases, HeaderOnly, ::testing::ValuesIn(kHeaderCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(HeaderOnly, MoviesCutShortInTheirHeaderAreRefused) {
  const ByteVector compressed = movie("CWS");
  // Two bytes short; a "CWS" file of 4 bytes; one whose stream stops within the frame header.
  for (const ByteVector& file : {withoutLast(movie("FWS"), 2), ByteVector(compressed.begin(), compressed.begin() + 4),
                                 ByteVector(compressed.begin(), compressed.begin() + 12)}) {
    Document doc;
    EXPECT_EQ(doc.loadHeader(test::writeFile(test::tempPath("short.swf"), file)), kIncomplete) << file.size();
  }
}

}  // namespace
}  // namespace framestow
