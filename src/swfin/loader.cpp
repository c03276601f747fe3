#include "swfin/loader.hpp"

#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <iterator>
#include <limits>
#include <system_error>

#include "common/byte_text.hpp"
#include "common/file_header.hpp"
#include "swfin/reader.hpp"
#include "swfin/regular_file.hpp"

namespace framestow {
namespace {

// zlib cannot expand data by more than about 1032:1, so a body can never yield
// more than this; a header that declares more is not believed up front.
constexpr std::uint64_t kMaxInflateRatio = 1032;

// The most the frame header can take after the 8-byte file header: a RECT of
// 5 + 4 x 31 bits (17 bytes), the frame rate and the frame count.
constexpr std::size_t kFrameHeaderMax = 17 + 2 + 2;

// The movie's offsets are 32-bit: a larger file is not one we can hold.
constexpr std::uint64_t kLargestFile = std::numeric_limits<std::uint32_t>::max() - 1u;

void startLoad(const std::string& path, LoadedMovie& movie, Analysis& analysis) {
  movie = LoadedMovie{};
  clearGlobals(analysis);
  movie.fnbuffer = path;
  movie.shortFileName = shortNameOf(path);
  movie.modNameOut = path;
}

std::string readingError(LoadedMovie& movie, const std::string& cause) {
  movie.loadErrorCause = cause + ": " + movie.fnbuffer;
  return kErrorReadingFile;
}

bool hasSwfSignature(std::span<const std::uint8_t> head) {
  return (head[0] == 'F' || head[0] == 'C') && head[1] == 'W' && head[2] == 'S';
}

// The 8-byte file header, from the file's first bytes as the reading loop
// stores them (at least nine: 0xFF where the file is shorter). Returns "" when
// the movie may be read on.
std::string readFileHeader(LoadedMovie& movie, std::span<const std::uint8_t> head, std::uint64_t fileSize) {
  if (!hasSwfSignature(head)) return kErrorNotSwf;
  movie.m.version = head[3];
  movie.m.size = readFileLength(head);
  movie.swfCompressed = head[0] == 'C' ? 1 : 0;
  movie.hInfoString2 = byteCountText(movie.m.size, "File Size: %.2f kBytes ", "File Size: %i bytes ");
  if (movie.swfCompressed) movie.hInfoString2 += "(uncompressed)";

  // A movie shorter than its own 8-byte header cannot be complete.
  if (movie.m.size < 8) return kErrorIncomplete;
  // The reading loop counts its end-of-file marker as a byte, so an
  // uncompressed file one byte short of its declared length passes.
  if (!movie.swfCompressed && std::max<std::uint64_t>(9, fileSize + 1) < movie.m.size) return kErrorIncomplete;
  return "";
}

// Opens the file and reads its 8-byte header: the three signature bytes
// first, so that a file that is no movie is refused whatever its size. Leaves
// the bytes read in `head` and returns "" when the movie may be read on.
std::string openMovieFile(RegularFile& file, LoadedMovie& movie, std::vector<std::uint8_t>& head) {
  if (!file.open(movie.fnbuffer)) return readingError(movie, file.cause());
  // What the reading loop counts: the file's bytes and its end marker, at least nine.
  movie.fileSize = file.size();
  movie.fileBufferCount = static_cast<std::uint32_t>(
      std::min<std::uint64_t>(std::max<std::uint64_t>(9, file.size() + 1), std::numeric_limits<std::uint32_t>::max()));
  movie.loadedDataSize = movie.fileBufferCount;
  // Past the end of a short file, the reading loop stores its end marker.
  std::uint8_t first[9];
  std::fill(std::begin(first), std::end(first), 0xFF);
  std::size_t got = file.read(first, 3);
  if (file.failed()) return readingError(movie, file.cause());
  if (got < 3 || !hasSwfSignature(first)) return kErrorNotSwf;
  got += file.read(first + 3, 5);
  if (file.failed()) return readingError(movie, file.cause());
  const std::string refusal = readFileHeader(movie, first, file.size());
  if (!refusal.empty()) return refusal;
  if (file.size() > kLargestFile) return readingError(movie, std::generic_category().message(EFBIG));
  head.assign(first, first + got);
  return "";
}

// Inflates the body of a "CWS" file into `movie` (header included). False
// when the stream ends, breaks or runs out before the declared length.
bool inflateBody(const std::vector<std::uint8_t>& file, std::uint32_t declared, std::vector<std::uint8_t>& movie) {
  const std::size_t sourceLength = file.size() - 8;
  const std::uint64_t wanted = declared - 8u;
  const std::uint64_t plausible = static_cast<std::uint64_t>(sourceLength) * kMaxInflateRatio + 1024;
  // Room for what the header declares (unless that is implausible), but the
  // buffer grows a step at a time: each step is zeroed just before inflate
  // writes it, and a header that lies costs no memory that is never written.
  movie.clear();
  movie.reserve(8 + static_cast<std::size_t>(std::min(wanted, plausible)));
  movie.assign(file.begin(), file.begin() + 8);
  movie[0] = 'F';
  constexpr std::size_t kStep = std::size_t{1} << 20;

  z_stream zs{};
  if (inflateInit(&zs) != Z_OK) return false;
  zs.next_in = const_cast<Bytef*>(file.data() + 8);
  zs.avail_in = static_cast<uInt>(std::min<std::size_t>(sourceLength, std::numeric_limits<uInt>::max()));
  std::size_t produced = 0;
  int rc = Z_OK;
  while (produced < wanted) {
    const auto room = static_cast<std::size_t>(std::min<std::uint64_t>(wanted - produced, kStep));
    movie.resize(8 + produced + room);
    zs.next_out = movie.data() + 8 + produced;
    zs.avail_out = static_cast<uInt>(room);
    rc = inflate(&zs, Z_NO_FLUSH);
    produced += room - zs.avail_out;
    if (rc == Z_STREAM_END) break;
    if (rc != Z_OK) break;  // damaged stream, or no more input
  }
  inflateEnd(&zs);
  if (produced < wanted) return false;
  movie.resize(8 + static_cast<std::size_t>(wanted));
  return true;
}

// Inflates only the first `wanted` bytes of a "CWS" body, reading the file a
// little at a time: what the file information needs, whatever the movie's size.
bool inflateHead(RegularFile& file, const std::vector<std::uint8_t>& header, std::size_t wanted,
                 std::vector<std::uint8_t>& movie) {
  movie.assign(header.begin(), header.begin() + 8);
  movie[0] = 'F';
  movie.resize(8 + wanted);
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
    zs.next_out = movie.data() + 8 + produced;
    zs.avail_out = static_cast<uInt>(wanted - produced);
    const int rc = inflate(&zs, Z_NO_FLUSH);
    produced = wanted - zs.avail_out;
    if (rc == Z_STREAM_END) break;
    if (rc != Z_OK && !(rc == Z_BUF_ERROR && zs.avail_in == 0)) break;
  }
  inflateEnd(&zs);
  return produced == wanted;
}

// The frame header after the file header: the movie's dimensions, frame rate
// and frame count, the texts that describe it, and the two header blocks.
void readFrameHeader(LoadedMovie& movie, Analysis& analysis) {
  const auto data = movie.fileBuffer();
  movie.m.version = data[3];
  movie.hInfoString1 = formatText("SWF Version: %i", movie.m.version);
  if (movie.swfCompressed) movie.hInfoString1 += " (compressed)";

  analysis.byteoutput.push_back(bytesOut{0, 0, 0, 0, 0, 0, 4, 4});
  analysis.byteoutput.push_back(bytesOut{kMarkFileLength, 0, 0, 0, 0, 4, 4, 4});
  movie.mSizeBlock = 1;

  // Everything after the header is read within the declared movie.
  Reader reader(data.subspan(0, std::min<std::size_t>(data.size(), movie.m.size)));
  reader.fileOffset = kFileHeaderSize;
  readRect(reader, movie.m.frame);
  movie.rectByteLen = static_cast<std::int32_t>(reader.fileOffset - 8);
  movie.hInfoString3 = formatText("Dimensions: %i x %i", movie.m.frame.xMax / 20, movie.m.frame.yMax / 20);
  const int fraction = reader.readByte();
  const int integer = reader.readByte();
  movie.m.rate = static_cast<float>(fraction / 256.0 + integer);
  movie.m.nFrames = reader.readBufUInt16();
  movie.ScanStartOffset = static_cast<std::uint32_t>(reader.fileOffset - 2);
  movie.ScanOld2f_seek = 8;
  movie.ScanStartByteoutputNum = 2;
  movie.hInfoString4 = formatText("Frames (main timeline): %i", movie.m.nFrames);
  movie.loaded = true;
}

}  // namespace

