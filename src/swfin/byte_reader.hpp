// A reader over one range of a movie's bytes: little-endian integers, bit
// fields (most significant bit first), NUL-terminated strings.
//
// Every parser reads through one, and each tag body gets a reader of its own
// over exactly its bytes (take), so that no parse can run into the next tag.
// A read at or past the end yields zero, never touches memory outside the
// range, and is remembered (overrun), so that a parser can stop on a damaged
// movie. The position still moves as if the bytes were there: what follows a
// damaged field is then found where the format says, past the end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace framestow {

class ByteReader {
 public:
  ByteReader() = default;
  explicit ByteReader(std::span<const std::uint8_t> bytes) : data_(bytes.data()), size_(bytes.size()) {}

  std::size_t size() const { return size_; }
  // From 0; past size() after a read beyond the end.
  std::size_t position() const { return position_; }
  bool atEnd() const { return position_ >= size_; }
  // Some read reached beyond the end.
  bool overrun() const { return overrun_; }

  // A reader over the next `count` bytes (as many as there are); this one moves past them.
  ByteReader take(std::size_t count);
  // Moves to `position` within the range (a field that gives an offset).
  void seek(std::size_t position) { position_ = position; }
  void skipToEnd() { position_ = size_; }
  void skip(std::size_t count) {
    position_ += count;
    if (position_ > size_) overrun_ = true;
  }

  std::uint8_t u8() {
    if (position_ < size_) return data_[position_++];
    ++position_;
    overrun_ = true;
    return 0;
  }
  std::uint16_t u16() {
    const std::uint16_t low = u8();
    return static_cast<std::uint16_t>(low | u8() << 8);
  }
  std::int16_t s16() { return static_cast<std::int16_t>(u16()); }
  std::uint32_t u32() {
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i) value |= static_cast<std::uint32_t>(u8()) << (8 * i);
    return value;
  }
  // Up to the next NUL, which is passed over; without one, the rest of the
  // range (and an overrun).
  std::string_view string();

  // Bit fields. Byte reads leave pending bits alone: a record that mixes the
  // two aligns first, as the format does.
  void alignToByte() {
    pendingBits_ = 0;
    pendingCount_ = 0;
  }
  // The next `count` (0..32) bits as an unsigned value. Inline for the common
  // cases: shapes read millions of small fields.
  std::uint32_t bits(int count) {
    if (count > 0 && count <= pendingCount_) {
      const std::uint32_t value = pendingBits_ >> (pendingCount_ - count);
      pendingCount_ -= count;
      pendingBits_ &= (1u << pendingCount_) - 1u;
      return value;
    }
    if (count > pendingCount_ && count <= 32 && position_ < size_ && size_ - position_ >= 8) {
      // The pending bits, then bits of the next bytes, all of them before the
      // end: one 8-byte window gives the same value, position and pending bits
      // as reading byte by byte.
      const std::uint8_t* p = data_ + position_;
      const std::uint64_t word = std::uint64_t{p[0]} << 56 | std::uint64_t{p[1]} << 48 | std::uint64_t{p[2]} << 40 |
                                 std::uint64_t{p[3]} << 32 | std::uint64_t{p[4]} << 24 | std::uint64_t{p[5]} << 16 |
                                 std::uint64_t{p[6]} << 8 | std::uint64_t{p[7]};
      const int fresh = count - pendingCount_;  // 1..32 bits from the next bytes
      const int taken = (fresh + 7) & ~7;       // whole bytes
      const auto value = static_cast<std::uint32_t>((std::uint64_t{pendingBits_} << fresh) | (word >> (64 - fresh)));
      position_ += static_cast<std::size_t>(taken / 8);
      pendingCount_ = taken - fresh;
      pendingBits_ = static_cast<std::uint32_t>(word >> (64 - taken)) & ((1u << pendingCount_) - 1u);
      return value;
    }
    return bitsOneByteAtATime(count);
  }
  // Passes over a bit field of any width: a DefineText's glyph fields are as
  // wide as its 8-bit GlyphBits and AdvanceBits say, up to 255 bits each.
  void skipBits(int count) {
    for (; count > 0; count -= 32) bits(count < 32 ? count : 32);
  }
  // The next `count` (0..31) bits as a two's-complement value.
  std::int32_t signedBits(int count) {
    if (count <= 0) return 0;
    if (count > 31) count = 31;
    const std::int64_t value = bits(count);
    const std::int64_t sign = std::int64_t{1} << (count - 1);
    return static_cast<std::int32_t>((value & sign) ? value - (std::int64_t{1} << count) : value);
  }

 private:
  std::uint32_t bitsOneByteAtATime(int count);

  const std::uint8_t* data_ = nullptr;
  std::size_t size_ = 0;
  std::size_t position_ = 0;
  std::uint32_t pendingBits_ = 0;  // the unread low bits of the last byte a bit read fetched
  int pendingCount_ = 0;           // 0..7
  bool overrun_ = false;
};

}  // namespace framestow
