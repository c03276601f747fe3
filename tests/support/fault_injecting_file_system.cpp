#include "support/fault_injecting_file_system.hpp"

namespace framestow::test {
namespace {

class MemoryFile final : public WritableFile {
 public:
  MemoryFile(FaultInjectingFileSystem& fs, std::string path) : fs_(fs), path_(std::move(path)) {}
  bool write(const std::uint8_t* data, std::size_t size) override {
    const bool ok = fs_.step("write " + path_);
    // A file removed meanwhile takes no more bytes.
    if (auto file = fs_.files.find(path_); file != fs_.files.end() && !closed_) file->second.bytes.insert(file->second.bytes.end(), data, data + (ok ? size : size / 2));
    return ok;
  }
  bool flush() override { return fs_.step("flush " + path_) && !closed_; }
  bool close() override {
    const bool wasOpen = !std::exchange(closed_, true);
    return fs_.step("close " + path_) && wasOpen;
  }

 private:
  FaultInjectingFileSystem& fs_;
  std::string path_;
  bool closed_ = false;
};

}  // namespace

bool FaultInjectingFileSystem::step(const std::string& what) {
  steps.push_back(what);
  const int index = static_cast<int>(steps.size()) - 1;
  const bool dataStep = what.rfind("write ", 0) == 0 || what.rfind("flush ", 0) == 0 || what.rfind("close ", 0) == 0;
  const bool fails = index == failAt_ || (diskFull_ && failAt_ >= 0 && index > failAt_ && dataStep);
  if (fails && failed_ < 0) failed_ = index;
  return !fails;
}

std::unique_ptr<WritableFile> FaultInjectingFileSystem::createNew(const std::string& path) {
  if (!step("create " + path) || !files.emplace(path, File{}).second) return nullptr;
  return std::make_unique<MemoryFile>(*this, path);
}

bool FaultInjectingFileSystem::rename(const std::string& from, const std::string& to) {
  if (!step("rename " + from + " -> " + to) || files.count(from) == 0) return false;
  files[to] = files[from];
  return files.erase(from) == 1;
}

std::optional<unsigned> FaultInjectingFileSystem::permissions(const std::string& path) {
  return files.count(path) != 0 ? std::optional<unsigned>(files[path].permissions) : std::nullopt;
}

bool FaultInjectingFileSystem::setPermissions(const std::string& path, unsigned bits) {
  if (!step("set-permissions " + path) || files.count(path) == 0) return false;
  files[path].permissions = bits;
  return true;
}

}  // namespace framestow::test
