// The machine's file system on POSIX systems (Linux, the BSDs, macOS).
#if !defined(_WIN32)

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <thread>
#include <vector>

#include "writer/file_system.hpp"

namespace framestow {
namespace {

std::error_code lastError() { return {errno, std::generic_category()}; }

// Calls `call` again while a signal interrupts it.
template <typename Call>
auto retried(Call call) {
  auto result = call();
  while (result == -1 && errno == EINTR) result = call();
  return result;
}

FileKind kindOf(mode_t mode) {
  if (S_ISREG(mode)) return FileKind::Regular;
  if (S_ISDIR(mode)) return FileKind::Directory;
  if (S_ISLNK(mode)) return FileKind::Link;
  if (S_ISFIFO(mode)) return FileKind::Fifo;
  if (S_ISCHR(mode) || S_ISBLK(mode)) return FileKind::Device;
  if (S_ISSOCK(mode)) return FileKind::Socket;
  return FileKind::Other;
}

FileStatus statusOf(const struct stat& st) {
  FileStatus status;
  status.kind = kindOf(st.st_mode);
  status.mode = static_cast<unsigned>(st.st_mode & 07777);
  status.owner = static_cast<std::uint32_t>(st.st_uid);
  status.group = static_cast<std::uint32_t>(st.st_gid);
  status.device = static_cast<std::uint64_t>(st.st_dev);
  status.file = static_cast<std::uint64_t>(st.st_ino);
  status.links = static_cast<std::uint64_t>(st.st_nlink);
  status.size = st.st_size > 0 ? static_cast<std::uint64_t>(st.st_size) : 0;
  return status;
}

class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  ~Descriptor() { release(); }
  int get() const { return fd_; }
  // Closes it; a failed close of a written file means the bytes may be lost.
  std::error_code release() {
    if (fd_ < 0) return {};
    const int rc = ::close(fd_);
    fd_ = -1;
    return rc == 0 ? std::error_code() : lastError();
  }

 private:
  int fd_;
};

class PosixWritableFile final : public WritableFile {
 public:
  explicit PosixWritableFile(int fd) : fd_(fd) {}
  std::error_code write(const std::uint8_t* data, std::size_t size) override {
    // The system may take fewer bytes than asked, on a pipe or near a full disk.
    while (size > 0) {
      const ssize_t put = retried([&] { return ::write(fd_.get(), data, size); });
      if (put < 0) return lastError();
      if (put == 0) return std::make_error_code(std::errc::io_error);
      data += put;
      size -= static_cast<std::size_t>(put);
    }
    return {};
  }
  std::error_code flush() override {
    return retried([&] { return ::fsync(fd_.get()); }) == 0 ? std::error_code() : lastError();
  }
  std::error_code setOwner(std::optional<std::uint32_t> owner, std::optional<std::uint32_t> group) override {
    const uid_t uid = owner ? static_cast<uid_t>(*owner) : static_cast<uid_t>(-1);
    const gid_t gid = group ? static_cast<gid_t>(*group) : static_cast<gid_t>(-1);
    return ::fchown(fd_.get(), uid, gid) == 0 ? std::error_code() : lastError();
  }
  std::error_code setMode(unsigned mode) override {
    return ::fchmod(fd_.get(), static_cast<mode_t>(mode & 07777)) == 0 ? std::error_code() : lastError();
  }
  std::error_code close() override { return fd_.release(); }

 private:
  Descriptor fd_;
};

class PosixLockedFile final : public LockedFile {
 public:
  explicit PosixLockedFile(int fd) : fd_(fd) {}
  FileStatus status() override {
    struct stat st {};
    return ::fstat(fd_.get(), &st) == 0 ? statusOf(st) : FileStatus{};
  }
  std::error_code read(std::uint64_t offset, std::uint8_t* data, std::size_t size, std::size_t& got) override {
    const ssize_t n = retried([&] { return ::pread(fd_.get(), data, size, static_cast<off_t>(offset)); });
    got = n > 0 ? static_cast<std::size_t>(n) : 0;
    return n < 0 ? lastError() : std::error_code();
  }

 private:
  Descriptor fd_;  // closing it lets the lock go
};

// File systems that keep no locks (some network and FUSE ones) say so with these.
bool locksUnsupported(int error) {
  return error == ENOLCK || error == EOPNOTSUPP || error == ENOSYS || error == EINVAL;
}

class PosixFileSystem final : public FileSystem {
 public:
  std::error_code status(const std::string& path, FileStatus& out) override {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) {
      out = FileStatus{};
      return errno == ENOENT ? std::error_code() : lastError();
    }
    out = statusOf(st);
    return {};
  }

  std::error_code readLink(const std::string& path, std::string& target) override {
    std::vector<char> buffer(256);
    for (;;) {
      const ssize_t n = ::readlink(path.c_str(), buffer.data(), buffer.size());
      if (n < 0) return lastError();
      if (static_cast<std::size_t>(n) < buffer.size()) {
        target.assign(buffer.data(), static_cast<std::size_t>(n));
        return {};
      }
      buffer.resize(buffer.size() * 2);
    }
  }

  std::error_code checkWritable(const std::string& path) override {
    return ::access(path.c_str(), W_OK) == 0 ? std::error_code() : lastError();
  }

  std::error_code createNew(const std::string& path, unsigned mode, std::unique_ptr<WritableFile>& out) override {
    // O_EXCL fails on any existing name, a symbolic link included, dangling or not.
    const int fd = retried([&] {
      return ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, static_cast<mode_t>(mode));
    });
    if (fd < 0) return lastError();
    out = std::make_unique<PosixWritableFile>(fd);
    return {};
  }

  std::error_code lock(const std::string& path, std::chrono::milliseconds wait,
                       std::unique_ptr<LockedFile>& out) override {
    // Opened without blocking, so that a FIFO put in the file's place cannot
    // stall the save; for writing where allowed, because network file systems
    // lock only files open for writing.
    constexpr int kFlags = O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC;
    int fd = retried([&] { return ::open(path.c_str(), O_RDWR | kFlags); });
    if (fd < 0 && (errno == EACCES || errno == EROFS || errno == ETXTBSY)) {
      fd = retried([&] { return ::open(path.c_str(), O_RDONLY | kFlags); });
    }
    if (fd < 0) return lastError();
    auto file = std::make_unique<PosixLockedFile>(fd);
    const auto giveUp = std::chrono::steady_clock::now() + wait;
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
      if (errno == EINTR) continue;
      if (locksUnsupported(errno)) break;
      if (errno != EWOULDBLOCK) return lastError();
      if (std::chrono::steady_clock::now() >= giveUp) {
        return std::make_error_code(std::errc::resource_unavailable_try_again);
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    out = std::move(file);
    return {};
  }

  std::error_code rename(const std::string& from, const std::string& to) override {
    return ::rename(from.c_str(), to.c_str()) == 0 ? std::error_code() : lastError();
  }

  std::error_code link(const std::string& existing, const std::string& to) override {
    return ::link(existing.c_str(), to.c_str()) == 0 ? std::error_code() : lastError();
  }

  std::error_code remove(const std::string& path) override {
    return ::unlink(path.c_str()) == 0 ? std::error_code() : lastError();
  }
};

}  // namespace

FileSystem& realFileSystem() {
  static PosixFileSystem instance;
  return instance;
}

}  // namespace framestow

#endif  // !_WIN32
