// The movies a command works on: files as they are named, folders expanded
// into the movies they hold.
#pragma once

#include <cstddef>
#include <istream>
#include <string>
#include <vector>

#include "cli/commands.hpp"

namespace framestow::cli {

struct MovieInput {
  std::string path;
  // A folder that could not be listed: what the user is told, and the cause
  // with the folder's path. Both "" for a movie.
  std::string error;
  std::string reason;
};

struct MovieListing {
  std::vector<MovieInput> inputs;
  std::size_t backupsLeftOut = 0;       // files named like backups inside folders
  std::size_t subfoldersPassedOver = 0;  // subfolders of folders, without --recursive
};

// Names ending in ".swf" in any case: what a folder contributes.
bool hasMovieExtension(const std::string& name);
// "name_old.swf", "name_old_2.swf", ...: the names saves give backups.
bool isBackupName(const std::string& name);
// A folder, or a link to one.
bool isFolder(const std::string& path);

// Every argument in order. A file (or anything that is not a folder) is taken
// as it is, whatever its name, so that its own error is reported. A folder
// gives its movies (files and links to files ending in ".swf", less backups)
// sorted by name, then, with `recursive`, each of its subfolders in name order
// the same way. Links to folders inside a folder are not followed: a link
// back up the tree would never end. The whole listing is made before any
// movie is read, so that the backups and new files of a save never join it.
// The subfolders' trees are listed on up to `jobs` threads.
MovieListing listMovies(const std::vector<std::string>& arguments, bool recursive, std::size_t jobs = 1);

// The movies of the arguments, then of the --files-from list (read from `in`
// when it is "-"), into `listing`. "" or why the list could not be read.
std::string collectMovies(const InputOptions& input, std::istream& in, MovieListing& listing);

// The jobs a run asks for: --jobs, or one per core; at most kMaxJobs.
std::size_t jobsFor(const InputOptions& input);

// A run over folders or a list, which can hold any number of movies: it prints
// JSON Lines and a summary. A run over files named one by one prints what it
// always did.
bool isCollection(const InputOptions& input);

}  // namespace framestow::cli
