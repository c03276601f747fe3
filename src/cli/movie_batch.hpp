// Runs one command over many movies: on several threads, printed in the order
// of the inputs, with a progress bar on a terminal and a summary at the end.
#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <nlohmann/json.hpp>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "cli/commands.hpp"
#include "cli/exit_status.hpp"
#include "cli/movie_inputs.hpp"
#include "cli/run_summary.hpp"

namespace framestow::cli {

// How the JSON objects of the movies are put together on standard output.
enum class JsonFraming {
  None,   // text
  Array,  // one pretty-printed array, as when only files are named
  Lines,  // one compact object a line (JSON Lines), for folders and lists
};

// What one movie prints and counts. The command works it out on a worker
// thread; the batch prints it in its turn.
struct MovieResult {
  std::string out;  // for standard output: text, or one JSON object framed as asked
  std::string err;  // the error lines
  ExitStatus status = ExitStatus::Ok;
  MovieTally tally;
};

struct BatchSettings {
  std::string command;  // "info", "analyze" or "save"
  std::chrono::steady_clock::time_point started;  // when the run began, its listing included
  std::size_t jobs = 1;
  JsonFraming json = JsonFraming::None;
  bool progress = false;  // draw the progress bar on the error stream
  bool resultsOnTerminal = false;  // standard output shares the terminal with the bar
  bool summary = false;   // print the summary on the error stream at the end
  bool pathLines = false;  // text that starts each movie with "Path: " and its path
  std::size_t backupsLeftOut = 0;
  std::size_t subfoldersPassedOver = 0;
};

// The settings of a run of `command` over `listing` as `input` asks: the jobs
// (one per core unless told, never more than `maxJobs` nor than movies), the
// framing, the progress bar for more than one movie when standard error is a
// terminal, the summary
// for a collection.
BatchSettings batchSettings(const InputOptions& input, const MovieListing& listing, std::string command, bool json,
                            std::size_t maxJobs, std::chrono::steady_clock::time_point started);

// Works out one input of the run; `item` is its place in the run.
using MovieWork = std::function<MovieResult(std::size_t item, const MovieInput& input)>;

// The worst status of all the movies.
ExitStatus runBatch(const std::vector<MovieInput>& inputs, const BatchSettings& settings, const MovieWork& work,
                    std::ostream& out, std::ostream& err);

// A --files-from list that could not be read: why on the error stream (and
// under --json as the JSON document); exit status 2.
ExitStatus listUnreadable(const std::string& why, bool json, std::ostream& out, std::ostream& err);

// A JSON object as one movie's standard output under `framing` (Array or Lines).
std::string framedJson(const nlohmann::json& object, JsonFraming framing);

}  // namespace framestow::cli
