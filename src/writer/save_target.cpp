#include "writer/save_target.hpp"

#include <filesystem>

namespace framestow {
namespace {

namespace stdfs = std::filesystem;

// As many links in a row as the systems themselves follow before giving up.
constexpr int kLinkHops = 40;
constexpr unsigned kOwnerWrite = 0200;

std::string folderOf(const std::string& path) {
  const stdfs::path folder = stdfs::path(path).parent_path();
  return folder.empty() ? std::string(".") : folder.string();
}

// The path of a file reached through links, with its folder spelt without
// "." and ".." (which only the system can take away: a ".." after a linked
// folder leaves the folder the link points to).
std::string tidied(const std::string& path) {
  std::error_code error;
  const stdfs::path folder = stdfs::weakly_canonical(stdfs::path(folderOf(path)), error);
  return error ? path : (folder / stdfs::path(path).filename()).string();
}

// Follows the symbolic links at the end of `path`, as opening it would:
// `real` is the name that is no link (or names nothing).
std::error_code followLinks(FileSystem& fs, const std::string& path, std::string& real, FileStatus& status) {
  real = path;
  for (int hop = 0; hop <= kLinkHops; ++hop) {
    if (std::error_code error = fs.status(real, status)) return error;
    if (status.kind != FileKind::Link) {
      if (hop > 0) real = tidied(real);
      return {};
    }
    std::string text;
    if (std::error_code error = fs.readLink(real, text)) return error;
    const stdfs::path next(text);
    // A relative link is read from the folder the link is in.
    real = next.is_absolute() ? next.string() : (stdfs::path(real).parent_path() / next).string();
  }
  return std::make_error_code(std::errc::too_many_symbolic_link_levels);
}

// Two names that lead to one directory entry. A file with other hard links is
// the same entry only under the same name in the same folder: another name
// of it is another path, replaced on its own.
bool sameEntry(const std::string& a, const FileStatus& aStatus, const std::string& b,
               const FileStatus& bStatus) {
  if (!sameFile(aStatus, bStatus)) return false;
  return aStatus.links <= 1 || tidied(a) == tidied(b);
}

}  // namespace

SaveProblem chooseTarget(FileSystem& fs, const std::string& loadedPath, const std::string& outputPath,
                         SaveTarget& target) {
  std::string loadedReal;
  FileStatus loadedStatus;
  const std::error_code loadedError = followLinks(fs, loadedPath, loadedReal, loadedStatus);
  if (outputPath.empty()) {
    if (loadedError) return SaveProblem::system(loadedError, loadedPath);
    target.path = loadedReal;
    target.status = loadedStatus;
    target.replacesLoaded = true;
  } else {
    if (std::error_code error = followLinks(fs, outputPath, target.path, target.status)) {
      return SaveProblem::system(error, outputPath);
    }
    if (target.status.kind == FileKind::Missing && target.path != outputPath) {
      // Writing through a link to nothing would create a file the user never named.
      return SaveProblem::of(SaveProblem::Kind::kDanglingLink, outputPath, target.path);
    }
    target.replacesLoaded =
        !loadedError && sameEntry(loadedReal, loadedStatus, target.path, target.status);
    // The loaded movie is replaced under the name it was loaded by.
    if (target.replacesLoaded) target.path = loadedReal;
  }
  target.folder = folderOf(target.path);
  return {};
}

SaveProblem checkKind(const SaveTarget& target) {
  switch (target.status.kind) {
    case FileKind::Regular: return {};
    case FileKind::Missing:
      // The loaded movie went away: writing it anew is not a save of it.
      if (!target.replacesLoaded) return {};
      return SaveProblem::system(std::make_error_code(std::errc::no_such_file_or_directory), target.path);
    default: {
      SaveProblem problem = SaveProblem::of(SaveProblem::Kind::kNotRegularKind, target.path);
      problem.fileKind = target.status.kind;
      return problem;
    }
  }
}

SaveProblem checkWritable(FileSystem& fs, const SaveTarget& target) {
  if (target.status.kind == FileKind::Regular) {
    // A movie the author made read-only is not ours to replace.
    if ((target.status.mode & kOwnerWrite) == 0) return SaveProblem::of(SaveProblem::Kind::kReadOnly, target.path);
    if (std::error_code error = fs.checkWritable(target.path)) return SaveProblem::system(error, target.path);
  }
  // The new file is made in the folder and renamed over the old one.
  if (std::error_code error = fs.checkWritable(target.folder)) return SaveProblem::system(error, target.path);
  return {};
}

}  // namespace framestow
