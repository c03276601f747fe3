#include "swfin/reader.hpp"

#include <cstring>

namespace framestow {

void Reader::reset(std::span<const std::uint8_t> data) {
  fileBuffer = data;
  limit_ = data.size();
  fileOffset = 0;
  buffer = 0;
  bufbits = 0;
  overrun = false;
}

int Reader::byteXAlign() {
  if (bufbits > 0) {
    bufbits = 0;
    buffer = 0;
  }
  return 1;
}

std::uint32_t Reader::readBufBitsGeneral(int number) {
  if (number < 0) number = 0;
  if (number > 32) number = 32;
  std::uint64_t ret = buffer;
  if (number == bufbits) {
    bufbits = 0;
    buffer = 0;
    return static_cast<std::uint32_t>(ret);
  }
  if (number < bufbits) {
    ret = buffer >> (bufbits - number);
    bufbits -= number;
    buffer &= (1u << bufbits) - 1u;
    return static_cast<std::uint32_t>(ret);
  }
  int n = number - bufbits;
  while (n > 8) {
    ret = (ret << 8) + readByte();
    n -= 8;
  }
  buffer = readByte();
  ret = (ret << n) + (buffer >> (8 - n));
  bufbits = 8 - n;
  buffer &= (1u << bufbits) - 1u;
  return static_cast<std::uint32_t>(ret);
}

int Reader::readBufUInt8() {
  bufbits = 0;
  buffer = 0;
  ++fileOffset;
  return byteAt(fileOffset);
}

int Reader::readBufSInt8() { return static_cast<std::int8_t>(readByte()); }

int Reader::readBufSInt16() {
  const int low = readByte();
  const int high = readBufSInt8();
  return low + high * 256;
}

int Reader::readBufUInt16() {
  const int low = readByte();
  const int high = readByte();
  return low | (high << 8);
}

std::uint32_t Reader::readBufUInt32() {
  std::uint32_t value = 0;
  for (int i = 0; i < 4; ++i) value |= static_cast<std::uint32_t>(readByte()) << (8 * i);
  return value;
}

double Reader::readBufDouble() {
  std::uint8_t stream[8];
  for (auto& b : stream) b = readByte();
  // Stream bytes s0..s3 hold the high word, s4..s7 the low word, each little-endian.
  std::uint64_t bits = 0;
  for (int i = 0; i < 4; ++i) bits |= static_cast<std::uint64_t>(stream[i]) << (32 + 8 * i);
  for (int i = 0; i < 4; ++i) bits |= static_cast<std::uint64_t>(stream[4 + i]) << (8 * i);
  double value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

std::string Reader::readBufString() {
  std::string out;
  for (const char c : readRawString()) {
    switch (c) {
      case 9: out += "\\t"; break;
      case 10: out += "\\n"; break;
      case 13: out += "\\r"; break;
      default: out += c; break;
    }
  }
  return out;
}

std::string Reader::readRawString() { return std::string(readRawStringView()); }

std::string_view Reader::readRawStringView() {
  // The same bytes and the same final position as reading byte by byte: up to
  // the NUL, or up to the limit (then one past it, with an overrun).
  const std::size_t start = fileOffset;
  if (start >= limit_) {
    ++fileOffset;
    overrun = true;
    return {};
  }
  const auto* first = reinterpret_cast<const char*>(fileBuffer.data() + start);
  const void* nul = std::memchr(first, 0, limit_ - start);
  if (nul == nullptr) {
    fileOffset = limit_ + 1;
    overrun = true;
    return std::string_view(first, limit_ - start);
  }
  const auto length = static_cast<std::size_t>(static_cast<const char*>(nul) - first);
  fileOffset = start + length + 1;
  return std::string_view(first, length);
}

}  // namespace framestow
