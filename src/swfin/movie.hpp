// A movie file as loaded: its header, and its bytes uncompressed.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "common/compression.hpp"
#include "swfin/read_failure.hpp"
#include "swfin/records.hpp"

namespace framestow {

enum class LoadOutcome {
  kLoaded,
  kUnreadable,  // the file could not be read (see LoadedMovie::readFailure)
  kNotSwf,      // it does not start with "FWS", "CWS" or "ZWS"
  kIncomplete,  // it is shorter than its header declares, or its compressed body is cut or damaged
};

// The SWF header: the file header and the frame header after it.
struct MovieHeader {
  bool compressed = false;           // "CWS" or "ZWS": the movie is `inflated`, not the file's bytes
  Compression compression = Compression::kNone;  // how the body after the first 8 bytes is stored
  std::uint8_t version = 0;
  std::uint32_t fileLength = 0;      // the declared length of the uncompressed movie, header included
  Rect frameRect;                    // the stage, in twips
  float frameRate = 0.0f;            // frames per second
  std::uint16_t frameCount = 0;      // frames of the main timeline
  std::uint32_t firstTagOffset = 0;  // where the tags start, right after the frame count
};

struct LoadedMovie {
  std::string path;  // as given
  LoadOutcome outcome = LoadOutcome::kUnreadable;
  ReadFailure readFailure;  // why, when the outcome is kUnreadable
  MovieHeader header;
  std::uint64_t fileSize = 0;  // bytes on disk
  // Only the header was read (what describing the file needs): the bytes are
  // the first of the movie, enough to describe it but not to analyse it.
  bool headerOnly = false;
  // The file's bytes as read. An uncompressed movie is these bytes followed by
  // one 0xFF byte: the end-of-file marker the format's reference reader counts
  // as a byte of the movie (so a file one byte short of its declared length
  // still loads, and the marker stands for the missing byte).
  std::vector<std::uint8_t> file;
  // A "CWS" or "ZWS" movie uncompressed, exactly its declared length, signed "FWS".
  std::vector<std::uint8_t> inflated;

  bool loaded() const { return outcome == LoadOutcome::kLoaded; }
  // The uncompressed movie every later step reads.
  std::span<const std::uint8_t> bytes() const { return header.compressed ? inflated : file; }
  // The file exactly as it was read from disk.
  std::span<const std::uint8_t> fileAsRead() const {
    return std::span<const std::uint8_t>(file).first(fileSize < file.size() ? static_cast<std::size_t>(fileSize) : file.size());
  }
};

}  // namespace framestow
