#include "swfin/loader.hpp"

#include <zlib.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <limits>

#include "common/byte_text.hpp"
#include "swfin/reader.hpp"

namespace framestow {
namespace {

// zlib cannot expand data by more than about 1032:1, so a body can never yield
// more than this; a header that declares more is not believed up front.
constexpr std::uint64_t kMaxInflateRatio = 1032;

bool readWholeFile(const std::string& path, std::vector<std::uint8_t>& out) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  in.seekg(0, std::ios::end);
  const std::streamoff size = in.tellg();
  if (size < 0) return false;
  // The movie's offsets are 32-bit: a file that large is not one we can hold.
  if (static_cast<std::uint64_t>(size) >= std::numeric_limits<std::uint32_t>::max()) return false;
  in.seekg(0, std::ios::beg);
  // One byte more than the file, for the end-of-file marker the loader appends.
  out.reserve(static_cast<std::size_t>(size) + 1);
  out.resize(static_cast<std::size_t>(size));
  if (size > 0 && !in.read(reinterpret_cast<char*>(out.data()), size)) return false;
  return true;
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

}  // namespace

std::string shortNameOf(const std::string& path) {
  const auto slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string prescanFile(const std::string& path, LoadedMovie& movie, Analysis& analysis) {
  std::vector<std::uint8_t> bytes;
  if (!readWholeFile(path, bytes)) {
    movie = LoadedMovie{};
    clearGlobals(analysis);
    movie.fnbuffer = path;
    movie.shortFileName = shortNameOf(path);
    movie.modNameOut = path;
    return kErrorReadingFile;
  }
  return prescanBytes(path, std::move(bytes), movie, analysis);
}

std::string prescanBytes(const std::string& path, std::vector<std::uint8_t> fileBytes, LoadedMovie& movie,
                         Analysis& analysis) {
  movie = LoadedMovie{};
  clearGlobals(analysis);
  movie.fnbuffer = path;
  movie.shortFileName = shortNameOf(path);
  movie.modNameOut = path;

  // The reading loop stores the end-of-file marker as one more 0xFF byte, and
  // the first nine bytes are read unconditionally, so short files are padded.
  const std::size_t fileSize = fileBytes.size();
  movie.origBuffer = std::move(fileBytes);
  movie.origBuffer.resize(std::max<std::size_t>(9, fileSize + 1), 0xFF);
  movie.fileBufferCount = static_cast<std::uint32_t>(movie.origBuffer.size());
  movie.loadedDataSize = movie.fileBufferCount;

  const auto& b = movie.origBuffer;
  const bool fws = b[0] == 'F' && b[1] == 'W' && b[2] == 'S';
  const bool cws = b[0] == 'C' && b[1] == 'W' && b[2] == 'S';
  if (!fws && !cws) return kErrorNotSwf;

  Reader header(movie.origBuffer);
  header.fileOffset = 2;
  movie.m.version = header.readBufUInt8();
  header.fileOffset = 4;
  movie.m.size = header.readBufUInt32();

  movie.swfCompressed = cws ? 1 : 0;
  movie.hInfoString2 = byteCountText(movie.m.size, "File Size: %.2f kBytes ", "File Size: %i bytes ");
  if (movie.swfCompressed) movie.hInfoString2 += "(uncompressed)";

  // A movie shorter than its own 8-byte header cannot be complete.
  if (movie.m.size < 8) return kErrorIncomplete;
  if (movie.swfCompressed) {
    if (!inflateBody(movie.origBuffer, movie.m.size, movie.inflated)) {
      movie.inflated.clear();
      movie.inflated.shrink_to_fit();
      return kErrorIncomplete;
    }
  } else if (movie.loadedDataSize < movie.m.size) {
    return kErrorIncomplete;
  }

  const auto data = movie.fileBuffer();
  movie.m.version = data[3];
  movie.hInfoString1 = formatText("SWF Version: %i", movie.m.version);
  if (movie.swfCompressed) movie.hInfoString1 += " (compressed)";

  analysis.byteoutput.push_back(bytesOut{0, 0, 0, 0, 0, 0, 4, 4});
  analysis.byteoutput.push_back(bytesOut{kMarkFileLength, 0, 0, 0, 0, 4, 4, 4});
  movie.mSizeBlock = 1;

  // Everything after the header is read within the declared movie.
  Reader reader(data.subspan(0, std::min<std::size_t>(data.size(), movie.m.size)));
  reader.fileOffset = 4;
  movie.m.size = reader.readBufUInt32();
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
  return "";
}

}  // namespace framestow
