// What a save did, for the front ends to present.
#pragma once

#include <string>

namespace framestow {

enum SaveResult : int {
  kErrorCreatingBackup = 0,  // "ERROR CREATING BACKUP": nothing written
  kFileModified = 1,         // "FILE MODIFIED"
  kErrorWritingFile = 2,     // "ERROR WRITING FILE": nothing written
  kAlreadyLaidOut = 3,       // "FILE ALREADY HAS THIS LAYOUT": nothing to write, nothing written
};

// The line a front end shows for a result.
const char* saveResultText(int result);

struct SaveOutcome {
  SaveResult result = kErrorWritingFile;
  std::string backupPath;  // the backup actually written; "" when none was
  std::string reason;      // why it failed, with the path it concerns; "" on success
  std::string outputPath;  // the file that was (or would have been) replaced: the real file behind a link
};

inline bool operator==(const SaveOutcome& outcome, SaveResult result) { return outcome.result == result; }

}  // namespace framestow
