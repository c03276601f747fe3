// Checks a saved movie against the movie it was saved from, through the
// format alone: what a Flash player would see in both files.
//
// Used by the writer tests, the corpus conformance run and the fuzz targets.
// It returns every failure it finds as a line of text instead of asserting,
// so that a caller over thousands of movies can report them together.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "support/swf_builder.hpp"

namespace framestow::test {

struct SavedWith {
  std::int32_t targetFrame = 1;
  bool optimise = false;  // redundant export entries were removed
};

// Compares `outputPath` (the saved movie) with `inputPath` (the movie as it
// was before the save). Checks: the output loads and analyses; signature,
// version and frame count are kept; a "CWS" body inflates to exactly the
// declared length and the length field is the uncompressed length; the tags
// are the input's (with removal on: the ExportAssets tags may lose redundant
// entries, nothing else); frames before n only lose tags, frame n gains them
// in input order before its own tags, later frames are unchanged; and no
// character is used before the tag that defines it unless the input already
// did so. An empty result means the output is sound.
std::vector<std::string> checkSavedMovie(const std::string& inputPath, const std::string& outputPath,
                                         const SavedWith& saved);

// One tag of a movie as it stands in the uncompressed bytes.
struct TagRecord {
  std::uint32_t code = 0;
  std::uint64_t offset = 0;  // first byte of the tag header
  ByteVector bytes;          // header and body
};

// The movie's main-timeline tags (a DefineSprite as one tag with its whole
// body), up to and including End; `trailer` receives the bytes after End.
// Returns false when a tag runs past the data.
bool splitTopLevelTags(const ByteVector& movie, std::vector<TagRecord>& tags, ByteVector* trailer = nullptr);

// Inflates a "CWS" file's body; false unless the stream ends exactly at the
// declared length.
bool inflateExactly(const ByteVector& file, ByteVector& movie, std::string& why);

}  // namespace framestow::test
