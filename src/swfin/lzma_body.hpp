// The body of a "ZWS" movie. After the 8-byte file header come the length of
// the LZMA data (4 bytes, little-endian), the 5 bytes of LZMA properties and
// the LZMA data itself, without the 8-byte size field of the .lzma format:
// the file header's length, less its own 8 bytes, is what the data decodes to.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "swfin/regular_file.hpp"

namespace framestow {

// File header, compressed length and properties: where the LZMA data starts.
inline constexpr std::size_t kLzmaHeaderSize = 17;

// Decodes the LZMA data of `file` (a whole "ZWS" file) into `movie`: the file
// header signed "FWS", then `declared - 8` bytes. False when the data is cut
// or damaged, or its properties are not ones an LZMA decoder takes. The
// buffer grows with what is decoded, whatever the header declares.
bool decodeLzmaBody(std::span<const std::uint8_t> file, std::uint32_t declared, std::vector<std::uint8_t>& movie);

// Decodes only the first `wanted` bytes after the file header, reading the
// rest of the file from `file` a little at a time. `header` holds the file's
// first 17 bytes.
bool decodeLzmaHead(RegularFile& file, std::span<const std::uint8_t> header, std::size_t wanted,
                    std::vector<std::uint8_t>& movie);

}  // namespace framestow
