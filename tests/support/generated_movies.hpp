// Movies from a seeded generator: frames of random definitions of every kind
// the analysis reads (bitmaps, shapes of each version, sounds, fonts, texts,
// buttons with their sounds, morph shapes, sprites with init actions), placed,
// started and exported at random, with attach codes, clip actions, repeated
// exports, bytes after End. Every character is defined before it is used, so
// a generated movie is sound: the generated-movie test, the damage sweeps and
// the fuzz targets' seeds all start from them.
#pragma once

#include "support/tags.hpp"

namespace framestow::test {

ByteVector generatedMovie(unsigned seed);

}  // namespace framestow::test
