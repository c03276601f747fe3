#include "document/unsaveable.hpp"

#include "common/byte_text.hpp"

namespace framestow {

std::string unsaveableReason(const LoadedMovie& movie, const MovieIndex& analysis) {
  // The loader lets an uncompressed file one byte short of its declared length
  // through (the end-of-file marker it counts makes up for the byte), but a
  // saved movie must hold every byte its header declares, and that one is not
  // in the file.
  if (!movie.header.compressed && movie.fileSize < movie.header.fileLength) {
    const std::uint64_t missing = movie.header.fileLength - movie.fileSize;
    return formatText("This movie cannot be saved: the file is %llu %s shorter than its header declares.",
                      static_cast<unsigned long long>(missing), missing == 1 ? "byte" : "bytes");
  }
  // A tag whose length reaches past the declared movie (the tags after it
  // would be inside it) cannot be moved or copied whole.
  if (analysis.tagsRunPastData) return "This movie cannot be saved: its last tag runs past the end of the movie.";
  return "";
}

}  // namespace framestow
