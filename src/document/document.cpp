#include "document/document.hpp"

#include <utility>

#include "analysis/overlapped_scan.hpp"
#include "analysis/tag_scanner.hpp"
#include "common/byte_text.hpp"
#include "document/load_messages.hpp"
#include "document/unsaveable.hpp"
#include "planner/safe_plan.hpp"
#include "swfin/loader.hpp"

namespace framestow {

void Document::forgetMovie() {
  index_ = MovieIndex{};
  indexed_ = false;
  prescanned_ = false;
  plan_ = Plan{};
  report_ = AnalysisReport{};
  verdict_ = Verdict{};
  lastWrite_.reset();
  cannotSaveReason_.clear();
}

std::string Document::load(const std::string& path, bool scanAlongside) {
  forgetMovie();
  if (scanAlongside) {
    ScannedLoad scanned = loadAndScan(path);
    movie_ = std::move(scanned.movie);
    prescanned_ = scanned.index.has_value();
    if (prescanned_) index_ = std::move(*scanned.index);
  } else {
    movie_ = loadMovie(path);
  }
  fileInformation_ = describeFile(movie_);
  return loadMessage(movie_.outcome);
}

std::string Document::loadHeader(const std::string& path) {
  forgetMovie();
  movie_ = loadMovieHeader(path);
  fileInformation_ = describeFile(movie_);
  return loadMessage(movie_.outcome);
}

std::string Document::loadErrorCause() const {
  return movie_.outcome == LoadOutcome::kUnreadable ? readFailureText(movie_.readFailure, movie_.path) : "";
}

bool Document::analyze(const ProgressTick& tick) {
  if (!movie_.loaded() || movie_.headerOnly || movie_.header.version < 5 || indexed_) {
    return false;
  }
  if (!prescanned_) index_ = indexMovie(movie_, tick);
  indexed_ = true;
  if (!index_.analysed()) {
    // Nothing of a movie that could not be read through may be planned or saved.
    report_ = AnalysisReport{};
    report_.nothingCanMove = true;
    report_.lines[0] = analysisError();
    report_.optimiseCaption = "Remove Redundant Bytes";
    return false;
  }
  report_ = composeAnalysisReport(movie_.header, index_);
  cannotSaveReason_ = unsaveableReason(movie_, index_);
  return true;
}

std::string Document::analysisError() const {
  return index_.outcome == ScanOutcome::kUnknownFillType ? formatText("Unknown fill type: %i", index_.unknownFillType) : "";
}

const Verdict& Document::plan(std::int32_t n, bool optimiseTicked) {
  if (!index_.analysed()) {
    verdict_ = Verdict{};
    verdict_.targetFrame = n;
    verdict_.saveControls = SaveControls::Disable;
    return verdict_;
  }
  replan(n);
  verdict_ = composeVerdict(n, plan_.movableBytes, index_.attachFrame(), report_.nothingCanMove, optimiseTicked);
  // The count and the verdict lines still say what could move; the file
  // cannot be written, so Save is not offered.
  if (!cannotSaveReason_.empty()) verdict_.saveControls = SaveControls::Disable;
  return verdict_;
}

void Document::replan(std::int32_t n) {
  plan_ = safePlan_ ? planSafely(index_, n, std::move(plan_)) : planForFrame(index_, n, std::move(plan_));
  plannedSafe_ = safePlan_;
}

namespace {

SaveOutcome notAnalysed(const std::string& path) {
  WriteOutcome outcome;
  outcome.result = kErrorWritingFile;
  outcome.problem = SaveProblem::of(SaveProblem::Kind::kNotAnalysed, path);
  outcome.outputPath = path;
  return describeWrite(std::move(outcome));
}

}  // namespace

SaveOutcome Document::save(std::int32_t n, bool optimise, bool backup, const std::string& outputPath, FileSystem& fs) {
  if (!index_.analysed()) return notAnalysed(outputPath.empty() ? movie_.path : outputPath);
  if (plan_.plannedFrame != n || plannedSafe_ != safePlan_) replan(n);
  SaveOptions options;
  options.targetFrame = n;
  options.optimise = optimise;
  options.backup = backup;
  options.outputPath = outputPath;
  options.lastWrite = &lastWrite_;
  options.compression = saveCompression_;
  return describeWrite(saveMovie(movie_, index_, plan_, options, fs));
}

SaveOutcome Document::writeTo(std::int32_t n, bool optimise, const ByteSink& sink, const std::string& destination) {
  if (!index_.analysed()) return notAnalysed(destination);
  if (plan_.plannedFrame != n || plannedSafe_ != safePlan_) replan(n);
  return describeWrite(writeMovie(movie_, index_, plan_, n, optimise, sink, destination, saveCompression_));
}

std::optional<StreamProfile> Document::streamProfile() const {
  if (!index_.analysed()) return std::nullopt;
  return profileOfLoadedFile(movie_, index_);
}

std::optional<StreamProfile> Document::savedStreamProfile(std::int32_t n, bool optimise) {
  if (!index_.analysed() || !cannotSaveReason_.empty()) return std::nullopt;
  if (plan_.plannedFrame != n || plannedSafe_ != safePlan_) replan(n);
  return profileOfSave(movie_, index_, plan_, n, optimise, saveCompression_);
}

std::uint32_t Document::blockCount() const { return analysed() ? index_.blockCount() : 0; }

bool Document::obfuscatedActions() const { return analysed() && index_.obfuscatedActions; }

}  // namespace framestow
