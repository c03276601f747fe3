#include "document/document.hpp"

#include "analysis/tag_scanner.hpp"
#include "document/unsaveable.hpp"
#include "swfin/loader.hpp"

namespace framestow {

std::string Document::load(const std::string& path) {
  clearPlan(plan_);
  report_ = AnalysisReport{};
  verdict_ = Verdict{};
  lastWrite_.reset();
  cannotSaveReason_.clear();
  return prescanFile(path, movie_, analysis_);
}

std::string Document::loadHeader(const std::string& path) {
  clearPlan(plan_);
  report_ = AnalysisReport{};
  verdict_ = Verdict{};
  cannotSaveReason_.clear();
  return prescanHeader(path, movie_, analysis_);
}

bool Document::analyze(const ProgressTick& tick) {
  if (!movie_.loaded || movie_.headerOnly || movie_.m.version < 5 ||
      analysis_.byteoutput.size() != movie_.ScanStartByteoutputNum) {
    return false;
  }
  scanSelectedFile(movie_, analysis_, tick);
  if (!analysis_.analysed) {
    // Nothing of a movie that could not be read through may be planned or saved.
    report_ = AnalysisReport{};
    report_.noModFlag = true;
    report_.lines[0] = analysis_.analysisError;
    report_.optimiseCaption = "Remove Redundant Bytes";
    return false;
  }
  report_ = composeAnalysisReport(movie_.m, analysis_);
  cannotSaveReason_ = unsaveableReason(movie_, analysis_);
  return true;
}

const Verdict& Document::plan(std::int32_t n, bool optimiseTicked) {
  if (!analysis_.analysed) {
    verdict_ = Verdict{};
    verdict_.targetFrame = n;
    verdict_.saveControls = SaveControls::Disable;
    return verdict_;
  }
  verdict_ = updateTargetFrame(analysis_, plan_, n, report_.noModFlag, optimiseTicked);
  // The count and the verdict lines still say what could move; the file
  // cannot be written, so Save is not offered.
  if (!cannotSaveReason_.empty()) verdict_.saveControls = SaveControls::Disable;
  return verdict_;
}

namespace {

SaveOutcome notAnalysed(const std::string& path) {
  SaveOutcome outcome;
  outcome.result = kErrorWritingFile;
  outcome.reason = "The movie was not analysed, so nothing is written: " + path;
  outcome.outputPath = path;
  return outcome;
}

}  // namespace

SaveOutcome Document::save(std::int32_t n, bool optimise, bool backup, const std::string& outputPath, FileSystem& fs) {
  if (!analysis_.analysed) return notAnalysed(outputPath.empty() ? movie_.fnbuffer : outputPath);
  if (plan_.plannedFrame != n) updateTargetFrame(analysis_, plan_, n, report_.noModFlag, false);
  SaveOptions options;
  options.targetFrame = n;
  options.optimise = optimise;
  options.backup = backup;
  options.outputPath = outputPath;
  options.lastWrite = &lastWrite_;
  return moveAssets(movie_, analysis_, plan_, options, fs);
}

SaveOutcome Document::writeTo(std::int32_t n, bool optimise, const ByteSink& sink, const std::string& destination) {
  if (!analysis_.analysed) return notAnalysed(destination);
  if (plan_.plannedFrame != n) updateTargetFrame(analysis_, plan_, n, report_.noModFlag, false);
  return writeMovie(movie_, analysis_, plan_, n, optimise, sink, destination);
}

}  // namespace framestow
