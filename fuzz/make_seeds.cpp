// Writes the seeds of the fuzz targets into a folder: the seed movies whole
// (movies/) and the bodies of their tags, each after the byte that chooses its
// tag code in fuzz_tag_bodies (tags/).
//   make_seeds <folder>
#include <cstdio>
#include <string>

#include "fuzz_support.hpp"
#include "support/seed_movies.hpp"
#include "support/tag_list.hpp"

int main(int argc, char** argv) {
  using namespace framestow::test;
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
    return 2;
  }
  int count = 0;
  for (const SeedMovie& movie : seedMovies()) {
    writeFile(std::string(argv[1]) + "/movies/" + movie.name + ".swf", movie.bytes);
    for (const ListedTag& tag : listTags(movie.bytes)) {
      for (std::uint8_t choice = 0; choice < std::size(framestow::fuzz::kTagCodes); ++choice) {
        if (framestow::fuzz::kTagCodes[choice] != tag.code) continue;
        ByteVector seed{choice};
        seed.insert(seed.end(), tag.bytes.begin() + tag.head, tag.bytes.end());
        writeFile(std::string(argv[1]) + "/tags/" + movie.name + "-" + std::to_string(count++) + ".bin", seed);
      }
    }
  }
  std::printf("%d tag seeds and the seed movies in %s\n", count, argv[1]);
  return 0;
}
