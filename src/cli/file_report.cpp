#include "cli/file_report.hpp"

#include <filesystem>

#include "common/byte_text.hpp"
#include "swfin/loader.hpp"

namespace framestow::cli {

namespace {

// The core's messages end in "\r\n" (a dialog text line) or "\n" (the fill
// type error); a console line ends with our own newline.
std::string consoleLine(std::string text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  return text;
}

// Twips are twentieths of a pixel.
double pixels(std::int32_t twips) { return static_cast<double>(twips) / 20.0; }

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
  const std::string loadMessage = reading == Reading::HeaderOnly ? document.loadHeader(path) : document.load(path);
  const LoadedMovie& movie = document.movie();
  report.shortName = movie.shortFileName.empty() ? shortNameOf(path) : movie.shortFileName;
  if (!loadMessage.empty() || !document.loaded()) {
    fail(report, ExitStatus::Unreadable, consoleLine(loadMessage));
    report.reason = document.loadErrorCause();
    return report;
  }

  report.loaded = true;
  report.signature = movie.swfCompressed ? "CWS" : "FWS";
  report.version = movie.m.version;
  report.declaredLength = movie.m.size;
  report.fileSize = movie.fileSize;
  report.frameCount = movie.m.nFrames;
  report.frameRate = movie.m.rate;
  report.width = pixels(movie.m.frame.xMax - movie.m.frame.xMin);
  report.height = pixels(movie.m.frame.yMax - movie.m.frame.yMin);
  report.fileInfo = {movie.hInfoString1, movie.hInfoString2, movie.hInfoString3, movie.hInfoString4};
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
  if (report.version < 5) {
    report.hasAnalysisLines = true;
    report.analysisLines = {versionLine(document.movie().m), "", "", ""};
    return false;
  }
  if (!document.analyze()) {
    const std::string& why = document.analysisError();
    fail(report, ExitStatus::CannotProcess, why.empty() ? "The movie could not be analysed." : consoleLine(why));
    return false;
  }

  const Analysis& analysis = document.analysis();
  const AnalysisReport& lines = document.report();
  report.analysed = true;
  report.hasAnalysisLines = true;
  report.analysisLines = lines.lines;
  report.linkedAssets = linkedAssetsOf(document);
  report.assetCount = analysis.assetCountTotal;
  report.redundantBytes = analysis.redundantAssetTotal;
  report.attachFrame = analysis.mainAttachFrame();
  report.obfuscation = analysis.asObfuscation != 0;
  report.blockCount = analysis.byteoutputNum();
  report.canMoveAssets = !lines.noModFlag;
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
  row.verdict = {verdict.commentText1, verdict.commentText2, verdict.commentText3};
  switch (verdict.saveControls) {
    case SaveControls::Enable: row.saveEnabled = true; break;
    case SaveControls::Disable: row.saveEnabled = false; break;
    // Left as Analyze set it: enabled when there are redundant bytes to remove.
    case SaveControls::Unchanged: row.saveEnabled = lines.redundantFound; break;
  }
  // The dialog does not let the target frame leave 1 when nothing can move.
  if (lines.noModFlag && frame > 1) row.saveEnabled = false;
  return row;
}

}  // namespace framestow::cli
