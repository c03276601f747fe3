// framestow-cli analyze: the dialog's Analyze, then the planner for a range of
// target frames.
#include <nlohmann/json.hpp>

#include "cli/commands.hpp"
#include "cli/file_report.hpp"
#include "cli/json_output.hpp"
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

FileReport analyseOne(const AnalyzeOptions& options, const std::string& path) {
  Document document;
  FileReport report = loadFile(document, path);
  if (!analyseFile(document, report)) return report;
  for (const std::int32_t frame : chosenFrames(options, report)) {
    report.targets.push_back(planTarget(document, frame));
  }
  return report;
}

}  // namespace

ExitStatus runAnalyze(const AnalyzeOptions& options, std::ostream& out, std::ostream& err) {
  ExitStatus status = ExitStatus::Ok;
  nlohmann::json documents = nlohmann::json::array();
  bool first = true;
  for (const std::string& path : options.files) {
    const FileReport report = analyseOne(options, path);
    status = worst(status, report.status);
    if (options.json) {
      documents.push_back(fileReportJson(report));
      if (!report.ok()) printError(out, err, path, report.message, report.reason);
      continue;
    }
    if (!first) out << '\n';
    first = false;
    printFileInfo(out, report);
    printAnalysis(out, report, options.frame.has_value());
    if (!report.ok()) printError(out, err, path, report.message, report.reason);
  }
  if (options.json) printJson(out, documents);
  return status;
}

}  // namespace framestow::cli
