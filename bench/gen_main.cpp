// Writes the benchmark movies that are missing from a folder.
//
//   framestow-bench-gen <folder> [size-in-MB ...]     (sizes default to 1 16 128)
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "movie_gen.hpp"
#include "support/swf_builder.hpp"

namespace fs = std::filesystem;
using namespace framestow::bench;

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s <folder> [size-in-MB ...]\n", argv[0]);
    return 2;
  }
  const fs::path folder = argv[1];
  std::vector<int> sizes;
  for (int i = 2; i < argc; ++i) sizes.push_back(std::atoi(argv[i]));
  if (sizes.empty()) sizes = {1, 16, 128};
  fs::create_directories(folder);

  const std::vector<BenchMovie> movies = allMovies(sizes);
  for (std::size_t i = 0; i < movies.size(); ++i) {
    const BenchMovie& which = movies[i];
    if (which.cws) continue;  // written with its uncompressed partner
    const fs::path fwsPath = folder / movieFileName(which);
    BenchMovie cwsWhich = which;
    cwsWhich.cws = true;
    const bool wantCws = i + 1 < movies.size() && movies[i + 1].cws && movies[i + 1].kind == which.kind;
    const fs::path cwsPath = folder / movieFileName(cwsWhich);
    if (fs::exists(fwsPath) && (!wantCws || fs::exists(cwsPath))) continue;

    const auto start = std::chrono::steady_clock::now();
    const std::vector<std::uint8_t> fws = generateMovie(which.kind, which.sizeMb);
    // Written under a temporary name first, so that an interrupted run never leaves half a movie.
    framestow::test::writeFile(fwsPath.string() + ".part", fws);
    fs::rename(fwsPath.string() + ".part", fwsPath);
    if (wantCws) {
      framestow::test::writeFile(cwsPath.string() + ".part", compressMovie(fws));
      fs::rename(cwsPath.string() + ".part", cwsPath);
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::fprintf(stderr, "generated %s (%.1f MB)%s in %.1f s\n", movieName(which).c_str(), fws.size() / 1048576.0,
                 wantCws ? " and its CWS" : "", seconds);
  }
  return 0;
}
