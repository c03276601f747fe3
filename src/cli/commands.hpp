// The three commands of framestow-cli. Each writes results to `out`, errors,
// progress and the summary to `err`, reads a --files-from list from `in`,
// and returns the exit status.
#pragma once

#include <cstddef>
#include <cstdint>
#include <istream>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "cli/exit_status.hpp"
#include "common/compression.hpp"

namespace framestow::cli {

// Threads a run never exceeds, whatever --jobs says: each holds a movie in
// memory, and a machine has far fewer cores.
inline constexpr std::size_t kMaxJobs = 256;

// Which movies a command works on, and how many at once.
struct InputOptions {
  std::vector<std::string> files;         // movies and folders, as given
  bool recursive = false;                 // descend into the subfolders of folders
  std::optional<std::string> filesFrom;   // a list of further paths; "-": standard input
  bool nulSeparated = false;              // the list's paths end in NUL, not a line feed
  std::size_t jobs = 0;                   // movies worked on at once; 0: one per core
  bool noProgress = false;                // no progress bar, even on a terminal
};

struct InfoOptions {
  InputOptions input;
};

struct AnalyzeOptions {
  InputOptions input;
  std::optional<std::int64_t> frame;  // only this target frame
  bool allFrames = false;             // every target frame instead of the default selection
  bool json = false;
  bool safe = false;                  // the safe plan: keep the assets that earlier code names
};

struct SaveCommandOptions {
  InputOptions input;
  std::int64_t frame = 0;
  bool attachFrame = false;           // --frame attach: each movie's own first attach frame
  bool keepRedundant = false;         // keep redundant ExportAssets entries
  bool noBackup = false;              // do not keep the file as name_old.swf
  std::optional<std::string> output;  // write here instead of replacing the file; "-": standard output
  bool json = false;
  std::optional<Compression> compress;  // how the new movie is compressed; nothing: as the file was
  bool safe = false;                    // the safe plan: keep the assets that earlier code names
};
struct AssetsOptions {
  InputOptions input;
  std::optional<std::int64_t> frame;  // the target frame; by default the first attach frame, else 2
  bool json = false;
  bool safe = false;
};

// The compression a --compress value names: "zlib", "lzma" or "none".
inline Compression compressionNamed(const std::string& name) {
  return name == "zlib" ? Compression::kZlib : name == "lzma" ? Compression::kLzma : Compression::kNone;
}

ExitStatus runInfo(const InfoOptions& options, std::istream& in, std::ostream& out, std::ostream& err);
ExitStatus runAnalyze(const AnalyzeOptions& options, std::istream& in, std::ostream& out, std::ostream& err);
ExitStatus runAssets(const AssetsOptions& options, std::istream& in, std::ostream& out, std::ostream& err);
ExitStatus runSave(const SaveCommandOptions& options, std::istream& in, std::ostream& out, std::ostream& err);

}  // namespace framestow::cli
