// The paths of a --files-from list.
#pragma once

#include <istream>
#include <string>
#include <vector>

namespace framestow::cli {

// One path a line, or with `nulSeparated` one path per NUL-terminated entry
// (what `find -print0` writes), for names that hold a line feed. Empty entries
// are skipped: a blank line names no file. A line's carriage return before its
// line feed is dropped (a list written on Windows); nothing else is trimmed,
// since spaces at either end belong to the name.
std::vector<std::string> readPathList(std::istream& in, bool nulSeparated);

}  // namespace framestow::cli
