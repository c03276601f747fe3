#include "support/fault_injecting_file_system.hpp"

#include <filesystem>

namespace framestow::test {
namespace {

class FaultInjectingFile final : public WritableFile {
 public:
  FaultInjectingFile(FaultInjectingFileSystem& fs, std::unique_ptr<WritableFile> real, std::string path)
      : fs_(fs), real_(std::move(real)), path_(std::move(path)) {}

  std::error_code write(const std::uint8_t* data, std::size_t size) override {
    // A failed write may still have put part of the data into the file.
    if (std::error_code error = fs_.step("write " + path_, true)) {
      real_->write(data, size / 2);
      return error;
    }
    return real_->write(data, size);
  }
  std::error_code flush() override {
    if (std::error_code error = fs_.step("flush " + path_, true)) return error;
    return real_->flush();
  }
  std::error_code setOwner(std::optional<std::uint32_t> owner, std::optional<std::uint32_t> group) override {
    if (fs_.ownerChangesFail) return std::make_error_code(std::errc::operation_not_permitted);
    return real_->setOwner(owner, group);
  }
  std::error_code setMode(unsigned mode) override {
    if (std::error_code error = fs_.step("set-mode " + path_)) return error;
    return real_->setMode(mode);
  }
  std::error_code close() override {
    // The descriptor goes either way, as with a real close that reports an error.
    const std::error_code closed = real_->close();
    if (std::error_code error = fs_.step("close " + path_, true)) return error;
    return closed;
  }

 private:
  FaultInjectingFileSystem& fs_;
  std::unique_ptr<WritableFile> real_;
  std::string path_;
};

std::string folderOf(const std::string& path) {
  const std::string folder = std::filesystem::path(path).parent_path().string();
  return folder.empty() ? "." : folder;
}

const std::error_code kPermissionDenied = std::make_error_code(std::errc::permission_denied);

}  // namespace

std::error_code FaultInjectingFileSystem::step(const std::string& what, bool dataStep) {
  steps_.push_back(what);
  const int index = static_cast<int>(steps_.size()) - 1;
  const bool fails = index == failAt_ || (diskFull && dataStep && failAt_ >= 0 && index >= failAt_);
  return fails ? error_ : std::error_code();
}

std::error_code FaultInjectingFileSystem::checkWritable(const std::string& path) {
  if (!readOnlyFolder.empty() && path == readOnlyFolder) return kPermissionDenied;
  return real_.checkWritable(path);
}

std::error_code FaultInjectingFileSystem::createNew(const std::string& path, unsigned mode,
                                            std::unique_ptr<WritableFile>& out) {
  if (std::error_code error = step("create " + path)) return error;
  if (!readOnlyFolder.empty() && folderOf(path) == readOnlyFolder) return kPermissionDenied;
  std::unique_ptr<WritableFile> file;
  if (std::error_code error = real_.createNew(path, mode, file)) return error;
  out = std::make_unique<FaultInjectingFile>(*this, std::move(file), path);
  return {};
}

std::error_code FaultInjectingFileSystem::lock(const std::string& path, std::chrono::milliseconds,
                                       std::unique_ptr<LockedFile>& out) {
  if (std::error_code error = step("lock " + path)) return error;
  return real_.lock(path, std::chrono::milliseconds(0), out);
}

std::error_code FaultInjectingFileSystem::rename(const std::string& from, const std::string& to) {
  if (std::error_code error = step("rename " + from + " -> " + to)) return error;
  return real_.rename(from, to);
}

std::error_code FaultInjectingFileSystem::link(const std::string& existing, const std::string& to) {
  if (std::error_code error = step("link " + existing + " -> " + to)) return error;
  if (linksFail) return std::make_error_code(std::errc::operation_not_permitted);
  return real_.link(existing, to);
}

}  // namespace framestow::test
