#include "swfin/lzma_body.hpp"

#include <lzma.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

#include "common/file_header.hpp"

namespace framestow {
namespace {

constexpr std::size_t kPropertiesOffset = 12;
constexpr std::size_t kPropertiesSize = 5;
constexpr std::size_t kStep = std::size_t{1} << 20;
// The zlib body's bound on expansion, taken for LZMA data too: far above what
// real movies reach (the corpus's reach 1.4), though LZMA can go beyond it.
constexpr std::uint64_t kPlausibleRatio = 1032;
// More than LZMA data reaches even on a movie of nothing but zeros (about
// 7000:1): what a dictionary is sized for at most.
constexpr std::uint64_t kLargestRatio = std::uint64_t{1} << 16;

// An LZMA decoder for one body, ended with the object.
class BodyDecoder {
 public:
  BodyDecoder() = default;
  BodyDecoder(const BodyDecoder&) = delete;
  BodyDecoder& operator=(const BodyDecoder&) = delete;
  ~BodyDecoder() { lzma_end(&stream_); }

  // Ready for a body of `size` bytes whose 17-byte header is `header`, from
  // `dataSize` bytes of LZMA data. The size is known, so the data may end
  // with the end marker or without it.
  bool start(std::span<const std::uint8_t> header, std::uint64_t size, std::uint64_t dataSize) {
    lzma_filter filters[2] = {{LZMA_FILTER_LZMA1EXT, nullptr}, {LZMA_VLI_UNKNOWN, nullptr}};
    if (lzma_properties_decode(&filters[0], nullptr, header.data() + kPropertiesOffset, kPropertiesSize) != LZMA_OK) {
      return false;
    }
    options_.reset(static_cast<lzma_options_lzma*>(filters[0].options));
    // Nothing before the body's start can be referred to: a dictionary larger
    // than the body would only be memory never used. Nor is the header's size
    // believed beyond what this much data can yield: the dictionary is
    // allocated whole, before any data proves the size.
    const std::uint64_t reachable = std::min(size, dataSize * kLargestRatio + kStep);
    options_->dict_size = static_cast<std::uint32_t>(
        std::clamp<std::uint64_t>(reachable, LZMA_DICT_SIZE_MIN, options_->dict_size));
    options_->ext_flags = LZMA_LZMA1EXT_ALLOW_EOPM;
    lzma_set_ext_size(*options_, size);
    return lzma_raw_decoder(&stream_, filters) == LZMA_OK;
  }

  // Decodes from `in` into `out`; false once the data is damaged. `ended`
  // when the body is complete.
  bool decode(const std::uint8_t*& in, std::size_t& inSize, std::uint8_t* out, std::size_t& outSize, bool& ended) {
    stream_.next_in = in;
    stream_.avail_in = inSize;
    stream_.next_out = out;
    stream_.avail_out = outSize;
    const lzma_ret rc = lzma_code(&stream_, LZMA_RUN);
    in = stream_.next_in;
    inSize = stream_.avail_in;
    outSize = outSize - stream_.avail_out;
    ended = rc == LZMA_STREAM_END;
    return rc == LZMA_OK || ended || rc == LZMA_BUF_ERROR;
  }

 private:
  struct Free {
    void operator()(void* p) const { std::free(p); }
  };
  lzma_stream stream_ = LZMA_STREAM_INIT;
  std::unique_ptr<lzma_options_lzma, Free> options_;
};

void startMovie(std::span<const std::uint8_t> header, std::vector<std::uint8_t>& movie) {
  movie.assign(header.begin(), header.begin() + kFileHeaderSize);
  movie[0] = 'F';
}

}  // namespace

bool decodeLzmaBody(std::span<const std::uint8_t> file, std::uint32_t declared, std::vector<std::uint8_t>& movie) {
  movie.clear();
  if (file.size() < kLzmaHeaderSize || declared < kFileHeaderSize) return false;
  const std::uint64_t wanted = declared - kFileHeaderSize;
  BodyDecoder decoder;
  if (!decoder.start(file, wanted, file.size() - kLzmaHeaderSize)) return false;
  const std::uint8_t* in = file.data() + kLzmaHeaderSize;
  std::size_t inLeft = file.size() - kLzmaHeaderSize;
  // Room for what the header declares, as for a zlib body, unless that is
  // more than this much data plausibly holds (a larger movie still loads:
  // the buffer then grows as it is filled).
  movie.reserve(kFileHeaderSize + static_cast<std::size_t>(std::min<std::uint64_t>(
                                      wanted, static_cast<std::uint64_t>(inLeft) * kPlausibleRatio + 1024)));
  startMovie(file, movie);
  std::size_t produced = 0;
  bool ended = false;
  // The buffer grows a step at a time as the data fills it: a header that
  // declares more than the data holds costs no memory that is never written.
  while (produced < wanted && !ended) {
    const auto room = static_cast<std::size_t>(std::min<std::uint64_t>(wanted - produced, kStep));
    movie.resize(kFileHeaderSize + produced + room);
    std::size_t out = room;
    const std::size_t inBefore = inLeft;
    if (!decoder.decode(in, inLeft, movie.data() + kFileHeaderSize + produced, out, ended)) break;
    produced += out;
    if (out == 0 && inLeft == inBefore) break;  // the data ran out
  }
  if (produced < wanted) return false;
  movie.resize(kFileHeaderSize + static_cast<std::size_t>(wanted));
  return true;
}

bool decodeLzmaHead(RegularFile& file, std::span<const std::uint8_t> header, std::size_t wanted,
                    std::vector<std::uint8_t>& movie) {
  if (header.size() < kLzmaHeaderSize) return false;
  BodyDecoder decoder;
  const std::uint64_t dataSize = file.size() > kLzmaHeaderSize ? file.size() - kLzmaHeaderSize : 0;
  if (!decoder.start(header, readFileLength(header) - kFileHeaderSize, dataSize)) return false;
  startMovie(header, movie);
  movie.resize(kFileHeaderSize + wanted);
  std::uint8_t input[4096];
  const std::uint8_t* in = input;
  std::size_t inLeft = 0;
  std::size_t produced = 0;
  bool ended = false;
  while (produced < wanted && !ended) {
    if (inLeft == 0) {
      inLeft = file.read(input, sizeof input);
      in = input;
      if (inLeft == 0) break;
    }
    std::size_t out = wanted - produced;
    if (!decoder.decode(in, inLeft, movie.data() + kFileHeaderSize + produced, out, ended)) break;
    produced += out;
  }
  return produced == wanted;
}

}  // namespace framestow
