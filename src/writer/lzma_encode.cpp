#include <lzma.h>

#include <algorithm>
#include <limits>
#include <memory>
#include <vector>

#include "swfin/lzma_body.hpp"
#include "writer/writer.hpp"

namespace framestow {

namespace {

constexpr std::size_t kStep = std::size_t{1} << 20;

// xz's default preset: on the LZMA movies we have, the higher presets and
// the "extreme" variants save nothing or a few bytes in a megabyte, while
// their larger dictionaries cost the encoder up to seven times the memory.
constexpr std::uint32_t kPreset = 6;

void putLength(std::uint8_t* field, std::uint32_t length) {
  for (int i = 0; i < 4; ++i) field[i] = static_cast<std::uint8_t>(length >> (8 * i));
}

// The body (everything after the first 8 bytes) as raw LZMA data with its
// end marker, as movies in the wild have it, and its 5 property bytes.
bool encodeBody(const AssembledMovie& movie, std::vector<std::uint8_t>& data, std::uint8_t* properties) {
  const std::size_t size = movie.size();
  lzma_options_lzma options;
  if (lzma_lzma_preset(&options, kPreset)) return false;
  // Nothing reaches back further than the body's start: a dictionary larger
  // than the body would only be memory the encoder never uses.
  options.dict_size = static_cast<std::uint32_t>(
      std::clamp<std::uint64_t>(size - kFileHeaderSize, LZMA_DICT_SIZE_MIN, options.dict_size));
  lzma_filter filters[2] = {{LZMA_FILTER_LZMA1, &options}, {LZMA_VLI_UNKNOWN, nullptr}};
  if (lzma_properties_encode(&filters[0], properties) != LZMA_OK) return false;
  lzma_stream stream = LZMA_STREAM_INIT;
  if (lzma_raw_encoder(&stream, filters) != LZMA_OK) return false;
  const std::unique_ptr<std::uint8_t[]> in(new std::uint8_t[std::min(kStep, size)]);
  std::size_t read = kFileHeaderSize;
  lzma_ret rc = LZMA_OK;
  while (rc == LZMA_OK) {
    if (stream.avail_in == 0 && read < size) {
      const std::size_t count = std::min(kStep, size - read);
      movie.copy(read, in.get(), count);
      stream.next_in = in.get();
      stream.avail_in = count;
      read += count;
    }
    if (stream.avail_out == 0) {
      const std::size_t used = data.size();
      data.resize(used + kStep);
      stream.next_out = data.data() + used;
      stream.avail_out = kStep;
    }
    rc = lzma_code(&stream, read < size ? LZMA_RUN : LZMA_FINISH);
  }
  data.resize(data.size() - stream.avail_out);
  lzma_end(&stream);
  return rc == LZMA_STREAM_END && data.size() <= std::numeric_limits<std::uint32_t>::max();
}

}  // namespace

std::error_code lzmaMovie(const AssembledMovie& movie, const ByteSink& put, bool& encodeFailed) {
  // The header names the length of the LZMA data before the data, so the
  // data is held until it is complete; it is seldom larger than a fraction
  // of the movie.
  encodeFailed = false;
  std::uint8_t header[kLzmaHeaderSize];
  std::vector<std::uint8_t> data;
  if (movie.size() < kFileHeaderSize || !encodeBody(movie, data, header + kFileHeaderSize + 4)) {
    encodeFailed = true;
    return {};
  }
  movie.copy(0, header, kFileHeaderSize);
  header[0] = 'Z';
  putLength(header + kFileHeaderSize, static_cast<std::uint32_t>(data.size()));
  std::error_code error = put(header, sizeof header);
  if (!error && !data.empty()) error = put(data.data(), data.size());
  return error;
}

}  // namespace framestow
