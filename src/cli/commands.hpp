// The three commands of framestow-cli. Each writes results to `out`, errors to
// `err`, and returns the exit status.
#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "cli/exit_status.hpp"

namespace framestow::cli {

struct InfoOptions {
  std::vector<std::string> files;
};

struct AnalyzeOptions {
  std::vector<std::string> files;
  std::optional<std::int64_t> frame;  // only this target frame
  bool allFrames = false;             // every target frame instead of the default selection
  bool json = false;
};

struct SaveCommandOptions {
  std::string file;
  std::int64_t frame = 0;
  bool keepRedundant = false;         // keep redundant ExportAssets entries
  bool noBackup = false;              // do not keep the file as name_old.swf
  std::optional<std::string> output;  // write here instead of replacing `file`; "-": standard output
  bool json = false;
};

ExitStatus runInfo(const InfoOptions& options, std::ostream& out, std::ostream& err);
ExitStatus runAnalyze(const AnalyzeOptions& options, std::ostream& out, std::ostream& err);
ExitStatus runSave(const SaveCommandOptions& options, std::ostream& out, std::ostream& err);

}  // namespace framestow::cli
