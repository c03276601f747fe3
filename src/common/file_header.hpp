// The fixed start of every SWF file: a three-byte signature ("FWS" for an
// uncompressed movie, "CWS" for a zlib-compressed one), the version byte and
// the file length, the length of the uncompressed movie including these eight
// bytes. The one place the length field is decoded and encoded.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace framestow {

inline constexpr std::size_t kFileHeaderSize = 8;
inline constexpr std::size_t kFileLengthOffset = 4;

// The file length of a file that starts with `header` (at least 8 bytes), little-endian.
inline std::uint32_t readFileLength(std::span<const std::uint8_t> header) {
  const std::uint8_t* field = header.data() + kFileLengthOffset;
  return static_cast<std::uint32_t>(field[0]) | static_cast<std::uint32_t>(field[1]) << 8 |
         static_cast<std::uint32_t>(field[2]) << 16 | static_cast<std::uint32_t>(field[3]) << 24;
}

// Writes `length` into the file length field of `header` (at least 8 bytes).
inline void writeFileLength(std::span<std::uint8_t> header, std::uint32_t length) {
  std::uint8_t* field = header.data() + kFileLengthOffset;
  for (int i = 0; i < 4; ++i) field[i] = static_cast<std::uint8_t>(length >> (8 * i));
}

}  // namespace framestow
