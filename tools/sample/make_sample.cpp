// framestow-make-sample PATH: writes the bundled sample movie to PATH.
#include <exception>
#include <iostream>

#include "sample_movie.hpp"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: framestow-make-sample PATH\n";
    return 1;
  }
  try {
    const auto movie = framestow::sample::buildSampleMovie();
    framestow::test::writeFile(argv[1], movie);
    std::cout << "Wrote " << argv[1] << " (" << movie.size() << " bytes)\n";
  } catch (const std::exception& e) {
    std::cerr << "framestow-make-sample: " << e.what() << '\n';
    return 1;
  }
  return 0;
}
