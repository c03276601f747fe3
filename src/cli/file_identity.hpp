// Which file a path leads to, so that two paths of one file (links, or the
// same file named twice) are known to be one.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace framestow::cli {

struct FileIdentity {
  std::uint64_t device = 0;
  std::uint64_t file = 0;
  bool operator==(const FileIdentity&) const = default;
  bool operator<(const FileIdentity& other) const {
    return device != other.device ? device < other.device : file < other.file;
  }
};

// The file `path` leads to, symbolic links followed; nothing when there is none.
std::optional<FileIdentity> identityOf(const std::string& path);

}  // namespace framestow::cli
