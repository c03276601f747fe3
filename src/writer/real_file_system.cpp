// The machine's file system, with the few calls that differ between systems
// kept in this file.
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "writer/file_system.hpp"

#if defined(_WIN32)
#include <io.h>
#else
#include <unistd.h>
#endif

namespace framestow {
namespace {

namespace fs = std::filesystem;

// Asks the system to put a file's bytes on the disk before we rename it.
bool syncToDisk(std::FILE* file) {
#if defined(_WIN32)
  return _commit(_fileno(file)) == 0;
#else
  return fsync(fileno(file)) == 0;
#endif
}

class StdioFile final : public WritableFile {
 public:
  explicit StdioFile(std::FILE* file) : file_(file) {}
  ~StdioFile() override {
    if (file_ != nullptr) std::fclose(file_);
  }
  bool write(const std::uint8_t* data, std::size_t size) override {
    return file_ != nullptr && std::fwrite(data, 1, size, file_) == size;
  }
  bool flush() override { return file_ != nullptr && std::fflush(file_) == 0 && syncToDisk(file_); }
  bool close() override {
    if (file_ == nullptr) return false;
    const bool ok = std::fclose(file_) == 0;
    file_ = nullptr;
    return ok;
  }

 private:
  std::FILE* file_;
};

class RealFileSystem final : public FileSystem {
 public:
  std::unique_ptr<WritableFile> createNew(const std::string& path) override {
    // "x": fail if the file exists, so a temporary name never clobbers anything.
    std::FILE* file = std::fopen(path.c_str(), "wbx");
    if (file == nullptr) return nullptr;
    return std::make_unique<StdioFile>(file);
  }
  bool rename(const std::string& from, const std::string& to) override {
    std::error_code ec;
    fs::rename(from, to, ec);
    return !ec;
  }
  bool remove(const std::string& path) override {
    std::error_code ec;
    return fs::remove(path, ec) && !ec;
  }
  bool exists(const std::string& path) override {
    std::error_code ec;
    return fs::exists(path, ec);
  }
  std::optional<unsigned> permissions(const std::string& path) override {
    std::error_code ec;
    const auto status = fs::status(path, ec);
    if (ec || !fs::exists(status)) return std::nullopt;
    return static_cast<unsigned>(status.permissions() & fs::perms::mask);
  }
  bool setPermissions(const std::string& path, unsigned bits) override {
    std::error_code ec;
    fs::permissions(path, static_cast<fs::perms>(bits) & fs::perms::mask, fs::perm_options::replace, ec);
    return !ec;
  }
};

}  // namespace

FileSystem& realFileSystem() {
  static RealFileSystem instance;
  return instance;
}

}  // namespace framestow
