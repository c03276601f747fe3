// Files of one test: a fresh folder named after it, movies written there,
// loaded and analysed as the front ends do it, and the shared corpus of real
// movies.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "document/document.hpp"
#include "support/tags.hpp"

namespace framestow::test {

// The running test's folder, emptied when first asked for.
std::string testTempDir();
std::string tempPath(const std::string& name);

// The movie of `tags`, written into the test's folder as `name`, loaded and
// analysed; the test fails when it does not analyse, or when the analysis
// disagrees with the independent lister (analysisDiffersFromListing).
Document analysedMovie(const Tags& tags, MovieOptions options = {}, const std::string& name = "movie.swf");
void expectAnalysisOfListing(const Document& doc, const ByteVector& file);

// Every .swf file below the corpus folder, sorted; empty when it is absent.
std::vector<std::string> corpusMovies();
std::string corpusDir();

}  // namespace framestow::test

namespace framestow {
// How the document's answers read in a failed expectation.
inline void PrintTo(const Block& b, std::ostream* os) { *os << "{tag " << b.tagCode << " +" << b.headerSize << "+" << b.bodySize << " at " << b.offset << " in " << b.timeline << "}"; }
inline void PrintTo(const Reference& r, std::ostream* os) { *os << "{" << r.charId << " in frame " << r.frame << "}"; }
inline void PrintTo(const LinkedAsset& a, std::ostream* os) { *os << "{" << a.id << ": " << a.names.size() << " names, first \"" << (a.names.empty() ? "" : a.names[0]) << "\"}"; }
}  // namespace framestow
