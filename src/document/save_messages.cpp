#include "document/save_messages.hpp"

#include <utility>

namespace framestow {
namespace {

const char* kindName(FileKind kind) {
  switch (kind) {
    case FileKind::Directory: return "a folder";
    case FileKind::Fifo: return "a FIFO";
    case FileKind::Device: return "a device";
    case FileKind::Socket: return "a socket";
    default: return "neither file nor folder";
  }
}

}  // namespace

const char* saveResultText(SaveResult result) {
  switch (result) {
    case kFileModified: return "FILE MODIFIED";
    case kErrorCreatingBackup: return "ERROR CREATING BACKUP";
    case kErrorWritingFile: return "ERROR WRITING FILE";
    case kAlreadyLaidOut: return "FILE ALREADY HAS THIS LAYOUT";
  }
  return "";
}

std::string saveProblemText(const SaveProblem& problem) {
  using Kind = SaveProblem::Kind;
  const std::string& path = problem.path;
  switch (problem.kind) {
    case Kind::kNone: return "";
    case Kind::kSystemError: return problem.error.message() + ": " + path;
    case Kind::kNotRegularFile: return "Not a regular file: " + path;
    case Kind::kNotRegularKind: return "Not a regular file (" + std::string(kindName(problem.fileKind)) + "): " + path;
    case Kind::kDanglingLink: return "The symbolic link points to no file: " + path + " -> " + problem.other;
    case Kind::kReadOnly: return "The file is read-only: " + path;
    case Kind::kAnotherSave: return "Another save is writing this file: " + path;
    case Kind::kChangedSinceLoaded: return "The file changed since it was loaded: " + path;
    case Kind::kReplacedMeanwhile: return "The file was replaced meanwhile: " + path;
    case Kind::kNotCompressed: return "The movie could not be compressed: " + path;
    case Kind::kIncomplete: return "The movie is incomplete and cannot be written: " + path;
    case Kind::kNoFreeBackupName: return "No free backup name up to " + problem.other;
    case Kind::kNotAnalysed: return "The movie was not analysed, so nothing is written: " + path;
  }
  return "";
}

SaveOutcome describeWrite(WriteOutcome outcome) {
  return SaveOutcome{outcome.result, std::move(outcome.backupPath), saveProblemText(outcome.problem),
                     std::move(outcome.outputPath)};
}

}  // namespace framestow
