// What a folder holds, entry by entry (subfolders included), to compare the
// files before and after a save.
#pragma once

#include <map>
#include <string>

namespace framestow::test {

// Relative path -> "file <mode> <bytes>", "link -> <target>", "folder", "fifo" or "other".
using FolderSnapshot = std::map<std::string, std::string>;

FolderSnapshot snapshotOf(const std::string& folder);

}  // namespace framestow::test
