// A file system that passes every call to the real one, except that the k-th
// step of a save fails: the way to test that a failed save leaves every file
// as it was.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "writer/file_system.hpp"

namespace framestow::test {

class FaultyFileSystem final : public FileSystem {
 public:
  // `failAt`: the number (from 0) of the step that fails; -1 for none.
  explicit FaultyFileSystem(int failAt = -1, FileSystem& real = realFileSystem()) : real_(real), failAt_(failAt) {}

  // The steps taken so far ("create <path>", "write <path>", "flush <path>",
  // "close <path>", "set-permissions <path>", "rename <from> -> <to>"), the
  // failed one included. Queries and removals are not steps and never fail.
  const std::vector<std::string>& steps() const { return steps_; }

  std::unique_ptr<WritableFile> createNew(const std::string& path) override;
  bool rename(const std::string& from, const std::string& to) override;
  bool remove(const std::string& path) override { return real_.remove(path); }
  bool exists(const std::string& path) override { return real_.exists(path); }
  std::optional<unsigned> permissions(const std::string& path) override { return real_.permissions(path); }
  bool setPermissions(const std::string& path, unsigned bits) override;

  // Counts a step; false when it is the one that fails.
  bool step(const std::string& what);

 private:
  FileSystem& real_;
  int failAt_;
  std::vector<std::string> steps_;
};

}  // namespace framestow::test
