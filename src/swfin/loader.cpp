#include "swfin/loader.hpp"

#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <iterator>
#include <limits>

#include "common/file_header.hpp"
#include "swfin/byte_reader.hpp"
#include "swfin/deflate_body.hpp"
#include "swfin/lzma_body.hpp"
#include "swfin/regular_file.hpp"

namespace framestow {
namespace {

// The most the frame header can take after the 8-byte file header: a RECT of
// 5 + 4 x 31 bits (17 bytes), the frame rate and the frame count.
constexpr std::size_t kFrameHeaderMax = 17 + 2 + 2;

// The movie's offsets are 32-bit: a larger file is not one we can hold.
constexpr std::uint64_t kLargestFile = std::numeric_limits<std::uint32_t>::max() - 1u;

// The byte the format's reference reader stores for the end of the file.
constexpr std::uint8_t kEndMarker = 0xFF;
// It reads the first nine bytes whatever the file's size.
constexpr std::size_t kFirstRead = 9;

// A load that stopped: nothing of the movie's bytes is kept.
LoadedMovie failed(LoadedMovie& movie, LoadOutcome outcome) {
  movie.outcome = outcome;
  movie.file = {};
  movie.inflated = {};
  return std::move(movie);
}

LoadedMovie unreadable(LoadedMovie& movie, const ReadFailure& why) {
  movie.readFailure = why;
  return failed(movie, LoadOutcome::kUnreadable);
}

bool hasSwfSignature(std::span<const std::uint8_t> head) {
  return (head[0] == 'F' || head[0] == 'C' || head[0] == 'Z') && head[1] == 'W' && head[2] == 'S';
}

// The 8-byte file header, from the file's first bytes as the reference reader
// stores them (at least nine: the end marker where the file is shorter).
// kLoaded when the movie may be read on.
LoadOutcome readFileHeader(MovieHeader& header, std::span<const std::uint8_t> head, std::uint64_t fileSize) {
  if (!hasSwfSignature(head)) return LoadOutcome::kNotSwf;
  header.compression = head[0] == 'C' ? Compression::kZlib : head[0] == 'Z' ? Compression::kLzma : Compression::kNone;
  header.compressed = header.compression != Compression::kNone;
  header.version = head[3];
  header.fileLength = readFileLength(head);
  // A movie shorter than its own 8-byte header cannot be complete.
  if (header.fileLength < kFileHeaderSize) return LoadOutcome::kIncomplete;
  // The end marker counts as a byte, so an uncompressed file one byte short
  // of its declared length passes.
  if (!header.compressed && std::max<std::uint64_t>(kFirstRead, fileSize + 1) < header.fileLength) {
    return LoadOutcome::kIncomplete;
  }
  return LoadOutcome::kLoaded;
}

// Opens the file and reads its 8-byte header: the three signature bytes
// first, so that a file that is no movie is refused whatever its size. Leaves
// the bytes read in `head`.
LoadOutcome openMovieFile(RegularFile& file, LoadedMovie& movie, std::vector<std::uint8_t>& head) {
  if (!file.open(movie.path)) {
    movie.readFailure = file.failure();
    return LoadOutcome::kUnreadable;
  }
  movie.fileSize = file.size();
  // Past the end of a short file, the reference reader stores its end marker.
  std::uint8_t first[kFirstRead];
  std::fill(std::begin(first), std::end(first), kEndMarker);
  std::size_t got = file.read(first, 3);
  if (file.failed()) {
    movie.readFailure = file.failure();
    return LoadOutcome::kUnreadable;
  }
  if (got < 3 || !hasSwfSignature(first)) return LoadOutcome::kNotSwf;
  got += file.read(first + 3, 5);
  if (file.failed()) {
    movie.readFailure = file.failure();
    return LoadOutcome::kUnreadable;
  }
  const LoadOutcome header = readFileHeader(movie.header, first, file.size());
  if (header != LoadOutcome::kLoaded) return header;
  if (file.size() > kLargestFile) {
    movie.readFailure = ReadFailure::system(EFBIG);
    return LoadOutcome::kUnreadable;
  }
  head.assign(first, first + got);
  return LoadOutcome::kLoaded;
}

// Inflates the body of a "CWS" file into `movie` (header included). False
// when the stream ends, breaks or runs out before the declared length.
bool inflateBody(const std::vector<std::uint8_t>& file, std::uint32_t declared, std::vector<std::uint8_t>& movie) {
  const std::size_t sourceLength = file.size() - kFileHeaderSize;
  const std::uint64_t wanted = declared - kFileHeaderSize;
  const std::uint64_t plausible = plausibleInflatedLength(sourceLength);
  // A length the compressed bytes can plausibly yield is inflated in one call,
  // straight into a buffer of that length; a stream that is cut, damaged or of
  // another length is inflated again below, a step at a time, which decides
  // what the load says.
  if (wanted <= plausible) {
    movie.assign(file.begin(), file.begin() + kFileHeaderSize);
    movie.resize(kFileHeaderSize + static_cast<std::size_t>(wanted));
    movie[0] = 'F';
    if (inflateWholeBody(std::span(file).subspan(kFileHeaderSize), std::span(movie).subspan(kFileHeaderSize))) {
      return true;
    }
  }
  // Room for what the header declares (unless that is implausible), but the
  // buffer grows a step at a time: each step is zeroed just before inflate
  // writes it, and a header that lies costs no memory that is never written.
  movie.clear();
  movie.reserve(kFileHeaderSize + static_cast<std::size_t>(std::min(wanted, plausible)));
  movie.assign(file.begin(), file.begin() + kFileHeaderSize);
  movie[0] = 'F';
  constexpr std::size_t kStep = std::size_t{1} << 20;

  z_stream zs{};
  if (inflateInit(&zs) != Z_OK) return false;
  zs.next_in = const_cast<Bytef*>(file.data() + kFileHeaderSize);
  zs.avail_in = static_cast<uInt>(std::min<std::size_t>(sourceLength, std::numeric_limits<uInt>::max()));
  std::size_t produced = 0;
  int rc = Z_OK;
  while (produced < wanted) {
    const auto room = static_cast<std::size_t>(std::min<std::uint64_t>(wanted - produced, kStep));
    movie.resize(kFileHeaderSize + produced + room);
    zs.next_out = movie.data() + kFileHeaderSize + produced;
    zs.avail_out = static_cast<uInt>(room);
    rc = inflate(&zs, Z_NO_FLUSH);
    produced += room - zs.avail_out;
    if (rc == Z_STREAM_END) break;
    if (rc != Z_OK) break;  // damaged stream, or no more input
  }
  inflateEnd(&zs);
  if (produced < wanted) return false;
  movie.resize(kFileHeaderSize + static_cast<std::size_t>(wanted));
  return true;
}

// Inflates only the first `wanted` bytes of a "CWS" body, reading the file a
// little at a time: what describing the movie needs, whatever its size.
bool inflateHead(RegularFile& file, const std::vector<std::uint8_t>& header, std::size_t wanted,
                 std::vector<std::uint8_t>& movie) {
  movie.assign(header.begin(), header.begin() + kFileHeaderSize);
  movie[0] = 'F';
  movie.resize(kFileHeaderSize + wanted);
  z_stream zs{};
  if (inflateInit(&zs) != Z_OK) return false;
  std::uint8_t input[4096];
  std::size_t produced = 0;
  while (produced < wanted) {
    if (zs.avail_in == 0) {
      const std::size_t got = file.read(input, sizeof input);
      if (got == 0) break;
      zs.next_in = input;
      zs.avail_in = static_cast<uInt>(got);
    }
    zs.next_out = movie.data() + kFileHeaderSize + produced;
    zs.avail_out = static_cast<uInt>(wanted - produced);
    const int rc = inflate(&zs, Z_NO_FLUSH);
    produced = wanted - zs.avail_out;
    if (rc == Z_STREAM_END) break;
    if (rc != Z_OK && !(rc == Z_BUF_ERROR && zs.avail_in == 0)) break;
  }
  inflateEnd(&zs);
  return produced == wanted;
}

// The frame header after the file header: the stage, the frame rate and the
// frame count, read within the declared movie (as zeros where it is short).
void readFrameHeader(LoadedMovie& movie) {
  const auto data = movie.bytes();
  MovieHeader& header = movie.header;
  ByteReader reader(data.first(std::min<std::size_t>(data.size(), header.fileLength)));
  reader.seek(kFileHeaderSize);
  header.frameRect = readRect(reader);
  const int fraction = reader.u8();
  const int integer = reader.u8();
  header.frameRate = static_cast<float>(fraction / 256.0 + integer);
  header.frameCount = reader.u16();
  header.firstTagOffset = static_cast<std::uint32_t>(reader.position());
  movie.outcome = LoadOutcome::kLoaded;
}

// Inflates a "CWS" body while `alongside` reads it on this thread: libdeflate
// on a second thread and zlib here race (RacingInflate). The buffer has the
// declared length from the start, so that it never moves under the reader;
// a length the compressed bytes cannot yield is not believed, and such a body
// is inflated as in a plain load (which finds it short).
bool inflateWithReader(LoadedMovie& movie, const ReadAlongside& alongside) {
  const std::uint32_t declared = movie.header.fileLength;
  const auto body = std::span<const std::uint8_t>(movie.file).subspan(kFileHeaderSize);
  if (declared - kFileHeaderSize > plausibleInflatedLength(body.size())) {
    return inflateBody(movie.file, declared, movie.inflated);
  }
  std::vector<std::uint8_t>& out = movie.inflated;
  out.assign(movie.file.begin(), movie.file.begin() + kFileHeaderSize);
  out.resize(declared);
  out[0] = 'F';
  RacingInflate race(body, out, kFileHeaderSize);
  // Without a second thread, zlib alone inflates as the reader asks.
  race.start();
  if (race.waitFor(std::min<std::uint64_t>(declared, kFileHeaderSize + kFrameHeaderMax))) {
    readFrameHeader(movie);
    alongside(movie, race);
  }
  return race.finish();
}

}  // namespace

LoadedMovie loadMovie(const std::string& path, const ReadAlongside& alongside) {
  LoadedMovie movie;
  movie.path = path;
  RegularFile file;
  std::vector<std::uint8_t> bytes;
  const LoadOutcome opened = openMovieFile(file, movie, bytes);
  if (opened != LoadOutcome::kLoaded) return failed(movie, opened);
  // One byte more than the file, for the end marker stored after it.
  const std::size_t headSize = bytes.size();
  bytes.reserve(static_cast<std::size_t>(file.size()) + 1);
  bytes.resize(std::max<std::size_t>(headSize, static_cast<std::size_t>(file.size())));
  const std::size_t got = file.read(bytes.data() + headSize, bytes.size() - headSize);
  if (file.failed()) return unreadable(movie, file.failure());
  bytes.resize(headSize + got);
  return loadMovieFromBytes(path, std::move(bytes), alongside);
}

LoadedMovie loadMovieHeader(const std::string& path) {
  LoadedMovie movie;
  movie.path = path;
  RegularFile file;
  std::vector<std::uint8_t> head;
  const LoadOutcome opened = openMovieFile(file, movie, head);
  if (opened != LoadOutcome::kLoaded) return failed(movie, opened);
  movie.headerOnly = true;

  const auto frameHeader =
      static_cast<std::size_t>(std::min<std::uint64_t>(movie.header.fileLength - kFileHeaderSize, kFrameHeaderMax));
  movie.file = head;
  if (movie.header.compressed) {
    // A file shorter than its header has the end marker where bytes are missing.
    std::vector<std::uint8_t> header = head;
    header.resize(kFileHeaderSize, kEndMarker);
    bool inflated = false;
    if (movie.header.compression == Compression::kLzma) {
      // The LZMA data's length and properties follow the file header.
      header.resize(kLzmaHeaderSize);
      const bool whole = file.read(header.data() + kFileHeaderSize, kLzmaHeaderSize - kFileHeaderSize) ==
                         kLzmaHeaderSize - kFileHeaderSize;
      inflated = whole && head.size() == kFileHeaderSize && decodeLzmaHead(file, header, frameHeader, movie.inflated);
    } else {
      inflated = inflateHead(file, header, frameHeader, movie.inflated);
    }
    if (file.failed()) return unreadable(movie, file.failure());
    if (!inflated) return failed(movie, LoadOutcome::kIncomplete);
  } else {
    movie.file.resize(kFileHeaderSize + frameHeader);
    const std::size_t got = file.read(movie.file.data() + kFileHeaderSize, frameHeader);
    if (file.failed()) return unreadable(movie, file.failure());
    movie.file.resize(kFileHeaderSize + got);
    // The whole file was read: the end marker follows it, as in a full load.
    if (movie.file.size() == file.size()) movie.file.push_back(kEndMarker);
  }
  readFrameHeader(movie);
  return movie;
}

LoadedMovie loadMovieFromBytes(const std::string& path, std::vector<std::uint8_t> fileBytes,
                               const ReadAlongside& alongside) {
  LoadedMovie movie;
  movie.path = path;
  // The reference reader stores the end marker as one more byte, and reads
  // the first nine bytes whatever the file's size, so short files are padded.
  movie.fileSize = fileBytes.size();
  movie.file = std::move(fileBytes);
  movie.file.resize(std::max<std::size_t>(kFirstRead, static_cast<std::size_t>(movie.fileSize) + 1), kEndMarker);

  const LoadOutcome header = readFileHeader(movie.header, movie.file, movie.fileSize);
  if (header != LoadOutcome::kLoaded) return failed(movie, header);
  if (movie.header.compression == Compression::kZlib && alongside) {
    if (!inflateWithReader(movie, alongside)) return failed(movie, LoadOutcome::kIncomplete);
  } else if (movie.header.compression == Compression::kZlib &&
             !inflateBody(movie.file, movie.header.fileLength, movie.inflated)) {
    return failed(movie, LoadOutcome::kIncomplete);
  }
  if (movie.header.compression == Compression::kLzma &&
      !decodeLzmaBody(movie.fileAsRead(), movie.header.fileLength, movie.inflated)) {
    return failed(movie, LoadOutcome::kIncomplete);
  }
  readFrameHeader(movie);
  return movie;
}

}  // namespace framestow
