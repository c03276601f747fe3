// Why a movie file could not be read, as data: the front ends put it in words.
#pragma once

#include <system_error>

namespace framestow {

struct ReadFailure {
  enum class Kind {
    kNone,
    kSystemError,  // the system refused: `error` says why (no such file, permission, a folder, too large)
    kFifo,         // the name is a named pipe, not a regular file
    kDevice,       // a device
    kSocket,       // a socket
    kNotRegular,   // something else that is no regular file
  };
  Kind kind = Kind::kNone;
  std::error_code error;

  static ReadFailure system(std::error_code error) { return {Kind::kSystemError, error}; }
  static ReadFailure system(int errorNumber) { return system(std::error_code(errorNumber, std::generic_category())); }
  explicit operator bool() const { return kind != Kind::kNone; }
};

}  // namespace framestow
