// Output assembly: the movie written again with the planned blocks at the start of frame n.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <system_error>
#include <vector>

#include "analysis/movie_index.hpp"
#include "common/compression.hpp"
#include "common/file_header.hpp"
#include "planner/plan.hpp"
#include "swfin/movie.hpp"
#include "writer/file_system.hpp"
#include "writer/fingerprint.hpp"
#include "writer/save_outcome.hpp"
#include "writer/temporary_files.hpp"

namespace framestow {

// Receives the bytes of a saved movie in order.
using ByteSink = std::function<std::error_code(const std::uint8_t* data, std::size_t size)>;

struct SaveOptions {
  std::int32_t targetFrame = 1;
  bool optimise = false;    // write ExportAssets tags without their redundant entries
  bool backup = true;       // when replacing the loaded file, keep it under a backup name
  std::string outputPath;   // empty, or naming the loaded file: replace the loaded file
  // What an earlier save of this loaded movie wrote over its file, if one did
  // (without it the file must still be the one loaded), and after a save that
  // replaced the loaded file, what this one wrote there.
  std::optional<WrittenFile>* lastWrite = nullptr;
  // How the saved file is compressed; nothing: as the loaded file was.
  std::optional<Compression> compression;
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

  // For the assembler: one more run, and the file header written over the
  // first bytes once the movie is complete (its file length is the movie's).
  void appendRun(const std::uint8_t* bytes, std::size_t size) {
    runs_.push_back(Run{bytes, size, size_});
    size_ += size;
  }
  // Where frame f of the main timeline ends in the movie (frameEnds()[f - 1]):
  // one past its ShowFrame tag.
  const std::vector<std::uint64_t>& frameEnds() const { return frameEnds_; }
  void appendFrameEnd(std::uint64_t end) { frameEnds_.push_back(end); }
  // Bytes made for this movie (the parts of a split ExportAssets tag), kept
  // as long as the movie; returns where they lie.
  const std::uint8_t* own(std::vector<std::uint8_t> bytes) {
    owned_.push_back(std::move(bytes));
    return owned_.back().data();
  }
  void setFileHeader(std::span<const std::uint8_t> signatureAndVersion, std::uint32_t length) {
    std::copy_n(signatureAndVersion.begin(), kFileLengthOffset, header_.begin());
    writeFileLength(header_, length);
  }

 private:
  std::vector<Run> runs_;
  std::deque<std::vector<std::uint8_t>> owned_;  // a deque: what it holds never moves
  std::size_t size_ = 0;
  std::vector<std::uint64_t> frameEnds_;
  std::array<std::uint8_t, kFileHeaderSize> header_{};
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
    const bool patched = run.start < header_.size();
    if (run.size >= kDirectWrite && !patched) {
      if (!flush() || !write(run.bytes, run.size)) return false;
      continue;
    }
    for (std::size_t done = 0; done < run.size;) {
      if (gathered == bufferSize && !flush()) return false;
      const std::size_t take = std::min(run.size - done, bufferSize - gathered);
      copy(run.start + done, buffer + gathered, take);  // the file header goes in here
      gathered += take;
      done += take;
    }
  }
  return flush();
}

// The movie the plan produces, as runs; the runs point into `movie` and
// `analysis`, which must outlive the result. Nothing when it cannot be
// written (see assembleMovie).
std::optional<AssembledMovie> assembleRuns(const LoadedMovie& movie, const MovieIndex& analysis, const Plan& plan,
                                           std::int32_t targetFrame, bool optimise);

// The uncompressed movie the plan produces (signature still "FWS"), or nothing
// when the movie cannot be written (not analysed, tags past the data).
std::optional<std::vector<std::uint8_t>> assembleMovie(const LoadedMovie& movie, const MovieIndex& analysis,
                                                       const Plan& plan, std::int32_t targetFrame,
                                                       bool optimise);

// Saves the movie the plan produces. The file replaced is the loaded one, or
// `outputPath` when that names another file; symbolic links are followed to
// the real file, which is replaced in its own folder. Before anything is
// written the target must be a regular file (or a new name) that may be
// replaced, held under an exclusive lock against other saves, and (for the
// loaded movie) still exactly the file that was loaded. The new movie goes to
// a temporary file beside it, gets the original's owner and mode, and is
// renamed over it; a backup of the loaded movie takes the first free numbered
// name. A failure leaves every file as it was. Replacing the loaded movie by
// the same movie writes nothing (kAlreadyLaidOut).
WriteOutcome saveMovie(const LoadedMovie& movie, const MovieIndex& analysis, const Plan& plan, const SaveOptions& options,
                       FileSystem& fs = realFileSystem());

// The "CWS" file of an assembled movie, handed to `put` piece by piece as
// deflate (level 9) produces it. The first failed put's error; `deflateFailed`
// when deflate itself failed.
std::error_code deflateMovie(const AssembledMovie& movie, const ByteSink& put, bool& deflateFailed);

// The "ZWS" file of an assembled movie: its header, the LZMA data's length
// and properties, then the data (with its end marker). The first failed
// put's error; `encodeFailed` when the encoder itself failed.
std::error_code lzmaMovie(const AssembledMovie& movie, const ByteSink& put, bool& encodeFailed);

// The saved movie handed to `sink` instead of a file (no backup, nothing on
// disk touched). `destination` names the sink in a failure's reason.
WriteOutcome writeMovie(const LoadedMovie& movie, const MovieIndex& analysis, const Plan& plan, std::int32_t targetFrame,
                        bool optimise, const ByteSink& sink, const std::string& destination,
                        std::optional<Compression> compression = std::nullopt);

// The backup name: the path without its last four characters, then "_old.swf".
std::string backupNameFor(const std::string& path);
// The backup names in the order they are tried: 1 is backupNameFor(path),
// then name_old_2.swf, name_old_3.swf, ...
std::string numberedBackupName(const std::string& path, int number);

}  // namespace framestow
