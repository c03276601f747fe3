// How a movie's body (everything after the 8-byte file header) is stored,
// named by the first byte of its signature: "FWS" as it is, "CWS" one zlib
// stream, "ZWS" one LZMA stream (SWF 13 and later).
#pragma once

#include <cstdint>

namespace framestow {

enum class Compression { kNone, kZlib, kLzma };

// The oldest version whose players read an LZMA body.
inline constexpr std::uint8_t kFirstLzmaVersion = 13;

inline char signatureLetter(Compression compression) {
  switch (compression) {
    case Compression::kZlib: return 'C';
    case Compression::kLzma: return 'Z';
    case Compression::kNone: break;
  }
  return 'F';
}

}  // namespace framestow
