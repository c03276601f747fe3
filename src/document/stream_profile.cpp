#include "document/stream_profile.hpp"

#include <algorithm>
#include <memory>

#include "common/file_header.hpp"
#include "swfin/arrival_positions.hpp"
#include "swfin/lzma_body.hpp"
#include "writer/writer.hpp"

namespace framestow {
namespace {

// Reads a movie file as it streams in, in pieces of any size, and notes where
// each frame's end arrives.
class FileArrivals {
 public:
  // `frameEnds`: where each frame ends in the uncompressed movie.
  FileArrivals(Compression compression, std::uint64_t movieSize, std::vector<std::uint64_t> frameEnds)
      : movieSize_(movieSize), frameEnds_(std::move(frameEnds)) {
    profile_.compression = compression;
    headerSize_ = compression == Compression::kZlib   ? kFileHeaderSize
                  : compression == Compression::kLzma ? kLzmaHeaderSize
                                                      : 0;
  }

  bool take(const std::uint8_t* data, std::size_t size) {
    profile_.fileSize += size;
    if (headerSize_ == 0 || failed_) return !failed_;
    // The file header (and an LZMA body's length and properties) first.
    const std::size_t headerPart = std::min(size, headerSize_ - std::min(headerSize_, header_.size()));
    header_.insert(header_.end(), data, data + headerPart);
    if (header_.size() < headerSize_) return true;
    if (!tracker_ && !startTracker()) return false;
    if (!tracker_->feed(data + headerPart, size - headerPart)) failed_ = true;
    return !failed_;
  }

  std::optional<StreamProfile> finish() {
    if (headerSize_ == 0) {
      for (std::uint64_t end : frameEnds_) profile_.frameArrivals.push_back(std::min(end, profile_.fileSize));
      return std::move(profile_);
    }
    if (failed_ || (!frameEnds_.empty() && (!tracker_ || !tracker_->allReached()))) return std::nullopt;
    if (tracker_) {
      for (std::uint64_t at : tracker_->positions()) profile_.frameArrivals.push_back(headerSize_ + at);
    }
    return std::move(profile_);
  }

 private:
  bool startTracker() {
    // The decoded body starts after the 8-byte file header.
    std::vector<std::uint64_t> lengths;
    lengths.reserve(frameEnds_.size());
    for (std::uint64_t end : frameEnds_) lengths.push_back(end > kFileHeaderSize ? end - kFileHeaderSize : 0);
    const std::uint64_t bodySize = movieSize_ > kFileHeaderSize ? movieSize_ - kFileHeaderSize : 0;
    if (profile_.compression == Compression::kZlib) {
      tracker_ = ArrivalTracker::forZlib(std::move(lengths));
    } else {
      tracker_ = ArrivalTracker::forLzma(std::span(header_).subspan(kLzmaHeaderSize - 5), bodySize, std::move(lengths));
    }
    failed_ = tracker_ == nullptr;
    return !failed_;
  }

  std::uint64_t movieSize_;
  std::vector<std::uint64_t> frameEnds_;
  std::size_t headerSize_ = 0;
  std::vector<std::uint8_t> header_;
  std::unique_ptr<ArrivalTracker> tracker_;
  bool failed_ = false;
  StreamProfile profile_;
};

std::vector<std::uint64_t> loadedFrameEnds(const MovieIndex& index) {
  std::vector<std::uint64_t> ends;
  for (std::size_t f = 1; f < index.frameEnds.size(); ++f) {
    const std::int32_t block = index.frameEnds[f];
    if (block > 0) ends.push_back(index.blockEnd(static_cast<std::size_t>(block)));
  }
  return ends;
}

}  // namespace

std::optional<StreamProfile> profileOfLoadedFile(const LoadedMovie& movie, const MovieIndex& index) {
  if (!movie.loaded() || movie.headerOnly || !index.analysed()) return std::nullopt;
  const auto file = movie.fileAsRead();
  FileArrivals arrivals(movie.header.compression, movie.header.fileLength, loadedFrameEnds(index));
  if (!arrivals.take(file.data(), file.size())) return std::nullopt;
  return arrivals.finish();
}

std::optional<StreamProfile> profileOfSave(const LoadedMovie& movie, const MovieIndex& index, const Plan& plan,
                                           std::int32_t n, bool optimise, std::optional<Compression> compression) {
  // The frame ends come from the assembly; the file's bytes from the save's
  // own way of writing it, handed to a counter instead of a file.
  const auto assembled = assembleRuns(movie, index, plan, n, optimise);
  if (!assembled) return std::nullopt;
  FileArrivals arrivals(compression.value_or(movie.header.compression), assembled->size(), assembled->frameEnds());
  bool taken = true;
  const WriteOutcome outcome = writeMovie(
      movie, index, plan, n, optimise,
      [&](const std::uint8_t* data, std::size_t size) {
        taken = taken && arrivals.take(data, size);
        return std::error_code{};
      },
      movie.path, compression);
  if (outcome.result != kFileModified || !taken) return std::nullopt;
  return arrivals.finish();
}

}  // namespace framestow
