// A file system in memory whose steps can be made to fail: the one way tests
// see what a save writes, and what it leaves behind when a step fails, without
// touching the disk.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "support/swf_builder.hpp"
#include "writer/file_system.hpp"

namespace framestow::test {

class FaultInjectingFileSystem final : public FileSystem {
 public:
  struct File {
    ByteVector bytes;
    unsigned permissions = 0644;
  };
  // The files, by path: put some in before a save, read them afterwards.
  std::map<std::string, File> files;
  // Each step taken ("create P", "write P", "flush P", "close P",
  // "set-permissions P", "rename A -> B"), the failed one included. Queries and
  // removals are not steps and never fail.
  std::vector<std::string> steps;

  // Step `k` (from 0) fails; with `diskFull` every write, flush and close from
  // step k on fails too, as on a disk that has filled up. A failed write still
  // puts half of its bytes into the file.
  void failAt(int k, bool diskFull = false) {
    failAt_ = k;
    diskFull_ = diskFull;
  }
  // The index of the first failed step, or -1.
  int failed() const { return failed_; }

  std::unique_ptr<WritableFile> createNew(const std::string& path) override;
  bool rename(const std::string& from, const std::string& to) override;
  bool remove(const std::string& path) override { return files.erase(path) > 0; }
  bool exists(const std::string& path) override { return files.count(path) > 0; }
  std::optional<unsigned> permissions(const std::string& path) override;
  bool setPermissions(const std::string& path, unsigned bits) override;

  // Counts a step; false when it fails.
  bool step(const std::string& what);

 private:
  int failAt_ = -1;
  bool diskFull_ = false;
  int failed_ = -1;
};

}  // namespace framestow::test
