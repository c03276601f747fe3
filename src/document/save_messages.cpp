#include "document/save_messages.hpp"

namespace framestow {

const char* saveResultText(SaveResult result) {
  switch (result) {
    case kFileModified: return "FILE MODIFIED";
    case kErrorCreatingBackup: return "ERROR CREATING BACKUP";
    case kErrorWritingFile: return "ERROR WRITING FILE";
    case kAlreadyLaidOut: return "FILE ALREADY HAS THIS LAYOUT";
  }
  return "";
}

}  // namespace framestow
