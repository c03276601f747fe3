#include "cli/file_report.hpp"

#include <filesystem>

#include "common/byte_text.hpp"

namespace framestow::cli {

namespace {

constexpr int kFirstAnalysedVersion = 5;

}  // namespace

bool isSafeMove(const TargetRow& row) {
  return row.saveEnabled && row.frame > 1 && row.verdict[1] == formatInt("OK to move to frame %i.", row.frame);
}

void fail(FileReport& report, ExitStatus status, std::string message) {
  if (report.ok() || static_cast<int>(status) > static_cast<int>(report.status)) {
    report.status = status;
    report.message = std::move(message);
  }
}

FileReport loadFile(Document& document, const std::string& path, Reading reading) {
  FileReport report;
  report.path = path;
  const std::string loadMessage = reading == Reading::HeaderOnly
                                      ? document.loadHeader(path)
                                      : document.load(path);
  const FileInformation& info = document.fileInformation();
  report.shortName = info.fileName;
  if (!loadMessage.empty() || !document.loaded()) {
    fail(report, ExitStatus::Unreadable, loadMessage);
    report.reason = document.loadErrorCause();
    return report;
  }

  report.loaded = true;
  report.signature = std::string(1, signatureLetter(info.compression)) + "WS";
  report.version = info.version;
  report.declaredLength = info.declaredLength;
  report.fileSize = info.fileSize;
  report.frameCount = info.frameCount;
  report.frameRate = info.frameRate;
  report.width = info.width;
  report.height = info.height;
  report.fileInfo = info.lines;
  return report;
}

FileReport loadInput(Document& document, const MovieInput& input, Reading reading) {
  if (input.error.empty()) return loadFile(document, input.path, reading);
  FileReport report;
  report.path = input.path;
  report.shortName = std::filesystem::path(input.path).filename().string();
  fail(report, ExitStatus::Unreadable, input.error);
  report.reason = input.reason;
  return report;
}

MovieTally tallyOf(const FileReport& report, const MovieInput& input) {
  MovieTally tally;
  tally.path = report.path;
  tally.unlistedFolder = !input.error.empty();
  tally.read = report.loaded;
  tally.analysed = report.analysed;
  tally.beforeVersion5 = report.loaded && report.version < 5;
  if (!report.ok()) tally.refusal = refusalGroup(report.message, report.reason);
  return tally;
}

bool analyseFile(Document& document, FileReport& report) {
  if (!report.loaded) return false;
  if (report.version < kFirstAnalysedVersion) {
    report.hasAnalysisLines = true;
    report.analysisLines = {versionLine(report.version), "", "", ""};
    return false;
  }
  if (!document.analyze()) {
    const std::string why = document.analysisError();
    fail(report, ExitStatus::CannotProcess, why.empty() ? "The movie could not be analysed." : why);
    return false;
  }

  const AnalysisReport& lines = document.report();
  report.analysed = true;
  report.hasAnalysisLines = true;
  report.analysisLines = lines.lines;
  report.linkedAssets = document.linkedAssets();
  report.assetCount = static_cast<std::int32_t>(report.linkedAssets.size());
  report.redundantBytes = document.redundantExportBytes();
  report.attachFrame = document.attachFrame();
  report.obfuscation = document.obfuscatedActions();
  report.blockCount = document.blockCount();
  report.canMoveAssets = !lines.nothingCanMove;
  report.cannotSave = document.cannotSaveReason();
  return true;
}

TargetRow planTarget(Document& document, std::int32_t frame) {
  const AnalysisReport& lines = document.report();
  // After Analyze the dialog ticks "Remove Redundant Bytes" exactly when there
  // are redundant bytes; the planner needs that tick for frame 1.
  const Verdict verdict = document.plan(frame, lines.redundantFound);

  TargetRow row;
  row.frame = frame;
  row.movableBytes = verdict.movableBytes;
  row.verdict = verdict.verdictLines;
  switch (verdict.saveControls) {
    case SaveControls::Enable: row.saveEnabled = true; break;
    case SaveControls::Disable: row.saveEnabled = false; break;
    // Left as Analyze set it: enabled when there are redundant bytes to remove.
    case SaveControls::Unchanged: row.saveEnabled = lines.redundantFound; break;
  }
  // The dialog does not let the target frame leave 1 when nothing can move.
  if (lines.nothingCanMove && frame > 1) row.saveEnabled = false;
  return row;
}

}  // namespace framestow::cli
