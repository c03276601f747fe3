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

// Writes a file of `size` bytes whose chunk at `offset` of `count` bytes
// (at most kWriteChunk) `chunkAt` gives.
template <typename ChunkAt>
bool replaceWith(FileSystem& fs, const std::string& path, std::size_t size, ChunkAt chunkAt) {
  const std::optional<unsigned> permissions = fs.permissions(path);
  // A movie the author made read-only is not ours to replace.
  if (permissions && (*permissions & kOwnerWrite) == 0) return false;

  std::string tempPath;
  std::unique_ptr<WritableFile> file = createTemporary(fs, path, tempPath);
  if (!file) return false;
  bool ok = true;
  for (std::size_t done = 0; ok && done < size; done += kWriteChunk) {
    const std::size_t count = std::min(kWriteChunk, size - done);
    ok = file->write(chunkAt(done, count), count);
  }
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
  return replaceWith(fs, path, size, [&](std::size_t offset, std::size_t) { return data + offset; });
}

bool replaceFileAtomically(FileSystem& fs, const std::string& path, const AssembledMovie& movie) {
  // Each chunk is gathered from the movie's runs into one reused buffer,
  // left uninitialised: every byte written is copied in first.
  const std::unique_ptr<std::uint8_t[]> chunk(new std::uint8_t[std::max<std::size_t>(1, std::min(kWriteChunk, movie.size()))]);
  return replaceWith(fs, path, movie.size(), [&](std::size_t offset, std::size_t count) {
    movie.copy(offset, chunk.get(), count);
    return static_cast<const std::uint8_t*>(chunk.get());
  });
}

}  // namespace framestow
