// A movie as loaded: the header record, the bytes, and the texts that describe the file.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "swfin/records.hpp"

namespace framestow {

// The SWF file header as read.
struct Movie {
  std::int32_t version = 0;
  std::uint32_t size = 0;  // declared length of the uncompressed movie, header included
  Rect frame;              // frame size in twips
  float rate = 0.0f;       // frames per second
  std::int32_t nFrames = 0;
};

struct LoadedMovie {
  // Path of the file that was loaded (or attempted).
  std::string fnbuffer;
  // The file's bytes exactly as read, followed by one extra 0xFF byte (the
  // end-of-file marker the reading loop counts). The backup is written from it.
  std::vector<std::uint8_t> origBuffer;
  // For a "CWS" file: the uncompressed movie, `m.size` bytes, with the signature
  // changed to "FWS". Empty for an "FWS" file, whose movie is `origBuffer` itself.
  std::vector<std::uint8_t> inflated;

  std::uint32_t fileBufferCount = 0;  // bytes read: the file's size plus one, at least 9
  std::uint32_t loadedDataSize = 0;
  std::uint64_t fileSize = 0;  // bytes on disk
  int swfCompressed = 0;
  Movie m;
  bool loaded = false;  // the last load succeeded
  // Only the header was read (what the file information needs): the buffers
  // hold the first bytes of the movie, which can be described but not analysed.
  bool headerOnly = false;
  // Why the file could not be read, and its path: "No such file or directory:
  // /films/intro.swf". Empty unless the load failed with the reading error.
  std::string loadErrorCause;

  std::string shortFileName;  // the file name without its folder
  std::string modNameOut;     // the path; after analysis, the backup name
  std::string hInfoString1, hInfoString2, hInfoString3, hInfoString4;

  std::int32_t rectByteLen = 0;
  std::int32_t mSizeBlock = 1;
  std::uint32_t ScanStartOffset = 0;
  std::uint32_t ScanOld2f_seek = 8;
  std::uint32_t ScanStartByteoutputNum = 2;

  // The uncompressed movie every later step reads.
  std::span<const std::uint8_t> fileBuffer() const {
    return swfCompressed ? std::span<const std::uint8_t>(inflated) : std::span<const std::uint8_t>(origBuffer);
  }
};

}  // namespace framestow
