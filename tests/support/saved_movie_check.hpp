// The one check of a saved movie against the movie it was saved from, through
// the format alone: what a Flash player would find in both files. The layout
// tables, the generated movies, the corpus run, the damaged movies and the
// fuzz targets all use it. It returns each failure as a line of text, so that
// a caller over thousands of movies can report them together.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "document/document.hpp"
#include "support/swf_builder.hpp"

namespace framestow::test {

struct SavedWith {
  std::int32_t frame = 1;
  bool removal = false;  // redundant ExportAssets entries were removed
};

// `input` is the analysed document of `inputFile`; what its definitions are
// built from (references) stands where their tags stand in the saved movie.
// Checks: signature and version kept; a "CWS" body inflates to exactly the
// declared length, and the length field is the movie's length; a movie whose
// tags fill its declared length comes back the same way, with the same tags
// (with removal, ExportAssets tags may lose redundant entries and nothing
// else), the same bytes after its End tag, and the same frames: frames before
// the target only lose tags, the target frame starts with them in their input
// order, later frames are unchanged; and no character is used before the tag
// that defines it unless the input already did so. Empty when all hold.
std::vector<std::string> checkSavedMovie(const Document& input, const ByteVector& inputFile,
                                         const ByteVector& savedFile, const SavedWith& saved);

// The whole job on one movie file, as a front end runs it: load, analyse,
// plan every target frame up to `maxFrame`, save a few of them (in memory)
// with and without removal, check each saved movie, and load and analyse it
// again. A movie whose tags fill its declared length must be saved. The file
// is written into `scratchFolder` to be loaded.
struct JobReport {
  std::string loadMessage;
  bool analysed = false;
  std::string analysisError;
  int saves = 0;  // movies saved and checked
  std::vector<std::string> failures;
};
JobReport runWholeJob(const ByteVector& file, const std::string& scratchFolder, std::int32_t maxFrame = 8);

}  // namespace framestow::test
