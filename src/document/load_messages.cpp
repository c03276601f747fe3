#include "document/load_messages.hpp"

namespace framestow {

std::string loadMessage(LoadOutcome outcome) {
  switch (outcome) {
    case LoadOutcome::kLoaded: return "";
    case LoadOutcome::kUnreadable: return "Sorry, an error has occured reading the file.";
    case LoadOutcome::kNotSwf: return "Sorry, the file doesn't appear to be an swf.";
    case LoadOutcome::kIncomplete: return "Sorry, the file doesn't appear to be complete.";
  }
  return "";
}

std::string readFailureText(const ReadFailure& failure, const std::string& path) {
  std::string cause;
  switch (failure.kind) {
    case ReadFailure::Kind::kNone: return "";
    case ReadFailure::Kind::kSystemError: cause = failure.error.message(); break;
    case ReadFailure::Kind::kFifo: cause = "Is a named pipe (FIFO), not a regular file"; break;
    case ReadFailure::Kind::kDevice: cause = "Is a device, not a regular file"; break;
    case ReadFailure::Kind::kSocket: cause = "Is a socket, not a regular file"; break;
    case ReadFailure::Kind::kNotRegular: cause = "Is not a regular file"; break;
  }
  return cause + ": " + path;
}

}  // namespace framestow
