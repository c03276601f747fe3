// A small read is enough to refuse a file that is no movie or to describe one,
// whatever the file's size or the size its header declares.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <zlib.h>

#include <filesystem>
#include <fstream>

#include "cli_movies.hpp"
#include "cli_runner.hpp"

namespace framestow::clitest {
namespace {

using ::testing::HasSubstr;

constexpr long kSmallRunKb = 128 * 1024;  // far below the files' sizes

// A gigabyte that is not a movie: sparse, so it costs no disk.
std::string hugeNonMovie(const std::string& folder) {
  const std::string path = folder + "/huge.swf";
  std::ofstream(path, std::ios::binary) << "GIF89a";
  std::filesystem::resize_file(path, std::uint64_t{1} << 30);
  return path;
}

// A "CWS" movie of one frame holding one tag of `size` zero bytes: about a
// megabyte on disk that inflates to `size`.
std::string compressedMovieOfZeros(const std::string& folder, std::uint32_t size) {
  const ByteVector frameHeader = test::Bytes().rect(0, 11000, 0, 8000).u8(0).u8(12).u16(1).data;
  const std::uint32_t total = static_cast<std::uint32_t>(8 + frameHeader.size() + 6 + size + 2 + 2);
  ByteVector start = frameHeader;
  test::Bytes tagHeader;
  tagHeader.u16(77 << 6 | 0x3F).u32(size);
  start.insert(start.end(), tagHeader.data.begin(), tagHeader.data.end());
  const ByteVector zeros(1 << 20, 0);
  const ByteVector end = test::Bytes().u16(1 << 6).u16(0).data;  // ShowFrame, End

  ByteVector file = test::Bytes{'C', 'W', 'S', 10}.u32(total).data;
  z_stream zs{};
  deflateInit(&zs, 1);
  auto deflateSome = [&](const ByteVector& input, std::size_t count, int flush) {
    zs.next_in = const_cast<Bytef*>(input.data());
    zs.avail_in = static_cast<uInt>(count);
    std::uint8_t out[65536];
    do {
      zs.next_out = out;
      zs.avail_out = sizeof out;
      deflate(&zs, flush);
      file.insert(file.end(), out, out + (sizeof out - zs.avail_out));
    } while (zs.avail_out == 0);
  };
  deflateSome(start, start.size(), Z_NO_FLUSH);
  for (std::uint32_t left = size; left > 0;) {
    const std::uint32_t step = std::min<std::uint32_t>(left, static_cast<std::uint32_t>(zeros.size()));
    deflateSome(zeros, step, Z_NO_FLUSH);
    left -= step;
  }
  deflateSome(end, end.size(), Z_FINISH);
  deflateEnd(&zs);
  return writeMovie(folder, "zeros.swf", file);
}

TEST(CliResources, AFileThatIsNoMovieIsRefusedWithoutReadingIt) {
  const std::string folder = freshFolder();
  const std::string path = hugeNonMovie(folder);
  for (const std::vector<std::string>& arguments :
       {std::vector<std::string>{"info", path}, {"analyze", path}, {"save", path, "--frame", "2"}}) {
    const CliResult result = runCli(arguments);
    EXPECT_EQ(result.status, 2) << arguments[0];
    EXPECT_THAT(result.err, HasSubstr("Sorry, the file doesn't appear to be an swf.")) << arguments[0];
    EXPECT_LT(result.peakMemoryKb, kSmallRunKb) << arguments[0];
  }
}

TEST(CliResources, InfoInflatesOnlyTheHeaderOfACompressedMovie) {
  const std::string folder = freshFolder();
  const std::string path = compressedMovieOfZeros(folder, 256u << 20);
  ASSERT_LT(std::filesystem::file_size(path), 2u << 20);
  const CliResult result = runCli({"info", path});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_THAT(result.out, HasSubstr("Dimensions: 550 x 400\nFrames (main timeline): 1\n"));
  EXPECT_LT(result.peakMemoryKb, kSmallRunKb);
}

}  // namespace
}  // namespace framestow::clitest
