// Builder movies on disk, loaded and analysed the way the front ends do it.
#pragma once

#include <string>

#include "document/document.hpp"
#include "support/swf_builder.hpp"

namespace framestow::test {

// Writes `bytes` as `name` in the test's folder, loads and analyses it with
// `doc`. Returns the path. The caller checks doc.analysed().
std::string loadMovie(Document& doc, const ByteVector& bytes, const std::string& name = "movie.swf");

// A Document holding `bytes`, loaded from a file and analysed. The caller
// checks analysed().
Document analysedMovie(const ByteVector& bytes, const std::string& name = "movie.swf");

// The file a save for frame `n` writes for the movie `bytes` (no file is
// written: the movie goes through Document::writeTo). Empty when it fails.
ByteVector savedMovie(const ByteVector& bytes, std::int32_t n, bool optimise = false);

// Size in bytes of the tags a timeline holds.
inline std::size_t sizeOf(const Timeline& tags) { return tags.bytes().size(); }

}  // namespace framestow::test
