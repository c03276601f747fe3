#include "app/dialog_controller.hpp"

#include <cctype>
#include <limits>
#include <utility>

#include "document/analysis_report.hpp"
#include "writer/writer.hpp"

namespace framestow::app {
namespace {

constexpr ControlId kAnalysisLines[] = {ANALYSISTEXT1, ANALYSISTEXT2, ANALYSISTEXT3, ANALYSISTEXT4};
constexpr ControlId kHeaderLines[] = {HEADERTEXT1, HEADERTEXT2, HEADERTEXT3, HEADERTEXT4};
constexpr ControlId kCommentLines[] = {COMMENTTEXT1, COMMENTTEXT2, COMMENTTEXT3};

// The up-down control's range is 16 bits wide; larger frame counts wrap as
// they would in its position field.
constexpr int kUpDownMask = 0xFFFF;

}  // namespace

DialogController::DialogController(DialogWindow& window, BusyAnimation::Clock clock)
    : window_(window), animation_(std::move(clock)) {}

void DialogController::start() {
  window_.setUpDownRange(F_TARGET_BTN, 1, 20);
  window_.setText(F_TARGET_FLD, "1");
  for (ControlId id : {F_TARGET_BTN, IDOPTIMISE, BTN_SAVE, IDBACKUP, F_TARGET_FLD, IDSCAN}) {
    window_.enable(id, false);
  }
  window_.setTicked(IDBACKUP, true);
  for (ControlId id : kAnalysisLines) {
    window_.setText(id, "");
  }
  for (ControlId id : kCommentLines) {
    window_.setText(id, "");
  }
}

void DialogController::command(int id) {
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

void DialogController::pathFieldChanged(const std::string& text) { fnbuffer_ = text; }

void DialogController::upDownMoved(int position) {
  window_.setText(F_TARGET_FLD, std::to_string(position));
  targetFNum_ = position;
  plan();
}

void DialogController::browse() {
  // The chooser starts from an empty name: a cancelled choice leaves no path,
  // and the movie already loaded stays on screen untouched.
  fnbuffer_.clear();
  fnbuffer_ = window_.chooseFile();
  if (fnbuffer_.empty()) {
    return;
  }
  load();
}

void DialogController::enter() {
  if (window_.focusedControl() == F_TARGET_FLD) {
    const std::int64_t typed = leadingNumber(window_.text(F_TARGET_FLD));
    const std::int32_t frames = document_.movie().m.nFrames;
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
    targetFNum_ = n;
    plan();
    return;
  }
  if (!fnbuffer_.empty()) {
    load();
  }
}

void DialogController::load() {
  // Showing the path in its field reports a change back to us; work from a copy.
  const std::string path = fnbuffer_;
  window_.setText(FILE_PATH_FLD, path);
  fileInfoStr_ = document_.load(path);
  const LoadedMovie& movie = document_.movie();

  window_.setText(SHORTNAMETEXT, "File Name: " + movie.shortFileName);
  if (!fileInfoStr_.empty()) {
    window_.setText(HEADERTEXT1, fileInfoStr_);
    window_.setText(HEADERTEXT2, "");
    window_.setText(HEADERTEXT3, "");
    window_.setText(HEADERTEXT4, "");
    window_.enable(IDSCAN, false);
  } else {
    const std::string* infos[] = {&movie.hInfoString1, &movie.hInfoString2, &movie.hInfoString3,
                                  &movie.hInfoString4};
    for (int i = 0; i < 4; ++i) {
      window_.setText(kHeaderLines[i], *infos[i]);
    }
    window_.enable(IDSCAN, movie.m.version >= 5);
  }

  // Whatever the outcome, the previous movie's analysis and plan are gone.
  window_.setText(ANALYSISTEXT1, versionLine(movie.m));
  for (ControlId id : {ANALYSISTEXT2, ANALYSISTEXT3, ANALYSISTEXT4, COMMENTTEXT1, COMMENTTEXT2, COMMENTTEXT3}) {
    window_.setText(id, "");
  }
  for (ControlId id : {BTN_SAVE, IDOPTIMISE, IDBACKUP}) {
    window_.enable(id, false);
  }
  window_.setText(F_TARGET_FLD, "1");
  window_.enable(F_TARGET_BTN, false);
  window_.enable(F_TARGET_FLD, false);
  window_.setTicked(IDOPTIMISE, false);
  window_.setTicked(IDBACKUP, true);
}

void DialogController::analyze() {
  animation_.setFrame(0);
  const bool scanned = document_.analyze([this] { progressTick(); });
  // Back to the idle picture.
  animation_.setFrame(BusyAnimation::kIdleFrame);
  if (animation_.step()) {
    window_.invalidateAnimation();
  }

  if (!scanned) {
    showAnalysisError(document_.analysisError());
    return;
  }

  const LoadedMovie& movie = document_.movie();
  window_.setUpDownRange(F_TARGET_BTN, 1, movie.m.nFrames & kUpDownMask);
  targetFNum_ = 1;
  window_.setText(F_TARGET_FLD, "1");
  plan();

  const AnalysisReport& report = document_.report();
  const bool redundant = report.redundantFound;
  window_.enable(IDOPTIMISE, redundant);
  window_.setTicked(IDOPTIMISE, redundant);
  window_.enable(IDBACKUP, redundant);
  window_.setTicked(IDBACKUP, true);
  window_.enable(BTN_SAVE, redundant);
  window_.setText(IDOPTIMISE, report.optimiseCaption);

  window_.enable(F_TARGET_BTN, report.targetEnabled);
  window_.enable(F_TARGET_FLD, report.targetEnabled);

  for (int i = 0; i < 4; ++i) {
    window_.setText(kAnalysisLines[i], report.lines[static_cast<std::size_t>(i)]);
  }
  // A movie is analysed once per load.
  window_.enable(IDSCAN, false);
}

void DialogController::showAnalysisError(const std::string& message) {
  // The scan stopped on data it cannot read: the tables are incomplete, so
  // nothing may be planned or saved. The controls stay as the load left them.
  window_.setText(ANALYSISTEXT1, message);
  window_.setText(ANALYSISTEXT2, "");
  window_.setText(ANALYSISTEXT3, "");
  window_.setText(ANALYSISTEXT4, "");
  window_.enable(IDSCAN, false);
}

void DialogController::plan() {
  const Verdict verdict = document_.plan(targetFNum_, window_.isTicked(IDOPTIMISE));
  window_.setText(COMMENTTEXT1, verdict.commentText1);
  window_.setText(COMMENTTEXT2, verdict.commentText2);
  window_.setText(COMMENTTEXT3, verdict.commentText3);
  if (verdict.saveControls != SaveControls::Unchanged) {
    const bool on = verdict.saveControls == SaveControls::Enable;
    window_.enable(BTN_SAVE, on);
    window_.enable(IDBACKUP, on);
  }
}

void DialogController::optimiseClicked() {
  const bool movable = document_.lastVerdict().movableBytes > 0 && targetFNum_ > 1;
  if (window_.isTicked(IDOPTIMISE) || movable) {
    window_.enable(BTN_SAVE, true);
    window_.enable(IDBACKUP, true);
    window_.setTicked(IDBACKUP, true);
  } else {
    window_.enable(BTN_SAVE, false);
    window_.enable(IDBACKUP, false);
  }
}

void DialogController::save() {
  // Redundant export bytes go only together with a move: with nothing movable
  // the export tags are written as they are.
  const bool optimise = document_.lastVerdict().movableBytes > 0 && window_.isTicked(IDOPTIMISE);
  const bool backup = window_.isTicked(IDBACKUP);
  // A cancelled file choice leaves no path to write to; nothing is touched.
  const int result =
      fnbuffer_.empty() ? kErrorWritingFile : document_.save(targetFNum_, optimise, backup, fnbuffer_).result;
  if (result == kFileModified || result == kErrorCreatingBackup || result == kErrorWritingFile ||
      result == kAlreadyLaidOut) {
    window_.setText(COMMENTTEXT3, saveResultText(result));
  }
  window_.enable(BTN_SAVE, false);
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
