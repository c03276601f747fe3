// Loading a movie file: check its header, read it whole, decompress a "CWS" or "ZWS" body.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "swfin/inflate_stream.hpp"
#include "swfin/movie.hpp"

namespace framestow {

// Reads a movie while its "CWS" body inflates: called on the loading thread
// once the frame header is in place, it asks `progress` for the bytes it
// needs next before reading them (see RacingInflate). Its work counts only
// when the load succeeds: a body that is cut or damaged fails the load as it
// always does.
using ReadAlongside = std::function<void(const LoadedMovie& movie, const InflateProgress& progress)>;

// Loads the file at `path`. Only regular files are read, and a file that does
// not start with a SWF signature is refused after its first three bytes.
// Given `alongside`, a "CWS" body is inflated while `alongside` reads it, by
// libdeflate on a second thread racing zlib on this one (`alongside` is not
// called for other movies); without it, by libdeflate in one call where it can.
LoadedMovie loadMovie(const std::string& path, const ReadAlongside& alongside = {});

// The same, reading only what describing the movie needs: the header, and of
// a compressed body only what the frame header needs. The movie is `headerOnly`; a
// damaged body further on goes unnoticed.
LoadedMovie loadMovieHeader(const std::string& path);

// The same from the file's bytes, already in memory.
LoadedMovie loadMovieFromBytes(const std::string& path, std::vector<std::uint8_t> fileBytes,
                               const ReadAlongside& alongside = {});

}  // namespace framestow
