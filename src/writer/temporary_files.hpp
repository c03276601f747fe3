// The temporary files of the saves in progress, for a front end to remove
// when the process is told to stop (Ctrl-C, a termination request). The core
// installs no signal handler: the front end owns the process and calls
// removeTemporaryFilesInProgress() from its own.
#pragma once

#include <cstddef>
#include <string>

namespace framestow {

// Removes every temporary file a save is writing at this moment. Safe to call
// from a signal handler: it only reads names prepared beforehand and asks the
// system to delete them.
void removeTemporaryFilesInProgress() noexcept;

// Keeps `path` on the list of temporary files in progress while it lives. A
// path that does not fit the list's fixed room is not listed.
class TemporaryFileRecord {
 public:
  explicit TemporaryFileRecord(const std::string& path);
  TemporaryFileRecord(const TemporaryFileRecord&) = delete;
  TemporaryFileRecord& operator=(const TemporaryFileRecord&) = delete;
  ~TemporaryFileRecord();

 private:
  std::size_t slot_;
};

}  // namespace framestow
