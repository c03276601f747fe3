// The words for a load that failed.
#pragma once

#include <string>

#include "swfin/movie.hpp"

namespace framestow {

// "" for a movie that loaded, else "Sorry, the file doesn't appear to be an swf." and the like.
std::string loadMessage(LoadOutcome outcome);

// Why a file could not be read, in the system's words, and its path:
// "No such file or directory: /films/intro.swf".
std::string readFailureText(const ReadFailure& failure, const std::string& path);

}  // namespace framestow
