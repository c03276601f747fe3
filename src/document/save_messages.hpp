// What a save did, in the words the front ends show: the result line and the
// reason a save stopped.
#pragma once

#include <string>

#include "writer/save_outcome.hpp"

namespace framestow {

struct SaveOutcome {
  SaveResult result = kErrorWritingFile;
  std::string backupPath;  // the backup actually written; "" when none was
  std::string reason;      // why it failed, with the path it concerns; "" on success
  std::string outputPath;  // the file that was (or would have been) replaced: the real file behind a link
};

inline bool operator==(const SaveOutcome& outcome, SaveResult result) { return outcome.result == result; }

const char* saveResultText(SaveResult result);

// "<why>: <path>" and the like, one line; "" for no problem.
std::string saveProblemText(const SaveProblem& problem);

// The writer's outcome with its problem put into words.
SaveOutcome describeWrite(WriteOutcome outcome);

}  // namespace framestow
