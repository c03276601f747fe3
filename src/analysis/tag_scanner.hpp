// The tag scanner: cuts the movie into blocks and fills the analysis tables.
#pragma once

#include <string>

#include "common/progress.hpp"
#include "analysis/tables.hpp"
#include "swfin/movie.hpp"

namespace framestow {

// Scans a loaded movie. Returns the information text
// "<path>\r\nversion:<v>  <k>kB\r\ndimensions:<w> x <h>". On an unreadable
// shape the scan stops and `analysis.analysisError` says why;
// `analysis.analysed` is true only for a complete scan. Also turns
// `movie.modNameOut` into the backup name.
std::string scanSelectedFile(LoadedMovie& movie, Analysis& analysis, const ProgressTick& tick = {});

}  // namespace framestow
