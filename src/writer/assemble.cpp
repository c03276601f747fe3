// Puts the movie together again with the held-back blocks at the start of frame n.
#include <algorithm>
#include <cstring>

#include "common/tag_codes.hpp"
#include "planner/block_moves.hpp"
#include "planner/planner.hpp"
#include "writer/export_split.hpp"
#include "writer/writer.hpp"

namespace framestow {
namespace {

constexpr std::uint8_t kZeroLength[4] = {0, 0, 0, 0};
// The block of the header's file length field: written when the new length is known.
constexpr std::size_t kFileLengthBlock = 1;

class Assembler {
 public:
  Assembler(const LoadedMovie& movie, const MovieIndex& analysis, bool optimise)
      : movie_(movie), a_(analysis), data_(movie.bytes()), optimise_(optimise) {}

  void writeBlock(std::size_t j) {
    if (j == kFileLengthBlock) {
      // Patched once the length of what is written is known.
      flush();
      append(kZeroLength, 4);
      flush();
      return;
    }
    const std::uint16_t code = a_.tagCode(j);
    if (optimise_ && code == kExportAssets && j > static_cast<std::size_t>(prefixEnd_)) {
      const auto copy = a_.reducedExports.find(static_cast<std::uint32_t>(j));
      if (copy != a_.reducedExports.end()) {
        append(copy->second.bytes.data(), copy->second.bytes.size());
        return;
      }
    }
    const std::uint32_t offset = a_.offset(j);
    std::uint64_t length = std::uint64_t{a_.headerSize(j)} + a_.bodySize(j);
    if (code == kEnd && a_.headerSize(j) != 0 && j + 2 == a_.blocks.size() && a_.timeline(j) == 0) {
      // The main End tag carries whatever follows it up to the declared
      // length, so that nothing inside the movie is lost.
      length = movie_.header.fileLength - offset;
    }
    append(data_.data() + offset, static_cast<std::size_t>(length));
    if (code == kShowFrame && a_.timeline(j) == 0) out_.appendFrameEnd(out_.size() + pendingSize_);
  }

  // Blocks that follow each other in memory make one run: most of a movie
  // keeps its order, and a movie can have millions of small tags.
  void append(const std::uint8_t* bytes, std::size_t size) {
    if (pending_ + pendingSize_ == bytes) {
      pendingSize_ += size;
      return;
    }
    flush();
    pending_ = bytes;
    pendingSize_ = size;
  }

  void flush() {
    if (pendingSize_ > 0) out_.appendRun(pending_, pendingSize_);
    pending_ = nullptr;
    pendingSize_ = 0;
  }

  // Bytes made for the new movie, written in order like a block.
  void writeMade(std::vector<std::uint8_t> bytes) {
    const std::size_t size = bytes.size();
    append(out_.own(std::move(bytes)), size);
  }

  // The ExportAssets tag at block j as writeBlock would write it.
  std::span<const std::uint8_t> exportTagOf(std::size_t j) const {
    if (optimise_) {
      const auto copy = a_.reducedExports.find(static_cast<std::uint32_t>(j));
      if (copy != a_.reducedExports.end()) return copy->second.bytes;
    }
    return data_.subspan(a_.offset(j), std::size_t{a_.headerSize(j)} + a_.bodySize(j));
  }

  AssembledMovie finish() {
    flush();
    // The file length is the uncompressed length of the movie as written.
    out_.setFileHeader(data_, static_cast<std::uint32_t>(out_.size()));
    return std::move(out_);
  }

  std::int32_t prefixEnd_ = 2;

