// The linked assets of an analysed movie with the names they are exported under.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "document/document.hpp"

namespace framestow::cli {

struct LinkedAsset {
  std::int32_t id = 0;
  std::vector<std::string> names;  // every distinct linkage name, in file order
};

// One entry per exported character, in first-export order. The analysis keeps
// only the ids; the names are read back from the ExportAssets tags it found.
std::vector<LinkedAsset> linkedAssetsOf(const Document& document);

}  // namespace framestow::cli
