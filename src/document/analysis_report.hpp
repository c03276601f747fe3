// The four analysis lines and the option states a front end shows after Analyze.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "analysis/movie_index.hpp"
#include "swfin/movie.hpp"

namespace framestow {

struct AnalysisReport {
  std::array<std::string, 4> lines;  // ANALYSISTEXT1..4
  bool nothingCanMove = false;            // no linked assets, or a single frame: nothing can move
  bool targetEnabled = false;        // the target frame can be chosen
  bool redundantFound = false;       // redundant export bytes exist (removal offered and ticked)
  std::string optimiseCaption;       // caption of the "Remove Redundant Bytes" box
};

AnalysisReport composeAnalysisReport(const MovieHeader& header, const MovieIndex& analysis);

// The first analysis line after a load: "Version %i Flash files do not use
// linked assets." for movies before version 5, else "".
std::string versionLine(int version);

}  // namespace framestow
