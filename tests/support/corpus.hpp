// The shared folder of real movies made by other tools.
#pragma once

#include <string>
#include <vector>

namespace framestow::test {

// Every .swf file below the corpus folder, sorted; empty when the folder is absent.
std::vector<std::string> corpusMovies();
std::string corpusDir();

}  // namespace framestow::test
