// Loading: the header, the file-information texts, compressed bodies and the
// three ways a file can be refused.
#include <gtest/gtest.h>

#include "analysis/tables.hpp"
#include "support/swf_builder.hpp"
#include "support/temp_dir.hpp"
#include "swfin/loader.hpp"

namespace framestow {
namespace {

using test::buildMovie;
using test::ByteVector;
using test::MovieOptions;
using test::Timeline;

struct Loaded {
  LoadedMovie movie;
  Analysis analysis;
  std::string message;
};

Loaded loadBytes(const ByteVector& bytes, const std::string& name = "movie.swf") {
  Loaded l;
  const std::string path = test::writeFile(test::tempPath(name), bytes);
  l.message = prescanFile(path, l.movie, l.analysis);
  return l;
}

Timeline oneFrame() { return std::move(Timeline().setBackgroundColor().showFrame().end()); }

// One frame, padded with a filler tag to exactly `total` bytes uncompressed.
Timeline oneFrameOfLength(std::size_t total, const MovieOptions& options = {}) {
  MovieOptions plain = options;
  plain.signature = "FWS";
  const std::size_t base = buildMovie(oneFrame(), plain).size();
  Timeline padded;
  padded.setBackgroundColor().tag(77, test::Bytes().fill(total - base - 6), true).showFrame().end();
  return padded;
}

TEST(LoadRefusals, MissingFileNamesTheFileItTried) {
  Loaded l;
  l.message = prescanFile(test::tempPath("absent/intro.swf"), l.movie, l.analysis);
  EXPECT_EQ(l.message, "Sorry, an error has occured reading the file.\r\n");
  EXPECT_EQ(l.movie.shortFileName, "intro.swf");
  EXPECT_FALSE(l.movie.loaded);
  EXPECT_EQ(l.analysis.byteoutputNum(), 0u);
}

TEST(LoadRefusals, FilesThatAreNotMovies) {
  EXPECT_EQ(loadBytes({}).message, "Sorry, the file doesn't appear to be an swf.\r\n");
  EXPECT_EQ(loadBytes({'F', 'W'}).message, "Sorry, the file doesn't appear to be an swf.\r\n");
  EXPECT_EQ(loadBytes({'G', 'I', 'F', '8', '9', 'a', 0, 0, 0, 0}).message,
            "Sorry, the file doesn't appear to be an swf.\r\n");
  // Compressed with LZMA: a signature this program does not read.
  EXPECT_EQ(loadBytes({'Z', 'W', 'S', 13, 0, 0, 0, 0, 0, 0}).message,
            "Sorry, the file doesn't appear to be an swf.\r\n");
}

TEST(LoadRefusals, SignatureOnlyReadsTheEndOfFileFill) {
  const Loaded l = loadBytes({'F', 'W', 'S'});
  EXPECT_EQ(l.message, "Sorry, the file doesn't appear to be complete.\r\n");
  EXPECT_EQ(l.movie.m.version, 255);
  EXPECT_EQ(l.movie.m.size, 0xFFFFFFFFu);
  EXPECT_EQ(l.movie.loadedDataSize, 9u);
}

TEST(LoadRefusals, TruncatedUncompressedMovie) {
  const ByteVector full = buildMovie(oneFrame());
  EXPECT_EQ(loadBytes(full).message, "");
  // One byte short still loads: the counted end-of-file byte makes up for it.
  EXPECT_EQ(loadBytes(ByteVector(full.begin(), full.end() - 1)).message, "");
  EXPECT_EQ(loadBytes(ByteVector(full.begin(), full.end() - 2)).message,
            "Sorry, the file doesn't appear to be complete.\r\n");
}

TEST(LoadRefusals, TruncatedOrDamagedCompressedMovie) {
  MovieOptions cws;
  cws.signature = "CWS";
  Timeline big = oneFrame();
  big.tag(20, test::Bytes().u16(1).fill(4000, 0x11));
  const ByteVector full = buildMovie(big, cws);
  EXPECT_EQ(loadBytes(full).message, "");
  EXPECT_EQ(loadBytes(ByteVector(full.begin(), full.begin() + full.size() / 2)).message,
            "Sorry, the file doesn't appear to be complete.\r\n");
  ByteVector damaged = full;
  damaged[12] ^= 0xFF;
  damaged[13] ^= 0xFF;
  EXPECT_EQ(loadBytes(damaged).message, "Sorry, the file doesn't appear to be complete.\r\n");
}

TEST(LoadRefusals, ImplausibleDeclaredLengths) {
  MovieOptions huge;
  huge.signature = "CWS";
  huge.fileLength = 0xFFFFFFF0u;
  const Loaded l = loadBytes(buildMovie(oneFrame(), huge));
  EXPECT_EQ(l.message, "Sorry, the file doesn't appear to be complete.\r\n");
  EXPECT_LT(l.movie.inflated.capacity(), 1u << 20);

  MovieOptions tiny;
  tiny.signature = "CWS";
  tiny.fileLength = 5;
  EXPECT_EQ(loadBytes(buildMovie(oneFrame(), tiny)).message, "Sorry, the file doesn't appear to be complete.\r\n");
  tiny.signature = "FWS";
  EXPECT_EQ(loadBytes(buildMovie(oneFrame(), tiny)).message, "Sorry, the file doesn't appear to be complete.\r\n");
}

TEST(FileInformation, UncompressedMovie) {
  MovieOptions o;
  o.version = 7;
  o.widthTwips = 419;
  o.heightTwips = 300;
  o.rateFraction = 0x80;
  o.rateInteger = 0x18;
  const Loaded l = loadBytes(buildMovie(oneFrameOfLength(1024, o), o));
  ASSERT_EQ(l.message, "");
  EXPECT_EQ(l.movie.hInfoString1, "SWF Version: 7");
  EXPECT_EQ(l.movie.hInfoString2, "File Size: 1024 bytes ");
  EXPECT_EQ(l.movie.hInfoString3, "Dimensions: 20 x 15");
  EXPECT_EQ(l.movie.hInfoString4, "Frames (main timeline): 1");
  EXPECT_FLOAT_EQ(l.movie.m.rate, 24.5f);
  EXPECT_EQ(l.movie.shortFileName, "movie.swf");
}

TEST(FileInformation, SizesAboveOneKilobyte) {
  MovieOptions o;
  EXPECT_EQ(loadBytes(buildMovie(oneFrameOfLength(1025), o)).movie.hInfoString2, "File Size: 1.00 kBytes ");
  EXPECT_EQ(loadBytes(buildMovie(oneFrameOfLength(2048), o)).movie.hInfoString2, "File Size: 2.00 kBytes ");
}

TEST(FileInformation, CompressedMovieIsInflatedToAnUncompressedOne) {
  MovieOptions o;
  o.signature = "CWS";
  o.version = 6;
  const ByteVector file = buildMovie(oneFrameOfLength(3000), o);
  const Loaded l = loadBytes(file);
  ASSERT_EQ(l.message, "");
  EXPECT_EQ(l.movie.m.size, 3000u);
  EXPECT_EQ(l.movie.hInfoString1, "SWF Version: 6 (compressed)");
  EXPECT_EQ(l.movie.hInfoString2, "File Size: 2.93 kBytes (uncompressed)");
  const auto data = l.movie.fileBuffer();
  ASSERT_EQ(data.size(), 3000u);
  EXPECT_EQ(data[0], 'F');
  EXPECT_EQ(data[1], 'W');
  EXPECT_EQ(data[3], 6);
  const ByteVector inflated = test::inflateMovie(file);
  EXPECT_TRUE(std::equal(data.begin() + 8, data.end(), inflated.begin() + 8, inflated.end()));
  // The backup copy is the file as it is on disk, plus the counted end-of-file byte.
  ASSERT_EQ(l.movie.origBuffer.size(), file.size() + 1);
  EXPECT_TRUE(std::equal(file.begin(), file.end(), l.movie.origBuffer.begin()));
  EXPECT_EQ(l.movie.origBuffer.back(), 0xFF);
}

TEST(FileInformation, WideRectangleMovesTheScanStart) {
  MovieOptions o;
  o.rectBits = 15;
  const Loaded l = loadBytes(buildMovie(oneFrame(), o));
  ASSERT_EQ(l.message, "");
  EXPECT_EQ(l.movie.rectByteLen, 9);
  EXPECT_EQ(l.movie.ScanStartOffset, 19u);
}

TEST(FileInformation, FirstTwoBlocksAreTheHeaderFields) {
  const Loaded l = loadBytes(buildMovie(oneFrame()));
  ASSERT_EQ(l.analysis.byteoutputNum(), 2u);
  const bytesOut& b0 = l.analysis.byteoutput[0];
  const bytesOut& b1 = l.analysis.byteoutput[1];
  EXPECT_EQ(b0.thisStart, 0u);
  EXPECT_EQ(b0.thisLength, 4u);
  EXPECT_EQ(b0.withThis, 0u);
  EXPECT_EQ(b1.thisStart, 4u);
  EXPECT_EQ(b1.origLength, 4u);
  EXPECT_EQ(b1.withThis, 2u);
  EXPECT_EQ(l.movie.mSizeBlock, 1);
}

TEST(ShortNames, FolderEndsAtTheLastSlashOfEitherKind) {
  EXPECT_EQ(shortNameOf("intro.swf"), "intro.swf");
  EXPECT_EQ(shortNameOf("C:\\films\\intro.swf"), "intro.swf");
  EXPECT_EQ(shortNameOf("/home/me/films/intro.swf"), "intro.swf");
  EXPECT_EQ(shortNameOf("C:\\films/new\\intro.swf"), "intro.swf");
}

TEST(Reloading, ASecondLoadStartsFromNothing) {
  MovieOptions cws;
  cws.signature = "CWS";
  const ByteVector first = buildMovie(oneFrame(), cws);
  Timeline two;
  two.showFrame().showFrame().end();
  const ByteVector second = buildMovie(two);

  Loaded reused = loadBytes(first, "first.swf");
  const std::string path = test::writeFile(test::tempPath("second.swf"), second);
  EXPECT_EQ(prescanFile(path, reused.movie, reused.analysis), "");
  Loaded fresh;
  EXPECT_EQ(prescanFile(path, fresh.movie, fresh.analysis), "");
  EXPECT_EQ(reused.movie.swfCompressed, 0);
  EXPECT_TRUE(reused.movie.inflated.empty());
  EXPECT_EQ(reused.movie.hInfoString1, fresh.movie.hInfoString1);
  EXPECT_EQ(reused.movie.hInfoString2, fresh.movie.hInfoString2);
  EXPECT_EQ(reused.movie.hInfoString4, fresh.movie.hInfoString4);
  EXPECT_EQ(reused.analysis.byteoutputNum(), fresh.analysis.byteoutputNum());
}

}  // namespace
}  // namespace framestow
