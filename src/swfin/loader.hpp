// Loading a movie file: check its header, read it whole, inflate a "CWS" body.
#pragma once

#include <string>

#include "analysis/tables.hpp"
#include "swfin/movie.hpp"

namespace framestow {

inline constexpr const char* kErrorReadingFile = "Sorry, an error has occured reading the file.\r\n";
inline constexpr const char* kErrorNotSwf = "Sorry, the file doesn't appear to be an swf.\r\n";
inline constexpr const char* kErrorIncomplete = "Sorry, the file doesn't appear to be complete.\r\n";

// Loads the file at `path` into `movie` and creates blocks 0 and 1 of
// `analysis`, after resetting both. Returns "" on success, else one of the
// three messages above; with the reading error, `movie.loadErrorCause` says
// why and where. Only regular files are read, and a file that does not start
// with a SWF signature is refused after its first three bytes.
std::string prescanFile(const std::string& path, LoadedMovie& movie, Analysis& analysis);

// The same, reading only what the file information needs: the header, and of
// a "CWS" body only what the frame header needs. The movie is marked
// `headerOnly`; a damaged body further on goes unnoticed.
std::string prescanHeader(const std::string& path, LoadedMovie& movie, Analysis& analysis);

// The same from bytes already in memory (the file's content).
std::string prescanBytes(const std::string& path, std::vector<std::uint8_t> fileBytes, LoadedMovie& movie,
                         Analysis& analysis);

// The file name without its folder: what follows the last '/' or '\\'.
std::string shortNameOf(const std::string& path);

}  // namespace framestow
