#include "cli/movie_batch.hpp"

#include <algorithm>
#include <chrono>
#include <thread>

#include "cli/json_output.hpp"
#include "cli/ordered_jobs.hpp"
#include "cli/progress_bar.hpp"
#include "cli/terminal.hpp"

namespace framestow::cli {

namespace {

// Results that may wait behind a slow movie, per thread. A collection is
// mostly small movies with a few that take hundreds of times as long (60 ms
// against a tenth of a millisecond in the shared corpus): while one thread
// is on such a movie, the others must be able to finish hundreds of the
// small ones after it, or they stand idle until it is done. A waiting
// result is a movie's report, a few kilobytes.
constexpr std::size_t kLookAheadPerJob = 1024;

// Puts the movies' outputs together the way the framing asks.
class OutputFrame {
 public:
  OutputFrame(std::ostream& out, JsonFraming framing) : out_(out), framing_(framing) {}

  void add(const std::string& text) {
    if (text.empty()) return;
    if (framing_ == JsonFraming::Array) out_ << (count_ == 0 ? "[\n" : ",\n");
    if (framing_ == JsonFraming::None && count_ > 0) out_ << '\n';
    out_ << text;
    ++count_;
  }

  void finish() {
    if (framing_ != JsonFraming::Array) return;
    out_ << (count_ == 0 ? "[]\n" : "\n]\n");
  }

 private:
  std::ostream& out_;
  JsonFraming framing_;
  std::size_t count_ = 0;
};

}  // namespace

BatchSettings batchSettings(const InputOptions& input, const MovieListing& listing, std::string command, bool json,
                            std::size_t maxJobs, std::chrono::steady_clock::time_point started) {
  const bool collection = isCollection(input);
  BatchSettings settings;
  settings.command = std::move(command);
  settings.started = started;
  settings.jobs = std::clamp<std::size_t>(jobsFor(input), 1,
                                          std::max<std::size_t>(1, std::min(maxJobs, listing.inputs.size())));
  settings.json = !json ? JsonFraming::None : collection ? JsonFraming::Lines : JsonFraming::Array;
  settings.progress = !input.noProgress && listing.inputs.size() > 1 && standardErrorIsTerminal();
  settings.resultsOnTerminal = settings.progress && standardOutputIsTerminal();
  settings.summary = collection;
  // Folders hold many movies of one name (every "test.swf" of a tree): the
  // file name alone would not say which one a report is about.
  settings.pathLines = collection && settings.json == JsonFraming::None;
  settings.backupsLeftOut = listing.backupsLeftOut;
  settings.subfoldersPassedOver = listing.subfoldersPassedOver;
  return settings;
}

ExitStatus listUnreadable(const std::string& why, bool json, std::ostream& out, std::ostream& err) {
  constexpr const char* kMessage = "The list of files could not be read.";
  if (json) printJson(out, {{"status", "error"}, {"message", kMessage}, {"reason", why}});
  out.flush();
  err << "framestow-cli: " << kMessage << "\nframestow-cli: " << why << '\n';
  return ExitStatus::Unreadable;
}

std::string framedJson(const nlohmann::json& object, JsonFraming framing) {
  if (framing == JsonFraming::Lines) return jsonText(object, -1) + '\n';
  // An element of the pretty-printed array: every line indented one level more.
  std::string element = "  ";
  for (const char c : jsonText(object, 2)) {
    element += c;
    if (c == '\n') element += "  ";
  }
  return element;
}

ExitStatus runBatch(const std::vector<MovieInput>& inputs, const BatchSettings& settings, const MovieWork& work,
                    std::ostream& out, std::ostream& err) {
  ProgressBar progress(err, settings.command, inputs.size(), settings.progress);
  RunSummary summary(settings.command);
  OutputFrame frame(out, settings.json);
  ExitStatus status = ExitStatus::Ok;

  runInOrder<MovieResult>(
      inputs.size(), settings.jobs, settings.jobs * kLookAheadPerJob,
      [&](std::size_t i) { return work(i, inputs[i]); },
      [&](std::size_t i, MovieResult&& result) {
        if (settings.pathLines) result.out.insert(0, "Path: " + inputs[i].path + "\n");
        status = worst(status, result.status);
        summary.add(result.tally);
        // The bar leaves its line to whatever is written on its terminal.
        if (!result.err.empty() || (settings.resultsOnTerminal && !result.out.empty())) progress.hide();
        frame.add(result.out);
        if (!result.err.empty()) {
          // In order with the results on a terminal that shows both streams.
          out.flush();
          err << result.err << std::flush;
        }
        // Results that cannot be written (a full disk) would be lost: no
        // further movie is read, nor saved without its report.
        return out.good();
      },
      [&](std::size_t finished) { progress.update(finished); },
      // What is printed leaves whenever the next report keeps us waiting, not
      // only when a buffer fills: a script reading JSON Lines gets each movie
      // as soon as it and those before it are done, and a run of reports
      // that are ready together still goes out in few writes.
      [&] { out.flush(); });

  progress.hide();
  frame.finish();
  if (settings.summary) {
    out.flush();
    const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - settings.started;
    summary.print(err, seconds.count(), settings.jobs, settings.backupsLeftOut, settings.subfoldersPassedOver);
    err.flush();
  }
  return status;
}

}  // namespace framestow::cli
