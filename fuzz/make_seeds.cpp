// Writes the builder movies into a folder: the seeds of the fuzz targets.
//   make_seeds <folder>
#include <cstdio>
#include <string>

#include "reliability/sample_movies.hpp"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
    return 2;
  }
  const std::string folder = argv[1];
  int count = 0;
  for (const auto& movie : framestow::test::sampleMovies()) {
    framestow::test::writeFile(folder + "/" + movie.name + ".swf", movie.bytes);
    ++count;
  }
  std::printf("%d seed movies in %s\n", count, folder.c_str());
  return 0;
}
