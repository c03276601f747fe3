// A movie whose bytes are not all there analyses, but says after its analysis
// why it cannot be saved, and no target frame offers Save.
#include <gtest/gtest.h>

#include "common/tag_codes.hpp"
#include "document/document.hpp"
#include "support/movie_files.hpp"
#include "support/temp_dir.hpp"

namespace framestow {
namespace {

using test::ByteVector;
using test::Bytes;
using test::Timeline;

constexpr const char* kFileShort = "This movie cannot be saved: the file is 1 byte shorter than its header declares.";
constexpr const char* kTagPastEnd = "This movie cannot be saved: its last tag runs past the end of the movie.";

// Shape 1, exported in frame 1 and attached in frame 2, then `last` as the
// movie's last bytes (normally the End tag).
ByteVector movieEndingWith(const ByteVector& last, const std::string& signature = "FWS") {
  Timeline main;
  main.setBackgroundColor().defineShape(1).exportAssets({{1, "box"}}).showFrame();
  main.doAction(test::Actions().pushString("attachMovie").bytes).showFrame().raw(last);
  test::MovieOptions options;
  options.signature = signature;
  return test::buildMovie(main, options);
}

ByteVector endTag() { return {0, 0}; }

// A long tag header declaring `declared` body bytes, followed by `present` of them.
ByteVector tagCutShort(std::uint16_t code, std::uint32_t declared, const ByteVector& present) {
  return Bytes().u16(code << 6 | 0x3F).u32(declared).raw(present).data;
}

ByteVector withoutLastByte(ByteVector bytes) {
  bytes.pop_back();
  return bytes;
}

struct CannotSaveCase {
  const char* name;
  ByteVector file;
  const char* reason;
};

void PrintTo(const CannotSaveCase& c, std::ostream* os) { *os << c.name; }

const CannotSaveCase kCases[] = {
    {"CompleteMovie", movieEndingWith(endTag()), ""},
    {"CompleteCompressedMovie", movieEndingWith(endTag(), "CWS"), ""},
    {"FileOneByteShort", withoutLastByte(movieEndingWith(endTag())), kFileShort},
    {"LastTagRunsPastTheMovie", movieEndingWith(tagCutShort(77, 100, ByteVector(10, 1))), kTagPastEnd},
    {"CompressedLastTagRunsPastTheMovie", movieEndingWith(tagCutShort(77, 100, ByteVector(10, 1)), "CWS"),
     kTagPastEnd},
    // DefineSprite 9 of one frame, its End tag and the movie's both missing.
    {"SpriteRunsPastTheMovie", movieEndingWith(tagCutShort(kDefineSprite, 50, Bytes().u16(9).u16(1).u16(1 << 6).data)),
     kTagPastEnd},
};

class CannotSave : public ::testing::TestWithParam<CannotSaveCase> {};

TEST_P(CannotSave, ReasonAfterAnalysisAndNoFrameOffersSave) {
  const CannotSaveCase& c = GetParam();
  Document doc;
  test::loadMovie(doc, c.file);
  ASSERT_TRUE(doc.analysed());
  EXPECT_EQ(doc.cannotSaveReason(), c.reason);
  const bool savable = *c.reason == '\0';
  for (const std::int32_t frame : {1, 2}) {
    const SaveControls controls = doc.plan(frame, true).saveControls;
    EXPECT_TRUE(savable || controls == SaveControls::Disable) << "frame " << frame;
  }
  EXPECT_EQ(doc.plan(2).saveControls, savable ? SaveControls::Enable : SaveControls::Disable);
  EXPECT_NE(doc.load(test::tempPath("absent.swf")), "");
  EXPECT_EQ(doc.cannotSaveReason(), "") << "a new load starts afresh";
}

INSTANTIATE_TEST_SUITE_P(Cases, CannotSave, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace framestow
