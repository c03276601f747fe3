// Arbitrary bytes as the body of one tag the analysis reads field by field (a
// shape, text, button, morph shape, placement, action list or export; the
// first byte chooses which) in frame 1 of a movie that defines, exports and
// shows characters 1 to 5 around it, through the whole job.
#include <iterator>

#include "fuzz_support.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace framestow::test;
  if (size == 0) return 0;
  const ByteVector body(data + 1, data + size);
  const ByteVector tag = tagBytes(framestow::fuzz::kTagCodes[data[0] % std::size(framestow::fuzz::kTagCodes)], body, (data[0] & 0x80) != 0);
  const ByteVector movie = movieOf({kBackground, bitmap(1), shape(2, {1}), font(3), sound(4), sprite(5, {place(2), kShowFrameBytes, kEndBytes}), tag,
                                    exports({{2, "shape"}, {5, "clip"}, {4, "sound"}}), kShowFrameBytes, place(5), kShowFrameBytes, kEndBytes},
                                   header("FWS", 8));
  framestow::fuzz::abortOnFailures(framestow::test::runWholeJob(movie, framestow::fuzz::scratchFolder(), 4));
  return 0;
}
