// Small movies between them holding every tag the analysis reads: the seeds
// of the fuzz targets and the movies the damage sweeps cut and change.
#pragma once

#include <string>
#include <vector>

#include "support/tags.hpp"

namespace framestow::test {

struct SeedMovie {
  std::string name;
  ByteVector bytes;
};

std::vector<SeedMovie> seedMovies();

}  // namespace framestow::test
