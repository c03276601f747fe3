// Output assembly: the movie written again with the planned blocks at the start of frame n.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "analysis/tables.hpp"
#include "planner/plan.hpp"
#include "swfin/movie.hpp"
#include "writer/file_system.hpp"

namespace framestow {

// moveAssets results, as the front ends report them.
enum SaveResult : int {
  kErrorCreatingBackup = 0,  // "ERROR CREATING BACKUP": nothing written
  kFileModified = 1,         // "FILE MODIFIED"
  kErrorWritingFile = 2,     // "ERROR WRITING FILE": the backup, if asked for, was written
};

const char* saveResultText(int result);

struct SaveOptions {
  std::int32_t targetFrame = 1;
  bool optimise = false;    // write ExportAssets tags without their redundant entries
  bool backup = true;       // keep the file as loaded under the backup name first
  std::string outputPath;   // empty: replace the loaded file
  std::string backupPath;   // empty: the backup name derived from the loaded path
};

// The uncompressed movie a plan produces, as runs of bytes that lie in memory
// already (mostly the loaded movie's own), in the order they are written, and
// the file length that goes over the header's length field. Saving writes or
// deflates the runs without putting the movie together in a buffer of its own.
class AssembledMovie {
 public:
  struct Run {
    const std::uint8_t* bytes;
    std::size_t size;
    std::size_t start;  // offset in the movie
  };
  std::size_t size() const { return size_; }
  // Copies the movie's bytes [offset, offset + count) into `out`.
  void copy(std::size_t offset, std::uint8_t* out, std::size_t count) const;
  // The whole movie in one buffer.
  std::vector<std::uint8_t> bytes() const;
  // Hands the movie to `write(data, size)` in order: runs of at least
  // kDirectWrite bytes straight from where they lie, the rest gathered into
  // `buffer` (`bufferSize` bytes) first. False at the first failed write.
  template <typename Write>
  bool writePieces(std::uint8_t* buffer, std::size_t bufferSize, Write&& write) const;
  static constexpr std::size_t kDirectWrite = 64 * 1024;

  // For the assembler: one more run, and the file length written at `at`.
  void appendRun(const std::uint8_t* bytes, std::size_t size) {
    runs_.push_back(Run{bytes, size, size_});
    size_ += size;
  }
  void setFileLength(std::size_t at, std::uint32_t length) {
    patchAt_ = at;
    for (std::size_t i = 0; i < patch_.size(); ++i) patch_[i] = static_cast<std::uint8_t>(length >> (8 * i));
  }

 private:
  std::vector<Run> runs_;
  std::size_t size_ = 0;
  std::size_t patchAt_ = 4;
  std::array<std::uint8_t, 4> patch_{};
};

template <typename Write>
bool AssembledMovie::writePieces(std::uint8_t* buffer, std::size_t bufferSize, Write&& write) const {
  std::size_t gathered = 0;
  auto flush = [&] {
    const bool ok = gathered == 0 || write(static_cast<const std::uint8_t*>(buffer), gathered);
    gathered = 0;
    return ok;
  };
  for (const Run& run : runs_) {
    const bool patched = run.start < patchAt_ + patch_.size() && patchAt_ < run.start + run.size;
    if (run.size >= kDirectWrite && !patched) {
      if (!flush() || !write(run.bytes, run.size)) return false;
      continue;
    }
    for (std::size_t done = 0; done < run.size;) {
      if (gathered == bufferSize && !flush()) return false;
      const std::size_t take = std::min(run.size - done, bufferSize - gathered);
      copy(run.start + done, buffer + gathered, take);  // the file length goes in here
      gathered += take;
      done += take;
    }
  }
  return flush();
}

// The movie the plan produces, as runs; the runs point into `movie` and
// `analysis`, which must outlive the result. Nothing when it cannot be
// written (see assembleMovie).
std::optional<AssembledMovie> assembleRuns(const LoadedMovie& movie, const Analysis& analysis, const Plan& plan,
                                           std::int32_t targetFrame, bool optimise);

// The uncompressed movie the plan produces (signature still "FWS"), or nothing
// when the movie cannot be written (not analysed, tags past the data).
std::optional<std::vector<std::uint8_t>> assembleMovie(const LoadedMovie& movie, const Analysis& analysis,
                                                       const Plan& plan, std::int32_t targetFrame,
                                                       bool optimise);

// The bytes of the file to write: the assembled movie, deflated again at level 9
// when the input was "CWS". Nothing when deflate fails.
std::optional<std::vector<std::uint8_t>> encodeMovie(const LoadedMovie& movie,
                                                     std::vector<std::uint8_t> uncompressed);

// The same from an assembled movie, read a megabyte at a time: the "CWS"
// file (the same bytes), or nothing when the input was "FWS" or deflate fails.
std::optional<std::vector<std::uint8_t>> encodeMovie(const LoadedMovie& movie, const AssembledMovie& uncompressed);

// Writes `bytes` to `path` through a temporary file beside it, flushed and
// renamed over the target, keeping the target's permission bits. On failure
// the target is untouched and no temporary file remains.
bool replaceFileAtomically(FileSystem& fs, const std::string& path, const std::uint8_t* data, std::size_t size);
// The same for an assembled movie, written in the same chunks.
bool replaceFileAtomically(FileSystem& fs, const std::string& path, const AssembledMovie& movie);

// Backup, assembly, recompression and replacement. Returns a SaveResult.
int moveAssets(const LoadedMovie& movie, const Analysis& analysis, const Plan& plan, const SaveOptions& options,
               FileSystem& fs = realFileSystem());

// The backup name: the path without its last four characters, then "_old.swf".
std::string backupNameFor(const std::string& path);

}  // namespace framestow
