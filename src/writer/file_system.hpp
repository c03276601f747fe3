// The file operations a save needs, behind an interface so that tests can make
// any one of them fail.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace framestow {

class WritableFile {
 public:
  virtual ~WritableFile() = default;
  virtual bool write(const std::uint8_t* data, std::size_t size) = 0;
  // Flushes the runtime's buffers and asks the system to put the bytes on disk.
  virtual bool flush() = 0;
  virtual bool close() = 0;
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;
  // Creates a new file that must not exist yet; nullptr on failure.
  virtual std::unique_ptr<WritableFile> createNew(const std::string& path) = 0;
  // Replaces `to` by `from` in one step.
  virtual bool rename(const std::string& from, const std::string& to) = 0;
  virtual bool remove(const std::string& path) = 0;
  virtual bool exists(const std::string& path) = 0;
  // Permission bits of an existing file, to carry over to its replacement.
  virtual std::optional<unsigned> permissions(const std::string& path) = 0;
  virtual bool setPermissions(const std::string& path, unsigned bits) = 0;
};

// The real file system of the machine.
FileSystem& realFileSystem();

}  // namespace framestow
