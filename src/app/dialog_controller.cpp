#include "app/dialog_controller.hpp"

#include <cctype>
#include <filesystem>
#include <limits>
#include <utility>

#include "app/dialog_template.hpp"
#include "document/analysis_report.hpp"

namespace framestow::app {
namespace {

constexpr ControlId kAnalysisLines[] = {ANALYSISTEXT1, ANALYSISTEXT2, ANALYSISTEXT3, ANALYSISTEXT4};
constexpr ControlId kHeaderLines[] = {HEADERTEXT1, HEADERTEXT2, HEADERTEXT3, HEADERTEXT4};
constexpr ControlId kCommentLines[] = {COMMENTTEXT1, COMMENTTEXT2, COMMENTTEXT3};
constexpr ControlId kInputControls[] = {FILE_PATH_FLD, IDBROWSE,   IDSCAN,   F_TARGET_FLD, F_TARGET_BTN,
                                        IDOPTIMISE,    IDBACKUP,   KEEP_ASSETS, BTN_SAVE, IDCANCEL};
// Lines that belong to one movie beyond the analysis and verdict lines.
constexpr ControlId kMovieLines[] = {SAVE_BLOCKED_TEXT, SAVE_CAUSE_TEXT, BACKUP_NAME_TEXT};

// Movies before version 5 have no linked assets: they are described, not analysed.
constexpr int kFirstAnalysedVersion = 5;
// The dialog's text lines end as the window system's do.
constexpr const char* kLineEnd = "\r\n";

// The up-down control's range is 16 bits wide; larger frame counts wrap as
// they would in its position field.
constexpr int kUpDownMask = 0xFFFF;

std::string folderOf(const std::string& path) {
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(std::filesystem::path(path), error);
  return error ? std::string() : absolute.parent_path().string();
}

// The backup by its name when it lies beside the movie's real file (where it
// always goes), so that the line stays short; the whole path otherwise.
std::string backupShownAs(const SaveOutcome& outcome) {
  const std::filesystem::path backup(outcome.backupPath);
  return backup.parent_path() == std::filesystem::path(outcome.outputPath).parent_path() ? backup.filename().string()
                                                                                          : outcome.backupPath;
}

}  // namespace

DialogController::DialogController(DialogWindow& window, BusyAnimation::Clock clock)
    : window_(window), animation_(std::move(clock)) {}

void DialogController::start() {
  window_.setUpDownRange(F_TARGET_BTN, 1, 20);
  window_.setText(F_TARGET_FLD, "1");
  for (ControlId id : {F_TARGET_BTN, IDOPTIMISE, BTN_SAVE, IDBACKUP, F_TARGET_FLD, IDSCAN, KEEP_ASSETS}) {
    window_.enable(id, false);
  }
  window_.setTicked(IDBACKUP, true);
  window_.enable(PROFILE_BTN, false);
  window_.setTicked(KEEP_ASSETS, false);
  for (ControlId id : kAnalysisLines) {
    window_.setText(id, "");
  }
  for (ControlId id : kCommentLines) {
    window_.setText(id, "");
  }
  for (ControlId id : kMovieLines) {
    window_.setText(id, "");
  }
}

void DialogController::command(int id) {
  // Whatever reaches us while an analysis runs (Enter, Escape, the close
  // button) was meant for a window that took no input.
  if (busy_) {
    return;
  }
  switch (id) {
    case IDOK:
      enter();
      break;
    case IDBROWSE:
      browse();
      break;
    case IDSCAN:
      analyze();
      break;
    case IDOPTIMISE:
      optimiseClicked();
      break;
    case PROFILE_BTN:
      if (profileEnabled_) window_.showProfile();
      break;
    case KEEP_ASSETS:
      // The count, the verdict and the next save follow the plan chosen.
      document_.setSafePlan(window_.isTicked(KEEP_ASSETS));
      savedProfile_.reset();  // measured for the other plan
      plan();
      break;
    case BTN_SAVE:
      save();
      break;
    case IDCANCEL:
      window_.endDialog(0);
      break;
    default:
      break;
  }
}

void DialogController::upDownMoved(int position) {
  if (busy_ || !targetEnabled_) {
    return;
  }
  window_.setText(F_TARGET_FLD, std::to_string(position));
  targetFrame_ = position;
  plan();
}

void DialogController::targetFieldLeft() {
  if (!busy_) {
    commitTypedFrame(false);
  }
}

void DialogController::openMovie(const std::string& path) {
  if (!busy_ && !path.empty()) {
    load(path);
  }
}

void DialogController::browse() {
  // A cancelled choice changes nothing: the path field only says what to load
  // next, and Save writes the movie that is loaded.
  const std::string chosen = window_.chooseFile(chooserFolder());
  if (!chosen.empty()) {
    load(chosen);
  }
}

std::string DialogController::chooserFolder() const {
  // The folder of whatever the path field names, when it exists; otherwise
  // the window's remembered folder.
  const std::string typed = window_.text(FILE_PATH_FLD);
  if (typed.empty()) {
    return {};
  }
  std::error_code error;
  if (std::filesystem::is_directory(std::filesystem::path(typed), error)) {
    return typed;
  }
  const std::string folder = folderOf(typed);
  return std::filesystem::is_directory(std::filesystem::path(folder), error) ? folder : std::string();
}

void DialogController::enter() {
  if (window_.focusedControl() == F_TARGET_FLD) {
    commitTypedFrame(true);
    return;
  }
  const std::string typed = window_.text(FILE_PATH_FLD);
  if (!typed.empty()) {
    load(typed);
  }
}

void DialogController::commitTypedFrame(bool planEvenIfUnchanged) {
  if (!targetEnabled_) {
    return;
  }
  const std::int64_t typed = leadingNumber(window_.text(F_TARGET_FLD));
  const std::int32_t frames = document_.fileInformation().frameCount;
  std::int32_t n = 0;
  if (typed < 1) {
    n = 1;
    window_.setText(F_TARGET_FLD, "1");
  } else if (typed > frames) {
    n = frames;
    window_.setText(F_TARGET_FLD, std::to_string(frames));
  } else {
    n = static_cast<std::int32_t>(typed);
  }
  if (n == targetFrame_ && !planEvenIfUnchanged) {
    return;
  }
  targetFrame_ = n;
  plan();
}

void DialogController::load(const std::string& path) {
  // Whatever the outcome, nothing of the previous movie may be planned or saved.
  targetEnabled_ = false;
  enableSave(false);
  profileEnabled_ = false;
  loadedProfile_.reset();
  savedProfile_.reset();
  window_.enable(PROFILE_BTN, false);
  window_.profileChanged();
  window_.setText(FILE_PATH_FLD, path);
  const std::string message = document_.load(path);
  const FileInformation& info = document_.fileInformation();

  window_.setText(SHORTNAMETEXT, "File Name: " + info.fileName);
  if (!message.empty()) {
    // A message is a dialog line of its own, ended as the window's lines are.
    window_.setText(HEADERTEXT1, message + kLineEnd);
    window_.setText(HEADERTEXT2, document_.loadErrorCause());
    window_.setText(HEADERTEXT3, "");
    window_.setText(HEADERTEXT4, "");
    window_.enable(IDSCAN, false);
  } else {
    for (int i = 0; i < 4; ++i) {
      window_.setText(kHeaderLines[i], info.lines[static_cast<std::size_t>(i)]);
    }
    window_.enable(IDSCAN, info.version >= kFirstAnalysedVersion);
    window_.rememberFolder(folderOf(path));
  }

  // Every line of the previous movie goes. A file that could not be read has
  // no version: its message stands alone.
  window_.setText(ANALYSISTEXT1, message.empty() ? versionLine(info.version) : std::string());
  for (ControlId id : {ANALYSISTEXT2, ANALYSISTEXT3, ANALYSISTEXT4, COMMENTTEXT1, COMMENTTEXT2, COMMENTTEXT3}) {
    window_.setText(id, "");
  }
  for (ControlId id : kMovieLines) {
    window_.setText(id, "");
  }
  window_.setText(IDOPTIMISE, findControl(IDOPTIMISE)->caption);
  for (ControlId id : {IDOPTIMISE, IDBACKUP}) {
    window_.enable(id, false);
  }
  window_.setText(F_TARGET_FLD, "1");
  window_.enable(F_TARGET_BTN, false);
  window_.enable(F_TARGET_FLD, false);
  // The tick is the user's choice and stays; it counts from the next analysis.
  window_.enable(KEEP_ASSETS, false);
  window_.setTicked(IDOPTIMISE, false);
  window_.setTicked(IDBACKUP, true);
}

void DialogController::analyze() {
  // Nothing takes input until the scan ends; the window may run it on another
  // thread and keep painting, so the controls say so too.
  busy_ = true;
  targetEnabled_ = false;
  saveEnabled_ = false;
  for (ControlId id : kInputControls) {
    window_.enable(id, false);
  }
  window_.enable(PROFILE_BTN, false);
  animation_.setFrame(0);
  bool scanned = false;
  window_.runBusy([this, &scanned] { scanned = document_.analyze([this] { progressTick(); }); });
  busy_ = false;
  // Back to the idle picture.
  animation_.setFrame(BusyAnimation::kIdleFrame);
  if (animation_.step()) {
    window_.invalidateAnimation();
  }
  for (ControlId id : {FILE_PATH_FLD, IDBROWSE, IDCANCEL}) {
    window_.enable(id, true);
  }

  if (!scanned) {
    showAnalysisError(document_.analysisError());
    focusWhereEnterIsHarmless();
    return;
  }

  window_.setUpDownRange(F_TARGET_BTN, 1, document_.fileInformation().frameCount & kUpDownMask);
  loadedProfile_ = document_.streamProfile();
  savedProfile_.reset();
  profileEnabled_ = loadedProfile_.has_value();
  window_.enable(PROFILE_BTN, profileEnabled_);
  targetFrame_ = 1;
  window_.setText(F_TARGET_FLD, "1");
  document_.setSafePlan(window_.isTicked(KEEP_ASSETS));
  plan();

  const AnalysisReport& report = document_.report();
  // A movie whose bytes are not all there is described and planned, but
  // never written: the line under the analysis says why.
  const std::string& cannotSave = document_.cannotSaveReason();
  window_.setText(SAVE_BLOCKED_TEXT, cannotSave);
  const bool redundant = report.redundantFound;
  window_.enable(IDOPTIMISE, redundant);
  window_.setTicked(IDOPTIMISE, redundant);
  window_.enable(IDBACKUP, redundant && cannotSave.empty());
  window_.setTicked(IDBACKUP, true);
  enableSave(redundant && cannotSave.empty());
  window_.setText(IDOPTIMISE, report.optimiseCaption);

  targetEnabled_ = report.targetEnabled;
  window_.enable(F_TARGET_BTN, report.targetEnabled);
  window_.enable(F_TARGET_FLD, report.targetEnabled);
  window_.enable(KEEP_ASSETS, report.targetEnabled);

  for (int i = 0; i < 4; ++i) {
    window_.setText(kAnalysisLines[i], report.lines[static_cast<std::size_t>(i)]);
  }
  // A movie is analysed once per load; Analyze stays off.
  focusWhereEnterIsHarmless();
}

void DialogController::showAnalysisError(const std::string& message) {
  // The scan stopped on data it cannot read: the tables are incomplete, so
  // nothing may be planned or saved. The controls stay as the load left them.
  window_.setText(ANALYSISTEXT1, message);
  window_.setText(ANALYSISTEXT2, "");
  window_.setText(ANALYSISTEXT3, "");
  window_.setText(ANALYSISTEXT4, "");
}

void DialogController::plan() {
  const Verdict verdict = document_.plan(targetFrame_, window_.isTicked(IDOPTIMISE));
  window_.setText(COMMENTTEXT1, verdict.verdictLines[0]);
  window_.setText(COMMENTTEXT2, verdict.verdictLines[1]);
  window_.setText(COMMENTTEXT3, verdict.verdictLines[2]);
  // What the last save said belongs to the frame it was made for.
  window_.setText(SAVE_CAUSE_TEXT, "");
  window_.setText(BACKUP_NAME_TEXT, "");
  if (verdict.saveControls != SaveControls::Unchanged) {
    const bool on = verdict.saveControls == SaveControls::Enable;
    enableSave(on);
    window_.enable(IDBACKUP, on);
  }
  window_.profileChanged();
}

std::optional<ProfileChart> DialogController::profileChart(double bytesPerSecond) {
  if (!profileEnabled_ || !loadedProfile_) return std::nullopt;
  const double rate = document_.fileInformation().frameRate;
  const Playback before = playBack(*loadedProfile_, rate, bytesPerSecond);
  // The movie Save would write: redundant entries go as Save removes them.
  const Verdict& verdict = document_.lastVerdict();
  if (targetFrame_ <= 1 || verdict.movableBytes <= 0 || !document_.cannotSaveReason().empty()) {
    return makeProfileChart(before, nullptr, targetFrame_);
  }
  const std::pair<std::int32_t, bool> wanted{targetFrame_, window_.isTicked(IDOPTIMISE)};
  if (!savedProfile_ || savedProfileFor_ != wanted) {
    savedProfile_ = document_.savedStreamProfile(wanted.first, wanted.second);
    savedProfileFor_ = wanted;
  }
  if (!savedProfile_) return makeProfileChart(before, nullptr, targetFrame_);
  const Playback after = playBack(*savedProfile_, rate, bytesPerSecond);
  return makeProfileChart(before, &after, targetFrame_);
}

void DialogController::optimiseClicked() {
  const bool movable = document_.lastVerdict().movableBytes > 0 && targetFrame_ > 1;
  if ((window_.isTicked(IDOPTIMISE) || movable) && document_.cannotSaveReason().empty()) {
    enableSave(true);
    window_.enable(IDBACKUP, true);
    window_.setTicked(IDBACKUP, true);
  } else {
    enableSave(false);
    window_.enable(IDBACKUP, false);
  }
  // The movie Save would write keeps or drops the redundant entries with the tick.
  window_.profileChanged();
}

void DialogController::save() {
  if (!saveEnabled_) {
    return;
  }
  // A number typed but not yet entered counts first: the movie is written for
  // the frame the field shows, or, when that frame leaves nothing to save, not
  // at all.
  commitTypedFrame(false);
  if (!saveEnabled_) {
    return;
  }
  // Redundant export bytes go only together with a move: with nothing movable
  // the export tags are written as they are.
  const bool optimise = document_.lastVerdict().movableBytes > 0 && window_.isTicked(IDOPTIMISE);
  const bool backup = window_.isTicked(IDBACKUP);
  // Always the movie that was loaded and analysed, into its own file, whatever
  // the path field holds by now.
  const SaveOutcome outcome = document_.save(targetFrame_, optimise, backup);
  window_.setText(COMMENTTEXT3, saveResultText(outcome.result));
  window_.setText(SAVE_CAUSE_TEXT, outcome.reason);
  window_.setText(BACKUP_NAME_TEXT, outcome.backupPath.empty() ? std::string() : "Backup: " + backupShownAs(outcome));
  enableSave(false);
  // Save's button goes off under the focus: the focus must not fall through
  // to Exit, where the next Enter would quit.
  focusWhereEnterIsHarmless();
}

void DialogController::enableSave(bool on) {
  saveEnabled_ = on;
  window_.enable(BTN_SAVE, on);
}

void DialogController::focusWhereEnterIsHarmless() {
  window_.focusControl(targetEnabled_ ? F_TARGET_FLD : FILE_PATH_FLD);
}

void DialogController::progressTick() {
  if (animation_.step()) {
    window_.invalidateAnimation();
  }
  window_.repaintNow();
}

std::int64_t leadingNumber(const std::string& text) {
  std::size_t i = 0;
  while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) {
    ++i;
  }
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  constexpr std::int64_t kLimit = std::numeric_limits<std::int32_t>::max();
  std::int64_t value = 0;
  for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > kLimit) {
      value = kLimit;
    }
  }
  return negative ? -value : value;
}

}  // namespace framestow::app
