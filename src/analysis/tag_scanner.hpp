// The tag scanner: cuts the movie into blocks and builds its MovieIndex.
#pragma once

#include "common/progress.hpp"
#include "analysis/movie_index.hpp"
#include "swfin/inflate_stream.hpp"
#include "swfin/movie.hpp"

namespace framestow {

// Scans a loaded movie into its index, calling `tick` once per tag and per
// action record. A shape with a fill style type the format does not define
// stops the scan (ScanOutcome::kUnknownFillType); `analysed()` only for a complete
// scan. Nothing changes the index afterwards: the planner and the writer read it.
// Given `inflating`, the movie is still being inflated: each tag is read once
// its bytes are in place (and the scan stops where the inflate did).
MovieIndex indexMovie(const LoadedMovie& movie, const ProgressTick& tick = {},
                      const InflateProgress* inflating = nullptr);

}  // namespace framestow
