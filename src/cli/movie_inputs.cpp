#include "cli/movie_inputs.hpp"

#include "cli/ordered_jobs.hpp"
#include "cli/path_list.hpp"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <system_error>
#include <thread>

namespace framestow::cli {

namespace {

namespace fs = std::filesystem;

constexpr const char* kUnlistedFolder = "The folder could not be read.";

bool endsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

MovieInput unlisted(const fs::path& folder, const std::error_code& error) {
  const std::string path = folder.string();
  return {path, kUnlistedFolder, error.message() + ": " + path};
}

struct FolderEntries {
  std::vector<fs::path> movies;
  std::vector<fs::path> subfolders;
};

// One folder's entries, sorted. Files in it that are not movies, and links to
// folders, are passed over.
FolderEntries readFolder(const fs::path& folder, MovieListing& listing) {
  FolderEntries entries;
  std::error_code error;
  fs::directory_iterator it(folder, error);
  for (; !error && it != fs::directory_iterator(); it.increment(error)) {
    const fs::path& path = it->path();
    // The kinds come with the listing on most systems, so that this asks
    // the system nothing more per entry.
    std::error_code kindError;
    const bool link = it->is_symlink(kindError);
    if (!link && !kindError && it->is_directory(kindError)) {
      entries.subfolders.push_back(path);
      continue;
    }
    const std::string name = path.filename().string();
    if (!hasMovieExtension(name)) {
      // An entry that cannot even be looked at (a path too long for the
      // system, say) may be a folder of movies: it is not passed over in silence.
      if (kindError) listing.inputs.push_back(unlisted(path, kindError));
      continue;
    }
    std::error_code targetError;
    if (link && it->is_directory(targetError)) continue;
    if (isBackupName(name)) {
      ++listing.backupsLeftOut;
      continue;
    }
    entries.movies.push_back(path);
  }
  if (error) listing.inputs.push_back(unlisted(folder, error));
  std::sort(entries.movies.begin(), entries.movies.end());
  std::sort(entries.subfolders.begin(), entries.subfolders.end());
  return entries;
}

// A folder and all its subfolders, depth first, with a stack of its own
// rather than recursion: a tree thousands of folders deep must not use up the
// call stack, nor keep a folder open per level.
void listTree(const fs::path& top, MovieListing& listing) {
  std::vector<fs::path> pending{top};
  while (!pending.empty()) {
    const fs::path folder = std::move(pending.back());
    pending.pop_back();
    FolderEntries entries = readFolder(folder, listing);
    for (const fs::path& movie : entries.movies) listing.inputs.push_back({movie.string(), "", ""});
    for (auto sub = entries.subfolders.rbegin(); sub != entries.subfolders.rend(); ++sub) pending.push_back(*sub);
  }
}

void listFolder(const fs::path& top, bool recursive, std::size_t jobs, MovieListing& listing) {
  FolderEntries entries = readFolder(top, listing);
  for (const fs::path& movie : entries.movies) listing.inputs.push_back({movie.string(), "", ""});
  if (!recursive) {
    listing.subfoldersPassedOver += entries.subfolders.size();
    return;
  }
  // The trees of the subfolders are listed several at once and joined in
  // their order: listing thousands of folders one after the other would hold
  // back every job until it is done.
  runInOrder<MovieListing>(
      entries.subfolders.size(), jobs, jobs * 4,
      [&](std::size_t i) {
        MovieListing tree;
        listTree(entries.subfolders[i], tree);
        return tree;
      },
      [&](std::size_t, MovieListing&& tree) {
        listing.inputs.insert(listing.inputs.end(), std::make_move_iterator(tree.inputs.begin()),
                              std::make_move_iterator(tree.inputs.end()));
        listing.backupsLeftOut += tree.backupsLeftOut;
        return true;
      },
      [](std::size_t) {}, [] {});
}

}  // namespace

bool hasMovieExtension(const std::string& name) {
  if (name.size() < 4) return false;
  std::string end = name.substr(name.size() - 4);
  std::transform(end.begin(), end.end(), end.begin(), [](char c) { return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c; });
  return end == ".swf";
}

bool isBackupName(const std::string& name) {
  if (endsWith(name, "_old.swf")) return true;
  if (!endsWith(name, ".swf")) return false;
  // "_old_" and at least one digit before ".swf".
  std::size_t digits = name.size() - 4;
  while (digits > 0 && name[digits - 1] >= '0' && name[digits - 1] <= '9') --digits;
  return digits < name.size() - 4 && endsWith(name.substr(0, digits), "_old_");
}

bool isFolder(const std::string& path) {
  std::error_code error;
  return !path.empty() && fs::is_directory(fs::status(path, error));
}

MovieListing listMovies(const std::vector<std::string>& arguments, bool recursive, std::size_t jobs) {
  MovieListing listing;
  for (const std::string& argument : arguments) {
    if (isFolder(argument)) {
      listFolder(argument, recursive, jobs, listing);
    } else {
      listing.inputs.push_back({argument, "", ""});
    }
  }
  return listing;
}

std::string collectMovies(const InputOptions& input, std::istream& in, MovieListing& listing) {
  std::vector<std::string> arguments = input.files;
  if (input.filesFrom) {
    std::vector<std::string> listed;
    if (*input.filesFrom == "-") {
      listed = readPathList(in, input.nulSeparated);
    } else {
      // Only a regular file: a list that is a FIFO is read as the user asked,
      // but a folder given by mistake is named as such.
      if (isFolder(*input.filesFrom)) {
        return std::make_error_code(std::errc::is_a_directory).message() + ": " + *input.filesFrom;
      }
      errno = 0;
      std::ifstream file(*input.filesFrom, std::ios::binary);
      if (!file) {
        const std::error_code error(errno != 0 ? errno : EIO, std::generic_category());
        return error.message() + ": " + *input.filesFrom;
      }
      listed = readPathList(file, input.nulSeparated);
    }
    arguments.insert(arguments.end(), std::make_move_iterator(listed.begin()), std::make_move_iterator(listed.end()));
  }
  listing = listMovies(arguments, input.recursive, jobsFor(input));
  return "";
}

std::size_t jobsFor(const InputOptions& input) {
  const std::size_t asked = input.jobs > 0 ? input.jobs : std::max(1u, std::thread::hardware_concurrency());
  return std::min(asked, kMaxJobs);
}

bool isCollection(const InputOptions& input) {
  return input.filesFrom || std::any_of(input.files.begin(), input.files.end(), isFolder);
}

}  // namespace framestow::cli
