#include "support/scan.hpp"

#include <stdexcept>

#include "analysis/tag_scanner.hpp"
#include "swfin/loader.hpp"

namespace framestow::test {

std::vector<std::pair<int, int>> Scanned::row(std::uint32_t r) const {
  std::vector<std::pair<int, int>> out;
  for (std::int32_t j = 0; j < analysis.dependTotal(r); ++j) {
    out.emplace_back(analysis.dependList[r][static_cast<std::size_t>(j)],
                     analysis.dependFrame[r][static_cast<std::size_t>(j)]);
  }
  return out;
}

std::size_t Scanned::find(std::uint32_t code, std::size_t from) const {
  for (std::size_t i = from; i < analysis.byteoutput.size(); ++i) {
    if (analysis.byteoutput[i].thisBlockType == code && analysis.byteoutput[i].thisHead != 0) return i;
  }
  throw std::runtime_error("no block with that tag code");
}

Scanned scanMovie(const ByteVector& file, const std::string& path) {
  Scanned s;
  s.loadMessage = prescanBytes(path, file, s.movie, s.analysis);
  if (s.loadMessage.empty()) s.info = scanSelectedFile(s.movie, s.analysis, [&s] { ++s.ticks; });
  return s;
}

Scanned scanTimeline(const Timeline& main, const MovieOptions& options) {
  return scanMovie(buildMovie(main, options));
}

}  // namespace framestow::test
