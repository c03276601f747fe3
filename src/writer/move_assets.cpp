#include "writer/writer.hpp"

namespace framestow {

const char* saveResultText(int result) {
  switch (result) {
    case kFileModified: return "FILE MODIFIED";
    case kErrorCreatingBackup: return "ERROR CREATING BACKUP";
    case kErrorWritingFile: return "ERROR WRITING FILE";
    default: return "";
  }
}

std::string backupNameFor(const std::string& path) {
  // The extension goes (".swf" usually); a name without a four-character
  // extension keeps all of it, so the backup never lands on another name.
  const auto slash = path.find_last_of("/\\");
  const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
  if (path.size() >= nameStart + 4 && path[path.size() - 4] == '.') {
    return path.substr(0, path.size() - 4) + "_old.swf";
  }
  return path + "_old.swf";
}

int moveAssets(const LoadedMovie& movie, const Analysis& analysis, const Plan& plan, const SaveOptions& options,
               FileSystem& fs) {
  // Everything is put together before any file is touched, so a movie that
  // cannot be written leaves every file as it was.
  // The movie is kept as runs of the loaded bytes: an "FWS" movie is written
  // from them, a "CWS" one deflated from them, and neither is copied whole.
  const auto assembled = assembleRuns(movie, analysis, plan, options.targetFrame, options.optimise);
  if (!assembled) return kErrorWritingFile;
  std::optional<std::vector<std::uint8_t>> encoded;
  if (movie.swfCompressed) {
    encoded = encodeMovie(movie, *assembled);
    if (!encoded) return kErrorWritingFile;
  }
  const std::string target = options.outputPath.empty() ? movie.fnbuffer : options.outputPath;
  if (target.empty()) return kErrorWritingFile;

  if (options.backup) {
    const std::string backupPath = options.backupPath.empty() ? backupNameFor(movie.fnbuffer) : options.backupPath;
    // The file exactly as it was read, compressed if it was.
    const std::size_t size = movie.fileBufferCount > 0 ? movie.fileBufferCount - 1 : 0;
    if (movie.fnbuffer.empty() || movie.origBuffer.size() < size ||
        !replaceFileAtomically(fs, backupPath, movie.origBuffer.data(), size)) {
      return kErrorCreatingBackup;
    }
  }
  const bool written = encoded ? replaceFileAtomically(fs, target, encoded->data(), encoded->size())
                                : replaceFileAtomically(fs, target, *assembled);
  if (!written) return kErrorWritingFile;
  return kFileModified;
}

}  // namespace framestow
