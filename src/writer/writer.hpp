// Output assembly: the movie written again with the planned blocks at the start of frame n.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "analysis/tables.hpp"
#include "planner/plan.hpp"
#include "swfin/movie.hpp"
#include "writer/file_system.hpp"

namespace framestow {

// moveAssets results, as the front ends report them.
enum SaveResult : int {
  kErrorCreatingBackup = 0,  // "ERROR CREATING BACKUP": nothing written
  kFileModified = 1,         // "FILE MODIFIED"
  kErrorWritingFile = 2,     // "ERROR WRITING FILE": the backup, if asked for, was written
};

const char* saveResultText(int result);

struct SaveOptions {
  std::int32_t targetFrame = 1;
  bool optimise = false;    // write ExportAssets tags without their redundant entries
  bool backup = true;       // keep the file as loaded under the backup name first
  std::string outputPath;   // empty: replace the loaded file
  std::string backupPath;   // empty: the backup name derived from the loaded path
};

// The uncompressed movie the plan produces (signature still "FWS"), or nothing
// when the movie cannot be written (not analysed, tags past the data).
std::optional<std::vector<std::uint8_t>> assembleMovie(const LoadedMovie& movie, const Analysis& analysis,
                                                       const Plan& plan, std::int32_t targetFrame,
                                                       bool optimise);

// The bytes of the file to write: the assembled movie, deflated again at level 9
// when the input was "CWS". Nothing when deflate fails.
std::optional<std::vector<std::uint8_t>> encodeMovie(const LoadedMovie& movie,
                                                     std::vector<std::uint8_t> uncompressed);

// Writes `bytes` to `path` through a temporary file beside it, flushed and
// renamed over the target, keeping the target's permission bits. On failure
// the target is untouched and no temporary file remains.
bool replaceFileAtomically(FileSystem& fs, const std::string& path, const std::uint8_t* data, std::size_t size);

// Backup, assembly, recompression and replacement. Returns a SaveResult.
int moveAssets(const LoadedMovie& movie, const Analysis& analysis, const Plan& plan, const SaveOptions& options,
               FileSystem& fs = realFileSystem());

// The backup name: the path without its last four characters, then "_old.swf".
std::string backupNameFor(const std::string& path);

}  // namespace framestow
