// The dialog's logic: which step runs on which command, and every text, enable
// and tick state the user sees. It knows no toolkit; it reaches the window only
// through DialogWindow, and the movie only through Document.
#pragma once

#include <cstdint>
#include <string>
#include <utility>

#include "app/busy_animation.hpp"
#include "app/dialog_window.hpp"
#include "document/document.hpp"
#include "document/profile_chart.hpp"

namespace framestow::app {

class DialogController {
 public:
  explicit DialogController(DialogWindow& window, BusyAnimation::Clock clock = {});

  // The window has been created: put every control in its starting state.
  void start();
  // A command: a push button or check box was clicked (by its id), Enter was
  // pressed (IDOK), or the window is being closed (IDCANCEL).
  void command(int id);
  // The up-down control moved to `position`.
  void upDownMoved(int position);
  // The keyboard focus left the target field: a number typed there counts
  // from now on, as if Enter had been pressed.
  void targetFieldLeft();
  // Shows `path` in the path field and loads it (a movie named on the command
  // line or dropped on the window).
  void openMovie(const std::string& path);

  // The stream profile chart for the target frame shown, at `bytesPerSecond`:
  // the movie as loaded, and the movie Save would write now (when the frame
  // moves something and the movie can be saved). Nothing before an analysis.
  std::optional<ProfileChart> profileChart(double bytesPerSecond);

  BusyAnimation& animation() { return animation_; }
  const Document& document() const { return document_; }
  std::int32_t targetFrame() const { return targetFrame_; }
  bool busy() const { return busy_; }

 private:
  void browse();
  void enter();
  void load(const std::string& path);
  void analyze();
  void showAnalysisError(const std::string& message);
  void commitTypedFrame(bool planEvenIfUnchanged);
  void plan();
  void optimiseClicked();
  void save();
  void enableSave(bool on);
  void focusWhereEnterIsHarmless();
  std::string chooserFolder() const;
  void progressTick();

  DialogWindow& window_;
  BusyAnimation animation_;
  Document document_;
  std::int32_t targetFrame_ = 1;
  // What the controls allow, as last set: a command that arrives for a
  // control in another state (queued before it changed) does nothing.
  bool targetEnabled_ = false;
  bool saveEnabled_ = false;
  bool busy_ = false;  // an analysis is running
  bool profileEnabled_ = false;
  // The profile of the file as loaded, measured once per analysis, and of
  // the file Save would write, kept for the frame and tick it was measured
  // for (another connection speed needs no new measure).
  std::optional<StreamProfile> loadedProfile_;
  std::optional<StreamProfile> savedProfile_;
  std::pair<std::int32_t, bool> savedProfileFor_{0, false};
};

// The number a user typed: leading blanks, an optional sign, then digits;
// 0 when there are none. Saturates instead of overflowing.
std::int64_t leadingNumber(const std::string& text);

}  // namespace framestow::app
