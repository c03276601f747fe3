// The one file system whose steps tests make fail: it passes every call to
// the real one, except the k-th step of a save (or, like a disk filling up,
// every data step from the k-th on), owner changes, hard links, and writing in
// one folder. The way to see that a failed save leaves every file as it was.
#pragma once

#include <chrono>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include "writer/file_system.hpp"

namespace framestow::test {

class FaultInjectingFileSystem final : public FileSystem {
 public:
  // `failAt`: the number (from 0) of the step that fails, with `error`; -1 for none.
  explicit FaultInjectingFileSystem(int failAt = -1, std::error_code error = std::make_error_code(std::errc::io_error),
                            FileSystem& real = realFileSystem())
      : real_(real), failAt_(failAt), error_(error) {}

  // The steps taken so far ("lock <path>", "create <path>", "write <path>",
  // "flush <path>", "set-mode <path>", "close <path>", "link <from> -> <to>",
  // "rename <from> -> <to>"), the failed one included. Queries, owner changes
  // and removals are not steps.
  const std::vector<std::string>& steps() const { return steps_; }

  bool diskFull = false;          // every write, flush and close from the failing step on fails too
  bool ownerChangesFail = false;  // as for a user who does not own the file
  bool linksFail = false;         // as on a file system without hard links
  std::string readOnlyFolder;     // nothing may be written in this folder (root ignores a folder's mode bits)

  std::error_code status(const std::string& path, FileStatus& out) override { return real_.status(path, out); }
  std::error_code readLink(const std::string& path, std::string& target) override {
    return real_.readLink(path, target);
  }
  std::error_code checkWritable(const std::string& path) override;
  std::error_code createNew(const std::string& path, unsigned mode, std::unique_ptr<WritableFile>& out) override;
  // Takes the lock without waiting: tests never sit out another holder's time.
  std::error_code lock(const std::string& path, std::chrono::milliseconds wait,
                       std::unique_ptr<LockedFile>& out) override;
  std::error_code rename(const std::string& from, const std::string& to) override;
  std::error_code link(const std::string& existing, const std::string& to) override;
  std::error_code remove(const std::string& path) override { return real_.remove(path); }

  // Counts a step; its error when it is one that fails.
  std::error_code step(const std::string& what, bool dataStep = false);

 private:
  FileSystem& real_;
  int failAt_;
  std::error_code error_;
  std::vector<std::string> steps_;
};

}  // namespace framestow::test
