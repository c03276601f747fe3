// Temporary files left by interrupted saves (killed, power lost) must not
// stop later saves, however many there are, and are not ours to delete.
#include <gtest/gtest.h>

#include <string>

#include "document/document.hpp"
#include "reliability/reliability_support.hpp"

namespace framestow::test {
namespace {

TEST(LeftoverTemporaries, ManyLeftoversDoNotStopASave) {
  const std::string folder = scratchFolder("leftovers");
  const std::string target = folder + "/movie.swf";
  const ByteVector movie = largeMovie(4096, "FWS", 3, 1024);
  writeFile(target, movie);
  constexpr int kLeftovers = 150;
  for (int i = 0; i < kLeftovers; ++i) {
    writeFile(target + ".framestow-" + std::to_string(i) + ".tmp", ByteVector{1, 2, 3});
    writeFile(folder + "/movie_old.swf.framestow-" + std::to_string(i) + ".tmp", ByteVector{4, 5});
  }

  Document doc;
  ASSERT_EQ(doc.load(target), "");
  ASSERT_TRUE(doc.analyze());
  EXPECT_EQ(doc.save(2, false, true), kFileModified);
  EXPECT_EQ(readAll(folder + "/movie_old.swf"), movie);
  EXPECT_NE(readAll(target), movie);
  // The leftovers are still there, untouched: nothing else was added.
  EXPECT_EQ(namesIn(folder).size(), 2u + 2u * kLeftovers);
  EXPECT_EQ(readAll(target + ".framestow-0.tmp"), (ByteVector{1, 2, 3}));
}

}  // namespace
}  // namespace framestow::test
