#include "writer/replace_file.hpp"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <random>
#include <vector>

#include "writer/save_target.hpp"
#include "writer/writer.hpp"

namespace framestow {
namespace {

constexpr std::size_t kWriteChunk = 1 << 20;
// Temporary names are random, so a taken one is a rare accident; the bound
// only stops a folder that refuses every name with "exists" from looping.
constexpr int kTemporaryAttempts = 64;
// Backups already kept under numbered names, the first free one wins.
constexpr int kBackupNames = 10000;
constexpr unsigned kSetUserId = 04000;
constexpr unsigned kSetGroupId = 02000;

std::string randomName() {
  static thread_local std::mt19937_64 generator(
      std::random_device{}() ^
      static_cast<std::uint64_t>(std::chrono::high_resolution_clock::now().time_since_epoch().count()));
  static constexpr char kHex[] = "0123456789abcdef";
  std::string name = ".fstw-";
  std::uint64_t bits = generator();
  for (int i = 0; i < 12; ++i, bits >>= 4) name += kHex[bits & 15];
  return name + ".tmp";
}

// Errors that say this file system gives a file no second name.
bool cannotLink(const std::error_code& error) {
  return error == std::errc::operation_not_permitted || error == std::errc::operation_not_supported ||
         error == std::errc::function_not_supported || error == std::errc::too_many_links ||
         error == std::errc::cross_device_link;
}

// A copy of the file `held` under the new name `name`, complete or not there at all.
std::error_code copyBackup(FileSystem& fs, const std::string& name, LockedFile& held) {
  const FileStatus original = held.status();
  std::unique_ptr<WritableFile> file;
  if (std::error_code error = fs.createNew(name, 0600, file)) return error;
  const TemporaryFileRecord inProgress(name);  // a copy cut short is no backup
  std::vector<std::uint8_t> chunk(kWriteChunk);
  std::error_code error;
  for (std::uint64_t at = 0; !error;) {
    std::size_t got = 0;
    error = held.read(at, chunk.data(), chunk.size(), got);
    if (error || got == 0) break;
    error = file->write(chunk.data(), got);
    at += got;
  }
  if (!error) error = file->flush();
  if (!error) error = takeOwnerAndMode(*file, original);
  const std::error_code closed = file->close();
  if (!error) error = closed;
  if (error) fs.remove(name);
  return error;
}

}  // namespace

std::error_code createTemporary(FileSystem& fs, const std::string& folder, unsigned mode, TemporaryFile& out) {
  std::error_code error;
  for (int attempt = 0; attempt < kTemporaryAttempts; ++attempt) {
    out.path = (std::filesystem::path(folder) / randomName()).string();
    // Listed before it is made, so that an interruption right after finds it.
    // A random name is free (the creation below fails, and the name leaves the
    // list, in the rare case that it is not).
    out.record = std::make_unique<TemporaryFileRecord>(out.path);
    error = fs.createNew(out.path, mode, out.file);
    if (!error) return {};
    out.record.reset();
    if (error != std::errc::file_exists) return error;
  }
  return error;
}

std::error_code takeOwnerAndMode(WritableFile& file, const FileStatus& original) {
  unsigned mode = original.mode;
  if (original.owner || original.group) {
    // The owner first: changing it can clear the setuid and setgid bits.
    if (file.setOwner(original.owner, original.group)) {
      mode &= ~(kSetUserId | kSetGroupId);
      file.setOwner(std::nullopt, original.group);  // the group at least, where that is allowed
    }
  }
  return file.setMode(mode);
}

SaveProblem keepBackup(FileSystem& fs, const std::string& path, LockedFile& held, std::string& backupPath) {
  bool copying = false;
  for (int number = 1; number <= kBackupNames; ++number) {
    const std::string name = numberedBackupName(path, number);
    std::error_code error;
    if (!copying) {
      error = fs.link(path, name);
      if (error && cannotLink(error)) copying = true;
    }
    if (copying) error = copyBackup(fs, name, held);
    if (!error) {
      backupPath = name;
      return {};
    }
    if (error != std::errc::file_exists) return SaveProblem::system(error, name);
  }
  return SaveProblem::of(SaveProblem::Kind::kNoFreeBackupName, path, numberedBackupName(path, kBackupNames));
}

}  // namespace framestow
