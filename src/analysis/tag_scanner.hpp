// The tag scanner: cuts the movie into blocks and fills the analysis tables.
#pragma once

#include <string>

#include "common/progress.hpp"
#include "analysis/movie_index.hpp"
#include "swfin/movie.hpp"

namespace framestow {

// Scans a loaded movie into an empty `analysis`. A shape with a fill style
// type the format does not define stops the scan (`analysis.unknownFillType`);
// `analysis.analysed` is true only for a complete scan.
void indexMovie(const LoadedMovie& movie, MovieIndex& analysis, const ProgressTick& tick = {});

}  // namespace framestow
