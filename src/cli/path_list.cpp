#include "cli/path_list.hpp"

namespace framestow::cli {

std::vector<std::string> readPathList(std::istream& in, bool nulSeparated) {
  std::vector<std::string> paths;
  const char separator = nulSeparated ? '\0' : '\n';
  for (std::string entry; std::getline(in, entry, separator);) {
    if (!nulSeparated && !entry.empty() && entry.back() == '\r') entry.pop_back();
    if (!entry.empty()) paths.push_back(std::move(entry));
  }
  return paths;
}

}  // namespace framestow::cli
