// The pieces of replacing a file safely: a temporary file beside it, the
// original's owner and mode carried over, and the backup kept under a name
// that was free.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <system_error>

#include "writer/file_system.hpp"
#include "writer/save_outcome.hpp"
#include "writer/temporary_files.hpp"

namespace framestow {

// A new file with a short random name (".fstw-<12 hex digits>.tmp") in
// `folder`, made exclusively: a name taken by anything, even a dangling link
// or a temporary file an interrupted save left, is stepped over. It is on the
// list of temporary files in progress while this object lives.
struct TemporaryFile {
  std::string path;
  std::unique_ptr<WritableFile> file;
  std::unique_ptr<TemporaryFileRecord> record;
};
std::error_code createTemporary(FileSystem& fs, const std::string& folder, unsigned mode, TemporaryFile& out);

// Gives `file` the owner, group and mode of `original`. Where the owner
// cannot be kept the setuid and setgid bits go: the file must not run with
// rights its owner never gave.
std::error_code takeOwnerAndMode(WritableFile& file, const FileStatus& original);

// Keeps the file at `path`, open under `held`, under the first free name of
// name_old.swf, name_old_2.swf, name_old_3.swf, ...: a second name for the
// same file where the file system allows it (which keeps its owner, mode and
// times), else a copy read through `held` with the original's owner and mode.
// Never replaces anything. `backupPath` is the name used; "" or the reason.
SaveProblem keepBackup(FileSystem& fs, const std::string& path, LockedFile& held, std::string& backupPath);

}  // namespace framestow
