// Replacing a file in one step: a failed save never leaves a damaged movie.
#include <algorithm>
#include <filesystem>
#include <memory>

#include "common/byte_text.hpp"
#include "writer/writer.hpp"

namespace framestow {
namespace {

constexpr std::size_t kWriteChunk = 1 << 20;
constexpr unsigned kOwnerWrite = 0200;

// Names tried for the temporary file. Interrupted saves (a kill, a power
// cut) leave their temporary files behind, and those are not ours to delete,
// so there is room for many before a save gives up.
constexpr int kTemporaryNames = 100000;

std::unique_ptr<WritableFile> createTemporary(FileSystem& fs, const std::string& target, std::string& tempPath) {
  // Beside the target, so that the final rename stays on one file system.
  for (int attempt = 0; attempt < kTemporaryNames; ++attempt) {
    tempPath = target + formatText(".framestow-%d.tmp", attempt);
    if (fs.exists(tempPath)) continue;
    if (auto file = fs.createNew(tempPath)) return file;
    // Another name is tried only when someone took this one meanwhile; any
    // other failure (no room, no right to write here) is the save's failure.
    if (!fs.exists(tempPath)) return nullptr;
  }
  return nullptr;
}

// Writes the file through `writeBody(file)` under a temporary name, then puts
// it in the place of `path`.
template <typename WriteBody>
bool replaceWith(FileSystem& fs, const std::string& path, WriteBody writeBody) {
  const std::optional<unsigned> permissions = fs.permissions(path);
  // A movie the author made read-only is not ours to replace.
  if (permissions && (*permissions & kOwnerWrite) == 0) return false;

  std::string tempPath;
  std::unique_ptr<WritableFile> file = createTemporary(fs, path, tempPath);
  if (!file) return false;
  bool ok = writeBody(*file);
  ok = ok && file->flush();
  const bool closed = file->close();
  ok = ok && closed;
  if (ok && permissions) ok = fs.setPermissions(tempPath, *permissions);
  ok = ok && fs.rename(tempPath, path);
  if (!ok) fs.remove(tempPath);
  return ok;
}

}  // namespace

bool replaceFileAtomically(FileSystem& fs, const std::string& path, const std::uint8_t* data, std::size_t size) {
  return replaceWith(fs, path, [&](WritableFile& file) {
    for (std::size_t done = 0; done < size; done += kWriteChunk) {
      if (!file.write(data + done, std::min(kWriteChunk, size - done))) return false;
    }
    return true;
  });
}

bool replaceFileAtomically(FileSystem& fs, const std::string& path, const AssembledMovie& movie) {
  // Short runs are gathered into one reused buffer, left uninitialised: every
  // byte written is copied in first. It is kept small, so that it comes from
  // memory the process already has: a fresh megabyte costs more page faults
  // than the extra writes of a small buffer cost calls.
  const std::size_t bufferSize = std::max<std::size_t>(1, std::min(AssembledMovie::kDirectWrite, movie.size()));
  const std::unique_ptr<std::uint8_t[]> buffer(new std::uint8_t[bufferSize]);
  return replaceWith(fs, path, [&](WritableFile& file) {
    return movie.writePieces(buffer.get(), bufferSize,
                             [&](const std::uint8_t* data, std::size_t size) { return file.write(data, size); });
  });
}

}  // namespace framestow
