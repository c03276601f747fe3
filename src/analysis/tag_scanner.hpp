// The tag scanner: cuts the movie into blocks and builds its MovieIndex.
#pragma once

#include "common/progress.hpp"
#include "analysis/movie_index.hpp"
#include "swfin/movie.hpp"

namespace framestow {

// Scans a loaded movie into its index, calling `tick` once per tag and per
// action record. A shape with a fill style type the format does not define
// stops the scan (ScanOutcome::kUnknownFillType); `analysed()` only for a complete
// scan. Nothing changes the index afterwards: the planner and the writer read it.
MovieIndex indexMovie(const LoadedMovie& movie, const ProgressTick& tick = {});

}  // namespace framestow
