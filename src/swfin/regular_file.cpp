#include "swfin/regular_file.hpp"

#include <cerrno>
#include <system_error>

#ifdef _WIN32
#include <cstdio>
#include <filesystem>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace framestow {

RegularFile::~RegularFile() { close(); }

#ifdef _WIN32

bool RegularFile::open(const std::string& path) {
  close();
  failure_ = {};
  namespace fs = std::filesystem;
  // The same conversion as the file system a save goes through, so that one
  // path names one file for both.
  const fs::path name(path);
  std::error_code ec;
  const fs::file_status status = fs::status(name, ec);
  if (ec) {
    failure_ = ReadFailure::system(ec);
    return false;
  }
  if (fs::is_directory(status)) {
    failure_ = ReadFailure::system(EISDIR);
    return false;
  }
  if (!fs::is_regular_file(status)) {
    failure_ = {ReadFailure::Kind::kNotRegular, {}};
    return false;
  }
  size_ = fs::file_size(name, ec);
  if (ec) {
    failure_ = ReadFailure::system(ec);
    return false;
  }
  std::FILE* file = _wfopen(name.c_str(), L"rb");
  if (file == nullptr) {
    failure_ = ReadFailure::system(errno);
    return false;
  }
  file_ = file;
  return true;
}

std::size_t RegularFile::read(std::uint8_t* out, std::size_t count) {
  if (file_ == nullptr || count == 0) return 0;
  auto* file = static_cast<std::FILE*>(file_);
  const std::size_t got = std::fread(out, 1, count, file);
  if (got < count && std::ferror(file)) failure_ = ReadFailure::system(errno != 0 ? errno : EIO);
  return got;
}

void RegularFile::close() {
  if (file_ != nullptr) std::fclose(static_cast<std::FILE*>(file_));
  file_ = nullptr;
}

#else

namespace {

// What a name is when it is not a regular file.
ReadFailure notRegular(mode_t mode) {
  if (S_ISDIR(mode)) return ReadFailure::system(EISDIR);
  if (S_ISFIFO(mode)) return {ReadFailure::Kind::kFifo, {}};
  if (S_ISCHR(mode) || S_ISBLK(mode)) return {ReadFailure::Kind::kDevice, {}};
  if (S_ISSOCK(mode)) return {ReadFailure::Kind::kSocket, {}};
  return {ReadFailure::Kind::kNotRegular, {}};
}

}  // namespace

bool RegularFile::open(const std::string& path) {
  close();
  failure_ = {};
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) {
    failure_ = ReadFailure::system(errno);
    return false;
  }
  if (!S_ISREG(info.st_mode)) {
    failure_ = notRegular(info.st_mode);
    return false;
  }
  // Non-blocking, so that a FIFO put in the file's place since the look above
  // cannot hold the open; the open file's own type decides.
  fd_ = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd_ < 0) {
    failure_ = ReadFailure::system(errno);
    return false;
  }
  if (::fstat(fd_, &info) != 0) {
    failure_ = ReadFailure::system(errno);
    close();
    return false;
  }
  if (!S_ISREG(info.st_mode)) {
    failure_ = notRegular(info.st_mode);
    close();
    return false;
  }
  const int flags = ::fcntl(fd_, F_GETFL);
  if (flags != -1) ::fcntl(fd_, F_SETFL, flags & ~O_NONBLOCK);
  size_ = static_cast<std::uint64_t>(info.st_size);
  return true;
}

std::size_t RegularFile::read(std::uint8_t* out, std::size_t count) {
  std::size_t done = 0;
  while (fd_ >= 0 && done < count) {
    const ssize_t got = ::read(fd_, out + done, count - done);
    if (got > 0) {
      done += static_cast<std::size_t>(got);
    } else if (got == 0) {
      break;
    } else if (errno != EINTR) {
      failure_ = ReadFailure::system(errno);
      break;
    }
  }
  return done;
}

void RegularFile::close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

#endif

}  // namespace framestow
