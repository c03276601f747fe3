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

// Where the analysis of `doc` disagrees with what the independent lister reads
// off `file`. For a movie whose tags fill its declared length: the blocks are
// the three header blocks, one block per tag in file order (a DefineSprite's
// holds its id and frame count, its tags follow on the sprite's timeline) and
// after the main End tag the closing record; a frame ends at each ShowFrame of
// the main timeline; the linked assets are the exported ids in first-export
// order, each with its distinct names. For any movie that is all there, every block starts inside it.
std::vector<std::string> analysisDiffersFromListing(const Document& doc, const ByteVector& file);

// The whole job on one movie file, as a front end runs it: load, analyse
// (checked against the lister), plan every target frame up to `maxFrame`,
// save (in memory) every one of them when the movie has linked assets, else
// frame 2 and frame 1 with removal, check each saved movie, and load and
// analyse again the one saved without removal for the last frame. A movie whose tags fill its declared length must be saved.
// The file is loaded from `path`, or else written into `scratchFolder` first.
struct JobReport {
  std::string loadMessage;
  bool analysed = false;
  std::string analysisError;
  int saves = 0;  // movies saved and checked
  std::vector<std::string> failures;
};
JobReport runWholeJob(const ByteVector& file, const std::string& scratchFolder, std::int32_t maxFrame = 8, const std::string& path = "");

}  // namespace framestow::test
