#include "swfin/byte_reader.hpp"

#include <cstring>

namespace framestow {

ByteReader ByteReader::take(std::size_t count) {
  ByteReader part;
  if (position_ < size_) {
    part.data_ = data_ + position_;
    part.size_ = count < size_ - position_ ? count : size_ - position_;
  }
  skip(count);
  return part;
}

std::string_view ByteReader::string() {
  if (position_ >= size_) {
    ++position_;
    overrun_ = true;
    return {};
  }
  const auto* first = reinterpret_cast<const char*>(data_ + position_);
  const std::size_t rest = size_ - position_;
  const void* nul = std::memchr(first, 0, rest);
  if (nul == nullptr) {
    position_ = size_ + 1;
    overrun_ = true;
    return {first, rest};
  }
  const auto length = static_cast<std::size_t>(static_cast<const char*>(nul) - first);
  position_ += length + 1;
  return {first, length};
}

std::uint32_t ByteReader::bitsOneByteAtATime(int count) {
  if (count < 0) count = 0;
  if (count > 32) count = 32;
  std::uint64_t value = pendingBits_;
  if (count == pendingCount_) {
    alignToByte();
    return static_cast<std::uint32_t>(value);
  }
  if (count < pendingCount_) {
    value = pendingBits_ >> (pendingCount_ - count);
    pendingCount_ -= count;
    pendingBits_ &= (1u << pendingCount_) - 1u;
    return static_cast<std::uint32_t>(value);
  }
  int fresh = count - pendingCount_;
  while (fresh > 8) {
    value = (value << 8) + u8();
    fresh -= 8;
  }
  pendingBits_ = u8();
  value = (value << fresh) + (pendingBits_ >> (8 - fresh));
  pendingCount_ = 8 - fresh;
  pendingBits_ &= (1u << pendingCount_) - 1u;
  return static_cast<std::uint32_t>(value);
}

}  // namespace framestow
