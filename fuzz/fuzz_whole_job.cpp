// Arbitrary bytes as a movie file through the whole job, as the front ends
// run it: load, analyse, plan every target frame up to 16, save in memory and
// check every copy against the input, load and analyse one copy again. Any
// failure of the check aborts, which libFuzzer reports with the input.
#include "fuzz_support.hpp"
#include "support/saved_movie_check.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const framestow::test::JobReport report =
      framestow::test::runWholeJob(framestow::test::ByteVector(data, data + size), framestow::fuzz::scratchFolder(), 16);
  framestow::fuzz::abortOnFailures(report);
  return 0;
}
