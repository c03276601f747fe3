// The read cursor over a movie in memory: bit reader and primitive readers.
//
// Every parser of the program reads through one Reader and moves its position
// forward. Reads are checked against the end of the data (or a tighter limit,
// such as the end of the tag being parsed): a read at or past it yields zero
// bytes, never touches memory outside the buffer, and sets `overrun`, so that
// callers can stop on a damaged movie.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace framestow {

class Reader {
 public:
  Reader() = default;
  explicit Reader(std::span<const std::uint8_t> data) : fileBuffer(data), limit_(data.size()) {}

  // Points the reader at new data: position 0, nothing pending, no overrun, no limit.
  void reset(std::span<const std::uint8_t> data);

  // Reads at or past `end` (clipped to the data) yield zero and set `overrun`.
  void setLimit(std::size_t end) { limit_ = end < fileBuffer.size() ? end : fileBuffer.size(); }
  void clearLimit() { limit_ = fileBuffer.size(); }
  std::size_t limit() const { return limit_; }

  // Discards pending bits. Always 1.
  int byteXAlign();
  // The next `number` (0..32) bits, most significant first, as an unsigned value.
  std::uint32_t readBufBits(int number);
  // The next `number` (0..31) bits as a two's-complement value.
  std::int32_t readBufSBits(int number);
  // Advances first, then returns the byte at the new position (the format's
  // version reader relies on that: called at offset 2 it returns byte 3).
  int readBufUInt8();
  int readBufSInt8();
  int readBufSInt16();
  int readBufUInt16();
  std::uint32_t readBufUInt32();
  // SWF doubles hold two little-endian 32-bit words, the high word first.
  double readBufDouble();
  // Up to and including a NUL byte; TAB, LF and CR come back as \t, \n and \r.
  std::string readBufString();
  // Up to and including a NUL byte, the bytes as they stand (NUL excluded).
  std::string readRawString();
  // The same, as a view into the data (valid while the data is).
  std::string_view readRawStringView();

  // The byte at the position, then one step forward.
  std::uint8_t readByte() { return byteAt(fileOffset++); }
  // The byte at `index` without moving; zero (and an overrun) outside the data.
  std::uint8_t byteAt(std::size_t index) {
    if (index < limit_) return fileBuffer[index];
    overrun = true;
    return 0;
  }
  void skip(std::size_t count) { fileOffset += count; if (fileOffset > limit_) overrun = true; }
  bool atOrPast(std::size_t end) const { return fileOffset >= end; }

  std::span<const std::uint8_t> fileBuffer;
  std::size_t fileOffset = 0;
  std::uint32_t buffer = 0;  // pending bits of the last byte fetched by a bit read
  int bufbits = 0;           // number of pending bits, 0..7
  bool overrun = false;      // some read reached at or past the limit

 private:
  std::size_t limit_ = 0;
};

}  // namespace framestow
