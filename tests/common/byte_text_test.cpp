// Formatting of the program's texts, short and long.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <random>
#include <string>

#include "common/byte_text.hpp"

namespace framestow {
namespace {

TEST(FormatText, TextsOfAnyLengthComeOutWhole) {
  EXPECT_EQ(formatText("OK to move to frame %i.", 60), "OK to move to frame 60.");
  EXPECT_EQ(formatText("%s", ""), "");
  // Around the size of the buffer short texts are formatted into, and far beyond it.
  for (std::size_t length : {126u, 127u, 128u, 129u, 5000u}) {
    const std::string long_text(length, 'x');
    EXPECT_EQ(formatText("%s", long_text.c_str()), long_text) << length;
    EXPECT_EQ(formatText("%s%i", long_text.c_str(), 7), long_text + "7") << length;
  }
}

// What printf itself writes for a byte count, by the same rule.
std::string printfSizeText(std::int64_t bytes) {
  char text[128];
  if (bytes > kKiloThreshold) {
    std::snprintf(text, sizeof text, "%.2f kBytes", static_cast<double>(static_cast<float>(bytes) / 1024.0f));
  } else {
    std::snprintf(text, sizeof text, "%i bytes", static_cast<int>(bytes));
  }
  return text;
}

TEST(ByteCountText, WritesWhatPrintfWrites) {
  // Every count up to 64 kB (exact halves such as 1,152 bytes = 1.125 kB
  // included), then counts of every size up to the largest movie.
  for (std::int64_t bytes = 0; bytes <= 65536; ++bytes) {
    ASSERT_EQ(sizeText(bytes), printfSizeText(bytes)) << bytes;
  }
  std::mt19937_64 random(7);
  for (int i = 0; i < 200000; ++i) {
    const auto bytes = static_cast<std::int64_t>(random() % 0xFFFFFFFFull);
    ASSERT_EQ(sizeText(bytes), printfSizeText(bytes)) << bytes;
  }
  EXPECT_EQ(sizeText(1152), "1.12 kBytes");
  EXPECT_EQ(warningSizeText(1536), "1.50 kBytes - WARNING!");
  EXPECT_EQ(warningSizeText(1024), "1024 bytes - WARNING!");
  EXPECT_EQ(byteCountText(300, "Remove %.2f Redundant kBytes", "Remove %i Redundant Bytes"), "Remove 300 Redundant Bytes");
}

TEST(FormatInt, FillsItsOneNumber) {
  EXPECT_EQ(formatInt("OK to move to frame %i.", 60), "OK to move to frame 60.");
  EXPECT_EQ(formatInt("Move to frame %i.", -2147483647 - 1), "Move to frame -2147483648.");
  EXPECT_EQ(formatInt("%i", 0), "0");
}

}  // namespace
}  // namespace framestow
