// The machine's file system on Windows.
#if defined(_WIN32)

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <mutex>
#include <thread>

#include "writer/file_system.hpp"

namespace framestow {
namespace {

// The errors a save tells apart, as the portable conditions; others as they are.
std::error_code errorOf(DWORD error) {
  switch (error) {
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS: return std::make_error_code(std::errc::file_exists);
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND: return std::make_error_code(std::errc::no_such_file_or_directory);
    case ERROR_ACCESS_DENIED: return std::make_error_code(std::errc::permission_denied);
    case ERROR_LOCK_VIOLATION:
    case ERROR_SHARING_VIOLATION: return std::make_error_code(std::errc::resource_unavailable_try_again);
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return std::make_error_code(std::errc::no_space_on_device);
    case ERROR_NOT_SUPPORTED:
    case ERROR_INVALID_FUNCTION: return std::make_error_code(std::errc::operation_not_supported);
    case ERROR_TOO_MANY_LINKS: return std::make_error_code(std::errc::too_many_links);
    case ERROR_FILENAME_EXCED_RANGE: return std::make_error_code(std::errc::filename_too_long);
    default: return {static_cast<int>(error), std::system_category()};
  }
}

std::error_code lastError() { return errorOf(::GetLastError()); }

std::wstring wide(const std::string& path) { return std::filesystem::path(path).wstring(); }

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

class Handle {
 public:
  explicit Handle(HANDLE h) : h_(h) {}
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  ~Handle() { release(); }
  HANDLE get() const { return h_; }
  bool valid() const { return h_ != INVALID_HANDLE_VALUE; }
  std::error_code release() {
    if (!valid()) return {};
    const BOOL ok = ::CloseHandle(h_);
    h_ = INVALID_HANDLE_VALUE;
    return ok ? std::error_code() : lastError();
  }

