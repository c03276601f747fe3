// Where in a compressed body each part of the movie becomes available: for a
// rising list of lengths of the decoded body, the fewest compressed bytes from
// which a decoder produces at least that much. A player that receives the
// file as a stream can show a frame once the decoded movie covers the frame's
// ShowFrame, so these are the frames' arrival positions in the file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace framestow {

class ArrivalTracker {
 public:
  virtual ~ArrivalTracker() = default;

  // For a zlib stream ("CWS" body).
  static std::unique_ptr<ArrivalTracker> forZlib(std::vector<std::uint64_t> decodedLengths);
  // For raw LZMA data ("ZWS" body) with its 5 property bytes, decoding to
  // `decodedSize` bytes. Nothing when the properties are not ones an LZMA
  // decoder takes.
  static std::unique_ptr<ArrivalTracker> forLzma(std::span<const std::uint8_t> properties, std::uint64_t decodedSize,
                                                 std::vector<std::uint64_t> decodedLengths);

  // Takes the next compressed bytes, in order, in pieces of any size. False
  // once the data is damaged. Once every length is reached the rest is not
  // decoded.
  bool feed(const std::uint8_t* data, std::size_t size);

  // positions()[i] is the number of compressed bytes needed for
  // decodedLengths[i]; one entry per length reached so far.
  const std::vector<std::uint64_t>& positions() const { return positions_; }
  bool allReached() const { return positions_.size() == lengths_.size(); }

 protected:
  explicit ArrivalTracker(std::vector<std::uint64_t> lengths) : lengths_(std::move(lengths)) {}
  // Decodes the piece, noting the lengths it reaches; false when damaged.
  virtual bool feedPiece(const std::uint8_t* data, std::size_t size) = 0;
  // The next length to reach.
  std::uint64_t nextLength() const { return lengths_[positions_.size()]; }
  std::uint64_t length(std::size_t i) const { return lengths_[i]; }
  std::size_t lengthCount() const { return lengths_.size(); }
  std::size_t positionCount() const { return positions_.size(); }
  // Every length up to `produced` is reached at compressed position `at`.
  void reached(std::uint64_t produced, std::uint64_t at) {
    while (!allReached() && nextLength() <= produced) positions_.push_back(at);
  }
  std::uint64_t consumed_ = 0;  // compressed bytes taken before the current piece

 private:
  std::vector<std::uint64_t> lengths_;
  std::vector<std::uint64_t> positions_;
};

}  // namespace framestow
