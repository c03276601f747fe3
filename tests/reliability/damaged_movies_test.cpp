// Damaged movies through the whole job: the inputs the fuzz targets found
// worth keeping (each a row), and generated movies and a few real ones cut
// short and changed byte by byte. Each must end in a clear message, or in an
// analysis the lister agrees with and sound saves.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "support/saved_movie_check.hpp"
#include "support/generated_movies.hpp"
#include "support/test_files.hpp"

namespace framestow::test {
namespace {

struct FindingRow {
  const char* name;
  ByteVector bytes;
  bool saved;  // some target frame could be saved
};

TEST(FuzzFindings, EveryFindingEndsInAMessageOrASoundSave) {
  const FindingRow rows[] = {
      {"the frame size, rate and count run past a declared length of 18 bytes: nothing to write",
       {0x46, 0x57, 0x53, 0x69, 0x12, 0x00, 0x00, 0x00, 0x78, 0x00, 0x53, 0x6f, 0x75, 0x6e, 0x64, 0x00, 0x40, 0x00, 0x80, 0x00}, false},
      {"a movie of nothing but its header is written again", movieOf({}), true},
      {"a character defined twice is left out of the check, and the movie is saved",
       movieOf({kBackground, bitmap(1), shape(2, {1}), sprite(5, {place(2), kShowFrameBytes, kEndBytes}), sprite(2, {kShowFrameBytes, kEndBytes}), exports({{2, "a"}, {5, "b"}}), kShowFrameBytes,
                place(5), kShowFrameBytes, kEndBytes}), true},
      {"a text of character id 0 is saved", movieOf({kBackground, font(3), text(kDefineText, 0, 3, 3), exports({{3, "f"}}), kShowFrameBytes, kShowFrameBytes, kEndBytes}), true},
      {"a DefineSprite cut off after its id by the end of the movie is never written",
       movieOf({kBackground, kShowFrameBytes, tagBytes(kDefineSprite, Bytes().u16(5))}), false},
      {"an ExportAssets inside a sprite is kept as it stands, so that the sprite keeps its length",
       movieOf({kBackground, bitmap(1), shape(2, {1}), font(3), sound(4), sprite(5, {place(2), kShowFrameBytes, kEndBytes}),
                tagBytes(kDefineSprite, ByteVector{0x2f, 0x00, 0x01, 0x00, 0x00, 0x0e, 0x00, 0x0f}), exports({{2, "shape"}, {5, "clip"}, {4, "sound"}}),
                kShowFrameBytes, place(5), kShowFrameBytes, kEndBytes}, header("FWS", 8)), true},
      {"an empty DefineEditText reads as character 0, whose row is not the main timeline's: the sound frame 2 starts stays",
       movieOf({kBackground, kShowFrameBytes, sound(8), exports({{8, "s"}}), startSound(8), tagBytes(kDefineEditText, ByteVector{}), kShowFrameBytes,
                kShowFrameBytes, kEndBytes}), true},
      {"a DefineSprite inside a sprite is one tag of it",
       movieOf({kBackground, shape(2), sprite(5, {place(2), tagBytes(kDefineSprite, Bytes().u16(6).u16(1).raw(kShowFrameBytes).raw(kEndBytes)), kShowFrameBytes, kEndBytes}),
                exports({{5, "clip"}}), kShowFrameBytes, place(5), kShowFrameBytes, kEndBytes}), true},
      {"a DefineMorphShape of one byte defines no character: the sprite of the same low byte keeps the shape it places",
       movieOf({kBackground, shape(2), sprite(5, {place(2), kShowFrameBytes, kEndBytes}), tagBytes(kDefineMorphShape, ByteVector{0x05}),
                exports({{2, "shape"}, {5, "clip"}}), kShowFrameBytes, place(5), kShowFrameBytes, kEndBytes}), true},
      {"an ExportAssets inside a sprite exports nothing, and the sound it names may move",
       movieOf({kBackground, sound(4), sprite(6, {kShowFrameBytes, exports({{4, "n0"}}), kEndBytes}), exports({{4, "sound"}}), kShowFrameBytes,
                kShowFrameBytes, kEndBytes}), true},
      {"after a sprite without End, the saved movie keeps every frame",
       {0x46, 0x57, 0x53, 0x06, 0x71, 0x00, 0x00, 0x00, 0x70, 0x00, 0x0f, 0xa0, 0x00, 0x00, 0xbb, 0x80, 0x00, 0x0c, 0x03, 0x00, 0xd8, 0x09, 0x32,
        0x86, 0x01, 0x00, 0x00, 0x06, 0x06, 0x01, 0x00, 0x32, 0x00, 0x00, 0x86, 0x06, 0x06, 0x02, 0x00, 0x33, 0x00, 0x00, 0x40, 0x02, 0x00, 0x07,
        0xd0, 0x09, 0x33, 0x00, 0x01, 0x00, 0x86, 0x06, 0x06, 0x01, 0x07, 0x32, 0x00, 0x00, 0x40, 0x00, 0x00, 0x00, 0x0a, 0x0e, 0x02, 0x00, 0x32,
        0x00, 0x61, 0x00, 0x33, 0x00, 0x62, 0x00, 0x40, 0x00, 0x40, 0x00, 0x1b, 0x03, 0x96, 0x16, 0x00, 0x06, 0x00, 0x00, 0xf8, 0x3f, 0x00, 0x00,
        0x00, 0x00, 0x00, 0x61, 0x74, 0x74, 0x61, 0x63, 0x68, 0x4d, 0x6f, 0x76, 0x69, 0x65, 0x00, 0x52, 0x00, 0x40, 0x02, 0x00, 0x00}, true},
      {"a second sprite of the same id holding a font of the shape's id: the shape keeps its bitmap",
       movieOf({kBackground, bitmap(1), shape(2, {1}), font(3), sound(4), sprite(5, {place(2), kShowFrameBytes, kEndBytes}),
                tagBytes(kDefineSprite, ByteVector{0x05, 0x00, 0x01, 0xf7, 0x86, 0x02, 0x02, 0x00, 0x04, 0x00, 0x00, 0x17, 0x00, 0x86,
                                                   0x06, 0x06, 0x01, 0x00, 0x27, 0x08, 0x40, 0x00, 0x00, 0x00}),
                exports({{2, "shape"}, {5, "clip"}, {4, "sound"}}), kShowFrameBytes, place(5), kShowFrameBytes, kEndBytes}, header("FWS", 8)), true},
      {"a font of a shape's id after the shape: the shape stays with its bitmap",
       movieOf({kBackground, bitmap(1), shape(2, {1}), font(2), exports({{2, "shape"}}), kShowFrameBytes, kShowFrameBytes, kEndBytes}), true},
      {"init code given twice for an exported sprite: none of it is left before the sprite",
       movieOf({kBackground, sprite(1, {kShowFrameBytes, kEndBytes}), tagBytes(kDoInitAction, Bytes().u16(1).u8(0)), exports({{1, "lib"}}),
                kShowFrameBytes, tagBytes(kDoInitAction, Bytes().u16(1).u8(0)), kShowFrameBytes, kShowFrameBytes, kEndBytes}), true},
      {"a DefineText2 of a shape's id keeps what it uses before it",
       movieOf({kBackground, bitmap(1), shape(2, {1}), text(kDefineText2, 2, 1, 1), exports({{2, "shape"}}), kShowFrameBytes, kShowFrameBytes, kEndBytes}), true},
  };
  for (const FindingRow& row : rows) {
    SCOPED_TRACE(row.name);
    const JobReport report = runWholeJob(row.bytes, testTempDir());
    for (const std::string& failure : report.failures) ADD_FAILURE() << failure;
    EXPECT_TRUE(report.analysed);
    EXPECT_EQ(report.saves > 0, row.saved);
  }
}

// A movie cut at 60 places and its last 4 bytes, and changed at 60 random bytes.
void sweep(const std::string& name, const ByteVector& movie, std::uint32_t seed, int& analysed) {
  std::mt19937 random(seed);
  for (std::size_t i = 0; i < 124; ++i) {
    ByteVector damaged = movie;
    if (i < 64) {
      damaged.resize(i < 60 ? movie.size() * i / 60 : movie.size() - (i - 59));
    } else {
      const std::size_t at = random() % damaged.size();
      damaged[at] = static_cast<std::uint8_t>(damaged[at] ^ (1 + random() % 255));
    }
    const JobReport report = runWholeJob(damaged, testTempDir(), 4);
    for (const std::string& failure : report.failures) ADD_FAILURE() << name << ", damage " << i << ": " << failure;
    analysed += report.analysed ? 1 : 0;
  }
}

TEST(DamagedMovies, CutOrChangedTheyEndInAMessageOrASoundSave) {
  int analysed = 0;
  std::uint32_t seed = 1;
  // Generated movies: most are "FWS", whose tags the damage reaches directly.
  for (; seed <= 10; ++seed) sweep("generated movie " + std::to_string(seed), generatedMovie(seed), seed, analysed);
  for (const char* pick : {"DefineSprite.swf", "ExportAssets-CS6.swf", "DefineButton2-CS6.swf", "DefineText2-MX.swf", "DoInitAction-CS6.swf",
                           "PlaceObject2-ClipActionsV5-CS6.swf", "DefineMorphShape2-GradientFlags.swf"}) {
    const std::string path = corpusDir() + "/" + pick;
    if (std::filesystem::exists(path)) sweep(pick, readFile(path), 100 + seed++, analysed);
  }
  EXPECT_GT(analysed, 500);
}

}  // namespace
}  // namespace framestow::test
