// Loads and analyses a movie from bytes, for tests of the analysis tables.
#pragma once

#include <string>

#include "analysis/tables.hpp"
#include "support/swf_builder.hpp"
#include "swfin/movie.hpp"

namespace framestow::test {

struct Scanned {
  LoadedMovie movie;
  Analysis analysis;
  std::string loadMessage;
  std::string info;
  int ticks = 0;

  const bytesOut& block(std::size_t i) const { return analysis.byteoutput.at(i); }
  // Row r of the dependency tables, as (charId, frame) pairs in scan order.
  std::vector<std::pair<int, int>> row(std::uint32_t r) const;
  // Index of the first block with tag code `code` at or after `from`.
  std::size_t find(std::uint32_t code, std::size_t from = 0) const;
};

Scanned scanMovie(const ByteVector& file, const std::string& path = "C:\\films\\intro.swf");
Scanned scanTimeline(const Timeline& main, const MovieOptions& options = {});

}  // namespace framestow::test
