// What the commands learn about one movie file, gathered once and then shown
// as text or as JSON.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "cli/exit_status.hpp"
#include "cli/movie_inputs.hpp"
#include "cli/run_summary.hpp"
#include "document/document.hpp"

namespace framestow::cli {

// One planning run: what the dialog shows for target frame n.
struct TargetRow {
  std::int32_t frame = 1;
  std::int64_t movableBytes = 0;
  std::array<std::string, 3> verdict;
  bool saveEnabled = false;  // the state the dialog's Save button would be in
};

// The row's verdict is "OK to move to frame n.": the movie's first attach code
// is in frame n or later, so every asset arrives before it is attached; and
// the movie can be saved for it.
bool isSafeMove(const TargetRow& row);

struct FileReport {
  std::string path;
  std::string shortName;
  ExitStatus status = ExitStatus::Ok;
  std::string message;  // why the file failed; "" when it did not
  std::string reason;   // what lies behind the message, and the path ("Permission denied: m.swf"); may be ""

  // The header and the file-information lines (when loaded).
  bool loaded = false;
  std::string signature;
  std::int32_t version = 0;
  std::uint32_t declaredLength = 0;
  std::uint64_t fileSize = 0;
  std::int32_t frameCount = 0;
  double frameRate = 0.0;
  double width = 0.0;   // pixels
  double height = 0.0;  // pixels
  std::array<std::string, 4> fileInfo;

  // The analysis (the lines also for a movie too old to analyse).
  bool analysed = false;
  bool hasAnalysisLines = false;
  std::array<std::string, 4> analysisLines;
  std::vector<LinkedAsset> linkedAssets;
  std::int32_t assetCount = 0;
  std::int64_t redundantBytes = 0;
  std::int32_t attachFrame = 0;
  bool obfuscation = false;
  std::uint32_t blockCount = 0;
  bool canMoveAssets = false;  // linked assets and more than one frame
  std::string cannotSave;      // why the movie cannot be saved; "" when it can

  std::vector<TargetRow> targets;

  bool ok() const { return status == ExitStatus::Ok; }
};

// Records a failure; a later, worse failure of the same file wins.
void fail(FileReport& report, ExitStatus status, std::string message);

// How much of a file a command reads.
enum class Reading { WholeMovie, HeaderOnly };

// Loads `path` and fills the file part of the report.
FileReport loadFile(Document& document, const std::string& path, Reading reading = Reading::WholeMovie);

// The same for one input of a run: a folder that could not be listed gets its
// failure without anything being read.
FileReport loadInput(Document& document, const MovieInput& input, Reading reading = Reading::WholeMovie);

// What the report adds to the summary of a run.
MovieTally tallyOf(const FileReport& report, const MovieInput& input);

// Analyses a loaded movie and fills the analysis part. A movie below version 5
// gets its version line and no analysis, as in the dialog; that is no failure.
// False when the movie was not analysed.
bool analyseFile(Document& document, FileReport& report);

// One planning run for frame n with the dialog's default ticks.
TargetRow planTarget(Document& document, std::int32_t frame);

}  // namespace framestow::cli
