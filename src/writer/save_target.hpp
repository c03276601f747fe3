// Where a save writes: the real file behind symbolic links, whether that is
// the loaded movie itself, and whether it may be replaced.
#pragma once

#include <string>
#include <system_error>

#include "writer/file_system.hpp"
#include "writer/save_outcome.hpp"

namespace framestow {

struct SaveTarget {
  std::string path;             // the file replaced or created, links followed
  std::string folder;           // its folder, where the temporary file goes
  bool replacesLoaded = false;  // the loaded movie itself: the backup and the unchanged check apply
  FileStatus status;            // what is there now; kind Missing for a new file
};

// Resolves the target of a save of the movie loaded from `loadedPath`: that
// file itself when `outputPath` is empty or names it (the same name, or a link
// to it), else `outputPath`. Nothing, or why no file there can be written.
SaveProblem chooseTarget(FileSystem& fs, const std::string& loadedPath, const std::string& outputPath,
                         SaveTarget& target);

// What makes `target` no file to replace: not a regular file, or (for the
// loaded movie) gone. Nothing when it is one.
SaveProblem checkKind(const SaveTarget& target);

// What stops this process from replacing `target`: a read-only file, or a
// file or folder it may not write. Nothing when nothing does.
SaveProblem checkWritable(FileSystem& fs, const SaveTarget& target);

}  // namespace framestow
