// Writes the seeds of the fuzz targets into a folder: generated movies whole
// (movies/) and the bodies of their tags, each after the byte that chooses its
// tag code in fuzz_tag_bodies (tags/).
//   make_seeds <folder>
#include <cstdio>
#include <string>

#include "fuzz_support.hpp"
#include "support/generated_movies.hpp"
#include "support/tag_list.hpp"

int main(int argc, char** argv) {
  using namespace framestow::test;
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
    return 2;
  }
  int count = 0;
  for (unsigned seed = 1; seed <= 24; ++seed) {
    const ByteVector movie = generatedMovie(seed);
    writeFile(std::string(argv[1]) + "/movies/generated-" + std::to_string(seed) + ".swf", movie);
    // A few as LZMA movies, so that the whole-job target reaches the LZMA decoder.
    if (seed <= 4) writeFile(std::string(argv[1]) + "/movies/generated-" + std::to_string(seed) + "-lzma.swf", lzmaMovieOf(movie));
    for (const ListedTag& tag : listMovie(movie).tags) {
      for (std::uint8_t choice = 0; choice < std::size(framestow::fuzz::kTagCodes); ++choice) {
        if (framestow::fuzz::kTagCodes[choice] != tag.code) continue;
        ByteVector body{choice};
        body.insert(body.end(), tag.bytes.begin() + tag.head, tag.bytes.end());
        writeFile(std::string(argv[1]) + "/tags/" + std::to_string(count++) + ".bin", body);
      }
    }
  }
  std::printf("%d tag seeds and the seed movies in %s\n", count, argv[1]);
  return 0;
}
