// The process exit statuses of framestow-cli, documented in the README.
#pragma once

#include <algorithm>

namespace framestow::cli {

enum class ExitStatus : int {
  Ok = 0,
  Usage = 1,          // bad arguments, or a target frame outside the movie
  Unreadable = 2,     // the file cannot be read or is not a complete movie
  CannotProcess = 3,  // the movie cannot be analysed or modified
  WriteFailed = 4,    // the backup or the new movie could not be written
};

// With several files each is handled on its own and the worst outcome wins;
// the statuses are numbered so that "worst" is "highest".
inline ExitStatus worst(ExitStatus a, ExitStatus b) {
  return static_cast<int>(a) >= static_cast<int>(b) ? a : b;
}

}  // namespace framestow::cli
