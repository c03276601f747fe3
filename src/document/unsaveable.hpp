// Why a movie that analysed cannot be written again: the data the new movie
// would be made of is not all there.
#pragma once

#include <string>

#include "analysis/movie_index.hpp"
#include "swfin/movie.hpp"

namespace framestow {

// "" when the movie can be saved, else one sentence for the user, such as
// "This movie cannot be saved: its last tag runs past the end of the movie."
std::string unsaveableReason(const LoadedMovie& movie, const MovieIndex& analysis);

}  // namespace framestow
