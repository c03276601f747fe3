#include "support/stream_check.hpp"

#include <lzma.h>
#include <zlib.h>

#include <algorithm>

#include "support/tag_list.hpp"

namespace framestow::test {
namespace {

// Decodes a compressed body from its start, a prefix at a time: after
// `reach(k)` it has decoded everything the first k bytes give.
class PrefixDecoder {
 public:
  PrefixDecoder(const ByteVector& file, bool lzma) : file_(file), lzma_(lzma) {
    if (lzma_) {
      // The .lzma container around the body: properties, then the size.
      ok_ = lzma_alone_decoder(&xz_, UINT64_MAX) == LZMA_OK;
      ByteVector header(file.begin() + 12, file.begin() + 17);
      const std::uint64_t size = u32At(file, 4) - 8;
      for (int i = 0; i < 8; ++i) header.push_back(static_cast<std::uint8_t>(size >> (8 * i)));
      decode(header.data(), header.size());
      start_ = 17;
    } else {
      ok_ = inflateInit(&zs_) == Z_OK;
      start_ = 8;
    }
    at_ = start_;
  }
  ~PrefixDecoder() {
    if (lzma_) lzma_end(&xz_);
    else inflateEnd(&zs_);
  }
  std::uint64_t reach(std::size_t end) {
    end = std::min(end, file_.size());
    if (end > at_) decode(file_.data() + at_, end - at_);
    at_ = std::max(at_, end);
    return produced_;
  }
  bool ok() const { return ok_; }

 private:
  void decode(const std::uint8_t* data, std::size_t size) {
    std::uint8_t out[1 << 16];
    if (lzma_) {
      xz_.next_in = data;
      xz_.avail_in = size;
      do {
        xz_.next_out = out;
        xz_.avail_out = sizeof out;
        const lzma_ret rc = lzma_code(&xz_, LZMA_RUN);
        produced_ += sizeof out - xz_.avail_out;
        if (rc != LZMA_OK && rc != LZMA_BUF_ERROR) break;
      } while (xz_.avail_out == 0);
      return;
    }
    zs_.next_in = const_cast<std::uint8_t*>(data);
    zs_.avail_in = static_cast<uInt>(size);
    do {
      zs_.next_out = out;
      zs_.avail_out = sizeof out;
      const int rc = inflate(&zs_, Z_NO_FLUSH);
      produced_ += sizeof out - zs_.avail_out;
      if (rc != Z_OK && rc != Z_BUF_ERROR) break;
    } while (zs_.avail_out == 0);
  }

  const ByteVector& file_;
  bool lzma_;
  bool ok_ = false;
  z_stream zs_{};
  lzma_stream xz_ = LZMA_STREAM_INIT;
  std::size_t start_ = 0;
  std::size_t at_ = 0;
  std::uint64_t produced_ = 0;
};

}  // namespace

std::vector<std::string> streamProfileDiffers(const ByteVector& file, const std::optional<StreamProfile>& profile) {
  if (!profile) return {"no stream profile"};
  std::vector<std::string> differences;
  if (profile->fileSize != file.size()) differences.push_back("the profile's file size is not the file's");
  std::vector<std::uint64_t> ends;
  for (const ListedTag& tag : listMovie(file).tags) {
    if (tag.code == 1) ends.push_back(tag.offset + tag.bytes.size());
  }
  if (profile->frameArrivals.size() != ends.size()) {
    differences.push_back("the profile has " + std::to_string(profile->frameArrivals.size()) + " frames, the file " +
                          std::to_string(ends.size()));
    return differences;
  }
  const char signature = static_cast<char>(file[0]);
  if (signature == 'F') {
    if (profile->frameArrivals != ends) differences.push_back("an uncompressed frame does not arrive where it ends");
    return differences;
  }
  PrefixDecoder decoder(file, signature == 'Z');
  if (!decoder.ok()) return {"the body's decoder does not start"};
  std::uint64_t previous = 0;
  for (std::size_t f = 0; f < ends.size(); ++f) {
    const std::uint64_t arrival = profile->frameArrivals[f];
    const std::uint64_t wanted = ends[f] - 8;  // the decoded body starts after the file header
    const std::string frame = "frame " + std::to_string(f + 1);
    // A frame arriving with the one before is past the prefix before it already.
    if (arrival < previous || (arrival > previous && decoder.reach(arrival - 1) >= wanted)) {
      differences.push_back(frame + " arrives later than its bytes do");
      break;
    }
    if (decoder.reach(arrival) < wanted) {
      differences.push_back(frame + " arrives before its bytes do");
      break;
    }
    previous = arrival;
  }
  return differences;
}

}  // namespace framestow::test
