// Formatting of the program's texts, short and long.
#include <gtest/gtest.h>

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

}  // namespace
}  // namespace framestow
