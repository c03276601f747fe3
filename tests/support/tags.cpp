#include "support/tags.hpp"

#include <algorithm>

namespace framestow::test {

ByteVector joined(const Tags& tags) {
  ByteVector all;
  for (const ByteVector& tag : tags) all.insert(all.end(), tag.begin(), tag.end());
  return all;
}

ByteVector sprite(std::uint16_t id, const Tags& inner) {
  const auto frames = static_cast<std::uint16_t>(std::count(inner.begin(), inner.end(), kShowFrame));
  Timeline body;
  body.raw(joined(inner));
  return Timeline().sprite(id, body, frames).bytes();
}

ByteVector movieOf(const Tags& tags, MovieOptions options) {
  if (!options.frameCount) options.frameCount = static_cast<std::uint16_t>(std::count(tags.begin(), tags.end(), kShowFrame));
  Timeline main;
  main.raw(joined(tags));
  return buildMovie(main, options);
}

std::int64_t sizeOf(const Tags& tags) { return static_cast<std::int64_t>(joined(tags).size()); }

}  // namespace framestow::test