 private:
  HANDLE h_;
};

FileStatus statusOf(HANDLE h) {
  FileStatus status;
  BY_HANDLE_FILE_INFORMATION info{};
  if (!::GetFileInformationByHandle(h, &info)) return status;
  status.kind = FileKind::Other;
  if (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
    FILE_ATTRIBUTE_TAG_INFO tag{};
    if (::GetFileInformationByHandleEx(h, FileAttributeTagInfo, &tag, sizeof tag) &&
        tag.ReparseTag == IO_REPARSE_TAG_SYMLINK) {
      status.kind = FileKind::Link;
    }
  }
  if (status.kind != FileKind::Link) {
    if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      status.kind = FileKind::Directory;
    } else {
      switch (::GetFileType(h)) {
        case FILE_TYPE_DISK: status.kind = FileKind::Regular; break;
        case FILE_TYPE_CHAR: status.kind = FileKind::Device; break;
        case FILE_TYPE_PIPE: status.kind = FileKind::Fifo; break;
        default: break;
      }
    }
  }
  // Windows keeps one permission of ours: the read-only attribute.
  status.mode = (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) ? 0444u : 0666u;
  status.device = info.dwVolumeSerialNumber;
  status.file = (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
  status.links = info.nNumberOfLinks;
  status.size = (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
  return status;
}

// The files this process holds locked, by path: Windows cannot replace a file
// that is open without the newer rename semantics, so the lock on the file
// being replaced goes just before it is replaced.
std::mutex lockedMutex;
std::map<std::string, HANDLE> lockedFiles;

class WindowsWritableFile final : public WritableFile {
 public:
  explicit WindowsWritableFile(HANDLE h) : h_(h) {}
  std::error_code write(const std::uint8_t* data, std::size_t size) override {
    while (size > 0) {
      const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
      DWORD put = 0;
      if (!::WriteFile(h_.get(), data, chunk, &put, nullptr)) return lastError();
      if (put == 0) return std::make_error_code(std::errc::io_error);
      data += put;
      size -= put;
    }
    return {};
  }
  std::error_code flush() override { return ::FlushFileBuffers(h_.get()) ? std::error_code() : lastError(); }
  // Owners are not ours to set on Windows: a new file inherits its folder's.
  std::error_code setOwner(std::optional<std::uint32_t>, std::optional<std::uint32_t>) override { return {}; }
  std::error_code setMode(unsigned mode) override {
    if ((mode & 0222u) != 0) return {};
    FILE_BASIC_INFO basic{};
    if (!::GetFileInformationByHandleEx(h_.get(), FileBasicInfo, &basic, sizeof basic)) return lastError();
    basic.FileAttributes |= FILE_ATTRIBUTE_READONLY;
    return ::SetFileInformationByHandle(h_.get(), FileBasicInfo, &basic, sizeof basic) ? std::error_code()
                                                                                       : lastError();
  }
  std::error_code close() override { return h_.release(); }

 private:
  Handle h_;
};

// The handle stays in `lockedFiles` while the lock lives; a rename that had to
// close it early marks it closed there.
class WindowsLockedFile final : public LockedFile {
 public:
  WindowsLockedFile(HANDLE h, std::string path) : h_(h), path_(std::move(path)) {
    std::lock_guard<std::mutex> guard(lockedMutex);
    lockedFiles[path_] = h;
  }
  ~WindowsLockedFile() override {
    std::lock_guard<std::mutex> guard(lockedMutex);
    const auto it = lockedFiles.find(path_);
    const bool closedEarly = it != lockedFiles.end() && it->second == INVALID_HANDLE_VALUE;
    if (!closedEarly) ::CloseHandle(h_);
    if (it != lockedFiles.end()) lockedFiles.erase(it);
  }
  FileStatus status() override { return statusOf(h_); }
  std::error_code read(std::uint64_t offset, std::uint8_t* data, std::size_t size, std::size_t& got) override {
    DWORD n = 0;
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    const BOOL ok = ::ReadFile(h_, data, chunk, &n, &at);
    got = ok ? n : 0;
    if (!ok && ::GetLastError() == ERROR_HANDLE_EOF) return {};
    return ok ? std::error_code() : lastError();
  }

 private:
  HANDLE h_;
  std::string path_;
};

class WindowsFileSystem final : public FileSystem {
 public:
  std::error_code status(const std::string& path, FileStatus& out) override {
    out = FileStatus{};
    Handle h(::CreateFileW(wide(path).c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                           FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!h.valid()) {
      const DWORD error = ::GetLastError();
      if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return {};
      return errorOf(error);
    }
    out = statusOf(h.get());
    return {};
  }

  std::error_code readLink(const std::string& path, std::string& target) override {
    std::error_code ec;
    target = std::filesystem::read_symlink(std::filesystem::path(path), ec).string();
    return ec;
  }

  std::error_code checkWritable(const std::string& path) override {
    const DWORD attributes = ::GetFileAttributesW(wide(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return lastError();
    // A folder's own rights show only when a file is created in it.
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY) && (attributes & FILE_ATTRIBUTE_READONLY)) {
      return std::make_error_code(std::errc::permission_denied);
    }
    return {};
  }

  std::error_code createNew(const std::string& path, unsigned, std::unique_ptr<WritableFile>& out) override {
    // CREATE_NEW fails on any existing name, a symbolic link included.
    HANDLE h = ::CreateFileW(wide(path).c_str(), GENERIC_WRITE | GENERIC_READ | DELETE, FILE_SHARE_READ, nullptr,
                             CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return lastError();
    out = std::make_unique<WindowsWritableFile>(h);
    return {};
  }

  std::error_code lock(const std::string& path, std::chrono::milliseconds wait,
                       std::unique_ptr<LockedFile>& out) override {
    HANDLE h = ::CreateFileW(wide(path).c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                             FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (h == INVALID_HANDLE_VALUE) return lastError();
    auto file = std::make_unique<WindowsLockedFile>(h, path);
    const auto giveUp = std::chrono::steady_clock::now() + wait;
    for (;;) {
      OVERLAPPED whole{};
      if (::LockFileEx(h, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD, MAXDWORD, &whole)) break;
      const DWORD error = ::GetLastError();
      if (error == ERROR_NOT_SUPPORTED || error == ERROR_INVALID_FUNCTION) break;  // no locks here
      if (error != ERROR_LOCK_VIOLATION && error != ERROR_IO_PENDING) return errorOf(error);
      if (std::chrono::steady_clock::now() >= giveUp) {
        return std::make_error_code(std::errc::resource_unavailable_try_again);
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    out = std::move(file);
    return {};
  }

  std::error_code rename(const std::string& from, const std::string& to) override {
    const std::wstring source = wide(from);
    const std::wstring target = wide(to);
    if (::MoveFileExW(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return {};
    const DWORD error = ::GetLastError();
    if (error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION) return errorOf(error);
    {
      // Our own lock on the target keeps it open: let it go, then replace.
      std::lock_guard<std::mutex> guard(lockedMutex);
      const auto it = lockedFiles.find(to);
      if (it == lockedFiles.end()) return errorOf(error);
      ::CloseHandle(it->second);
      it->second = INVALID_HANDLE_VALUE;
    }
    return ::MoveFileExW(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
               ? std::error_code()
               : lastError();
  }

  std::error_code link(const std::string& existing, const std::string& to) override {
    return ::CreateHardLinkW(wide(to).c_str(), wide(existing).c_str(), nullptr) ? std::error_code() : lastError();
  }

  std::error_code remove(const std::string& path) override {
    return ::DeleteFileW(wide(path).c_str()) ? std::error_code() : lastError();
  }
};

}  // namespace

FileSystem& realFileSystem() {
  static WindowsFileSystem instance;
  return instance;
}

}  // namespace framestow

#endif  // _WIN32
