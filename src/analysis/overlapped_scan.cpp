#include "analysis/overlapped_scan.hpp"

#include "analysis/tag_scanner.hpp"
#include "swfin/loader.hpp"

namespace framestow {
namespace {

// Movies older than version 5 have no linked assets, and are never analysed.
constexpr std::uint8_t kFirstAnalysedVersion = 5;

}  // namespace

ScannedLoad loadAndScan(const std::string& path) {
  std::optional<MovieIndex> index;
  ScannedLoad result;
  result.movie = loadMovie(path, [&](const LoadedMovie& movie, const InflateProgress& progress) {
    if (movie.header.version >= kFirstAnalysedVersion) index = indexMovie(movie, {}, &progress);
  });
  // A scan of a movie that did not load read a body that was cut or damaged.
  if (result.movie.loaded()) result.index = std::move(index);
  return result;
}

}  // namespace framestow