 private:
  const LoadedMovie& movie_;
  const MovieIndex& a_;
  std::span<const std::uint8_t> data_;
  bool optimise_;
  AssembledMovie out_;
  const std::uint8_t* pending_ = nullptr;  // bytes appended but not yet in a run
  std::size_t pendingSize_ = 0;
};

// The bytes of the movie that really came from the file. An uncompressed
// movie is read with one end-of-file byte behind it, which is not the movie's.
std::uint64_t movieDataEnd(const LoadedMovie& movie) {
  const std::uint64_t data = movie.bytes().size();
  return movie.header.compressed ? data : std::min<std::uint64_t>(data, movie.fileSize);
}

// The whole declared movie is there, and every block lies inside it.
bool blocksInsideMovie(const LoadedMovie& movie, const MovieIndex& a) {
  if (movieDataEnd(movie) < movie.header.fileLength) return false;
  for (std::size_t k = 0; k < a.blocks.size(); ++k) {
    if (a.blockEnd(k) > movie.header.fileLength) return false;
  }
  return a.blocks.size() >= 3;
}

// Where the last block ends: the bytes from there to the declared length
// belong to no block (a movie without End whose last tag leaves a byte over).
std::uint64_t blocksEnd(const MovieIndex& a) {
  std::uint64_t end = 0;
  for (std::size_t k = 0; k < a.blocks.size(); ++k) end = std::max(end, a.blockEnd(k));
  return end;
}

}  // namespace

void AssembledMovie::copy(std::size_t offset, std::uint8_t* out, std::size_t count) const {
  if (count == 0) return;
  // The run holding `offset`: the last one that starts at or before it.
  auto run = std::upper_bound(runs_.begin(), runs_.end(), offset,
                              [](std::size_t at, const Run& r) { return at < r.start; });
  if (run != runs_.begin()) --run;
  std::size_t done = 0;
  for (; run != runs_.end() && done < count; ++run) {
    const std::size_t from = offset + done - run->start;
    const std::size_t take = std::min(run->size - from, count - done);
    std::memcpy(out + done, run->bytes + from, take);
    done += take;
  }
  // The file header, with the movie's length.
  for (std::size_t at = offset; at < header_.size() && at < offset + count; ++at) out[at - offset] = header_[at];
}

std::vector<std::uint8_t> AssembledMovie::bytes() const {
  std::vector<std::uint8_t> out(size_);
  copy(0, out.data(), size_);
  return out;
}

std::optional<AssembledMovie> assembleRuns(const LoadedMovie& movie, const MovieIndex& a, const Plan& plan,
                                           std::int32_t n, bool optimise) {
  if (!movie.loaded() || !a.analysed() || a.tagsRunPastData || !blocksInsideMovie(movie, a)) return std::nullopt;

  const std::size_t count = a.blocks.size();
  // The first block of frame n, right after the ShowFrame that ends frame n - 1.
  // Without that ShowFrame nothing is held back.
  const std::int32_t previousShowFrame = n > 1 ? a.frameEnd(n - 1) : 0;
  const bool holdBack = previousShowFrame > 0;
  const std::size_t insertBeforeBlock = holdBack ? static_cast<std::size_t>(previousShowFrame) + 1 : count;

  Assembler out(movie, a, optimise);
  // The header and the tags up to SetBackgroundColor keep their places. A
  // background colour at or after the insertion point does not pull frame 1
  // into the prefix.
  std::int32_t prefixEnd = a.backgroundBlock;
  if (prefixEnd < 2 || static_cast<std::size_t>(prefixEnd) >= count ||
      (holdBack && static_cast<std::size_t>(prefixEnd) >= insertBeforeBlock)) {
    prefixEnd = 2;
  }
  out.prefixEnd_ = prefixEnd;
  for (std::int32_t i = 0; i <= prefixEnd; ++i) out.writeBlock(static_cast<std::size_t>(i));

  // A block, or (with `made`) the part of an ExportAssets tag that goes to frame n.
  struct HeldBack {
    std::size_t block;
    std::vector<std::uint8_t> made;
  };
  std::vector<HeldBack> blocksToMove;
  bool insertPointReached = !holdBack;
  auto writeHeldBack = [&] {
    for (HeldBack& held : blocksToMove) {
      if (held.made.empty()) out.writeBlock(held.block); else out.writeMade(std::move(held.made));
    }
    insertPointReached = true;
  };
  // Under the safe plan an asset that stays keeps its linkage name where it
  // was: earlier code attaches or registers it by that name.
  auto staysInPlace = [&](std::uint16_t id) {
    const std::int32_t block = a.definingBlock(id);
    return block > 0 && static_cast<std::size_t>(block) < insertBeforeBlock && !blockMoves(a, plan, static_cast<std::size_t>(block));
  };
  for (std::size_t i = static_cast<std::size_t>(prefixEnd) + 1; i < count; ++i) {
    if (!insertPointReached && i == insertBeforeBlock) writeHeldBack();
    // A sprite's blocks go where its DefineSprite block goes: moving a tag out
    // of a sprite would leave the sprite's length field wrong.
    const bool mainExport = a.tagCode(i) == kExportAssets && a.timeline(i) == 0;
    if (!insertPointReached && mainExport && plan.exportsStayWithAssets) {
      ExportSplit split = splitExportAssets(out.exportTagOf(i), a.headerSize(i), staysInPlace);
      if (split.moving.empty() && !split.staying.empty()) {
        out.writeBlock(i);
      } else if (split.staying.empty()) {
        blocksToMove.push_back({i, {}});
      } else {
        out.writeMade(std::move(split.staying));
        blocksToMove.push_back({i, std::move(split.moving)});
      }
      continue;
    }
    const bool hold = blockMoves(a, plan, i) || mainExport;
    if (!insertPointReached && hold) {
      blocksToMove.push_back({i, {}});
      continue;
    }
    out.writeBlock(i);
  }
  if (!insertPointReached) writeHeldBack();
  if (!a.endTagFound) {
    // Nothing of the declared movie is lost, even bytes too few to be a tag.
    const std::uint64_t tail = blocksEnd(a);
    if (tail < movie.header.fileLength) {
      out.append(movie.bytes().data() + tail, static_cast<std::size_t>(movie.header.fileLength - tail));
    }
  }
  return out.finish();
}

std::optional<std::vector<std::uint8_t>> assembleMovie(const LoadedMovie& movie, const MovieIndex& a, const Plan& plan,
                                                       std::int32_t n, bool optimise) {
  auto runs = assembleRuns(movie, a, plan, n, optimise);
  if (!runs) return std::nullopt;
  return runs->bytes();
}

}  // namespace framestow
