// What a save did, as data: document/ puts it into words.
#pragma once

#include <string>

namespace framestow {

enum class SaveResult {
  kErrorCreatingBackup,  // the backup could not be made: nothing written
  kFileModified,         // the movie was written
  kErrorWritingFile,     // nothing written
  kAlreadyLaidOut,       // the file already has this layout: nothing to write, nothing written
};
using enum SaveResult;

struct SaveOutcome {
  SaveResult result = kErrorWritingFile;
  std::string backupPath;  // the backup actually written; "" when none was
  std::string reason;      // why it failed, with the path it concerns; "" on success
  std::string outputPath;  // the file that was (or would have been) replaced: the real file behind a link
};

inline bool operator==(const SaveOutcome& outcome, SaveResult result) { return outcome.result == result; }

}  // namespace framestow
