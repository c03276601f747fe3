#include "support/folder_snapshot.hpp"

#include <filesystem>
#include <fstream>
#include <iterator>

namespace framestow::test {

FolderSnapshot snapshotOf(const std::string& folder) {
  namespace fs = std::filesystem;
  FolderSnapshot snapshot;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    const std::string name = fs::relative(entry.path(), folder).generic_string();
    const fs::file_status status = entry.symlink_status();
    if (fs::is_symlink(status)) {
      snapshot[name] = "link -> " + fs::read_symlink(entry.path()).generic_string();
    } else if (fs::is_regular_file(status)) {
      std::ifstream in(entry.path(), std::ios::binary);
      const auto mode = static_cast<unsigned>(status.permissions() & fs::perms::mask);
      snapshot[name] = "file " + std::to_string(mode) + " " +
                       std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    } else if (fs::is_directory(status)) {
      snapshot[name] = "folder";
    } else {
      snapshot[name] = fs::is_fifo(status) ? "fifo" : "other";
    }
  }
  return snapshot;
}

}  // namespace framestow::test
