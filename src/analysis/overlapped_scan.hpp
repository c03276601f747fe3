// Loading a movie and scanning its tags at once: the scan of a "CWS" movie
// reads the bytes as they are inflated, while libdeflate inflates the whole
// body on a second thread (RacingInflate), so that on two cores load and
// analysis together cost less than zlib's inflate alone.
#pragma once

#include <optional>
#include <string>

#include "analysis/movie_index.hpp"
#include "swfin/movie.hpp"

namespace framestow {

struct ScannedLoad {
  LoadedMovie movie;
  // The scan, when the movie loaded, is a "CWS" movie of a version that is
  // analysed, and was scanned while it inflated; otherwise nothing (scan it
  // after the load as usual). Exactly what indexMovie(movie) gives.
  std::optional<MovieIndex> index;
};

// Loads `path` as loadMovie does, scanning a "CWS" movie as it inflates.
// Uses one thread besides the caller's, for the duration of the call.
ScannedLoad loadAndScan(const std::string& path);

}  // namespace framestow
