// framestow-cli analyze: the dialog's Analyze, then the planner for a range of
// target frames.
#include <nlohmann/json.hpp>
#include <sstream>

#include "cli/commands.hpp"
#include "cli/file_report.hpp"
#include "cli/json_output.hpp"
#include "cli/movie_batch.hpp"
#include "cli/target_frames.hpp"
#include "cli/text_output.hpp"

namespace framestow::cli {

namespace {

// The frames to plan for this movie, or a failure when the one asked for lies
// outside it.
std::vector<std::int32_t> chosenFrames(const AnalyzeOptions& options, FileReport& report) {
  if (options.frame) {
    if (auto error = frameRangeError(*options.frame, report.frameCount)) {
      fail(report, ExitStatus::Usage, *error);
      return {};
    }
    return {static_cast<std::int32_t>(*options.frame)};
  }
  if (options.allFrames) return allTargetFrames(report.frameCount);
  return defaultTargetFrames(report.frameCount, report.attachFrame);
}

// The bytes the summary adds up for a movie: for the frame asked for, else for
// the movie's own first attach frame when it is safe to move them there (the
// verdict "OK to move to frame n."), which is what `save --frame attach` moves.
std::int64_t countedBytes(const AnalyzeOptions& options, const FileReport& report) {
  for (const TargetRow& row : report.targets) {
    if (options.frame && row.frame == *options.frame) return row.movableBytes;
    if (!options.frame && row.frame == report.attachFrame && isSafeMove(row)) return row.movableBytes;
  }
  return 0;
}

MovieResult analyseOne(const AnalyzeOptions& options, JsonFraming framing, const MovieInput& input) {
  Document document;
  document.setSafePlan(options.safe);
  FileReport report = loadInput(document, input);
  if (analyseFile(document, report)) {
    for (const std::int32_t frame : chosenFrames(options, report)) {
      report.targets.push_back(planTarget(document, frame));
    }
  }
  std::ostringstream out;
  std::ostringstream err;
  if (framing == JsonFraming::None) {
    printFileInfo(out, report);
    printAnalysis(out, report, options.frame.has_value());
  } else {
    out << framedJson(fileReportJson(report), framing);
  }
  if (!report.ok()) printError(out, err, report.path, report.message, report.reason);
  MovieTally tally = tallyOf(report, input);
  tally.movableBytes = countedBytes(options, report);
  return {out.str(), err.str(), report.status, std::move(tally)};
}

}  // namespace

ExitStatus runAnalyze(const AnalyzeOptions& options, std::istream& in, std::ostream& out, std::ostream& err) {
  const auto started = std::chrono::steady_clock::now();
  MovieListing listing;
  if (std::string why = collectMovies(options.input, in, listing); !why.empty()) {
    return listUnreadable(why, options.json, out, err);
  }
  const BatchSettings settings = batchSettings(options.input, listing, "analyze", options.json, kMaxJobs, started);
  return runBatch(
      listing.inputs, settings,
      [&](std::size_t, const MovieInput& input) { return analyseOne(options, settings.json, input); }, out,
      err);
}

}  // namespace framestow::cli
