#include "writer/fingerprint.hpp"

#include <zlib.h>

namespace framestow {

void Fingerprint::add(const std::uint8_t* data, std::size_t count) {
  crc = static_cast<std::uint32_t>(crc32_z(crc, data, count));
  adler = static_cast<std::uint32_t>(adler32_z(adler, data, count));
  size += count;
}

Fingerprint fingerprintOf(std::span<const std::uint8_t> bytes) {
  Fingerprint fingerprint;
  fingerprint.add(bytes.data(), bytes.size());
  return fingerprint;
}

}  // namespace framestow
