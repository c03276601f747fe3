// Large synthetic movies for the benchmarks, written with the SWF test builder.
//
// Every movie is deterministic (fixed seeds), so a run measures the same bytes
// as the last. Sizes are of the uncompressed movie.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace framestow::bench {

enum class MovieKind {
  TagMix,     // hundreds of thousands of small tags, thousands of mostly exported sprites
  Bitmap,     // a few huge bitmaps
  Shape,      // many shapes with many edges and bitmap fills
  Action,     // long DoActions with ConstantPool and Push
  Diamond,    // sprites sharing children over 30 layers
  Diamond15,  // the same lattice, 15 layers (for the depth ratio)
};

struct BenchMovie {
  MovieKind kind;
  int sizeMb;  // the uncompressed size aimed at (Diamond15: that of its 30-layer partner)
  bool cws;
};

// "tagmix", "bitmap", ...
std::string kindName(MovieKind kind);
// "tagmix-16mb"
std::string movieName(const BenchMovie& which);
// "tagmix-16mb.cws.swf"
std::string movieFileName(const BenchMovie& which);

// Every movie the benchmarks use, for the given sizes.
std::vector<BenchMovie> allMovies(const std::vector<int>& sizesMb);

// Frames of the main timeline of every generated movie (targets 2, half and all are planned).
inline constexpr int kMainFrames = 120;

// The uncompressed ("FWS") movie of a kind and size.
std::vector<std::uint8_t> generateMovie(MovieKind kind, int sizeMb);

// The "CWS" file of an "FWS" movie: body deflated at level 9.
std::vector<std::uint8_t> compressMovie(const std::vector<std::uint8_t>& fws);

}  // namespace framestow::bench
