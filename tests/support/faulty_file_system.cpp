#include "support/faulty_file_system.hpp"

namespace framestow::test {
namespace {

class FaultyFile final : public WritableFile {
 public:
  FaultyFile(FaultyFileSystem& fs, std::unique_ptr<WritableFile> real, std::string path)
      : fs_(fs), real_(std::move(real)), path_(std::move(path)) {}

  bool write(const std::uint8_t* data, std::size_t size) override {
    // A failed write may still have put part of the data into the file.
    if (!fs_.step("write " + path_)) {
      real_->write(data, size / 2);
      return false;
    }
    return real_->write(data, size);
  }
  bool flush() override { return fs_.step("flush " + path_) && real_->flush(); }
  bool close() override {
    // The descriptor goes either way, as with a real close that reports an error.
    const bool closed = real_->close();
    return fs_.step("close " + path_) && closed;
  }

 private:
  FaultyFileSystem& fs_;
  std::unique_ptr<WritableFile> real_;
  std::string path_;
};

}  // namespace

bool FaultyFileSystem::step(const std::string& what) {
  steps_.push_back(what);
  return static_cast<int>(steps_.size()) - 1 != failAt_;
}

std::unique_ptr<WritableFile> FaultyFileSystem::createNew(const std::string& path) {
  if (!step("create " + path)) return nullptr;
  auto file = real_.createNew(path);
  if (!file) return nullptr;
  return std::make_unique<FaultyFile>(*this, std::move(file), path);
}

bool FaultyFileSystem::rename(const std::string& from, const std::string& to) {
  return step("rename " + from + " -> " + to) && real_.rename(from, to);
}

bool FaultyFileSystem::setPermissions(const std::string& path, unsigned bits) {
  return step("set-permissions " + path) && real_.setPermissions(path, bits);
}

}  // namespace framestow::test