std::string shortNameOf(const std::string& path) {
  const auto slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string prescanFile(const std::string& path, LoadedMovie& movie, Analysis& analysis) {
  startLoad(path, movie, analysis);
  RegularFile file;
  std::vector<std::uint8_t> bytes;
  const std::string refusal = openMovieFile(file, movie, bytes);
  if (!refusal.empty()) return refusal;
  // One byte more than the file, for the end-of-file marker stored after it.
  const std::size_t headSize = bytes.size();
  bytes.reserve(static_cast<std::size_t>(file.size()) + 1);
  bytes.resize(std::max<std::size_t>(headSize, static_cast<std::size_t>(file.size())));
  const std::size_t got = file.read(bytes.data() + headSize, bytes.size() - headSize);
  if (file.failed()) return readingError(movie, file.cause());
  bytes.resize(headSize + got);
  return prescanBytes(path, std::move(bytes), movie, analysis);
}

std::string prescanHeader(const std::string& path, LoadedMovie& movie, Analysis& analysis) {
  startLoad(path, movie, analysis);
  RegularFile file;
  std::vector<std::uint8_t> head;
  const std::string refusal = openMovieFile(file, movie, head);
  if (!refusal.empty()) return refusal;
  movie.headerOnly = true;

  const auto frameHeader = static_cast<std::size_t>(std::min<std::uint64_t>(movie.m.size - 8u, kFrameHeaderMax));
  movie.origBuffer = head;
  if (movie.swfCompressed) {
    // A file shorter than its header has the end marker where bytes are missing.
    std::vector<std::uint8_t> header = head;
    header.resize(8, 0xFF);
    const bool inflated = inflateHead(file, header, frameHeader, movie.inflated);
    if (file.failed()) return readingError(movie, file.cause());
    if (!inflated) return kErrorIncomplete;
  } else {
    movie.origBuffer.resize(8 + frameHeader);
    const std::size_t got = file.read(movie.origBuffer.data() + 8, frameHeader);
    if (file.failed()) return readingError(movie, file.cause());
    movie.origBuffer.resize(8 + got);
    // The whole file was read: the end-of-file marker follows it, as in a full load.
    if (movie.origBuffer.size() == file.size()) movie.origBuffer.resize(movie.fileBufferCount, 0xFF);
  }
  readFrameHeader(movie, analysis);
  return "";
}

std::string prescanBytes(const std::string& path, std::vector<std::uint8_t> fileBytes, LoadedMovie& movie,
                         Analysis& analysis) {
  startLoad(path, movie, analysis);

  // The reading loop stores the end-of-file marker as one more 0xFF byte, and
  // the first nine bytes are read unconditionally, so short files are padded.
  const std::size_t fileSize = fileBytes.size();
  movie.fileSize = fileSize;
  movie.origBuffer = std::move(fileBytes);
  movie.origBuffer.resize(std::max<std::size_t>(9, fileSize + 1), 0xFF);
  movie.fileBufferCount = static_cast<std::uint32_t>(movie.origBuffer.size());
  movie.loadedDataSize = movie.fileBufferCount;

  const std::string refusal = readFileHeader(movie, movie.origBuffer, fileSize);
  if (!refusal.empty()) return refusal;
  if (movie.swfCompressed && !inflateBody(movie.origBuffer, movie.m.size, movie.inflated)) {
    movie.inflated.clear();
    movie.inflated.shrink_to_fit();
    return kErrorIncomplete;
  }
  readFrameHeader(movie, analysis);
  return "";
}

}  // namespace framestow
