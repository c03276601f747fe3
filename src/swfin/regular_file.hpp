// A movie file opened for reading. Only regular files are read: a FIFO would
// keep the reader waiting for a writer that may never come, a device may
// never end (/dev/zero) or may change state when read, and a folder holds no
// bytes. The type is checked before the file is opened, and again on the
// open file, in case the name was given to something else in between.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "swfin/read_failure.hpp"

namespace framestow {

class RegularFile {
 public:
  RegularFile() = default;
  RegularFile(const RegularFile&) = delete;
  RegularFile& operator=(const RegularFile&) = delete;
  ~RegularFile();

  // Opens `path` (symbolic links followed) when it names a regular file.
  // False otherwise, with failure() saying why.
  bool open(const std::string& path);

  // The file's size when it was opened.
  std::uint64_t size() const { return size_; }

  // Reads up to `count` bytes into `out` and returns how many it read: fewer
  // only at the end of the file, or on an error (then failed() is true and
  // failure() says why).
  std::size_t read(std::uint8_t* out, std::size_t count);

  bool failed() const { return static_cast<bool>(failure_); }
  // Why the file could not be opened or read.
  const ReadFailure& failure() const { return failure_; }

 private:
  void close();

#ifdef _WIN32
  void* file_ = nullptr;  // std::FILE*
#else
  int fd_ = -1;
#endif
  std::uint64_t size_ = 0;
  ReadFailure failure_;
};

}  // namespace framestow
