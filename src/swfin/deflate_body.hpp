// The body of a "CWS" movie inflated in one call, when all of it is in memory.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace framestow {

// The most a zlib stream of `compressedLength` bytes can inflate to: deflate
// cannot expand data by more than about 1032:1.
std::uint64_t plausibleInflatedLength(std::uint64_t compressedLength);

// Inflates `body` (the zlib stream after the 8-byte file header) into
// `movie[8...]`, which the caller has sized to the declared length. True only
// when the stream is whole, its checksum right, and it fills `movie` exactly;
// anything else (cut, damaged, shorter or longer than declared) leaves the
// verdict to zlib's streaming inflate, which keeps what a cut movie has always
// been told. Thread-safe: each call has its own decompressor.
bool inflateWholeBody(std::span<const std::uint8_t> body, std::span<std::uint8_t> movieBody);

}  // namespace framestow
