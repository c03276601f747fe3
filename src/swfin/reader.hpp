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
  // Inline for the common cases (shapes read millions of small fields); the
  // rest, reads that reach the limit included, take the general path.
  std::uint32_t readBufBits(int number) {
    if (number > 0 && number <= bufbits) {
      // Only pending bits.
      const std::uint32_t value = buffer >> (bufbits - number);
      bufbits -= number;
      buffer &= (1u << bufbits) - 1u;
      return value;
    }
    if (number > bufbits && number <= 32 && fileOffset < limit_ && limit_ - fileOffset >= 8) {
      // The pending bits, then bits of the next bytes: all of them lie before
      // the limit. The result, the position and the pending bits are those of
      // the byte-by-byte path.
      const std::uint8_t* p = fileBuffer.data() + fileOffset;
      const std::uint64_t word = std::uint64_t{p[0]} << 56 | std::uint64_t{p[1]} << 48 | std::uint64_t{p[2]} << 40 |
                                 std::uint64_t{p[3]} << 32 | std::uint64_t{p[4]} << 24 | std::uint64_t{p[5]} << 16 |
                                 std::uint64_t{p[6]} << 8 | std::uint64_t{p[7]};
      const int n = number - bufbits;  // 1..32 bits from the next bytes
      const int taken = (n + 7) & ~7;  // whole bytes
      const auto value = static_cast<std::uint32_t>((std::uint64_t{buffer} << n) | (word >> (64 - n)));
      fileOffset += static_cast<std::size_t>(taken / 8);
      bufbits = taken - n;
      buffer = static_cast<std::uint32_t>(word >> (64 - taken)) & ((1u << bufbits) - 1u);
      return value;
    }
    return readBufBitsGeneral(number);
  }
  // The next `number` (0..31) bits as a two's-complement value.
  std::int32_t readBufSBits(int number) {
    if (number <= 0) return 0;
    if (number > 31) number = 31;
    const std::int64_t v = readBufBits(number);
    const std::int64_t sign = std::int64_t{1} << (number - 1);
    return static_cast<std::int32_t>((v & sign) ? v - (std::int64_t{1} << number) : v);
  }
  // readBufBits byte by byte, for every case.
  std::uint32_t readBufBitsGeneral(int number);
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
