// Files of one test: a fresh folder named after it, and movies written there,
// loaded and analysed as the front ends do it.
#pragma once

#include <ostream>
#include <string>

#include "document/document.hpp"
#include "support/tags.hpp"
#include "support/temp_dir.hpp"

namespace framestow::test {

// The movie of `tags`, written into the test's folder as `name`, loaded and
// analysed; the test fails when it does not analyse, or when its blocks are
// not the tags the independent lister finds (expectBlocksOfListing).
Document analysedMovie(const Tags& tags, MovieOptions options = {}, const std::string& name = "movie.swf");

// The blocks of an analysed movie are its tags as the lister reads them: the
// three header blocks, one block per tag in file order (a DefineSprite's block
// holds its id and frame count, its tags follow on the sprite's timeline), and
// after the main End tag the closing record. For a movie whose tags do not
// fill it, every block still lies inside its declared length.
void expectBlocksOfListing(const Document& doc, const ByteVector& file);

}  // namespace framestow::test

namespace framestow {
// How the document's answers read in a failed expectation.
inline void PrintTo(const Block& b, std::ostream* os) {
  *os << "{tag " << b.tagCode << ", header " << b.headerSize << ", body " << b.bodySize << ", at " << b.offset
      << ", timeline " << b.timeline << "}";
}
inline void PrintTo(const Reference& r, std::ostream* os) { *os << "{" << r.charId << " in frame " << r.frame << "}"; }
inline void PrintTo(const LinkedAsset& a, std::ostream* os) {
  *os << "{" << a.id << ":";
  for (const auto& name : a.names) *os << " \"" << name << "\"";
  *os << "}";
}
}  // namespace framestow
