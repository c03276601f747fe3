// How a movie's file streams in: for every frame of the main timeline, how
// many bytes of the file (as stored: compressed for "CWS" and "ZWS", the file
// header included) must have arrived before the frame can show. Measured on
// the file as loaded, or on the file a plan would save, without writing it.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "analysis/movie_index.hpp"
#include "common/compression.hpp"
#include "planner/plan.hpp"
#include "swfin/movie.hpp"

namespace framestow {

struct StreamProfile {
  Compression compression = Compression::kNone;
  std::uint64_t fileSize = 0;  // bytes of the whole file
  // frameArrivals[f - 1]: bytes of the file a player needs before frame f
  // shows, the first byte past the frame's ShowFrame once decoded. Rising.
  std::vector<std::uint64_t> frameArrivals;
};

// The file as loaded. Nothing when the movie is not analysed or its
// compressed body does not decode as far as its last frame.
std::optional<StreamProfile> profileOfLoadedFile(const LoadedMovie& movie, const MovieIndex& index);

// The file a save of `plan` for frame n would write, compressed as
// `compression` asks (nothing: as the loaded file), encoded exactly as the
// save encodes it. Nothing when the movie cannot be saved.
std::optional<StreamProfile> profileOfSave(const LoadedMovie& movie, const MovieIndex& index, const Plan& plan,
                                           std::int32_t n, bool optimise, std::optional<Compression> compression);

}  // namespace framestow
