// The file operations a save needs, behind an interface so that tests can make
// any one of them fail, and so that the calls that differ between systems stay
// in one file per system. Every operation says why it failed: the error code
// of the system call, which the save turns into a reason naming the path.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <system_error>

namespace framestow {

enum class FileKind { Missing, Regular, Directory, Link, Fifo, Device, Socket, Other };

// What is at a path, a symbolic link not followed.
struct FileStatus {
  FileKind kind = FileKind::Missing;
  unsigned mode = 0;                   // permission bits with setuid, setgid and sticky (07777)
  std::optional<std::uint32_t> owner;  // user and group ids, where the system has them
  std::optional<std::uint32_t> group;
  std::uint64_t device = 0;            // with `file`, which file this is: every name of
  std::uint64_t file = 0;              // one file (its hard links) has the same pair
  std::uint64_t links = 1;             // how many names the file has
  std::uint64_t size = 0;
};

inline bool sameFile(const FileStatus& a, const FileStatus& b) {
  return a.kind != FileKind::Missing && a.kind == b.kind && a.device == b.device && a.file == b.file;
}

class WritableFile {
 public:
  virtual ~WritableFile() = default;
  virtual std::error_code write(const std::uint8_t* data, std::size_t size) = 0;
  // Asks the system to put the bytes on the disk.
  virtual std::error_code flush() = 0;
  // Gives the file an owner and a group; an id left empty stays as it is.
  virtual std::error_code setOwner(std::optional<std::uint32_t> owner, std::optional<std::uint32_t> group) = 0;
  virtual std::error_code setMode(unsigned mode) = 0;
  virtual std::error_code close() = 0;
};

// An existing file open for reading under an exclusive lock, held until this
// object goes (or the process ends, when the system lets the lock go).
class LockedFile {
 public:
  virtual ~LockedFile() = default;
  virtual FileStatus status() = 0;
  // Up to `size` bytes from `offset` on; `got` is 0 at the end of the file.
  virtual std::error_code read(std::uint64_t offset, std::uint8_t* data, std::size_t size, std::size_t& got) = 0;
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;
  // What is at `path`, a link not followed; kind Missing (no error) when nothing is.
  virtual std::error_code status(const std::string& path, FileStatus& out) = 0;
  // The text of the symbolic link at `path`.
  virtual std::error_code readLink(const std::string& path, std::string& target) = 0;
  // Whether this process may write `path`: a file's bytes, or a folder's entries.
  virtual std::error_code checkWritable(const std::string& path) = 0;
  // A new file, opened for writing. Fails when the name is taken by anything,
  // a dangling symbolic link included; never writes through a link. `mode` is
  // asked at creation, so the system's default mask still applies.
  virtual std::error_code createNew(const std::string& path, unsigned mode, std::unique_ptr<WritableFile>& out) = 0;
  // Opens the regular file at `path` (not through a link) and locks it
  // exclusively, waiting up to `wait` for another holder to let go; then
  // errc::resource_unavailable_try_again. On file systems without locks the
  // file is opened unlocked.
  virtual std::error_code lock(const std::string& path, std::chrono::milliseconds wait,
                               std::unique_ptr<LockedFile>& out) = 0;
  // Puts `from` in the place of `to` in one step, replacing what `to` was.
  virtual std::error_code rename(const std::string& from, const std::string& to) = 0;
  // A second name for an existing file; fails when `to` is taken.
  virtual std::error_code link(const std::string& existing, const std::string& to) = 0;
  virtual std::error_code remove(const std::string& path) = 0;
};

// The real file system of the machine.
FileSystem& realFileSystem();

}  // namespace framestow
