// What a save did, as data: document/ puts it into words.
#pragma once

#include <string>
#include <system_error>

#include "writer/file_system.hpp"

namespace framestow {

// The numbers are stable: the benchmarks' peak-memory driver prints them.
enum class SaveResult {
  kErrorCreatingBackup = 0,  // the backup could not be made: nothing written
  kFileModified = 1,         // the movie was written
  kErrorWritingFile = 2,     // nothing written
  kAlreadyLaidOut = 3,       // the file already has this layout: nothing to write, nothing written
};
using enum SaveResult;

// Why a save stopped, and the file it concerns.
struct SaveProblem {
  enum class Kind {
    kNone,
    kSystemError,         // the system refused: `error`
    kNotRegularFile,      // what the name leads to is no regular file (any more), found under the lock
    kNotRegularKind,      // the target is `fileKind`, not a regular file
    kDanglingLink,        // the output name is a symbolic link to nothing (`other`: where it points)
    kReadOnly,            // the movie's file is read-only
    kAnotherSave,         // another save holds the file
    kChangedSinceLoaded,  // the loaded movie's file is no longer what was loaded
    kReplacedMeanwhile,   // another file was put under the target's name meanwhile
    kNotCompressed,       // deflate failed
    kIncomplete,          // the movie is incomplete and cannot be written
    kNoFreeBackupName,    // every backup name is taken (`other`: the last one tried)
    kNotAnalysed,         // the movie was not analysed
  };
  Kind kind = Kind::kNone;
  std::string path;
  std::error_code error;
  FileKind fileKind = FileKind::Missing;
  std::string other;

  explicit operator bool() const { return kind != Kind::kNone; }
  static SaveProblem system(std::error_code error, std::string path) {
    return SaveProblem{Kind::kSystemError, std::move(path), error, FileKind::Missing, {}};
  }
  static SaveProblem of(Kind kind, std::string path, std::string other = {}) {
    return SaveProblem{kind, std::move(path), {}, FileKind::Missing, std::move(other)};
  }
};

// What the writer reports: document/ turns it into the SaveOutcome the front ends show.
struct WriteOutcome {
  SaveResult result = kErrorWritingFile;
  std::string backupPath;  // the backup actually written; "" when none was
  SaveProblem problem;     // why it failed; none on success
  std::string outputPath;  // the file that was (or would have been) replaced: the real file behind a link
};

}  // namespace framestow
