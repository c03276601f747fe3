// Loading a movie file: check its header, read it whole, decompress a "CWS" or "ZWS" body.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "swfin/movie.hpp"

namespace framestow {

// Loads the file at `path`. Only regular files are read, and a file that does
// not start with a SWF signature is refused after its first three bytes.
LoadedMovie loadMovie(const std::string& path);

// The same, reading only what describing the movie needs: the header, and of
// a compressed body only what the frame header needs. The movie is `headerOnly`; a
// damaged body further on goes unnoticed.
LoadedMovie loadMovieHeader(const std::string& path);

// The same from the file's bytes, already in memory.
LoadedMovie loadMovieFromBytes(const std::string& path, std::vector<std::uint8_t> fileBytes);

}  // namespace framestow
