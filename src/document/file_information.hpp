// What a front end shows about a movie file before its analysis: the dialog's
// "File Information" box, and the header's numbers behind it.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "common/compression.hpp"

namespace framestow {

struct LoadedMovie;

struct FileInformation {
  std::string fileName;  // the path without its folder
  bool compressed = false;
  Compression compression = Compression::kNone;
  int version = 0;
  std::uint32_t declaredLength = 0;  // the header's file length: the uncompressed movie
  std::uint64_t fileSize = 0;        // bytes on disk
  int frameCount = 0;                // frames of the main timeline, from the header
  double frameRate = 0.0;
  double width = 0.0;   // the stage in pixels
  double height = 0.0;
  // "SWF Version: 6 (compressed)", "File Size: 7.82 kBytes (uncompressed)",
  // "Dimensions: 550 x 400", "Frames (main timeline): 2".
  std::array<std::string, 4> lines;
};

// The file name without its folder: what follows the last '/' or '\\'.
std::string fileNameOf(const std::string& path);

// The information of a loaded movie (the file name alone for one that did not load).
FileInformation describeFile(const LoadedMovie& movie);

}  // namespace framestow
