#include "document/file_information.hpp"

#include "common/byte_text.hpp"
#include "swfin/movie.hpp"

namespace framestow {
namespace {

// Twips are twentieths of a pixel.
constexpr int kTwipsPerPixel = 20;

}  // namespace

std::string fileNameOf(const std::string& path) {
  const auto slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

FileInformation describeFile(const LoadedMovie& movie) {
  FileInformation info;
  info.fileName = fileNameOf(movie.path);
  if (!movie.loaded()) return info;
  const MovieHeader& header = movie.header;
  info.compressed = header.compressed;
  info.compression = header.compression;
  info.version = header.version;
  info.declaredLength = header.fileLength;
  info.fileSize = movie.fileSize;
  info.frameCount = header.frameCount;
  info.frameRate = header.frameRate;
  info.width = static_cast<double>(header.frameRect.xMax - header.frameRect.xMin) / kTwipsPerPixel;
  info.height = static_cast<double>(header.frameRect.yMax - header.frameRect.yMin) / kTwipsPerPixel;
  const char* const kind = header.compression == Compression::kLzma ? " (LZMA compressed)"
                           : header.compressed                        ? " (compressed)"
                                                                      : "";
  info.lines[0] = formatText("SWF Version: %i", header.version) + kind;
  info.lines[1] = byteCountText(header.fileLength, "File Size: %.2f kBytes ", "File Size: %i bytes ") +
                  (header.compressed ? "(uncompressed)" : "");
  // The dialog has always shown the right and bottom edges, whole pixels.
  info.lines[2] = formatText("Dimensions: %i x %i", header.frameRect.xMax / kTwipsPerPixel,
                             header.frameRect.yMax / kTwipsPerPixel);
  info.lines[3] = formatText("Frames (main timeline): %i", header.frameCount);
  return info;
}

}  // namespace framestow
