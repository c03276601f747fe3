// Enough of a file's bytes to tell whether they are still the ones written:
// the size and two checksums, kept instead of a copy of a large movie.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "common/compression.hpp"

namespace framestow {

struct Fingerprint {
  std::uint64_t size = 0;
  std::uint32_t crc = 0;    // CRC-32
  std::uint32_t adler = 1;  // Adler-32
  bool operator==(const Fingerprint&) const = default;

  // Takes in the next bytes.
  void add(const std::uint8_t* data, std::size_t count);
};

Fingerprint fingerprintOf(std::span<const std::uint8_t> bytes);

// What a save wrote over the loaded movie's file: the file's bytes, the
// uncompressed movie in them and how it was compressed. A later save of the same loaded movie finds
// that file there, not the one loaded.
struct WrittenFile {
  Fingerprint file;
  Fingerprint movie;
  Compression compression = Compression::kNone;
};

}  // namespace framestow
